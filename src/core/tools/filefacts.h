#pragma once

#include <QDateTime>
#include <QString>

// What the properties dialog tells of a file on disk.
struct FileFacts
{
    QString name;
    QString type;     // the desktop's name of the file type; "<Dir>" for a folder
    QString location; // the folder, without a trailing "/" unless it is the root
    QString size;
    QString dosName; // no short names here: always empty
    QString created;
    QString edited;
    QString accessed;
};

// now stands in for a time the file system does not keep.
FileFacts gatherFileFacts(const QString &path, const QDateTime &now);
// "1.5 kb (1,536 bytes)": the unit text " kb" with the exact count beside it.
QString fileSizeText(qint64 bytes);

// The backup of a script: its path with "~" appended.
QString backupPath(const QString &scriptPath);
// The backup's file name when it exists, else "[no known backup created]".
QString backupCaption(const QString &scriptPath);
