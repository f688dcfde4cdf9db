#include "tasks/todaypage.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringList>

namespace {

QString replaceFirstMarker(const QString &line, const TodayValues &v)
{
    const QLatin1String mark("###");
    const qsizetype p = line.indexOf(mark);
    if (p < 0)
        return line;
    QString name = line.mid(p + 3, 25);
    const qsizetype close = name.indexOf(mark);
    // A marker without its closing half within reach is left as written.
    if (close < 0)
        return line;
    name.truncate(close);
    const qsizetype k = name.size();
    QString value = name;
    if (name.compare(QLatin1String("tasknum"), Qt::CaseInsensitive) == 0) {
        value = QString::number(v.taskCount);
    } else if (name.compare(QLatin1String("date"), Qt::CaseInsensitive) == 0) {
        value = QLocale::system().toString(v.date, QStringLiteral("dddd, dd MMMM yyyy"));
    } else if (name.compare(QLatin1String("lastopened"), Qt::CaseInsensitive) == 0) {
        const QString file = v.lastOpened.isEmpty() ? QStringLiteral("[?]") : QFileInfo(v.lastOpened).fileName();
        value = QStringLiteral("open file \"%1\"").arg(file);
    }
    return line.left(p) + value + line.mid(p + k + 6);
}

} // namespace

QString buildTodayPage(const QString &templateText, const TodayValues &values)
{
    QStringList lines = templateText.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString out;
    out.reserve(templateText.size() + 256);
    for (const QString &l : lines) {
        out += replaceFirstMarker(l, values);
        out += QLatin1String("\r\n");
    }
    return out;
}
