#include "core/common/extractfield.h"

QStringView ExtractField(QStringView text, QChar separator, int n)
{
    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype sep = text.indexOf(separator, start);
        if (sep < 0)
            break;
        start = sep + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

QString ExtractField(const QString &text, QChar separator, int n)
{
    return ExtractField(QStringView(text), separator, n).toString();
}
