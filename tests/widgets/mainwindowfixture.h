#pragma once

// The main window past the first-run wizard, in a private program folder: what every test of
// the window starts from.

#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/editor/scripteditor.h"
#include "ui/shell/documenttabs.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QTextCursor>
#include <QTimer>

#include <memory>

// A private program folder and the scripted answerer, made before a window that uses them.
struct FreshHome
{
    TestHome home;
    ScriptedPrompts *prompts = ScriptedPrompts::install();
};

struct MainWindowFixture
{
    std::unique_ptr<TForm1> w;

    enum class Start { PastWizard, AsTheFolderIs };

    // settings: "Section/Key=value" lines written before the window starts.
    explicit MainWindowFixture(const TestHome &home, const QStringList &settings = {},
                               Start start = Start::PastWizard)
    {
        TIniFile ini(home.path("etc/quillforge.cfg"));
        if (start == Start::PastWizard)
            ini.WriteString("Config", "HD_ID", Platform::driveIdentity(home.dir()));
        for (const QString &s : settings)
            ini.WriteString(s.section('/', 0, 0), s.section('/', 1).section('=', 0, 0),
                            s.section('=', 1));
        w = std::make_unique<TForm1>(home.dir());
        w->FormCreate();
        w->show();
        w->FormShow();
    }
    TForm1 *operator->() const { return w.get(); }

    // A widget, action or timer by its component name; a missing one ends the test run.
    template<typename T = QWidget>
    T *get(const char *name) const
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    void trigger(const char *command) const { get<QAction>(command)->trigger(); }
    // One tick of a timer, now.
    void tick(const char *timer) const { QMetaObject::invokeMethod(get<QTimer>(timer), "timeout"); }
    DocumentTabs &docs() const { return w->documents(); }
    QStringList titles() const
    {
        QStringList t;
        for (const auto &d : docs().all())
            t << d->FileName;
        return t;
    }
    // Opens a file and waits until its whole text is in the editor.
    TScriptEditor *openLoaded(const QString &path) const
    {
        w->OpenDocument(path);
        while (w->CurrentDocument()->Editor->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return w->CurrentDocument();
    }
};
