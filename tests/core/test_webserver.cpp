#include "core/run/serverconfig.h"
#include "core/run/webserver.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QString writeScript(const QString &path, const QByteArray &body)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
}

// A program that records the folder it was started in.
QString writeRecorder(const QString &path, const QString &marker)
{
    return writeScript(path, "pwd > '" + marker.toUtf8() + "'\n");
}

QString waitForFile(const QString &path)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray b = f.readAll();
            if (b.endsWith('\n'))
                return QString::fromUtf8(b).trimmed();
        }
        QThread::msleep(20);
    }
    return {};
}

WebServer::Probe probe(bool answers, bool installed)
{
    return {[answers] { return answers; },
            [installed] {
                return installed;
            }};
}

const QString kLauncher = QStringLiteral("quillforge-webserver");
const QString kLocal = QStringLiteral("http://127.0.0.1:8080");

WebServer::Folders folders(const QString &root)
{
    return {root + "/doc", root + "/cgi-bin", "/usr/bin/perl", root + "/run", QF_CGI_STARTER};
}

WebServer::Setup setup(const QString &root, WebServer::Probe p = probe(false, true))
{
    WebServer::Setup s;
    s.launcherName = kLauncher;
    s.localAddress = kLocal;
    s.port = 8080;
    s.folders = folders(root);
    s.probe = std::move(p);
    return s;
}

} // namespace

TEST(WebServer, ProgramIsTheSettingOrTheShippedLauncher)
{
    QTemporaryDir dir;
    TIniFile ini(dir.path() + "/q.cfg");
    EXPECT_EQ(WebServer::programPath(ini, dir.path() + "/"),
              dir.path() + "/" + Platform::webServerLauncherName());
    ini.WriteString("Files_Directories", "WebServer", "/srv/web/start");
    EXPECT_EQ(WebServer::programPath(ini, dir.path() + "/"), "/srv/web/start");
}

TEST(WebServer, WorkingDirIsTheProgramsFolder)
{
    EXPECT_EQ(WebServer::workingDir("/opt/web/bin/server"), "/opt/web/bin");
    EXPECT_EQ(WebServer::workingDir("/server"), "/");
    EXPECT_EQ(WebServer::workingDir("server"), QDir::currentPath());
}

TEST(WebServer, MissingProgramIsNamedInTheMessage)
{
    QTemporaryDir dir;
    const auto outcome = WebServer::start("/no/such dir/xitami.exe", setup(dir.path()));
    EXPECT_EQ(outcome.kind, WebServer::Outcome::Missing);
    EXPECT_FALSE(outcome.pressed());
    EXPECT_EQ(
            outcome.message,
            "Oops! The webserver could not be started.\n\nReason: The file \"/no/such "
            "dir/xitami.exe\" "
            "cannot be found. Open Extras|Options|Files/Directories to specify the correct path to "
            "a webserver.");
    // A folder is not a program either.
    EXPECT_EQ(WebServer::start(QDir::tempPath(), setup(dir.path())).kind,
              WebServer::Outcome::Missing);
}

TEST(WebServer, LauncherIsNotStartedTwiceNorWithoutItsServerNorWithABadPath)
{
    QTemporaryDir dir;
    const QString marker = dir.path() + "/started";
    const QString launcher = writeRecorder(dir.path() + "/" + kLauncher, marker);

    auto running = WebServer::start(launcher, setup(dir.path(), probe(true, true)));
    EXPECT_EQ(running.kind, WebServer::Outcome::AlreadyRunning);
    EXPECT_TRUE(running.pressed());
    EXPECT_TRUE(running.message.contains(kLocal + "/cgi-bin/")) << running.message.toStdString();

    auto missing = WebServer::start(launcher, setup(dir.path(), probe(false, false)));
    EXPECT_EQ(missing.kind, WebServer::Outcome::NotInstalled);
    EXPECT_FALSE(missing.pressed());
    EXPECT_TRUE(missing.message.contains("lighttpd"));

    WebServer::Setup quoted = setup(dir.path());
    quoted.folders.cgiBin = dir.path() + "/a\" b";
    auto refused = WebServer::start(launcher, quoted);
    EXPECT_EQ(refused.kind, WebServer::Outcome::Refused);
    EXPECT_FALSE(refused.pressed());
    EXPECT_TRUE(refused.message.contains("The CGI folder \"" + quoted.folders.cgiBin + "\""))
            << refused.message.toStdString();

    QThread::msleep(200);
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/run/lighttpd.conf"));
}

TEST(WebServer, LauncherGetsTheConfigurationWrittenForIt)
{
    QTemporaryDir dir;
    const QString marker = dir.path() + "/args";
    const QByteArray m = marker.toUtf8();
    const QString launcher = writeScript(dir.path() + "/" + kLauncher,
                                         "printf '%s\\n' \"$(pwd)\" \"$@\" > '" + m
                                                 + ".new' && mv '" + m + ".new' '" + m + "'\n");
    const auto started = WebServer::start(launcher, setup(dir.path()));
    EXPECT_EQ(started.kind, WebServer::Outcome::Started);
    EXPECT_TRUE(started.message.isEmpty());
    EXPECT_EQ(waitForFile(marker), dir.path() + "\n" + dir.path() + "/run/lighttpd.conf");
    QFile conf(dir.path() + "/run/lighttpd.conf");
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(conf.readAll()),
              WebServer::lighttpdConfig(folders(dir.path()), 8080).text);
    EXPECT_TRUE(QFileInfo(dir.path() + "/cgi-bin").isDir());
}

TEST(WebServer, AnyOtherProgramStartsInItsFolderWithoutProbing)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/bin");
    const QString marker = dir.path() + "/started";
    const QString program = writeRecorder(dir.path() + "/bin/myserver", marker);
    bool probed = false;
    WebServer::Setup s = setup(dir.path(), {[&] { return probed = true; },
                                            [&] {
                                                probed = true;
                                                return false;
                                            }});
    const auto outcome = WebServer::start(program, s);
    EXPECT_EQ(outcome.kind, WebServer::Outcome::Started);
    EXPECT_FALSE(probed);
    EXPECT_EQ(waitForFile(marker), dir.path() + "/bin");
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/run/lighttpd.conf"));
}

TEST(WebServer, AStartThatFailsSaysWhatTheProgramPrinted)
{
    QTemporaryDir dir;
    const QString run = dir.path() + "/run";
    const QString bare = writeScript(dir.path() + "/lighttpd",
                                     "echo 'No configuration available.' >&2\nexit 255\n");
    ASSERT_EQ(WebServer::start(bare, setup(dir.path())).kind, WebServer::Outcome::Started);
    EXPECT_EQ(waitForFile(run + "/start.status"), "255");
    const std::optional<QString> failure = WebServer::failedStart(bare, run);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains("\"" + bare + "\"")) << failure->toStdString();
    EXPECT_TRUE(failure->contains("exit code 255")) << failure->toStdString();
    EXPECT_TRUE(failure->contains("It printed:\nNo configuration available."))
            << failure->toStdString();

    // A launcher that put its server in the background and ended well is no failure.
    const QString daemon = writeScript(dir.path() + "/daemon", "echo serving\nexit 0\n");
    ASSERT_EQ(WebServer::start(daemon, setup(dir.path())).kind, WebServer::Outcome::Started);
    EXPECT_EQ(waitForFile(run + "/start.status"), "0");
    EXPECT_FALSE(WebServer::failedStart(daemon, run));
}

TEST(WebServer, FoldersComeFromTheSettingsWhenTheyExist)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/";
    TIniFile ini(home + "q.cfg");
    QDir().mkpath(home + "srv/cgi");
    ini.WriteString("Files_Directories", "cgi-bin", home + "srv/cgi");
    ini.WriteString("Files_Directories", "Perl", writeScript(home + "myperl", ""));
    WebServer::Folders f = WebServer::serverFolders(ini, home);
    EXPECT_EQ(f.documentRoot, home + "doc");
    EXPECT_EQ(f.cgiBin, home + "srv/cgi");
    EXPECT_EQ(f.perl, home + "myperl");
    // A CGI folder that is not there is the program folder's; a Perl that is not there, PATH's.
    ini.WriteString("Files_Directories", "cgi-bin", home + "gone");
    ini.WriteString("Files_Directories", "Perl", home + "noperl");
    f = WebServer::serverFolders(ini, home);
    EXPECT_EQ(f.cgiBin, home + "cgi-bin");
    EXPECT_TRUE(QFileInfo(f.perl).isAbsolute() && f.perl != home + "noperl");
    EXPECT_TRUE(QFileInfo(f.cgiStarter).isExecutable()) << f.cgiStarter.toStdString();
}

TEST(ServerConfig, ListensOnTheLoopbackOnly)
{
    QTemporaryDir dir;
    const QString text = WebServer::lighttpdConfig(folders(dir.path()), 8080).text;
    const QStringList lines = text.split(u'\n');
    EXPECT_EQ(lines.filter("server.bind").size(), 1);
    EXPECT_TRUE(lines.contains("server.bind = \"127.0.0.1\"")) << text.toStdString();
    EXPECT_TRUE(lines.contains("server.port = 8080"));
    EXPECT_TRUE(lines.contains("server.use-ipv6 = \"disable\""));
    EXPECT_FALSE(text.contains("$SERVER")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"/cgi-bin/\" => \"" + dir.path() + "/cgi-bin/\""));
}

// Scripts run through the starter, which learns the Perl to use from the server; what they
// print to standard error and each request go to logs in the run folder.
TEST(ServerConfig, ScriptsRunThroughTheStarterAndTheirErrorsAreLogged)
{
    const WebServer::Folders f = folders("/home/u/qf");
    const QString text = WebServer::lighttpdConfig(f, 8080).text;
    const QStringList lines = text.split(u'\n');
    const QString starter = "\"" + f.cgiStarter + "\"";
    EXPECT_TRUE(lines.contains("    cgi.assign = (\".pl\" => " + starter + ", \".cgi\" => "
                               + starter + ")"))
            << text.toStdString();
    EXPECT_TRUE(lines.contains(
            "    setenv.add-environment = (\"QUILLFORGE_CGI_PERL\" => \"/usr/bin/perl\")"));
    EXPECT_TRUE(lines.contains("server.breakagelog = \"/home/u/qf/run/cgi-error.log\""));
    EXPECT_TRUE(lines.contains("accesslog.filename = \"/home/u/qf/run/access.log\""));
    EXPECT_EQ(WebServer::cgiErrorLog(f), "/home/u/qf/run/cgi-error.log");
    EXPECT_EQ(WebServer::accessLog(f), "/home/u/qf/run/access.log");
    const QStringList format = lines.filter("accesslog.format = ");
    ASSERT_EQ(format.size(), 1);
    for (const char *field : {"%r", "%>s", "%{Content-Type}o", "%{Referer}i"})
        EXPECT_TRUE(format.first().contains(QLatin1String(field))) << field;
    for (const char *module : {"mod_cgi", "mod_setenv", "mod_accesslog"})
        EXPECT_TRUE(lines.first().contains(QLatin1String(module))) << module;
}

TEST(WebServer, LauncherNeedsTheCgiStarter)
{
    QTemporaryDir dir;
    const QString launcher = writeScript(dir.path() + "/" + kLauncher, "exit 0\n");
    WebServer::Setup s = setup(dir.path());
    s.folders.cgiStarter = dir.path() + "/quillforge-cgi";
    const auto refused = WebServer::start(launcher, s);
    EXPECT_EQ(refused.kind, WebServer::Outcome::Refused);
    EXPECT_TRUE(refused.message.contains("\"" + s.folders.cgiStarter + "\""))
            << refused.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/run/lighttpd.conf"));
}

TEST(ServerConfig, RefusesWhatItsQuotingCannotCarry)
{
    const QString root = QStringLiteral("/home/u/qf");
    const std::pair<QString WebServer::Folders::*, const char *> fields[]
            = {{&WebServer::Folders::documentRoot, "The document folder"},
               {&WebServer::Folders::cgiBin, "The CGI folder"},
               {&WebServer::Folders::perl, "The Perl interpreter"},
               {&WebServer::Folders::runDir, "The web server's run folder"},
               {&WebServer::Folders::cgiStarter, "The CGI starter"}};
    const QString bad[] = {"/x\" $SERVER[\"socket\"] == \"0.0.0.0:80\" { #",
                           "/x\\",
                           "/x\nserver.bind = \"0.0.0.0\"",
                           "/x\ry",
                           QStringLiteral("/x") + QChar(1),
                           QStringLiteral("/x") + QChar(0x85),
                           "relative/cgi-bin"};
    for (const auto &[field, what] : fields) {
        for (const QString &path : bad) {
            WebServer::Folders f = folders(root);
            f.*field = path;
            const WebServer::ServerConfig c = WebServer::lighttpdConfig(f, 8080);
            EXPECT_TRUE(c.text.isEmpty()) << what << " " << path.toStdString();
            EXPECT_TRUE(c.error.startsWith(QStringLiteral("%1 \"").arg(what)))
                    << c.error.toStdString();
            EXPECT_FALSE(c.error.contains(u'\n')) << c.error.toStdString();
        }
    }
}

// lighttpd itself reads what is written, with the characters a folder may well hold.
TEST(ServerConfig, LighttpdAcceptsTheConfiguration)
{
    const QString server = Platform::findWebServerProgram();
    if (server.isEmpty())
        GTEST_SKIP() << "lighttpd is not installed";
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/my site's $HOME (ü) {x} #1");
    WebServer::Folders f = folders(root);
    for (const QString &d : {f.documentRoot, f.cgiBin, f.runDir})
        ASSERT_TRUE(QDir().mkpath(d));
    const WebServer::ServerConfig c = WebServer::lighttpdConfig(f, 8080);
    ASSERT_FALSE(c.text.isEmpty()) << c.error.toStdString();
    QFile conf(f.runDir + "/lighttpd.conf");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(c.text.toUtf8());
    conf.close();
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(server, {"-p", "-f", conf.fileName()});
    ASSERT_TRUE(check.waitForFinished(10000));
    const QString printed = QString::fromUtf8(check.readAll());
    EXPECT_EQ(check.exitCode(), 0) << printed.toStdString();
    EXPECT_TRUE(printed.contains("\"" + f.cgiBin + "/\"")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("server.bind") && printed.contains("\"127.0.0.1\""))
            << printed.toStdString();
}
