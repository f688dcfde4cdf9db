#pragma once

// What the tests of running Perl share: a started main window in a private program folder.

#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "ui/run/panelrun.h"
#include "ui/run/runform.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

struct RunWindow : MainWindowFixture
{
    explicit RunWindow(const TestHome &home, int autoSave = 0, const QStringList &more = {})
        : MainWindowFixture(home, QStringList{"Files_Directories/Perl=" + perl(),
                                              QStringLiteral("Config/Run_AutoSave=%1").arg(autoSave),
                                              "Config/LastRunSetting="}
                                          + more)
    {}
    QString perlOut() const { return get<QPlainTextEdit>("PerlOut")->toPlainText(); }
    TRunForm *form() const { return w->findChild<TRunForm *>(); }
    PanelRun *run() const { return PanelRun::of(get<QPlainTextEdit>("PerlOut")); }
    void pressRun() const
    {
        QTest::mouseClick(form()->findChild<QPushButton *>("btRun"), Qt::LeftButton);
    }
    // Opens the script, gives the command and presses Run in the dialog.
    void start(const QString &script, const char *command = "Run1") const
    {
        w->OpenDocument(script);
        trigger(command);
        pressRun();
    }
    // Waits for the run of a panel (the Perl output's unless told) to end.
    bool waitForEnd(int ms = 20000) const { return waitForEnd(run(), ms); }
    static bool waitForEnd(PanelRun *r, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (r->isRunning() && t.elapsed() < ms)
            QTest::qWait(10);
        return !r->isRunning();
    }

    static QString perl() { return QStandardPaths::findExecutable(QStringLiteral("perl")); }
};

inline QString writeScript(const TestHome &home, const QString &name, const QByteArray &code)
{
    home.writeFile(name, code);
    return home.path(name);
}

// Ended, or a zombie nobody has reaped yet.
inline bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray s = stat.readAll();
    const qsizetype close = s.lastIndexOf(')');
    return close < 0 || close + 2 >= s.size() || s.at(close + 2) == 'Z';
}
