#include "core/templates/placeholders.h"

#include "core/common/clock.h"
#include "platform/platform.h"

#include <QLocale>

namespace {
QString g_userName;
} // namespace

PlaceholderValues PlaceholderValues::current()
{
    return {Clock::now(), placeholderUserName()};
}

QString placeholderUserName()
{
    return g_userName.isEmpty() ? Platform::registeredOwner() : g_userName;
}

void setPlaceholderUserName(const QString &name)
{
    g_userName = name;
}

QString placeholderDateTime(const QDateTime &when)
{
    const QString date = QLocale().toString(when.date(), QLocale::ShortFormat);
    if (when.time() == QTime(0, 0))
        return date;
    return date + u' ' + when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString ExpandPlaceholder(QStringView line, const PlaceholderValues &values)
{
    const QStringView open = u"!!!#";
    const QStringView close = u"#!!!";
    const qsizetype a = line.indexOf(open);
    if (a < 0)
        return line.toString();
    // The closing marker is looked for after the opening one: markers that overlap or stand
    // the wrong way round leave the line as it is.
    const qsizetype b = line.indexOf(close, a + open.size());
    if (b < 0)
        return line.toString();
    const QStringView name = line.mid(a + open.size(), b - a - open.size());
    QString expanded = name.toString();
    if (name.compare(u"now", Qt::CaseInsensitive) == 0)
        expanded = placeholderDateTime(values.now);
    else if (name.compare(u"user", Qt::CaseInsensitive) == 0)
        expanded = values.user;
    QString out;
    out.reserve(line.size() + expanded.size());
    out += line.left(a);
    out += expanded;
    out += line.mid(b + close.size());
    return out;
}
