#pragma once

#include <QIcon>
#include <QStringList>
#include <QStyle>

// Icons come from the desktop theme (breeze on Debian); an icon the theme lacks, or every icon
// when there is no theme, comes from the program's own set, which has one for every name the
// program uses. The style's icon is the last resort.
QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback = QStyle::SP_CustomBase);
// Every name themeIcon() has been asked for so far, sorted.
QStringList askedIconNames();
// The program's own icon, drawn rather than shipped as a bitmap.
QIcon appIcon();
void initIconTheme();
// The picture of a script on tabs and in the recent-files menu.
QIcon scriptIcon();
