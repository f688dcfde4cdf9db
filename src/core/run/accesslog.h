#pragma once

#include <QString>

#include <optional>

// The local web server's request log: one line per request with its status and the headers
// that tell what a CGI script was given and what it answered.
namespace AccessLog {

// lighttpd's accesslog.format: fields separated by tabs, which lighttpd never writes inside a
// field (it escapes control characters); "-" for a header that was not there.
QString lighttpdFormat();

struct Entry
{
    QString time;
    QString request; // the request line, e.g. "GET /cgi-bin/x.pl HTTP/1.1"
    int status = 0;
    QString size; // bytes of the answer's body
    // Headers of the answer, then of the request; empty when absent.
    QString contentType, location, setCookie;
    QString requestType, cookie, referer;
};

// A line of the log written with lighttpdFormat(); nothing for any other line.
std::optional<Entry> parse(const QString &line);

// The status with its reason, e.g. "500 Internal Server Error".
QString statusText(int status);

// How a request is shown: a line with time, request and status, then an indented line for
// each header it had.
QString describe(const Entry &entry);

} // namespace AccessLog
