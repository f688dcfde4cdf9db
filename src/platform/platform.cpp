#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// The platform's defaults, in one place.
struct Defaults
{
    const char *perlBinDir = "/usr/bin";
    const char *perlExe = "perl";
    const char *webServerLauncher = "quillforge-webserver";
    const char *commandInterpreter = "/bin/sh";
    const char *commandSwitch = " -c ";
    const char *localHttp = "http://127.0.0.1:8080";
    const char *runScratch = "test.pl";
    const char *bugReport = "Quillforge Bugreport.rtf";
} const kDefaults;

quint32 fnv1a(const QByteArray &data, quint32 h = 2166136261u)
{
    for (char c : data) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

} // namespace

QString Platform::perlBinDir()
{
    const QString perl = QStandardPaths::findExecutable(QString::fromLatin1(kDefaults.perlExe));
    return perl.isEmpty() ? QString::fromLatin1(kDefaults.perlBinDir) : QFileInfo(perl).absolutePath();
}

QString Platform::perlExecutableName()
{
    return QString::fromLatin1(kDefaults.perlExe);
}

QString Platform::perlOpenCommand()
{
    const QString perl = QStandardPaths::findExecutable(QString::fromLatin1(kDefaults.perlExe));
    return perl.isEmpty() ? QString() : perl + QStringLiteral(" \"%1\" %*");
}

QString Platform::webServerDir(const QString &programDir)
{
    return QDir::cleanPath(programDir);
}

QString Platform::webServerLauncherName()
{
    return QString::fromLatin1(kDefaults.webServerLauncher);
}

QString Platform::driveIdentity(const QString &programDir)
{
    QByteArray seed;
    QFile id(QStringLiteral("/etc/machine-id"));
    if (id.open(QIODevice::ReadOnly))
        seed = id.readAll().trimmed();
    struct statvfs vfs {};
    if (::statvfs(QFile::encodeName(programDir).constData(), &vfs) == 0)
        seed += QByteArray::number(qulonglong(vfs.f_fsid));
    const quint32 h = fnv1a(seed);
    return QStringLiteral("%1-%2")
        .arg(h >> 16, 4, 16, QLatin1Char('0'))
        .arg(h & 0xFFFF, 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString Platform::registeredOwner()
{
    if (const passwd *pw = ::getpwuid(::getuid())) {
        const QString gecos = QString::fromLocal8Bit(pw->pw_gecos).section(u',', 0, 0).trimmed();
        if (!gecos.isEmpty())
            return gecos;
        const QString login = QString::fromLocal8Bit(pw->pw_name);
        if (!login.isEmpty())
            return login;
    }
    return QStringLiteral("[?]");
}

QString Platform::defaultRunAutoSaveAs()
{
    return QDir::homePath() + u'/' + QString::fromLatin1(kDefaults.runScratch);
}

QString Platform::defaultCommandInterpreter()
{
    return QString::fromLatin1(kDefaults.commandInterpreter);
}

QString Platform::commandInterpreterSwitch()
{
    return QString::fromLatin1(kDefaults.commandSwitch);
}

QString Platform::localHttpAddress()
{
    return QString::fromLatin1(kDefaults.localHttp);
}

QString Platform::defaultCgiBin(const QString &programDir)
{
    return QDir::cleanPath(programDir) + QStringLiteral("/cgi-bin");
}

QString Platform::defaultBugReportFile()
{
    return QDir::homePath() + u'/' + QString::fromLatin1(kDefaults.bugReport);
}
