#pragma once

#include <QString>

namespace Platform {

// What tells one state of a file from another without reading it: which file the path leads
// to (device and inode: a rename over it makes another one) and its size and modification time.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FileStamp &a, const FileStamp &b)
    {
        if (!a.exists || !b.exists)
            return a.exists == b.exists;
        return a.size == b.size && a.modifiedNs == b.modifiedNs && a.device == b.device
               && a.inode == b.inode;
    }
    friend bool operator!=(const FileStamp &a, const FileStamp &b) { return !(a == b); }
};

// The stamp of what path names now, following links; a path that names no regular file has
// none (exists is false). Asks the file system only, never opens the file.
FileStamp fileStamp(const QString &path);

} // namespace Platform
