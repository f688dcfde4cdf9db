#include "core/run/webserver.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// A program that records the folder it was started in.
QString writeRecorder(const QString &path, const QString &marker)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("#!/bin/sh\npwd > '%1'\n").arg(marker).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
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

} // namespace

TEST(WebServer, ProgramIsTheSettingOrTheShippedLauncher)
{
    QTemporaryDir dir;
    TIniFile ini(dir.path() + "/q.cfg");
    EXPECT_EQ(WebServer::programPath(ini, dir.path() + "/", kLauncher),
              dir.path() + "/" + kLauncher);
    ini.WriteString("Files_Directories", "WebServer", "/srv/web/start");
    EXPECT_EQ(WebServer::programPath(ini, dir.path() + "/", kLauncher), "/srv/web/start");
}

TEST(WebServer, WorkingDirIsTheProgramsFolder)
{
    EXPECT_EQ(WebServer::workingDir("/opt/web/bin/server"), "/opt/web/bin");
    EXPECT_EQ(WebServer::workingDir("/server"), "/");
    EXPECT_EQ(WebServer::workingDir("server"), QDir::currentPath());
}

TEST(WebServer, MissingProgramIsNamedInTheMessage)
{
    const auto outcome = WebServer::start("/no/such dir/xitami.exe", kLauncher, probe(false, true),
                                          kLocal);
    EXPECT_EQ(outcome.kind, WebServer::Outcome::Missing);
    EXPECT_FALSE(outcome.pressed());
    EXPECT_EQ(
            outcome.message,
            "Oops! The webserver could not be started.\n\nReason: The file \"/no/such "
            "dir/xitami.exe\" "
            "cannot be found. Open Extras|Options|Files/Directories to specify the correct path to "
            "a webserver.");
    // A folder is not a program either.
    EXPECT_EQ(WebServer::start(QDir::tempPath(), kLauncher, probe(false, true), kLocal).kind,
              WebServer::Outcome::Missing);
}

TEST(WebServer, LauncherIsNotStartedTwiceNorWithoutItsServer)
{
    QTemporaryDir dir;
    const QString marker = dir.path() + "/started";
    const QString launcher = writeRecorder(dir.path() + "/" + kLauncher, marker);

    auto running = WebServer::start(launcher, kLauncher, probe(true, true), kLocal);
    EXPECT_EQ(running.kind, WebServer::Outcome::AlreadyRunning);
    EXPECT_TRUE(running.pressed());
    EXPECT_TRUE(running.message.contains(kLocal + "/cgi-bin/")) << running.message.toStdString();

    auto missing = WebServer::start(launcher, kLauncher, probe(false, false), kLocal);
    EXPECT_EQ(missing.kind, WebServer::Outcome::NotInstalled);
    EXPECT_FALSE(missing.pressed());
    EXPECT_TRUE(missing.message.contains("lighttpd"));

    QThread::msleep(200);
    EXPECT_FALSE(QFileInfo::exists(marker));

    auto started = WebServer::start(launcher, kLauncher, probe(false, true), kLocal);
    EXPECT_EQ(started.kind, WebServer::Outcome::Started);
    EXPECT_TRUE(started.message.isEmpty());
    EXPECT_EQ(waitForFile(marker), dir.path());
}

TEST(WebServer, AnyOtherProgramStartsInItsFolderWithoutProbing)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/bin");
    const QString marker = dir.path() + "/started";
    const QString program = writeRecorder(dir.path() + "/bin/myserver", marker);
    bool probed = false;
    WebServer::Probe p{[&] { return probed = true; },
                       [&] {
                           probed = true;
                           return false;
                       }};
    const auto outcome = WebServer::start(program, kLauncher, p, kLocal);
    EXPECT_EQ(outcome.kind, WebServer::Outcome::Started);
    EXPECT_FALSE(probed);
    EXPECT_EQ(waitForFile(marker), dir.path() + "/bin");
}
