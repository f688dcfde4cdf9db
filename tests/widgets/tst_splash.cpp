#include "ui/shell/splash.h"

#include <QImage>
#include <QtTest>

// The splash is drawn, not loaded: check the picture it really paints.
class SplashTest : public QObject
{
    Q_OBJECT
private slots:
    void paintsTheBlueBoxWithItsBand()
    {
        TSplash splash;
        QCOMPARE(splash.size(), QSize(466, 247));
        const QImage img = splash.grab().toImage();
        QCOMPARE(img.pixelColor(460, 5), QColor(0, 0, 215));
        QCOMPARE(img.pixelColor(460, 247 - 5), QColor(251, 205, 66));
        QCOMPARE(img.pixelColor(460, 247 - 66), QColor(0, 0, 215));
        // The product name is drawn in white somewhere in the upper part.
        int white = 0;
        for (int y = 40; y < 110; ++y)
            for (int x = 130; x < 460; ++x)
                white += img.pixelColor(x, y) == QColor(Qt::white);
        QVERIFY(white > 200);
        if (qEnvironmentVariableIsSet("QF_SHOTS"))
            img.save(qEnvironmentVariable("QF_SHOTS") + QStringLiteral("/splash.png"));
    }
};

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
