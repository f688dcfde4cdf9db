#pragma once

#include "core/tools/toolrun.h"

#include <QObject>
#include <QPointer>

class CommandTable;
class DocumentSource;
class RunCommands;
class ScriptEditorWidget;
class TIniFile;
struct TScriptEditor;

// "Format with perltidy" and "Check with perlcritic" on the current script. The tools run as
// child processes while the IDE goes on; one at a time, and a second request asks whether to
// stop the first. perltidy's result replaces the text as one undo step; errors and findings go
// to the Perl output panel as "... at FILE line N." lines.
class PerlToolCommands : public QObject
{
    Q_OBJECT
public:
    PerlToolCommands(TIniFile &settings, const CommandTable &commands, DocumentSource &docs,
                     RunCommands &runs, QObject *parent);

    void tidy();
    void critic();
    // The documents changed: the commands follow.
    void updateCommands();

    bool isBusy() const { return m_run->isRunning(); }
    ToolRun &toolRun() const { return *m_run; }

    static QString stillRunningQuestion(const QString &tool);
    static QString changedMeanwhileMessage();

signals:
    // A tool's run ended and its result is applied or shown.
    void done();

private:
    enum class Job { None, Tidy, Critic };

    bool mayStart();
    QString findTool(const char *program, const char *package);
    void onFinished(const ToolRun::Result &result);
    void tidyFinished(const ToolRun::Result &result);
    void criticFinished(const ToolRun::Result &result);
    bool failed(const ToolRun::Result &result, const char *program);
    QWidget *window() const;

    TIniFile &m_settings;
    const CommandTable &m_commands;
    DocumentSource &m_docs;
    RunCommands &m_runs;
    ToolRun *m_run;
    Job m_job = Job::None;
    const char *m_program = "";
    // What the running job works on.
    QPointer<ScriptEditorWidget> m_editor;
    QString m_file;
    int m_revision = 0;
    qsizetype m_from = 0;
    qsizetype m_to = 0;
    int m_firstLine = 0;
    QString m_input;
};
