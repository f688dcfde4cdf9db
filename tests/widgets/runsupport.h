#pragma once

// What the tests of running Perl share: a started main window in a private program folder.

#include "platform/platform.h"
#include "testsupport.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include <memory>

struct RunWindow
{
    std::unique_ptr<TForm1> w;

    explicit RunWindow(const TestHome &home, int autoSave = 0)
    {
        TIniFile ini(home.path("etc/quillforge.cfg"));
        // The first-run wizard stays away on a known machine.
        ini.WriteString("Config", "HD_ID", Platform::driveIdentity(home.dir()));
        ini.WriteString("Files_Directories", "Perl", perl());
        ini.WriteInteger("Config", "Run_AutoSave", autoSave);
        ini.WriteString("Config", "LastRunSetting", "");
        w = std::make_unique<TForm1>(home.dir());
        w->FormCreate();
        w->show();
        w->FormShow();
    }
    TForm1 *operator->() const { return w.get(); }
    template<typename T = QWidget>
    T *get(const char *name) const
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    void trigger(const char *action) const { get<QAction>(action)->trigger(); }
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
