#include "ui/shell/mainwindow.h"

#include "core/common/messagewait.h"
#include "core/settings/configkeys.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/editingcontroller.h"
#include "ui/editor/editorcommands.h"
#include "ui/editor/highlighting.h"
#include "ui/editor/journal.h"
#include "ui/editor/proptree.h"
#include "ui/editor/proptreecontroller.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/browsercontroller.h"
#include "ui/run/console.h"
#include "ui/run/panelrun.h"
#include "ui/run/perltoolcommands.h"
#include "ui/run/runcommands.h"
#include "ui/run/runform.h"
#include "ui/run/schemepage.h"
#include "ui/shell/documenttabs.h"
#include "ui/shell/options.h"
#include "ui/shell/viewcontroller.h"
#include "ui/shell/welcome.h"
#include "ui/tasks/taskpage.h"
#include "ui/tasks/todayview.h"
#include "ui/templates/templatepalette.h"
#include "ui/tools/explorer.h"
#include "ui/tools/linkbarpanel.h"
#include "ui/tools/toolcommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

namespace {

int g_wizardStepDelay = 75;
} // namespace

void TForm1::setWizardStepDelay(int ms)
{
    g_wizardStepDelay = ms;
}

TForm1::TForm1(const QString &programDir, QWidget *parent)
    : QMainWindow(parent)
    , m_programDir(programDir)
    , m_settings(programDir + QStringLiteral("etc/quillforge.cfg"))
    , m_runSettings(programDir + QStringLiteral("etc/runsettings.cfg"))
    , m_taskFile(programDir + QStringLiteral("etc/tasks.dat"))
    , m_colorDefFile(programDir + QStringLiteral("etc/editorcolors.def"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ostravine Quillforge"));
    setWindowIcon(appIcon());
    resize(972, 701);
    createCommands();
    createMenus();

    m_documents = new DocumentTabs(m_settings, m_commands, m_editorMenu, this);
    m_highlighting = new HighlightController(m_settings,
                                             programDir + QStringLiteral("etc/editorcolors.def"),
                                             *m_documents, this);
    m_inspector = new InspectorController(m_settings, *m_documents, this);
    m_editingOptions = new EditingController(m_settings, m_commands, *m_documents, *m_highlighting,
                                             this);
    m_editing = new EditorCommands(m_commands, *m_documents, m_inspector->inspector()->texts(),
                                   this);
    m_runs = new RunCommands(m_settings, m_runSettings, programDir, m_commands, *m_documents, this);
    m_perlTools = new PerlToolCommands(m_settings, m_commands, *m_documents, *m_runs, this);
    m_browser = new BrowserController(m_settings, programDir, m_commands, *m_documents, this);
    m_linkBar = new LinkBarPanel(m_settings, m_commands, this);
    m_templates = new TemplatePalette(m_settings, programDir, m_commands, *m_documents,
                                      *m_highlighting, this);
    m_tools = new ToolCommands(m_settings, m_commands, *m_documents, this);
    m_journal = new JournalController(
            programDir, *m_documents,
            [this](const QString &path) {
                m_documents->open(path);
                return m_documents->current();
            },
            this);
    createToolBars();
    createCentre();
    createStatusBar();

    connect(m_documents, &DocumentTabs::documentCreated, this, [this](TScriptEditor *doc) {
        m_highlighting->attach(*doc);
        m_inspector->attach(*doc);
        m_editingOptions->attach(*doc);
        m_journal->attach(*doc);
    });
    connect(m_documents, &DocumentTabs::documentClosing, this,
            [this](TScriptEditor *doc) { m_journal->detach(*doc); });
    connect(m_documents, &DocumentTabs::fileOpened, this,
            [this](TScriptEditor *doc) { m_highlighting->highlight(*doc, 0); });
    connect(m_documents, &DocumentTabs::currentChanged, m_runs, &RunCommands::updateCommands);
    connect(m_documents, &DocumentTabs::lastClosed, m_runs, &RunCommands::updateCommands);
    connect(m_documents, &DocumentTabs::currentChanged, m_perlTools,
            &PerlToolCommands::updateCommands);
    connect(m_documents, &DocumentTabs::lastClosed, m_perlTools, &PerlToolCommands::updateCommands);
    m_commands.onTriggered({"Actualizecodecolors1"}, this,
                           [this] { m_highlighting->highlightCurrent(0); });
    m_commands.onTriggered({"Exit1"}, this, [this] { close(); });
    connect(m_views, &ViewController::sourceShown, m_inspector, &InspectorController::refresh);
    connect(m_views, &ViewController::fileCommandsEnabled, m_menuBar, &QWidget::setEnabled);
    connect(m_runs, &RunCommands::browseRequested, this,
            [this](const QString &page) { m_views->setView(ViewKind::vkBrowse, page); });
    // A run of a copy of a script names the copy: its places are shown in the script.
    connect(m_runs, &RunCommands::debuggerStopped, this, [this](const QString &path, int line) {
        const ScriptEditorWidget *source = m_runs->copiedFrom(path);
        m_documents->showDebuggerStop(source ? source : m_documents->editorOfFile(path), line);
    });
    connect(m_runs->perlRun(), &PanelRun::runningChanged, this, [this](bool running) {
        if (!running)
            m_documents->showDebuggerStop(nullptr, 0);
    });
    connect(m_runs->perlRun(), &PanelRun::linkActivated, this,
            [this](const QString &path, int line) {
                if (const ScriptEditorWidget *source = m_runs->copiedFrom(path))
                    m_documents->showLine(source, line);
                else
                    guarded([&] { m_documents->openAt(path, line); });
            });
    connect(m_runs->console()->run(), &PanelRun::linkActivated, this,
            [this](const QString &path, int line) {
                guarded([&] { m_documents->openAt(path, line); });
            });

    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("Timer1"));
    m_statusTimer->setInterval(100);
    connect(m_statusTimer, &QTimer::timeout, m_documents, &DocumentTabs::updateStatus);
}

TForm1::~TForm1()
{
    // The editors go before the controllers that watch them.
    delete m_documents;
}

void TForm1::FormCreate()
{
    // First-run check: a new machine or disk, or a request from the options, shows the wizard.
    const QString driveId = Platform::driveIdentity(m_programDir);
    if (Config::read(m_settings, Config::DriveId) != driveId
        || Config::read(m_settings, Config::Welcome)) {
        TWelcome wizard(&m_settings, m_programDir, this);
        wizard.setResetStepDelay(g_wizardStepDelay);
        Prompts::instance().modal(wizard);
    }
    m_tasks->showToday();
    m_documents->reset();
    m_documents->open(QString());
    m_highlighting->loadDefinitions();
    m_documents->rebuildRecentMenu();
    m_templates->LoadTemplateGroups();
    ApplyOptions();
    m_runs->createRunForm();
    createOptions(); // after the run dialog, whose options button it serves
    if (Config::read(m_settings, Config::RunWebServer))
        m_browser->startWebServer(true);
}

void TForm1::FormShow()
{
    m_shown = true;
    m_statusTimer->start();
    // The explorer starts in the home folder, and moves once to the folder of the first script
    // opened (those named on the command line open just after this).
    connect(
            m_documents, &DocumentTabs::fileOpened, m_explorerPanel,
            [this](TScriptEditor *doc) {
                m_explorerPanel->setFolder(QFileInfo(doc->FileName).absolutePath());
            },
            Qt::SingleShotConnection);
    m_views->showInitialView();
    m_journal->offerLeftovers();
}

void TForm1::ApplyOptions()
{
    m_inspector->applyOptions();
    using Config::Panels;
    const Panels panels = Panels::read(m_settings);
    m_linkBar->panel()->setVisible(panels.shown[Panels::LinkBar]);
    m_explorer->setVisible(panels.shown[Panels::Explorer]);
    m_inspector->panel()->setVisible(panels.shown[Panels::CodeInspector]);
    m_tips->setVisible(panels.shown[Panels::TipOfDay]);
    m_linkBar->reload();
    m_runs->applyOptions(panels);
    using Config::Bars;
    const Bars bars = Bars::read(m_settings);
    m_menuBar->setVisible(bars.shown[Bars::FileMenu]);
    m_standardBar->setVisible(bars.shown[Bars::Standard]);
    m_templateBar->setVisible(bars.shown[Bars::Templates]);
    m_htmlBar->setVisible(bars.shown[Bars::Html]);
    m_templates->applyOptions();
    m_documents->applyOptions();
    m_editingOptions->applyOptions();
}

void TForm1::OpenDocument(const QString &path)
{
    m_documents->open(path);
}

TScriptEditor *TForm1::CurrentDocument() const
{
    return m_documents->current();
}

void TForm1::SetView(ViewKind kind, const QString &path)
{
    m_views->setView(kind, path);
}

void TForm1::closeExplorer()
{
    ZoomHide(m_explorer);
    Config::write(m_settings, Config::VisibleExplorer, false);
}

void TForm1::closeTips()
{
    ZoomHide(m_tips);
}

bool TForm1::event(QEvent *e)
{
    const bool handled = QMainWindow::event(e);
    // The window or a bar beside the standard bar changed its size.
    if (e->type() == QEvent::Resize || e->type() == QEvent::LayoutRequest)
        fitStandardBar();
    return handled;
}

void TForm1::fitStandardBar()
{
    // Sharing its row, the standard bar would hide its last buttons behind the extension
    // arrow when the row is too narrow: then it gets a row of its own.
    if (!m_standardBar || m_standardBar->isHidden()
        || toolBarArea(m_standardBar) != Qt::TopToolBarArea)
        return;
    // The palette has a row of its own below; only the HTML bar shares the standard bar's.
    int needed = m_standardBar->sizeHint().width();
    if (!m_htmlBar->isHidden() && !m_htmlBar->isFloating()
        && toolBarArea(m_htmlBar) == Qt::TopToolBarArea)
        needed += qMax(m_htmlBar->minimumWidth(), m_htmlBar->minimumSizeHint().width());
    const bool ownRow = needed > width();
    if (ownRow == m_standardBarOwnRow)
        return;
    m_standardBarOwnRow = ownRow;
    if (ownRow)
        insertToolBarBreak(m_htmlBar);
    else
        removeToolBarBreak(m_htmlBar);
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (m_documents->confirmClose()) {
        m_journal->finish();
        e->accept();
    } else
        e->ignore();
}

void TForm1::createOptions()
{
    OptionsHost host{m_settings,
                     m_runSettings,
                     m_colorDefFile,
                     m_programDir,
                     [this] {
                         m_highlighting->loadDefinitions();
                         m_highlighting->highlightCurrent(0);
                     },
                     [this] { ApplyOptions(); },
                     [this] {
                         m_documents->rebuildRecentMenu();
                     }};
    m_options = new TOptions(std::move(host), this);
    auto open = [this](TOptions::Page page) {
        return [this, page] {
            m_options->open(page);
        };
    };
    m_commands.onTriggered({"Options1", "btOptions"}, this, open(TOptions::Page::General));
    m_commands.onTriggered({"Options_View"}, this, open(TOptions::Page::View));
    TSchemePage *page = m_options->schemePage();
    TRunForm *runForm = m_runs->runForm();
    runForm->setCustomModeSource([page] { return page->customMode(); });
    QPushButton *runOptions = runForm->optionsButton();
    runOptions->setEnabled(true);
    connect(runOptions, &QPushButton::clicked, this,
            [f = open(TOptions::Page::Compiler)] { guarded(f); });
    connect(m_linkBar, &LinkBarPanel::editLinksRequested, this,
            [f = open(TOptions::Page::CustomLinks)] { guarded(f); });
}
