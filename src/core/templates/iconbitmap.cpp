#include "core/templates/iconbitmap.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>

#include <algorithm>

namespace {

// Compressed data is read whole; more than this is no icon.
constexpr qint64 kMaxCompressedBytes = 16 << 20;
// Files up to this size are read whole.
constexpr qint64 kWholeReadBytes = 64 << 10;
// Larger sizes are no bitmap anyone made on purpose; they would overflow the row arithmetic.
constexpr qint64 kMaxSide = 1 << 20;

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

quint32 le(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

struct Channel
{
    quint32 mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(quint32 m = 0)
        : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        while (bits + shift < 32 && ((m >> (shift + bits)) & 1))
            ++bits;
    }
    quint32 of(quint32 value) const
    {
        if (!bits)
            return 0;
        const quint32 v = (value & mask) >> shift;
        return bits >= 8 ? v >> (bits - 8) : v * 255 / ((1u << bits) - 1);
    }
};

quint32 rgb(quint32 r, quint32 g, quint32 b)
{
    return 0xff000000u | (r << 16) | (g << 8) | b;
}

struct Header
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bits = 0;
    quint32 compression = Rgb;
    qint64 dataOffset = 0;
    Channel red, green, blue;
    std::vector<quint32> palette;

    quint32 colour(quint32 index) const
    {
        return index < palette.size() ? palette[index] : rgb(0, 0, 0);
    }
};

bool readExactly(QIODevice &d, qint64 at, qint64 n, QByteArray &out)
{
    if (!d.seek(at))
        return false;
    out = d.read(n);
    return out.size() == n;
}

std::optional<Header> readHeader(QIODevice &d)
{
    QByteArray b;
    if (!readExactly(d, 0, 18, b) || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    Header h;
    h.dataOffset = le(b, 10, 4);
    const quint32 dibSize = le(b, 14, 4);
    const bool core = dibSize == 12;
    if (!core && (dibSize < 40 || dibSize > 1024))
        return std::nullopt;
    QByteArray dib;
    if (!readExactly(d, 14, dibSize, dib))
        return std::nullopt;
    qint64 paletteAt = 14 + dibSize;
    if (core) {
        h.width = le(dib, 4, 2);
        h.height = le(dib, 6, 2);
        h.bits = int(le(dib, 10, 2));
    } else {
        h.width = qint32(le(dib, 4, 4));
        h.height = qint32(le(dib, 8, 4));
        h.bits = int(le(dib, 14, 2));
        h.compression = le(dib, 16, 4);
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxSide || h.height > kMaxSide)
        return std::nullopt;
    const bool fields = h.compression == BitFields || h.compression == AlphaBitFields;
    const bool known = (h.compression == Rgb
                        && (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16
                            || h.bits == 24 || h.bits == 32))
                       || (fields && (h.bits == 16 || h.bits == 32))
                       || (h.compression == Rle8 && h.bits == 8)
                       || (h.compression == Rle4 && h.bits == 4);
    if (!known || (h.topDown && (h.compression == Rle8 || h.compression == Rle4)))
        return std::nullopt;

    if (fields) {
        QByteArray masks = dib.mid(40, 12);
        if (dibSize == 40) { // the masks follow the header
            if (!readExactly(d, paletteAt, 12, masks))
                return std::nullopt;
            paletteAt += h.compression == AlphaBitFields ? 16 : 12;
        }
        if (masks.size() < 12)
            return std::nullopt;
        h.red = Channel(le(masks, 0, 4));
        h.green = Channel(le(masks, 4, 4));
        h.blue = Channel(le(masks, 8, 4));
    } else if (h.bits == 16) {
        h.red = Channel(0x7c00);
        h.green = Channel(0x03e0);
        h.blue = Channel(0x001f);
    } else if (h.bits == 32) {
        h.red = Channel(0xff0000);
        h.green = Channel(0xff00);
        h.blue = Channel(0xff);
    }

    if (h.bits <= 8) {
        const qint64 used = core ? 0 : le(dib, 32, 4);
        const qint64 count = used > 0 && used < (1 << h.bits) ? used : (1 << h.bits);
        const int entry = core ? 3 : 4;
        QByteArray pal;
        // A palette cut short leaves the missing colours black.
        if (d.seek(paletteAt))
            pal = d.read(count * entry);
        for (qint64 i = 0; i + entry <= pal.size(); i += entry)
            h.palette.push_back(
                    rgb(quint8(pal[int(i + 2)]), quint8(pal[int(i + 1)]), quint8(pal[int(i)])));
    }
    return h;
}

quint32 pixelOf(const Header &h, const QByteArray &row, int x)
{
    switch (h.bits) {
    case 1:
        return h.colour((quint8(row[x / 8]) >> (7 - x % 8)) & 1);
    case 4:
        return h.colour((quint8(row[x / 2]) >> (x % 2 ? 0 : 4)) & 0xf);
    case 8:
        return h.colour(quint8(row[x]));
    case 24:
        return rgb(quint8(row[x * 3 + 2]), quint8(row[x * 3 + 1]), quint8(row[x * 3]));
    default: {
        const quint32 v = le(row, x * (h.bits / 8), h.bits / 8);
        return rgb(h.red.of(v), h.green.of(v), h.blue.of(v));
    }
    }
}

std::optional<PixelImage> readRows(QIODevice &d, const Header &h, int w, int ht)
{
    const qint64 stride = (h.width * h.bits + 31) / 32 * 4;
    const qint64 needed = (qint64(w) * h.bits + 7) / 8;
    PixelImage img(w, ht);
    QByteArray row;
    for (int y = 0; y < ht; ++y) {
        const qint64 fileRow = h.topDown ? y : h.height - 1 - y;
        if (!readExactly(d, h.dataOffset + fileRow * stride, needed, row))
            return std::nullopt;
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, pixelOf(h, row, x));
    }
    return img;
}

// Run-length encoded rows start at the bottom; the corner is at the end of the data.
std::optional<PixelImage> readRle(QIODevice &d, const Header &h, int w, int ht)
{
    if (!d.seek(h.dataOffset))
        return std::nullopt;
    const QByteArray data = d.read(kMaxCompressedBytes);
    PixelImage img(w, ht, h.colour(0));
    const bool four = h.compression == Rle4;
    qint64 x = 0;
    qint64 fromBottom = 0;
    auto put = [&](quint32 index) {
        const qint64 y = h.height - 1 - fromBottom;
        if (x < w && y >= 0 && y < ht)
            img.setPixel(int(x), int(y), h.colour(index));
        ++x;
    };
    qsizetype i = 0;
    while (i + 1 < data.size() && fromBottom < h.height) {
        const quint8 n = quint8(data[i]);
        const quint8 c = quint8(data[i + 1]);
        i += 2;
        if (n > 0) {
            for (int k = 0; k < n; ++k)
                put(four ? (k % 2 ? c & 0xf : c >> 4) : c);
        } else if (c == 0) {
            x = 0;
            ++fromBottom;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            if (i + 1 >= data.size())
                break;
            x += quint8(data[i]);
            fromBottom += quint8(data[i + 1]);
            i += 2;
        } else {
            const qsizetype bytes = four ? (c + 1) / 2 : c;
            if (i + bytes > data.size())
                break;
            for (int k = 0; k < c; ++k) {
                const quint8 b = quint8(data[i + (four ? k / 2 : k)]);
                put(four ? (k % 2 ? b & 0xf : b >> 4) : b);
            }
            i += bytes + (bytes % 2); // runs end on a 16-bit boundary
        }
    }
    return img;
}

} // namespace

PixelImage PixelImage::copy(int x, int y, int w, int h) const
{
    const int cw = std::max(0, std::min(w, width - x));
    const int ch = std::max(0, std::min(h, height - y));
    PixelImage out(cw, ch);
    for (int row = 0; row < ch; ++row) {
        for (int col = 0; col < cw; ++col)
            out.setPixel(col, row, pixel(x + col, y + row));
    }
    return out;
}

std::optional<PixelImage> readBitmapCorner(QIODevice &device, int maxWidth, int maxHeight)
{
    const auto h = readHeader(device);
    if (!h)
        return std::nullopt;
    const int w = int(std::min<qint64>(h->width, maxWidth));
    const int ht = int(std::min<qint64>(h->height, maxHeight));
    if (h->compression == Rle8 || h->compression == Rle4)
        return readRle(device, *h, w, ht);
    return readRows(device, *h, w, ht);
}

std::optional<PixelImage> readBitmapCorner(const QString &path, int maxWidth, int maxHeight)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (f.size() > kWholeReadBytes)
        return readBitmapCorner(f, maxWidth, maxHeight);
    // An icon's file is read at once rather than row by row.
    QByteArray bytes = f.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readBitmapCorner(buffer, maxWidth, maxHeight);
}

PixelImage NormalizeIcon16(const PixelImage &image)
{
    PixelImage icon(16, 16, image.isNull() ? 0xffc0c0c0 : image.pixel(0, 0));
    for (int y = 0; y < std::min(16, image.height); ++y) {
        for (int x = 0; x < std::min(16, image.width); ++x)
            icon.setPixel(x, y, image.pixel(x, y));
    }
    return icon;
}

std::optional<PixelImage> loadIcon16(const QString &path)
{
    const auto corner = readBitmapCorner(path);
    if (!corner)
        return std::nullopt;
    return NormalizeIcon16(*corner);
}
