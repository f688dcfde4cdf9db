#include "ui/shell/splash.h"

#include "ui/common/icons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TSplash::TSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(466, 247);
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}

void TSplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int band = 65;
    p.fillRect(rect(), QColor(0, 0, 215));
    p.fillRect(QRect(0, height() - band, width(), band), QColor(251, 205, 66));

    p.drawPixmap(28, 34, appIcon().pixmap(96, 96));

    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(QColor(200, 210, 255));
    p.drawText(QRect(140, 30, 300, 20), Qt::AlignLeft, QStringLiteral("Ostravine"));

    f.setPixelSize(46);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(136, 46, 320, 56), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quillforge"));

    f.setPixelSize(13);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(140, 104, 300, 18), Qt::AlignLeft, QStringLiteral("Version 1.0   Beta #1"));
    p.setPen(QColor(200, 210, 255));
    p.drawText(QRect(140, 124, 300, 18), Qt::AlignLeft, QStringLiteral("for Linux desktops"));

    p.setPen(QColor(30, 30, 60));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(16, height() - band + 12, width() - 32, 18), Qt::AlignLeft,
               QStringLiteral("Quillforge 1.0 - the Perl IDE"));
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(16, height() - band + 32, width() - 32, 18), Qt::AlignLeft,
               QStringLiteral("Built with Qt %1 and the Perl interpreter of your system")
                       .arg(QLatin1String(qVersion())));
}
