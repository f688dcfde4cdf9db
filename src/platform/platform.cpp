#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// The platform's defaults, in one place.
struct Defaults
{
    const char *perlBinDir = "/usr/bin";
    const char *perlExe = "perl";
    const char *webServerLauncher = "quillforge-webserver";
    const char *webServerProgram = "lighttpd";
    const char *cgiStarter = "quillforge-cgi";
    const char *commandInterpreter = "/bin/sh";
    const char *commandSwitch = " -c ";
    const char *localHttp = "http://127.0.0.1:8080";
    const char *runScratch = "test.pl";
    const char *bugReport = "Quillforge Bugreport.rtf";
    const char *desktopOpener = "xdg-open";
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
    return perl.isEmpty() ? QString::fromLatin1(kDefaults.perlBinDir)
                          : QFileInfo(perl).absolutePath();
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

QString Platform::cgiStarterName()
{
    return QString::fromLatin1(kDefaults.cgiStarter);
}

QString Platform::findWebServerProgram()
{
    const QString name = QString::fromLatin1(kDefaults.webServerProgram);
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    // Servers live in sbin, which an ordinary user's PATH lacks.
    return QStandardPaths::findExecutable(name,
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                           QStringLiteral("/usr/local/sbin")});
}

bool Platform::localPortAnswers(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // The loopback answers at once, either accepting or refusing.
    const bool answers = ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    ::close(fd);
    return answers;
}

bool Platform::runsAsAdministrator()
{
    return ::geteuid() == 0;
}

Platform::FileKind Platform::fileKind(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return FileKind::Missing;
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(st.st_mode))
        return FileKind::Folder;
    if (S_ISFIFO(st.st_mode))
        return FileKind::Pipe;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return FileKind::Device;
    if (S_ISSOCK(st.st_mode))
        return FileKind::Socket;
    return FileKind::Other;
}

QString Platform::driveIdentity(const QString &programDir)
{
    QByteArray seed;
    QFile id(QStringLiteral("/etc/machine-id"));
    if (id.open(QIODevice::ReadOnly))
        seed = id.readAll().trimmed();
    struct statvfs vfs
    {};
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

QString Platform::desktopOpener()
{
    return QString::fromLatin1(kDefaults.desktopOpener);
}

bool Platform::displayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

QString Platform::installedIconTheme()
{
    for (const char *t : {"breeze", "Adwaita"}) {
        if (QFileInfo::exists(
                    QStringLiteral("/usr/share/icons/%1/index.theme").arg(QLatin1String(t))))
            return QLatin1String(t);
    }
    return {};
}

QString Platform::fileDialogFilter(const QString &pairs)
{
    // Linux programs and libraries carry no extension: such patterns would hide every one.
    static const QStringList foreign = {QStringLiteral("*.exe"), QStringLiteral("*.com"),
                                        QStringLiteral("*.dll"), QStringLiteral("*.bat")};
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // "Name (*.a,*.b)": the patterns are given again below, in their own field.
        const qsizetype paren = description.indexOf(u'(');
        if (paren > 0)
            description = description.left(paren).trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
            if (!foreign.contains(p, Qt::CaseInsensitive) && !patterns.contains(p))
                patterns << p;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString filter = QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
        if (!filters.contains(filter))
            filters << filter;
    }
    return filters.join(QStringLiteral(";;"));
}

QString Platform::signalName(int signal)
{
    if (signal <= 0 || signal >= NSIG)
        return {};
    const char *name = strsignal(signal);
    return name ? QString::fromLocal8Bit(name) : QString();
}
