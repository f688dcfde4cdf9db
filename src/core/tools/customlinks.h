#pragma once

#include <QString>
#include <QStringList>

class TIniFile;

// One stored link of section "CustomLinks": "program|parameters|icon file|icon index".
struct CustomLink
{
    QString name;
    QString program;
    QString parameters;
    QString iconFile;
    int iconIndex = 0;
};

namespace CustomLinks {

inline const QString kSection = QStringLiteral("CustomLinks");

// Reads one value with the field rule; an index that is not a whole number gives 0, so one
// hand-edited line cannot hide the links after it.
CustomLink parse(const QString &name, const QString &value);
// Every stored link in file order.
QList<CustomLink> load(const TIniFile &settings);
// The value the page writes: the icon box "file,index" becomes "file|index".
QString composeValue(const QString &program, const QString &parameters, const QString &iconBox);
// Text of the icon box for a stored value.
QString iconBoxText(const QString &value);
// The folder a link starts in: the folder part of the program path, empty without one.
QString workingFolder(const QString &program);
// Arguments as a shell would split them.
QStringList arguments(const QString &parameters);
// Why a name cannot be a link name; empty when it can.
QString nameProblem(const QString &name);
// Follows the link as the shell's "open" does: a program starts with its parameters in its
// folder; a file, folder or address is opened by the desktop. False when nothing could start.
bool start(const CustomLink &link);

} // namespace CustomLinks
