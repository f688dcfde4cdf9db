#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

class QIODevice;

// A picture as rows of pixels (0xffRRGGBB), top row first.
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<quint32> pixels;

    PixelImage() = default;
    PixelImage(int w, int h, quint32 fill = 0xff000000)
        : width(w)
        , height(h)
        , pixels(size_t(w) * size_t(h), fill)
    {}
    bool isNull() const { return width <= 0 || height <= 0; }
    quint32 pixel(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void setPixel(int x, int y, quint32 p) { pixels[size_t(y) * size_t(width) + size_t(x)] = p; }
    // The pixels of the rectangle at (x, y), clipped to the picture.
    PixelImage copy(int x, int y, int w, int h) const;
};

// The top-left corner (at most maxWidth x maxHeight pixels) of a Windows bitmap: the
// uncompressed kinds of 1, 4, 8, 16, 24 and 32 bits per pixel, with or without bit fields,
// stored either way up, and the run-length encoded 4- and 8-bit kinds. Only the corner's rows
// of an uncompressed bitmap are read, so a huge file costs no more than a small one. None when
// the data is no bitmap of these kinds or is cut short.
std::optional<PixelImage> readBitmapCorner(QIODevice &device, int maxWidth = 16, int maxHeight = 16);
std::optional<PixelImage> readBitmapCorner(const QString &path, int maxWidth = 16,
                                           int maxHeight = 16);

// A palette icon from any picture: 16x16, filled with the colour of the picture's top-left
// pixel, with the picture's top-left 16x16 pixels on it, unscaled. A larger picture is cropped;
// a smaller one is padded right and below with that colour, which is the icon's transparent
// colour.
PixelImage NormalizeIcon16(const PixelImage &image);

// The icon of a bitmap file, or none when it cannot be read as one.
std::optional<PixelImage> loadIcon16(const QString &path);
