#include "core/templates/iconbitmap.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using PixelFn = std::function<quint32(int x, int y)>; // 0xRRGGBB

void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}

void put32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

// A Windows bitmap with a 40-byte header. rows: the pixel data, bottom row first unless the
// height is negative.
QByteArray bmp(int w, int h, int bits, quint32 compression, const QByteArray &extra,
               const QByteArray &rows)
{
    QByteArray dib;
    put32(dib, 40);
    put32(dib, quint32(w));
    put32(dib, quint32(h));
    put16(dib, 1);
    put16(dib, quint16(bits));
    put32(dib, compression);
    put32(dib, quint32(rows.size()));
    put32(dib, 2835);
    put32(dib, 2835);
    put32(dib, 0);
    put32(dib, 0);
    QByteArray file("BM");
    put32(file, quint32(14 + dib.size() + extra.size() + rows.size()));
    put32(file, 0);
    put32(file, quint32(14 + dib.size() + extra.size()));
    return file + dib + extra + rows;
}

QByteArray rows24(int w, int h, const PixelFn &px, bool topDown = false)
{
    QByteArray out;
    const int stride = (w * 3 + 3) / 4 * 4;
    for (int i = 0; i < h; ++i) {
        const int y = topDown ? i : h - 1 - i;
        QByteArray row;
        for (int x = 0; x < w; ++x) {
            const quint32 c = px(x, y);
            row.append(char(c & 0xff)).append(char((c >> 8) & 0xff)).append(char(c >> 16));
        }
        out += row + QByteArray(stride - row.size(), '\0');
    }
    return out;
}

std::optional<PixelImage> decode(const QByteArray &file, int maxW = 16, int maxH = 16)
{
    QByteArray copy = file;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    return readBitmapCorner(buf, maxW, maxH);
}

quint32 opaque(quint32 rgb)
{
    return 0xff000000u | rgb;
}

// Every pixel of image equals px.
void expectPixels(const PixelImage &img, const PixelFn &px, const char *what)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x)
            ASSERT_EQ(img.pixel(x, y), opaque(px(x, y))) << what << " at " << x << "," << y;
    }
}

const PixelFn kGradient = [](int x, int y) {
    return quint32(x * 8) << 16 | quint32(y * 8) << 8 | 0x40;
};

TEST(IconBitmap, TwentyFourBitsEitherWayUp)
{
    for (bool topDown : {false, true}) {
        // A negative height stores the top row first.
        const auto img = decode(
                bmp(20, topDown ? -18 : 18, 24, 0, {}, rows24(20, 18, kGradient, topDown)));
        ASSERT_TRUE(img) << topDown;
        EXPECT_EQ(img->width, 16);
        EXPECT_EQ(img->height, 16);
        expectPixels(*img, kGradient, topDown ? "top-down" : "bottom-up");
    }
}

TEST(IconBitmap, PalettesOfOneFourAndEightBits)
{
    const quint32 colours[] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff,
                               0xffff00, 0x00ffff, 0xff00ff, 0xffffff};
    QByteArray palette;
    for (int i = 0; i < 256; ++i)
        put32(palette, colours[i % 8]);
    for (int bits : {1, 4, 8}) {
        const int w = 13, h = 5;
        const int count = 1 << bits;
        auto index = [count](int x, int y) {
            return (x + 2 * y) % std::min(count, 8);
        };
        const int stride = (w * bits + 31) / 32 * 4;
        QByteArray rows;
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(stride, '\0');
            for (int x = 0; x < w; ++x) {
                const int bit = x * bits;
                row[bit / 8] = char(quint8(row[bit / 8]) | (index(x, y) << (8 - bits - bit % 8)));
            }
            rows += row;
        }
        const auto img = decode(bmp(w, h, bits, 0, palette.left(4 * count), rows));
        ASSERT_TRUE(img) << bits;
        EXPECT_EQ(img->width, w);
        EXPECT_EQ(img->height, h);
        expectPixels(
                *img, [&](int x, int y) { return colours[index(x, y)]; }, "palette");
    }
}

TEST(IconBitmap, BitFieldsOfSixteenAndThirtyTwoBits)
{
    // 5-6-5 with the masks after the header.
    QByteArray masks;
    put32(masks, 0xf800);
    put32(masks, 0x07e0);
    put32(masks, 0x001f);
    QByteArray rows;
    for (int y = 1; y >= 0; --y) {
        put16(rows, 0xf800); // red
        put16(rows, y ? 0x07e0 : 0x001f);
    }
    auto img = decode(bmp(2, 2, 16, 3, masks, rows));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixel(0, 0), opaque(0xff0000));
    EXPECT_EQ(img->pixel(1, 0), opaque(0x0000ff));
    EXPECT_EQ(img->pixel(1, 1), opaque(0x00ff00));

    // 32 bits without fields: blue, green, red, unused.
    QByteArray rows32;
    put32(rows32, 0x00123456);
    img = decode(bmp(1, 1, 32, 0, {}, rows32));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixel(0, 0), opaque(0x123456));
}

TEST(IconBitmap, RunLengthEncodedEightBits)
{
    QByteArray palette;
    put32(palette, 0x000000);
    put32(palette, 0xff0000);
    put32(palette, 0x00ff00);
    // Bottom row: 3 x colour 1 then an absolute run "2 1 2"; top row: 4 x colour 2.
    const QByteArray data("\x03\x01\x00\x03\x02\x01\x02\x00\x00\x00\x04\x02\x00\x01", 14);
    const auto img = decode(bmp(6, 2, 8, 1, palette, data));
    ASSERT_TRUE(img);
    const quint32 top[] = {0x00ff00, 0x00ff00, 0x00ff00, 0x00ff00, 0, 0};
    const quint32 bottom[] = {0xff0000, 0xff0000, 0xff0000, 0x00ff00, 0xff0000, 0x00ff00};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(img->pixel(x, 0), opaque(top[x])) << x;
        EXPECT_EQ(img->pixel(x, 1), opaque(bottom[x])) << x;
    }
}

TEST(IconBitmap, WhatIsNoBitmapIsRefused)
{
    const QByteArray good = bmp(2, 2, 24, 0, {}, rows24(2, 2, kGradient));
    QByteArray zeroWidth = good;
    zeroWidth.replace(18, 4, QByteArray(4, '\0'));
    QByteArray twelveBits = good;
    twelveBits[28] = 12;
    QByteArray jpegInside = good;
    jpegInside[30] = 4; // compression: JPEG
    const std::pair<const char *, QByteArray> bad[] = {
            {"empty", QByteArray()},
            {"text", QByteArray("[Info]\r\nName=not a picture\r\n")},
            {"only the magic", QByteArray("BM")},
            {"cut in the pixel rows", good.left(good.size() - 3)},
            {"cut in the header", good.left(30)},
            {"zero width", zeroWidth},
            {"twelve bits a pixel", twelveBits},
            {"a JPEG inside", jpegInside},
    };
    for (const auto &[what, bytes] : bad)
        EXPECT_FALSE(decode(bytes)) << what;
    EXPECT_TRUE(decode(good));
}

// A bitmap of 3.6 GB (sparse on disk) gives its corner by reading only the corner's rows.
TEST(IconBitmap, AHugeBitmapCostsNoMoreThanItsCorner)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/huge.bmp");
    const int w = 30000, h = 30000;
    QByteArray header = bmp(w, h, 32, 0, {}, {});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write(header);
    const qint64 stride = qint64(w) * 4;
    if (!f.resize(header.size() + stride * h))
        GTEST_SKIP() << "this file system cannot hold a sparse file of 3.6 GB";
    // The top row is the last one of the file.
    f.seek(header.size() + stride * (h - 1));
    QByteArray top;
    put32(top, 0x00abcdef);
    f.write(top);
    f.close();
    const auto img = readBitmapCorner(path);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixel(0, 0), opaque(0xabcdef));
    EXPECT_EQ(img->pixel(1, 0), opaque(0));
}

TEST(IconBitmap, NormalisingCropsLargeAndPadsSmallPictures)
{
    PixelImage big(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            big.setPixel(x, y, opaque(quint32(x << 16 | y)));
    }
    const PixelImage cropped = NormalizeIcon16(big);
    ASSERT_EQ(cropped.width, 16);
    ASSERT_EQ(cropped.height, 16);
    expectPixels(
            cropped, [](int x, int y) { return quint32(x << 16 | y); }, "cropped");

    PixelImage small(8, 8, opaque(0x00ff00));
    small.setPixel(0, 0, opaque(0xff00ff)); // the transparent colour
    small.setPixel(7, 7, opaque(0x0000ff));
    const PixelImage padded = NormalizeIcon16(small);
    ASSERT_EQ(padded.width, 16);
    ASSERT_EQ(padded.height, 16);
    EXPECT_EQ(padded.pixel(7, 7), opaque(0x0000ff));
    EXPECT_EQ(padded.pixel(3, 3), opaque(0x00ff00));
    for (const auto &[x, y] : {std::pair{8, 0}, {15, 15}, {0, 8}, {8, 7}})
        EXPECT_EQ(padded.pixel(x, y), opaque(0xff00ff)) << x << "," << y;
}

TEST(IconBitmap, CellsOfAStripAreCutClipped)
{
    PixelImage strip(40, 16);
    for (int x = 0; x < 40; ++x)
        strip.setPixel(x, 3, opaque(quint32(x)));
    const PixelImage third = strip.copy(32, 0, 16, 16);
    EXPECT_EQ(third.width, 8);
    EXPECT_EQ(third.pixel(0, 3), opaque(32));
    EXPECT_TRUE(strip.copy(48, 0, 16, 16).isNull());
}

} // namespace
