#include "core/run/webserver.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/configkeys.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace WebServer {

namespace {

const QString kConfigName = QStringLiteral("lighttpd.conf");
const QString kOutputName = QStringLiteral("start.log");
const QString kStatusName = QStringLiteral("start.status");
// Output is kept from the end: that is where a failing program says why.
constexpr qsizetype kShownOutput = 3000;

// A detached program's exit status is lost to its starter, so a small shell waits for it and
// writes it down (a line, so that a half-written status is never read). The program path and
// its arguments stay separate words; nothing of them is parsed by the shell.
const QString kWatcher = QStringLiteral(
        "exec 2>&1; status=$1; shift; \"$@\"; echo $? >\"$status\"");

QString cannotStart(const QString &reason)
{
    return QStringLiteral("Oops! The webserver could not be started.\n\nReason: ") + reason;
}

} // namespace

QString programPath(const TIniFile &settings, const QString &programDir)
{
    return Config::read(settings, Config::WebServerPath, Config::Reader::Any, programDir);
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
    return cannotStart(QStringLiteral("The file \"%1\" cannot be found. Open Extras|Options|"
                                      "Files/Directories to specify the correct path to a "
                                      "webserver.")
                               .arg(program));
}

QString runDir(const QString &programDir)
{
    return QDir::cleanPath(programDir) + QStringLiteral("/etc/webserver");
}

Outcome start(const QString &program, const Setup &setup)
{
    // A relative name is taken relative to the current folder, as any program start would.
    const QFileInfo file(program);
    if (!file.isFile())
        return {Outcome::Missing, missingMessage(program)};
    const QString run = setup.folders.runDir;
    QStringList arguments;
    if (file.fileName() == setup.launcherName) {
        if (setup.probe.serverAnswers && setup.probe.serverAnswers())
            return {Outcome::AlreadyRunning,
                    QStringLiteral("The web server is already running: %1/ answers. Scripts in "
                                   "the cgi-bin folder are reached under %1/cgi-bin/.")
                            .arg(setup.localAddress)};
        if (setup.probe.serverInstalled && !setup.probe.serverInstalled())
            return {Outcome::NotInstalled,
                    cannotStart(QStringLiteral("lighttpd is not installed. Install the Debian "
                                               "package \"lighttpd\" (apt-get install lighttpd) "
                                               "and press \"Run webserver\" again."))};
        const ServerConfig config = lighttpdConfig(setup.folders, setup.port);
        if (config.text.isEmpty())
            return {Outcome::Refused, cannotStart(config.error)};
        if (!QFileInfo(setup.folders.cgiStarter).isExecutable())
            return {Outcome::Refused,
                    cannotStart(QStringLiteral("The CGI starter \"%1\" cannot be found. It is "
                                               "built and shipped beside the program: install "
                                               "Quillforge again.")
                                        .arg(setup.folders.cgiStarter))};
        QDir().mkpath(run);
        QDir().mkpath(setup.folders.cgiBin);
        try {
            writeFileAtomically(run + u'/' + kConfigName, config.text.toUtf8());
        } catch (const IoError &e) {
            return {Outcome::Refused, cannotStart(e.message())};
        }
        arguments << run + u'/' + kConfigName;
    }
    QDir().mkpath(run); // for what the program prints
    QFile::remove(run + u'/' + kStatusName);
    QProcess p;
    p.setProgram(Platform::defaultCommandInterpreter());
    p.setArguments(QStringList{QStringLiteral("-c"), kWatcher, setup.launcherName,
                               run + u'/' + kStatusName, file.absoluteFilePath()}
                   + arguments);
    p.setWorkingDirectory(workingDir(file.absoluteFilePath()));
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(run + u'/' + kOutputName);
    if (!p.startDetached())
        return {Outcome::StartFailed, QString()};
    return {};
}

std::optional<QString> failedStart(const QString &program, const QString &runDir)
{
    QFile status(runDir + u'/' + kStatusName);
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = status.readAll();
    if (!line.endsWith('\n') || line.trimmed() == "0")
        return std::nullopt;
    QFile log(runDir + u'/' + kOutputName);
    QString output;
    if (log.open(QIODevice::ReadOnly))
        output = decodeText(log.readAll()).trimmed();
    if (output.size() > kShownOutput)
        output = QStringLiteral("...") + output.right(kShownOutput);
    return QStringLiteral("Oops! The webserver \"%1\" stopped right after it started (exit code "
                          "%2).\n\n%3\n\nOpen Extras|Options|Files/Directories to check the path "
                          "to the webserver.")
            .arg(program, QString::fromLatin1(line.trimmed()),
                 output.isEmpty() ? QStringLiteral("It printed nothing.")
                                  : QStringLiteral("It printed:\n") + output);
}

} // namespace WebServer
