#include "core/run/accesslog.h"

#include <QStringList>

namespace AccessLog {

namespace {

// The fields, in the order of Entry.
const char *const kFields[] = {"%{%H:%M:%S}t",
                               "%r",
                               "%>s",
                               "%b",
                               "%{Content-Type}o",
                               "%{Location}o",
                               "%{Set-Cookie}o",
                               "%{Content-Type}i",
                               "%{Cookie}i",
                               "%{Referer}i"};
constexpr int kFieldCount = int(sizeof kFields / sizeof *kFields);

QString present(const QString &field)
{
    return field == u'-' ? QString() : field;
}

} // namespace

QString lighttpdFormat()
{
    QStringList fields;
    for (const char *f : kFields)
        fields << QLatin1String(f);
    return fields.join(u'\t');
}

std::optional<Entry> parse(const QString &line)
{
    QString text = line;
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    const QStringList f = text.split(u'\t');
    bool number = false;
    const int status = f.size() == kFieldCount ? f[2].toInt(&number) : 0;
    if (!number || status < 100 || status > 999)
        return std::nullopt;
    Entry e;
    e.time = f[0];
    e.request = f[1];
    e.status = status;
    e.size = present(f[3]);
    e.contentType = present(f[4]);
    e.location = present(f[5]);
    e.setCookie = present(f[6]);
    e.requestType = present(f[7]);
    e.cookie = present(f[8]);
    e.referer = present(f[9]);
    return e;
}

QString statusText(int status)
{
    static const std::pair<int, const char *> reasons[] = {
            {200, "OK"},
            {201, "Created"},
            {204, "No Content"},
            {206, "Partial Content"},
            {301, "Moved Permanently"},
            {302, "Found"},
            {303, "See Other"},
            {304, "Not Modified"},
            {307, "Temporary Redirect"},
            {308, "Permanent Redirect"},
            {400, "Bad Request"},
            {401, "Unauthorized"},
            {403, "Forbidden"},
            {404, "Not Found"},
            {405, "Method Not Allowed"},
            {408, "Request Timeout"},
            {411, "Length Required"},
            {413, "Content Too Large"},
            {414, "URI Too Long"},
            {416, "Range Not Satisfiable"},
            {500, "Internal Server Error"},
            {501, "Not Implemented"},
            {502, "Bad Gateway"},
            {503, "Service Unavailable"},
            {504, "Gateway Timeout"},
    };
    for (const auto &[code, reason] : reasons) {
        if (code == status)
            return QString::number(status) + u' ' + QLatin1String(reason);
    }
    return QString::number(status);
}

QString describe(const Entry &e)
{
    QString text = e.time + QStringLiteral("  ") + e.request + QStringLiteral("  ->  ")
                   + statusText(e.status);
    if (!e.size.isEmpty() && e.size != u'0')
        text += QStringLiteral(", %1 bytes").arg(e.size);
    const std::pair<const char *, const QString *> headers[]
            = {{"request Content-Type", &e.requestType}, {"request Cookie", &e.cookie},
               {"request Referer", &e.referer},          {"answer Content-Type", &e.contentType},
               {"answer Location", &e.location},         {"answer Set-Cookie", &e.setCookie}};
    for (const auto &[name, value] : headers) {
        if (!value->isEmpty())
            text += QStringLiteral("\n    %1: %2").arg(QLatin1String(name), *value);
    }
    return text;
}

} // namespace AccessLog
