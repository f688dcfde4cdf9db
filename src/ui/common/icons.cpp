#include "ui/common/icons.h"

#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSet>

namespace {

// The program's own icons (PNG, so no image plugin is needed), a theme of their own that Qt
// asks when the desktop's theme lacks an icon or is missing altogether.
const QString kFallbackTheme = QStringLiteral("quillforge-fallback");
const QString kResourceIcons = QStringLiteral(":/icons");

QSet<QString> &askedNames()
{
    static QSet<QString> names;
    return names;
}

} // namespace

// Outside any namespace: the resource's initialiser is declared where this is expanded.
static void loadFallbackIcons()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(loaded);
    if (QIcon::fallbackThemeName() != kFallbackTheme)
        QIcon::setFallbackThemeName(kFallbackTheme);
    if (!QIcon::themeSearchPaths().contains(kResourceIcons))
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << kResourceIcons);
}

void initIconTheme()
{
    loadFallbackIcons();
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        const QString theme = Platform::installedIconTheme();
        if (!theme.isEmpty())
            QIcon::setThemeName(theme);
    }
}

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback)
{
    loadFallbackIcons();
    const QString icon = QLatin1String(name);
    askedNames().insert(icon);
    const QIcon fb = fallback == QStyle::SP_CustomBase ? QIcon()
                                                       : qApp->style()->standardIcon(fallback);
    return QIcon::fromTheme(icon, fb);
}

QStringList askedIconNames()
{
    QStringList names = askedNames().values();
    names.sort();
    return names;
}

QIcon appIcon()
{
    static QIcon icon = [] {
        QIcon ic;
        for (int size : {16, 32, 48, 64, 128}) {
            QPixmap pm(size, size);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal s = size;
            p.setBrush(QColor(0, 0, 215));
            p.setPen(Qt::NoPen);
            p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
            // A quill across the tile, in the band colour.
            QPainterPath quill;
            quill.moveTo(s * 0.22, s * 0.82);
            quill.cubicTo(s * 0.35, s * 0.45, s * 0.55, s * 0.22, s * 0.84, s * 0.14);
            quill.cubicTo(s * 0.74, s * 0.42, s * 0.55, s * 0.62, s * 0.26, s * 0.80);
            quill.closeSubpath();
            p.setBrush(QColor(251, 205, 66));
            p.drawPath(quill);
            p.setPen(QPen(QColor(255, 255, 255), qMax(1.0, s / 24)));
            p.drawLine(QPointF(s * 0.16, s * 0.88), QPointF(s * 0.42, s * 0.58));
            p.end();
            ic.addPixmap(pm);
        }
        return ic;
    }();
    return icon;
}

QIcon scriptIcon()
{
    return themeIcon("text-x-script", QStyle::SP_FileIcon);
}
