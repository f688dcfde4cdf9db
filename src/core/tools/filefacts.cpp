#include "core/tools/filefacts.h"

#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

namespace {

QString timeText(const QDateTime &t, const QDateTime &now)
{
    const QDateTime shown = t.isValid() && t.toMSecsSinceEpoch() > 0 ? t.toLocalTime() : now;
    return QLocale::system().toString(shown, QLocale::ShortFormat);
}

} // namespace

FileFacts gatherFileFacts(const QString &path, const QDateTime &now)
{
    const QFileInfo info(path);
    FileFacts f;
    f.name = info.fileName();
    f.type = info.isDir() ? QStringLiteral("<Dir>")
                          : QMimeDatabase().mimeTypeForFile(info).comment();
    f.location = info.absolutePath();
    f.size = fileSizeText(info.isDir() ? 0 : info.size());
    f.created = timeText(info.birthTime(), now);
    f.edited = timeText(info.lastModified(), now);
    f.accessed = timeText(info.lastRead(), now);
    return f;
}

QString fileSizeText(qint64 bytes)
{
    const QLocale l = QLocale::system();
    return QStringLiteral("%1 kb (%2 bytes)")
            .arg(l.toString(double(bytes) / 1024.0, 'f', bytes % 1024 ? 1 : 0))
            .arg(l.toString(bytes));
}

QString backupPath(const QString &scriptPath)
{
    return scriptPath + u'~';
}

QString backupCaption(const QString &scriptPath)
{
    const QFileInfo backup(backupPath(scriptPath));
    if (!scriptPath.isEmpty() && backup.exists())
        return backup.fileName();
    return QStringLiteral("[no known backup created]");
}
