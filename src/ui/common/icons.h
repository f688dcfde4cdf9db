#pragma once

#include <QIcon>
#include <QStyle>

// Icons come from the desktop theme (breeze on Debian) with the style's own as fallback.
QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback = QStyle::SP_CustomBase);
// The program's own icon, drawn rather than shipped as a bitmap.
QIcon appIcon();
void initIconTheme();
// The picture of a script on tabs and in the recent-files menu.
QIcon scriptIcon();
