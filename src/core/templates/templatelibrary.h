#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The template library below the program folder: lib/GROUP/NAME.plt, icon bitmaps in lib/.
// The library came from a system that ignores case in file names, so groups, templates and
// icons are found here without regard to case as well.
namespace TemplateLibrary {
QString libDir(const QString &programDir); // ends with "/"
} // namespace TemplateLibrary

// How a group folder's name is shown: first character upper case, the rest lower case.
QString groupDisplayName(const QString &folderName);

// The display names of the group folders, in the order the file system lists them. Hidden
// folders (".name") are no groups; a folder without write permission still is one, since a
// system-wide installation has nothing else. Names that differ only in case are listed once.
QStringList ListTemplateGroups(const QString &libDir);

// The plain files of folder matching mask ("*.plt", "*.bmp"; case ignored), in file-system
// order, without folder.
QStringList ListTemplateFiles(const QString &folder, const QString &mask);

// The folder of group below libDir: an existing one whatever its case, else libDir + group.
QString groupFolder(const QString &libDir, const QString &group);
// The file name within folder: an existing one whatever its case, else name itself.
QString fileInFolder(const QString &folder, const QString &name);

// The file name part of path without its extension (from the last ".").
QString FileNameWithoutExt(const QString &path);

// The icon bitmaps of lib/, listed once: an icon name N stands for lib/N.bmp.
class IconFiles
{
public:
    explicit IconFiles(const QString &libDir);
    // The file of icon name, whatever its case; empty when there is none.
    QString path(const QString &name) const;

private:
    QString m_libDir;
    QHash<QString, QString> m_byLowerName; // lower-case name -> file name
};

// What is wrong with a group or template name typed by the user, as a message; empty when
// it can be used. A name must not lead out of lib/ or be empty.
enum class NameKind { Group, Template };
QString templateNameProblem(const QString &name, NameKind kind);
