#include "ui/run/runcommands.h"

#include "core/common/messagewait.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/run/console.h"
#include "ui/run/panelrun.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTimer>

namespace {
const QString kConfig = QStringLiteral("Config");
const char *const kScriptCommands[] = {"Run1",          "btRun",  "Syntaxcheck1",
                                       "btSyntaxCheck", "Debug1", "btDebug"};
} // namespace

RunCommands::RunCommands(TForm1 *form)
    : QObject(form)
    , m_form(form)
    , m_perlOut(form->findChild<QPlainTextEdit *>(QStringLiteral("PerlOut")))
    , m_perlRun(PanelRun::of(m_perlOut))
{
    setObjectName(QStringLiteral("RunCommands"));
    if (m_perlOut->document()->isEmpty())
        m_perlOut->setPlainText(Platform::localHttpAddress() + QStringLiteral("/cgi-bin >"));

    auto on = [this](std::initializer_list<const char *> names, void (RunCommands::*handler)()) {
        for (const char *n : names) {
            connect(action(n), &QAction::triggered, this,
                    [this, handler] { guarded([&] { (this->*handler)(); }); });
        }
    };
    on({"Run1", "btRun"}, &RunCommands::btRunClick);
    on({"Syntaxcheck1", "btSyntaxCheck"}, &RunCommands::Syntaxcheck1Click);
    on({"Debug1", "btDebug"}, &RunCommands::Debug1Click);
    on({"btStopRun"}, &RunCommands::btStopRunClick);
    connect(m_perlRun, &PanelRun::runningChanged, this, [this] { updateCommands(); });

    // Documents come and go through the editor stack; the list is up to date once the
    // stack's signal has been handled.
    if (auto *editors = form->findChild<QStackedWidget *>(QStringLiteral("EditorCarry"))) {
        auto later = [this] {
            QTimer::singleShot(0, this, [this] { updateCommands(); });
        };
        connect(editors, &QStackedWidget::currentChanged, this, later);
        connect(editors, &QStackedWidget::widgetRemoved, this, later);
    }
    updateCommands();

    m_console = new ConsolePanel(
            form->findChild<QPlainTextEdit *>(QStringLiteral("Console")),
            form->findChild<QCheckBox *>(QStringLiteral("chkICmd")),
            [form] { return form->ConsoleCommand; }, this);
}

void RunCommands::FormCreate()
{
    if (m_runForm)
        return;
    m_runForm = new TRunForm(&m_form->Settings, &m_form->RunSettings, m_form);
    connect(m_runForm, &TRunForm::runRequested, this,
            [this](const Command &command) { guarded([&] { runInPerlOut(command); }); });
    updateCommands();
}

QAction *RunCommands::action(const char *name) const
{
    return m_form->findChild<QAction *>(QLatin1String(name));
}

QString RunCommands::stillRunningQuestion()
{
    return QStringLiteral("A script is still running in the Perl output panel. Stop it now?");
}

void RunCommands::updateCommands()
{
    const bool script = !m_form->documents().empty();
    for (const char *n : kScriptCommands)
        action(n)->setEnabled(script);
    action("btStopRun")->setEnabled(m_perlRun->isRunning());
}

bool RunCommands::endRunningScript()
{
    if (!m_perlRun->isRunning())
        return true;
    if (Prompts::confirm(m_form, stillRunningQuestion()) != QMessageBox::Yes)
        return false;
    m_perlRun->stopNow();
    return true;
}

void RunCommands::btRunClick()
{
    prepareRun(TRunForm::Purpose::Run);
}

void RunCommands::Syntaxcheck1Click()
{
    prepareRun(TRunForm::Purpose::SyntaxCheck);
}

void RunCommands::Debug1Click()
{
    prepareRun(TRunForm::Purpose::Debug);
}

void RunCommands::btStopRunClick()
{
    m_perlRun->stop();
}

void RunCommands::prepareRun(TRunForm::Purpose purpose)
{
    TScriptEditor *doc = m_form->CurrentDocument();
    if (!doc)
        return;
    // A start-up that broke off early has not made the dialog yet.
    FormCreate();
    // Clearing the panel under a running script would mix its output into the next run.
    const bool wasRunning = m_perlRun->isRunning();
    if (!endRunningScript())
        return;
    m_perlOut->clear();
    if (wasRunning)
        m_perlOut->setPlainText(PanelRun::stoppedNote());
    // Saved before the dialog shows, so that a Save As dialog or a write error is never
    // hidden behind it.
    autoSave(*doc);
    m_runForm->prepare(purpose);
    ZoomShow(m_runForm);
}

void RunCommands::autoSave(TScriptEditor &doc)
{
    switch (m_form->Settings.ReadInteger(kConfig, QStringLiteral("Run_AutoSave"), 1)) {
    case 0:
        m_runForm->setScript(doc.FileName);
        break;
    case 1:
        m_runForm->setScript(doc.FileName);
        m_form->btSaveClick();
        // A new script has its name now, unless the save was cancelled.
        m_runForm->setScript(doc.FileName);
        break;
    case 2: {
        const QString copy = m_form->Settings.ReadString(kConfig, QStringLiteral("Run_AutoSaveAs"),
                                                         Platform::defaultRunAutoSaveAs());
        // The script keeps its own path and its modified state.
        m_form->writeDocument(doc, copy);
        ProcessMessages();
        m_runForm->setScript(copy);
        break;
    }
    default:
        break;
    }
}

void RunCommands::runInPerlOut(const Command &command)
{
    if (!endRunningScript())
        return;
    // Empty already, but for the note that a stopped run may have left.
    m_perlOut->clear();
    RunAndCapture(m_perlOut, command, true);
}
