#include "core/tasks/todaypage.h"

#include <QLocale>
#include <QStringList>

namespace {

// The file name of a path written with either separator (settings may come from Windows).
QString baseName(const QString &path)
{
    const qsizetype cut = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

// The page is HTML: a file name such as "a<b>.pl" must show as written, not become markup.
QString escaped(const QString &text)
{
    QString out = text;
    out.replace(u'&', QStringLiteral("&amp;"));
    out.replace(u'<', QStringLiteral("&lt;"));
    out.replace(u'>', QStringLiteral("&gt;"));
    return out;
}

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
        const QString file = v.lastOpened.isEmpty() ? QStringLiteral("[?]")
                                                    : escaped(baseName(v.lastOpened));
        value = QStringLiteral("open file \"%1\"").arg(file);
    }
    return line.left(p) + value + line.mid(p + k + 6);
}

} // namespace

QString buildTodayPage(const QString &templateText, const TodayValues &values)
{
    // Any line-break style counts once; a stray CR must not end up before the CR LF we write.
    QString text = templateText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
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
