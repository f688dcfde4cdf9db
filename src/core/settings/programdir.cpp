#include "core/settings/programdir.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

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
    if (from == to)
        return;
    for (const char *sub : {"etc", "lib", "doc"}) {
        const QString s = from + QLatin1String(sub);
        const QString d = to + QLatin1String(sub);
        if (!QFileInfo::exists(d) && QFileInfo(s).isDir())
            copyTree(s, d);
    }
    for (const QString &f : shippedFiles) {
        if (!QFileInfo::exists(to + f) && QFileInfo(from + f).isFile())
            QFile::copy(from + f, to + f);
    }
    QDir().mkpath(to + QStringLiteral("etc"));
}
