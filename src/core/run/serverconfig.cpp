#include "core/run/serverconfig.h"

#include "core/run/accesslog.h"
#include "core/run/cgistarter.h"
#include "core/run/webserver.h"
#include "core/settings/configkeys.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace WebServer {

namespace {

bool unquotable(QChar c)
{
    return c == u'"' || c == u'\\' || c.category() == QChar::Other_Control;
}

// The path as the user reads it in a message: what cannot be shown as is, as "?".
QString shown(QString path)
{
    for (QChar &c : path) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return path;
}

QString refusal(const char *what, const QString &path)
{
    if (!QDir::isAbsolutePath(path))
        return QStringLiteral("%1 \"%2\" is not a full path. Open Extras|Options|"
                              "Files/Directories to specify the full path.")
                .arg(QLatin1String(what), shown(path));
    return QStringLiteral("%1 \"%2\" holds a double quote, a backslash or a control "
                          "character, which the web server's configuration cannot carry. Choose "
                          "a folder without them in Extras|Options|Files/Directories.")
            .arg(QLatin1String(what), shown(path));
}

QString quoted(const QString &path)
{
    return u'"' + path + u'"';
}

} // namespace

Folders serverFolders(const TIniFile &settings, const QString &programDir)
{
    const QString home = QDir::cleanPath(programDir);
    Folders f;
    f.documentRoot = home + QStringLiteral("/doc");
    const QString cgi = Config::read(settings, Config::CgiBin, Config::Reader::Any, programDir);
    f.cgiBin = !cgi.isEmpty() && QFileInfo(cgi).isDir() ? QDir::cleanPath(cgi)
                                                        : home + QStringLiteral("/cgi-bin");
    const QString perl = Config::read(settings, Config::PerlPath);
    f.perl = QFileInfo(perl).isFile()
                     ? QFileInfo(perl).absoluteFilePath()
                     : Platform::perlBinDir() + u'/' + Platform::perlExecutableName();
    f.runDir = runDir(programDir);
    const QString starter = u'/' + Platform::cgiStarterName();
    if (QCoreApplication::instance())
        f.cgiStarter = QCoreApplication::applicationDirPath() + starter;
    if (f.cgiStarter.isEmpty() || !QFileInfo(f.cgiStarter).isExecutable())
        f.cgiStarter = QStringLiteral(QF_CGI_STARTER_BUILD_DIR) + starter;
    return f;
}

QString cgiErrorLog(const Folders &folders)
{
    return QDir::cleanPath(folders.runDir) + QStringLiteral("/cgi-error.log");
}

QString accessLog(const Folders &folders)
{
    return QDir::cleanPath(folders.runDir) + QStringLiteral("/access.log");
}

ServerConfig lighttpdConfig(const Folders &f, quint16 port)
{
    const std::pair<const char *, const QString *> paths[] = {{"The document folder",
                                                               &f.documentRoot},
                                                              {"The CGI folder", &f.cgiBin},
                                                              {"The Perl interpreter", &f.perl},
                                                              {"The web server's run folder",
                                                               &f.runDir},
                                                              {"The CGI starter", &f.cgiStarter}};
    for (const auto &[what, path] : paths) {
        if (!QDir::isAbsolutePath(*path) || std::any_of(path->begin(), path->end(), unquotable))
            return {QString(), refusal(what, *path)};
    }
    const QString run = QDir::cleanPath(f.runDir);
    const QString starter = quoted(f.cgiStarter);
    QString t;
    t += QStringLiteral("server.modules = (\"mod_access\", \"mod_alias\", \"mod_setenv\", "
                        "\"mod_cgi\", \"mod_accesslog\")\n");
    t += QStringLiteral("server.bind = \"127.0.0.1\"\n");
    t += QStringLiteral("server.port = %1\n").arg(port);
    t += QStringLiteral("server.use-ipv6 = \"disable\"\n");
    t += QStringLiteral("server.document-root = ") + quoted(QDir::cleanPath(f.documentRoot))
         + u'\n';
    t += QStringLiteral("server.pid-file = ") + quoted(run + QStringLiteral("/lighttpd.pid"))
         + u'\n';
    t += QStringLiteral("server.errorlog = ") + quoted(run + QStringLiteral("/error.log")) + u'\n';
    // lighttpd hands a CGI script's standard error to this file as it is written.
    t += QStringLiteral("server.breakagelog = ") + quoted(cgiErrorLog(f)) + u'\n';
    t += QStringLiteral("accesslog.filename = ") + quoted(accessLog(f)) + u'\n';
    t += QStringLiteral("accesslog.format = ") + quoted(AccessLog::lighttpdFormat()) + u'\n';
    t += QStringLiteral("server.upload-dirs = (") + quoted(run) + QStringLiteral(")\n");
    t += QStringLiteral("index-file.names = (\"index.html\", \"index.htm\")\n"
                        "dir-listing.activate = \"enable\"\n"
                        "mimetype.assign = (\n"
                        "    \".html\" => \"text/html; charset=utf-8\", \".htm\" => \"text/html; "
                        "charset=utf-8\",\n"
                        "    \".css\" => \"text/css\", \".js\" => \"text/javascript\",\n"
                        "    \".txt\" => \"text/plain; charset=utf-8\", \".xml\" => \"text/xml\",\n"
                        "    \".png\" => \"image/png\", \".gif\" => \"image/gif\", \".jpg\" => "
                        "\"image/jpeg\",\n"
                        "    \".svg\" => \"image/svg+xml\")\n");
    t += QStringLiteral("alias.url = (\"/cgi-bin/\" => ") + quoted(QDir::cleanPath(f.cgiBin) + u'/')
         + QStringLiteral(")\n");
    t += QStringLiteral("$HTTP[\"url\"] =~ \"^/cgi-bin/\" {\n    cgi.assign = (\".pl\" => ")
         + starter + QStringLiteral(", \".cgi\" => ") + starter + QStringLiteral(")\n");
    t += QStringLiteral("    setenv.add-environment = (\"%1\" => ")
                 .arg(QLatin1String(CgiStarter::kPerlVariable))
         + quoted(f.perl) + QStringLiteral(")\n}\n");
    return {t, QString()};
}

} // namespace WebServer
