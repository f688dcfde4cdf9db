#include "platform/filestamp.h"

#include <QFile>

#include <sys/stat.h>

Platform::FileStamp Platform::fileStamp(const QString &path)
{
    FileStamp stamp;
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0
        || !S_ISREG(st.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + qint64(st.st_mtim.tv_nsec);
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    return stamp;
}
