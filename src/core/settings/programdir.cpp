#include "core/settings/programdir.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString withSlash(const QString &dir)
{
    const QString clean = QDir::cleanPath(QDir(dir).absolutePath());
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else if (!QFileInfo::exists(dst))
            QFile::copy(src, dst);
    }
}

// The state files of etc/. Each is saved through a temporary file beside it that is renamed
// over it; a kill in between leaves "<name>.XXXXXX" behind.
const QRegularExpression kSaveLeftover(
        QStringLiteral("^(quillforge\\.cfg|runsettings\\.cfg|tasks\\.dat|editorcolors\\.def|"
                       "template\\.tmp|prev\\.html)\\.[A-Za-z0-9]{6}$"));

void removeSaveLeftovers(const QString &etcDir)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QFileInfoList files = QDir(etcDir).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &f : files) {
        // A fresh one may belong to a save running in another window of the program.
        if (kSaveLeftover.match(f.fileName()).hasMatch() && f.lastModified().secsTo(now) > 60)
            QFile::remove(f.absoluteFilePath());
    }
}

} // namespace

StartupArgs parseStartupArgs(const QStringList &args, const QString &exeDir)
{
    StartupArgs r;
    QString home = qEnvironmentVariable("QUILLFORGE_HOME");
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--home") && i + 1 < args.size())
            home = args[++i];
        else if (a.startsWith(QLatin1String("--home=")))
            home = a.mid(7);
        else if (!a.startsWith(QLatin1String("--")) || QFileInfo::exists(a))
            r.files << QFileInfo(a).absoluteFilePath();
    }
    r.programDir = withSlash(home.isEmpty() ? exeDir : home);
    return r;
}

void ensureProgramData(const QString &programDir, const QString &shippedDir,
                       const QStringList &shippedFiles)
{
    const QString from = withSlash(shippedDir);
    const QString to = withSlash(programDir);
    removeSaveLeftovers(to + QStringLiteral("etc"));
    if (from == to)
        return;
    // File by file: a folder that exists may still lack some of the shipped files. The template
    // library is the user's to prune: once it exists, a template or group they removed stays
    // removed.
    for (const char *sub : {"etc", "lib", "doc"}) {
        const QString s = from + QLatin1String(sub);
        const QString d = to + QLatin1String(sub);
        if (QFileInfo(s).isDir() && (qstrcmp(sub, "lib") != 0 || !QFileInfo::exists(d)))
            copyTree(s, d);
    }
    for (const QString &f : shippedFiles) {
        if (!QFileInfo::exists(to + f) && QFileInfo(from + f).isFile())
            QFile::copy(from + f, to + f);
    }
    QDir().mkpath(to + QStringLiteral("etc"));
}
