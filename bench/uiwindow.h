#pragma once

#include "core/settings/inifile.h"
#include "core/settings/programdir.h"
#include "platform/platform.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/highlighting.h"
#include "ui/editor/proptreecontroller.h"
#include "ui/editor/scripteditor.h"
#include "ui/shell/documenttabs.h"
#include "ui/shell/mainwindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSize>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <memory>

// The main window on a program folder of its own, on a machine it knows (no wizard), shown.
struct PreparedWindow
{
    QTemporaryDir dir;
    QString home;
    std::unique_ptr<TForm1> w;

    explicit PreparedWindow(QSize size = QSize(1280, 800))
    {
        home = dir.path() + QLatin1Char('/');
        ensureProgramData(home, QStringLiteral(QF_SHIPPED_DATA));
        TIniFile(home + QStringLiteral("etc/quillforge.cfg"))
                .WriteString(QStringLiteral("Config"), QStringLiteral("HD_ID"),
                             Platform::driveIdentity(home));
        w = std::make_unique<TForm1>(home);
        w->resize(size);
        w->FormCreate();
        w->show();
        w->FormShow();
    }

    // Opens a script and waits until its whole text is in and coloured.
    TScriptEditor *openSettled(const QString &file) const
    {
        w->OpenDocument(file);
        TScriptEditor *doc = w->CurrentDocument();
        while (doc->Editor->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        doc->Highlighter->finish();
        QCoreApplication::processEvents();
        return doc;
    }
};

// The longest time the window does not answer while watched: the gap between turns of its
// event loop, which a timer of 1 ms measures.
struct StallWatch
{
    QElapsedTimer gap;
    QTimer ticker;
    double longestMs = 0;

    StallWatch()
    {
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            longestMs = std::max(longestMs, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
    }
    void start()
    {
        gap.start();
        ticker.start(1);
    }
    void stop() { ticker.stop(); }
};
