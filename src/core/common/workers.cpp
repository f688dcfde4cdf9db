#include "core/common/workers.h"

#include <QCoreApplication>
#include <QThreadPool>

QThreadPool *workerPool()
{
    // Owned by the application, so jobs still running at exit are waited for while the
    // main thread still exists; their results then find no application and are dropped.
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool(QCoreApplication::instance());
        p->setObjectName(QStringLiteral("workers"));
        return p;
    }();
    return pool;
}
