#pragma once

#include <QString>

class TIniFile;

namespace WebServer {

// What the local web server serves and runs. Every path is absolute.
struct Folders
{
    QString documentRoot; // served at the root address
    QString cgiBin;       // its .pl and .cgi scripts run under /cgi-bin/
    QString perl;         // the interpreter of those scripts
    QString runDir;       // configuration, pid file, logs, uploads
    QString cgiStarter;   // runs a script with the switches of its #! line (quillforge-cgi)
};

// The logs in the run folder: what CGI scripts write to standard error, and one line per
// request with its status and headers.
QString cgiErrorLog(const Folders &folders);
QString accessLog(const Folders &folders);

// The folders of the program folder's server: the CGI folder of the settings when it exists,
// else cgi-bin in the program folder; the Perl of the settings when it is a file, else the
// one on PATH; the CGI starter beside the program, else the one of the build folder.
Folders serverFolders(const TIniFile &settings, const QString &programDir);

struct ServerConfig
{
    QString text;  // empty when refused
    QString error; // why, as the reason of an error box
};

// lighttpd's configuration for the folders. It listens on 127.0.0.1 at port and nowhere else,
// whatever the folders hold. A path its quoting cannot carry (a double quote, a backslash, a
// control character such as a line break) or a relative one is refused, not escaped: lighttpd
// has no escape for a backslash before the closing quote.
ServerConfig lighttpdConfig(const Folders &folders, quint16 port);

} // namespace WebServer
