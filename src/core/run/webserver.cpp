#include "core/run/webserver.h"
#include "core/settings/configkeys.h"

#include "core/settings/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace WebServer {

QString programPath(const TIniFile &settings, const QString &programDir, const QString &launcherName)
{
    const Config::Entry &key = Config::WebServerPath.entry;
    return settings.ReadString(QLatin1String(key.section), QLatin1String(key.name),
                               QDir::cleanPath(programDir) + u'/' + launcherName);
}

QString workingDir(const QString &program)
{
    const qsizetype slash = program.lastIndexOf(u'/');
    if (slash < 0)
        return QDir::currentPath();
    return slash == 0 ? QStringLiteral("/") : program.left(slash);
}

QString missingMessage(const QString &program)
{
    return QStringLiteral("Oops! The webserver could not be started.\n\nReason: The file \"%1\" "
                          "cannot be found. Open Extras|Options|Files/Directories to specify the "
                          "correct path to a webserver.")
            .arg(program);
}

Outcome start(const QString &program, const QString &launcherName, const Probe &probe,
              const QString &localAddress)
{
    // A relative name is taken relative to the current folder, as any program start would.
    const QFileInfo file(program);
    if (!file.isFile())
        return {Outcome::Missing, missingMessage(program)};
    if (file.fileName() == launcherName) {
        if (probe.serverAnswers && probe.serverAnswers())
            return {Outcome::AlreadyRunning,
                    QStringLiteral("The web server is already running: %1/ answers. Scripts in "
                                   "the cgi-bin folder are reached under %1/cgi-bin/.")
                            .arg(localAddress)};
        if (probe.serverInstalled && !probe.serverInstalled())
            return {Outcome::NotInstalled,
                    QStringLiteral(
                            "Oops! The webserver could not be started.\n\nReason: lighttpd "
                            "is not installed. Install the Debian package \"lighttpd\" "
                            "(apt-get install lighttpd) and press \"Run webserver\" again.")};
    }
    // Nothing from the start is checked beyond this: the server runs on its own.
    QProcess p;
    p.setProgram(file.absoluteFilePath());
    p.setWorkingDirectory(workingDir(file.absoluteFilePath()));
    p.setStandardInputFile(QProcess::nullDevice());
    if (!p.startDetached())
        return {Outcome::StartFailed, QString()};
    return {};
}

} // namespace WebServer
