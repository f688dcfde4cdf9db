#include "ui/run/perltoolcommands.h"

#include "core/run/commandline.h"
#include "core/settings/configkeys.h"
#include "core/tools/perltools.h"
#include "ui/common/commands.h"
#include "ui/common/prompts.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/rowbreaks.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/runcommands.h"

#include <QAction>
#include <QDir>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The tools find the profile of the folder they run in, a new script the home folder's.
QString toolFolder(const QString &script)
{
    const QString own = scriptFolder(script, true);
    return own.isEmpty() ? QDir::homePath() : own;
}

} // namespace

PerlToolCommands::PerlToolCommands(TIniFile &settings, const CommandTable &commands,
                                   DocumentSource &docs, RunCommands &runs, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_commands(commands)
    , m_docs(docs)
    , m_runs(runs)
    , m_run(new ToolRun(this))
{
    setObjectName(QStringLiteral("PerlToolCommands"));
    commands.onTriggered({"Perltidy1"}, this, [this] { tidy(); });
    commands.onTriggered({"Perlcritic1"}, this, [this] { critic(); });
    connect(m_run, &ToolRun::finished, this, &PerlToolCommands::onFinished);
    updateCommands();
}

void PerlToolCommands::updateCommands()
{
    const bool script = !m_docs.all().empty();
    m_commands["Perltidy1"]->setEnabled(script);
    m_commands["Perlcritic1"]->setEnabled(script);
}

QString PerlToolCommands::stillRunningQuestion(const QString &tool)
{
    return QStringLiteral("%1 is still running. Stop it now?").arg(tool);
}

QString PerlToolCommands::changedMeanwhileMessage()
{
    return QStringLiteral(
            "The script was changed while perltidy ran, so it is left as it is. Format it again.");
}

QWidget *PerlToolCommands::window() const
{
    return m_runs.outputArea()->window();
}

bool PerlToolCommands::mayStart()
{
    if (!m_run->isRunning())
        return true;
    // Never two at once: the running one goes first, or the new request does.
    if (Prompts::confirm(window(), stillRunningQuestion(QLatin1String(m_program)))
        == QMessageBox::Yes)
        m_run->stop();
    return false;
}

QString PerlToolCommands::findTool(const char *program, const char *package)
{
    const QString path = QStandardPaths::findExecutable(QLatin1String(program));
    if (path.isEmpty())
        Prompts::information(window(), PerlTools::installHint({program, package}));
    return path;
}

void PerlToolCommands::tidy()
{
    TScriptEditor *doc = m_docs.current();
    if (!doc || doc->Editor->isLoading() || !mayStart())
        return;
    const QString program = findTool(PerlTools::Tidy.program, PerlTools::Tidy.package);
    if (program.isEmpty())
        return;
    ScriptEditorWidget *editor = doc->Editor;
    const QString text = RowBreaks::text(editor->document());
    const QTextCursor cursor = editor->textCursor();
    const PerlTools::LineSpan span = PerlTools::selectedLines(text, cursor.selectionStart(),
                                                              cursor.selectionEnd());
    m_editor = editor;
    m_file = doc->FileName;
    m_revision = editor->document()->revision();
    m_from = span.from;
    m_to = span.to;
    m_firstLine = span.firstLine;
    m_input = text.mid(span.from, span.to - span.from);
    m_job = Job::Tidy;
    m_program = PerlTools::Tidy.program;
    m_run->start(program, PerlTools::tidyArguments(), toolFolder(doc->FileName), m_input);
}

void PerlToolCommands::critic()
{
    TScriptEditor *doc = m_docs.current();
    if (!doc || doc->Editor->isLoading() || !mayStart())
        return;
    const QString program = findTool(PerlTools::Critic.program, PerlTools::Critic.package);
    if (program.isEmpty())
        return;
    m_editor = doc->Editor;
    m_file = doc->FileName;
    m_job = Job::Critic;
    m_program = PerlTools::Critic.program;
    // The text as it stands, so the line numbers are the editor's, saved or not.
    m_run->start(program,
                 PerlTools::criticArguments(Config::read(m_settings, Config::CriticSeverity)),
                 toolFolder(doc->FileName), RowBreaks::text(doc->Editor->document()));
}

void PerlToolCommands::onFinished(const ToolRun::Result &result)
{
    const Job job = std::exchange(m_job, Job::None);
    if (job == Job::Tidy)
        tidyFinished(result);
    else if (job == Job::Critic)
        criticFinished(result);
    m_input.clear();
    emit done();
}

bool PerlToolCommands::failed(const ToolRun::Result &result, const char *program)
{
    const QString name = QLatin1String(program);
    QString why;
    switch (result.ending) {
    case ToolRun::Ending::Exited:
        return false;
    case ToolRun::Ending::FailedToStart:
        why = QStringLiteral("%1 could not be started.").arg(name);
        break;
    case ToolRun::Ending::Crashed:
        why = QStringLiteral("%1 crashed.").arg(name);
        break;
    case ToolRun::Ending::Stopped:
        why = QStringLiteral("%1 was stopped.").arg(name);
        break;
    case ToolRun::Ending::TimedOut:
        why = QStringLiteral("%1 did not finish within %2 s and was stopped.")
                      .arg(name)
                      .arg(m_run->timeLimit() / 1000);
        break;
    }
    m_runs.showInPerlOut(why);
    return true;
}

void PerlToolCommands::tidyFinished(const ToolRun::Result &result)
{
    if (failed(result, PerlTools::Tidy.program))
        return;
    const QStringList notes = PerlTools::tidyMessages(result.errors, m_file, m_firstLine);
    if (result.exitCode != 0 || result.output.isEmpty() != m_input.isEmpty()) {
        QStringList report = notes;
        report.prepend(QStringLiteral("perltidy found errors; the script is left as it is."));
        m_runs.showInPerlOut(report.join(u'\n'));
        return;
    }
    if (!notes.isEmpty())
        m_runs.showInPerlOut(notes.join(u'\n'));
    ScriptEditorWidget *editor = m_editor;
    if (!editor)
        return;
    QTextDocument *doc = editor->document();
    if (doc->revision() != m_revision) {
        Prompts::information(window(), changedMeanwhileMessage());
        return;
    }
    const QString tidied = PerlTools::fitted(result.output, m_input.endsWith(u'\n'));
    if (tidied == m_input)
        return;
    const QString before = RowBreaks::text(doc);
    const PerlTools::LineColumn caret = PerlTools::lineColumn(before,
                                                              editor->textCursor().position());
    const int scrolled = editor->verticalScrollBar()->value();
    QTextCursor edit(doc);
    edit.setPosition(int(m_from));
    edit.setPosition(int(m_to), QTextCursor::KeepAnchor);
    RowBreaks::insert(edit, tidied);
    const QString after = before.left(m_from) + tidied + before.mid(m_to);
    QTextCursor moved(doc);
    moved.setPosition(int(PerlTools::positionOf(after, caret)));
    editor->setTextCursor(moved);
    editor->verticalScrollBar()->setValue(scrolled);
}

void PerlToolCommands::criticFinished(const ToolRun::Result &result)
{
    if (failed(result, PerlTools::Critic.program))
        return;
    m_runs.showInPerlOut(
            PerlTools::criticReport(result.output, result.errors, result.exitCode, m_file)
                    .join(u'\n'));
}
