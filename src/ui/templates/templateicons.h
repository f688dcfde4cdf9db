#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

#include <optional>

struct PixelImage;

// A palette icon on screen: its pixels of the top-left pixel's colour are transparent.
QPixmap iconPixmap(const PixelImage &icon16);
// The icon of a bitmap file (see NormalizeIcon16), or none when it cannot be read as one.
std::optional<QPixmap> loadIconPixmap(const QString &path);

// The seven images every palette image list starts with, cut from the strip lib/palette.bmp.
// Image 0 is what a template without icon files shows; it is drawn when the strip is missing.
QList<QPixmap> builtinPaletteImages(const QString &libDir);
