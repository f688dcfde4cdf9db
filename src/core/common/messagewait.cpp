#include "core/common/messagewait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

void MessageWait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, ms - int(t.elapsed()));
        if (t.elapsed() < ms)
            QThread::msleep(1);
    }
}

void ProcessMessages()
{
    QCoreApplication::processEvents();
}
