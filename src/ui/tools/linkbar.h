#pragma once

#include <QIcon>
#include <QString>

class QListWidget;
class TIniFile;

namespace LinkBar {

// Fills view with the stored links: caption = name, icon taken from the link's icon file.
void LoadCustomLinks(QListWidget *view, const TIniFile &settings);
// The icon shown for an icon file: a picture file shows its picture (image index of a file
// that holds several), another file its type's icon; a missing file gives the generic program
// icon.
QIcon linkIcon(const QString &iconFile, int index = 0);
// Follows the link stored under name: a program starts, anything else is opened by the
// desktop. What cannot start is not reported.
bool startLink(const TIniFile &settings, const QString &name);

} // namespace LinkBar
