#include "ui/common/zoom.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRubberBand>
#include <QVariantAnimation>
#include <QWidget>

namespace {

bool animationsWanted()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen")
           && QGuiApplication::platformName() != QLatin1String("minimal");
}

// A short outline animation between two screen rectangles; never blocks.
void animateOutline(const QRect &from, const QRect &to)
{
    if (!animationsWanted() || !to.isValid())
        return;
    auto *band = new QRubberBand(QRubberBand::Rectangle);
    band->setAttribute(Qt::WA_TransparentForMouseEvents);
    band->setGeometry(from);
    band->show();
    auto *anim = new QVariantAnimation(band);
    anim->setDuration(120);
    anim->setStartValue(from);
    anim->setEndValue(to);
    QObject::connect(anim, &QVariantAnimation::valueChanged, band,
                     [band](const QVariant &v) { band->setGeometry(v.toRect()); });
    QObject::connect(anim, &QVariantAnimation::finished, band, &QObject::deleteLater);
    anim->start();
}

} // namespace

void ZoomShow(QWidget *window)
{
    const QPoint p = QCursor::pos();
    window->hide();
    animateOutline(QRect(p, QSize(1, 1)), window->frameGeometry());
    window->show();
    window->raise();
    window->activateWindow();
}

void ZoomHide(QWidget *window)
{
    const QRect r = window->isWindow() ? window->frameGeometry()
                                       : QRect(window->mapToGlobal(QPoint()), window->size());
    window->hide();
    animateOutline(r, QRect(QCursor::pos(), QSize(1, 1)));
}
