#pragma once

// What the tests of running Perl share: a started main window in a private program folder.

#include "mainwindowfixture.h"
#include "platform/platform.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include <memory>

struct RunWindow : MainWindowFixture
{
    explicit RunWindow(const TestHome &home, int autoSave = 0)
        : MainWindowFixture(home, {"Files_Directories/Perl=" + perl(),
                                   QStringLiteral("Config/Run_AutoSave=%1").arg(autoSave),
                                   "Config/LastRunSetting="})
    {}
    QString perlOut() const { return get<QPlainTextEdit>("PerlOut")->toPlainText(); }

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
