#include "ui/templates/templateicons.h"

#include "core/templates/iconbitmap.h"

#include <QImage>
#include <QPainter>

namespace {
constexpr int kBuiltinImages = 7;
} // namespace

QPixmap iconPixmap(const PixelImage &icon16)
{
    QImage img(icon16.width, icon16.height, QImage::Format_ARGB32);
    const quint32 transparent = icon16.isNull() ? 0 : icon16.pixel(0, 0);
    for (int y = 0; y < icon16.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < icon16.width; ++x) {
            const quint32 p = icon16.pixel(x, y);
            line[x] = p == transparent ? 0 : p;
        }
    }
    return QPixmap::fromImage(img);
}

std::optional<QPixmap> loadIconPixmap(const QString &path)
{
    const auto icon = loadIcon16(path);
    if (!icon)
        return std::nullopt;
    return iconPixmap(*icon);
}

QList<QPixmap> builtinPaletteImages(const QString &libDir)
{
    QList<QPixmap> images;
    const auto strip = readBitmapCorner(libDir + QStringLiteral("palette.bmp"), 16 * kBuiltinImages,
                                        16);
    for (int i = 0; strip && i < kBuiltinImages; ++i) {
        const PixelImage cell = strip->copy(16 * i, 0, 16, 16);
        if (!cell.isNull())
            images << iconPixmap(NormalizeIcon16(cell));
    }
    if (images.isEmpty()) { // a sheet of code, so that a button is never blank
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QColor(64, 64, 64));
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 11, 13);
        p.setPen(QColor(0, 0, 160));
        for (int y = 4; y <= 11; y += 2)
            p.drawLine(4, y, y % 4 ? 10 : 8, y);
        images << pm;
    }
    while (images.size() < kBuiltinImages)
        images << images.front();
    return images;
}
