#pragma once

#include "core/run/debuggerstops.h"
#include "core/settings/configkeys.h"
#include "ui/run/runform.h"

#include <QObject>
#include <QPointer>

#include <optional>

class CheckMarks;
class CommandTable;
class ConsolePanel;
class DocumentSource;
class PanelRun;
class QAction;
class QPlainTextEdit;
class QSplitter;
class RunInputBar;
class ScriptEditorWidget;
class TCodePrevForm;
class TIniFile;
struct TScriptEditor;

// The run commands (Run, Syntax check, Debug), the Perl output panel with its stop, preview and
// overview, and the console beside it.
class RunCommands : public QObject
{
    Q_OBJECT
public:
    RunCommands(TIniFile &settings, TIniFile &runSettings, QString programDir,
                const CommandTable &commands, DocumentSource &docs, QWidget *parent);

    // The output area: console at the left of the Perl output.
    QWidget *outputArea() const { return m_outputArea; }

    // Creates the run dialog, which takes the interpreter from the settings now: after the
    // first-run wizard has had its say.
    void createRunForm();
    // Panel visibility (read once by the window for all panels) and the console's interpreter.
    void applyOptions(const Config::Panels &panels);
    // The documents changed: the script commands follow.
    void updateCommands();

    void run();
    void syntaxCheck();
    void debug();
    void stop();
    // The run dialog's "Run": runs the command in the Perl output panel.
    void runInPerlOut(const Command &command);
    // Puts a tool's report in the Perl output panel in place of what it showed; false when a
    // script running there was to be kept.
    bool showInPerlOut(const QString &text);
    // "Show contents as HTML file": writes the output as a page and asks to browse it.
    void showOutputAsPage();
    // The overview window of the whole output, just above the panel.
    void showOutputOverview();

    TRunForm *runForm() const { return m_runForm; }
    PanelRun *perlRun() const { return m_perlRun; }
    ConsolePanel *console() const { return m_console; }
    // The interpreter of the console's internal commands.
    const QString &consoleCommand() const { return m_consoleCommand; }

    static QString stillRunningQuestion();

    // The script whose text the last run wrote to path (the copy it runs in place of the script,
    // as the settings may say), or null: the places its messages name are the script's.
    ScriptEditorWidget *copiedFrom(const QString &path) const;

signals:
    void browseRequested(const QString &page);
    // Perl's debugger waits for a command at this line of a file.
    void debuggerStopped(const QString &path, int line);

private:
    void prepareRun(TRunForm::Purpose purpose);
    bool endRunningScript();
    void autoSave(TScriptEditor &doc);
    void closePanels();
    bool reshowPerlOut();

    TIniFile &m_settings;
    TIniFile &m_runSettings;
    QString m_programDir;
    const CommandTable &m_commands;
    DocumentSource &m_docs;
    QWidget *m_outputArea;
    QSplitter *m_split;
    QWidget *m_consolePanel;
    QWidget *m_perlPanel;
    QPlainTextEdit *m_perlOut;
    PanelRun *m_perlRun;
    RunInputBar *m_input;
    ConsolePanel *m_console = nullptr;
    CheckMarks *m_checkMarks = nullptr;
    TRunForm *m_runForm = nullptr;
    TCodePrevForm *m_overview = nullptr;
    QString m_consoleCommand;
    QString m_debugger;                   // the module of the panel's run's named debugger
    std::optional<DebuggerStops> m_stops; // of a run that takes input, as perl's debugger does
    // Where the last run's copy of a script went, and whose text it is.
    QString m_copyPath;
    QPointer<ScriptEditorWidget> m_copyOf;
};
