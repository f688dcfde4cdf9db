#pragma once

#include "ui/run/runform.h"

#include <QObject>

class ConsolePanel;
class PanelRun;
class QAction;
class QPlainTextEdit;
class TForm1;
struct TScriptEditor;

// The main window's run commands (Run, Syntax check, Debug), the stop command of the Perl
// output panel and the console. Owned by the main window.
class RunCommands : public QObject
{
    Q_OBJECT
public:
    explicit RunCommands(TForm1 *form);

    // Creates the run dialog, which takes the interpreter from the settings now: after the
    // first-run wizard has had its say.
    void FormCreate();

    void btRunClick();
    void Syntaxcheck1Click();
    void Debug1Click();
    void btStopRunClick();
    // The run dialog's "Run": runs the command in the Perl output panel.
    void runInPerlOut(const Command &command);

    TRunForm *runForm() const { return m_runForm; }
    PanelRun *perlRun() const { return m_perlRun; }
    ConsolePanel *console() const { return m_console; }

    static QString stillRunningQuestion();

private:
    void prepareRun(TRunForm::Purpose purpose);
    bool endRunningScript();
    void autoSave(TScriptEditor &doc);
    void updateCommands();
    QAction *action(const char *name) const;

    TForm1 *m_form;
    QPlainTextEdit *m_perlOut;
    PanelRun *m_perlRun;
    ConsolePanel *m_console = nullptr;
    TRunForm *m_runForm = nullptr;
};
