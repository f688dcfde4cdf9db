#include "ui/run/runcommands.h"

#include "core/common/messagewait.h"
#include "core/common/textfile.h"
#include "core/run/browserrules.h"
#include "core/run/debuggerswitch.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/common/icons.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/checkmarks.h"
#include "ui/run/codeprev.h"
#include "ui/run/console.h"
#include "ui/run/panelrun.h"
#include "ui/run/runinput.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kConsoleWidth = 256;

const char *const kScriptCommands[] = {"Run1",          "btRun",  "Syntaxcheck1",
                                       "btSyntaxCheck", "Debug1", "btDebug"};

// Runs a handler on a left click of the watched widgets.
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick)
        : QObject(parent)
        , m_onClick(std::move(onClick))
    {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            m_onClick();
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_onClick;
};

// Docked at the left, the console keeps its width when the area is resized, as the user last
// set it; the Perl output takes the rest. A plain splitter would share out every change.
class OutputSplitter : public QSplitter
{
public:
    using QSplitter::QSplitter;

    void dockFirst(int width)
    {
        m_firstWidth = width;
        place();
    }
    // Puts the panels where they belong, after one of them was shown again.
    void place()
    {
        if (count() < 2 || widget(0)->isHidden() || widget(1)->isHidden())
            return;
        const int room = width() - handleWidth();
        setSizes({m_firstWidth, qMax(0, room - m_firstWidth)});
    }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QSplitter::resizeEvent(e);
        place();
    }

private:
    int m_firstWidth = 0;
};

QToolButton *headerButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    b->setFixedSize(18, 18);
    return b;
}

} // namespace

RunCommands::RunCommands(TIniFile &settings, TIniFile &runSettings, QString programDir,
                         const CommandTable &commands, DocumentSource &docs, QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_runSettings(runSettings)
    , m_programDir(std::move(programDir))
    , m_commands(commands)
    , m_docs(docs)
    , m_outputArea(new QWidget(parent))
{
    setObjectName(QStringLiteral("RunCommands"));
    m_outputArea->setObjectName(QStringLiteral("pPC"));
    auto *area = new QVBoxLayout(m_outputArea);
    area->setContentsMargins(0, 0, 0, 0);
    auto *split = new OutputSplitter(Qt::Horizontal, m_outputArea);
    m_split = split;
    m_split->setObjectName(QStringLiteral("pcSplit"));
    m_split->setChildrenCollapsible(false);
    // A width the user drags to is kept from then on.
    connect(m_split, &QSplitter::splitterMoved, this,
            [split] { split->dockFirst(split->sizes().value(0)); });
    area->addWidget(m_split);

    auto *console = new QPlainTextEdit();
    console->setObjectName(QStringLiteral("Console"));
    console->setFont(QFont(QStringLiteral("Courier New"), 9));
    const PanelFrame consolePanel = panelFrame(m_split, "pConsole", QStringLiteral(" Console"),
                                               nullptr, console);
    m_consolePanel = consolePanel.frame;
    auto *internalCommand = new QCheckBox(QStringLiteral("internal command"));
    internalCommand->setObjectName(QStringLiteral("chkICmd"));
    consolePanel.header->addWidget(internalCommand);
    m_split->addWidget(m_consolePanel);

    m_perlOut = new QPlainTextEdit();
    m_perlOut->setObjectName(QStringLiteral("PerlOut"));
    m_perlOut->setReadOnly(true);
    // Read-only, yet walked with the keys as any text: Ctrl+Home, the arrows, Enter on a place.
    m_perlOut->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_perlOut->setFont(QFont(QStringLiteral("Courier New"), 9));
    QToolButton *closeButton = panelCloseButton(nullptr, "SpeedButton10",
                                                QStringLiteral("Close console / Perl output"));
    const PanelFrame perlPanel = panelFrame(m_split, "pPerl", QStringLiteral(" Perl output"),
                                            closeButton, m_perlOut);
    m_perlPanel = perlPanel.frame;
    QToolButton *preview = headerButton(perlPanel.header->parentWidget(), "btHTMLPrev",
                                        QStringLiteral("Show contents as HTML file"));
    preview->setIcon(themeIcon("text-html"));
    perlPanel.header->insertWidget(1, preview);
    QToolButton *stopButton = headerButton(perlPanel.header->parentWidget(), "btStopRun",
                                           QStringLiteral("Stop the running script"));
    stopButton->setDefaultAction(commands["btStopRun"]);
    perlPanel.header->insertWidget(1, stopButton);
    m_split->addWidget(m_perlPanel);
    m_split->handle(1)->setObjectName(QStringLiteral("Splitter4"));

    QWidget *header = perlPanel.header->parentWidget();
    auto *filter = new ClickFilter(header, [this] { guarded([this] { showOutputOverview(); }); });
    header->installEventFilter(filter);
    header->setToolTip(QStringLiteral("Click for an overview of the whole output"));
    for (QLabel *label : header->findChildren<QLabel *>())
        label->installEventFilter(filter);
    header->setCursor(Qt::PointingHandCursor);

    m_perlRun = PanelRun::of(m_perlOut);
    m_perlRun->setEndingLine(true);
    m_input = new RunInputBar(m_perlRun, m_settings, m_perlPanel);
    m_perlPanel->layout()->addWidget(m_input);
    // Perl's own words for a missing debugger scroll by in a moment: say plainly what to do.
    connect(m_perlRun, &PanelRun::ended, this, [this] {
        if (m_debugger.isEmpty())
            return;
        const QString why = missingDebuggerMessage(m_debugger, m_perlOut->toPlainText());
        if (!why.isEmpty())
            Prompts::error(m_outputArea->window(), why);
    });
    connect(m_perlRun, &PanelRun::received, this, [this](const QString &text) {
        if (!m_stops)
            return;
        if (const std::optional<ErrorLink> stop = m_stops->feed(text))
            emit debuggerStopped(stop->path, stop->line);
    });
    if (m_perlOut->document()->isEmpty())
        m_perlOut->setPlainText(Platform::localHttpAddress() + QStringLiteral("/cgi-bin >"));

    commands.onTriggered({"Run1", "btRun"}, this, [this] { run(); });
    commands.onTriggered({"Syntaxcheck1", "btSyntaxCheck"}, this, [this] { syntaxCheck(); });
    commands.onTriggered({"Debug1", "btDebug"}, this, [this] { debug(); });
    commands.onTriggered({"btStopRun"}, this, [this] { stop(); });
    connect(preview, &QToolButton::clicked, this,
            [this] { guarded([this] { showOutputAsPage(); }); });
    connect(closeButton, &QToolButton::clicked, this,
            [this] { guarded([this] { closePanels(); }); });
    connect(m_perlRun, &PanelRun::runningChanged, this, [this] { updateCommands(); });
    updateCommands();

    m_checkMarks = new CheckMarks(m_perlOut, m_perlRun, m_docs, this);
    m_console = new ConsolePanel(
            console, internalCommand, [this] { return m_consoleCommand; },
            m_programDir + QStringLiteral("etc/console_history"), this);
}

void RunCommands::createRunForm()
{
    if (m_runForm)
        return;
    m_runForm = new TRunForm(&m_settings, &m_runSettings, m_outputArea->window());
    connect(m_runForm, &TRunForm::runRequested, this, [this](const Command &command) {
        guarded([&] {
            if (const RunRequest r = m_runForm->request(); r.syntaxCheck)
                m_checkMarks->checking(r.script, command.workingDirectory);
            runInPerlOut(command);
            m_checkMarks->disarm();
        });
    });
    updateCommands();
}

void RunCommands::applyOptions(const Config::Panels &panels)
{
    using Config::Panels;
    m_perlPanel->setVisible(panels.shown[Panels::PerlOut]);
    m_consolePanel->setVisible(panels.shown[Panels::Console]);
    // The console sits at the left of the output, or fills the area when it is alone.
    static_cast<OutputSplitter *>(m_split)->dockFirst(kConsoleWidth);
    m_outputArea->setVisible(!m_consolePanel->isHidden() || !m_perlPanel->isHidden());
    if (!Config::read(m_settings, Config::UseCmd))
        m_consoleCommand = Config::read(m_settings, Config::Cmd);
}

void RunCommands::closePanels()
{
    ZoomHide(m_outputArea);
    Config::write(m_settings, Config::VisiblePerlOut, false);
    Config::write(m_settings, Config::VisibleConsole, false);
}

void RunCommands::showOutputAsPage()
{
    const QString page = m_programDir + QStringLiteral("etc/prev.html");
    // The page is what the script wrote: the panel's line of how it ended is not part of it.
    QString text = m_perlOut->toPlainText();
    if (const QString &tail = m_perlRun->endingTail(); !tail.isEmpty() && text.endsWith(tail))
        text.chop(tail.size());
    writeFileAtomically(page, BrowserRules::previewPage(text));
    ProcessMessages();
    emit browseRequested(page);
}

void RunCommands::showOutputOverview()
{
    if (!m_overview)
        m_overview = new TCodePrevForm(m_outputArea->window());
    const QString text = m_perlOut->toPlainText();
    m_overview->setLines(text.isEmpty() ? QStringList() : text.split(u'\n'));
    // Just above the output panel, at its left edge, but all of it (its close button above
    // all) on the screen.
    const QPoint corner = m_perlPanel->mapToGlobal(QPoint(0, 0));
    const QScreen *screen = QGuiApplication::screenAt(corner);
    const QRect room = (screen ? screen : m_perlPanel->screen())->availableGeometry();
    const QSize frame = m_overview->frameGeometry().size().expandedTo(m_overview->size());
    const QPoint wanted(corner.x(), corner.y() - frame.height());
    m_overview->move(qMax(room.left(), qMin(wanted.x(), room.x() + room.width() - frame.width())),
                     qMax(room.top(), qMin(wanted.y(), room.y() + room.height() - frame.height())));
    ZoomShow(m_overview);
    m_overview->raise();
}

QString RunCommands::stillRunningQuestion()
{
    return QStringLiteral("A script is still running in the Perl output panel. Stop it now?");
}

void RunCommands::updateCommands()
{
    const bool script = !m_docs.all().empty();
    for (const char *n : kScriptCommands)
        m_commands[n]->setEnabled(script);
    m_commands["btStopRun"]->setEnabled(m_perlRun->isRunning());
}

bool RunCommands::endRunningScript()
{
    if (!m_perlRun->isRunning())
        return true;
    if (Prompts::confirm(m_outputArea->window(), stillRunningQuestion()) != QMessageBox::Yes)
        return false;
    m_perlRun->stopNow();
    return true;
}

void RunCommands::run()
{
    prepareRun(TRunForm::Purpose::Run);
}

void RunCommands::syntaxCheck()
{
    prepareRun(TRunForm::Purpose::SyntaxCheck);
}

void RunCommands::debug()
{
    prepareRun(TRunForm::Purpose::Debug);
}

void RunCommands::stop()
{
    m_perlRun->stop();
}

void RunCommands::prepareRun(TRunForm::Purpose purpose)
{
    TScriptEditor *doc = m_docs.current();
    if (!doc)
        return;
    // A start-up that broke off early has not made the dialog yet.
    createRunForm();
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
    m_copyOf.clear();
    switch (Config::read(m_settings, Config::RunAutoSave)) {
    case 0:
        m_runForm->setScript(doc.FileName);
        break;
    case 1:
        m_runForm->setScript(doc.FileName);
        m_docs.saveCurrent();
        // A new script has its name now, unless the save was cancelled.
        m_runForm->setScript(doc.FileName);
        break;
    case 2: {
        const QString copy = Config::read(m_settings, Config::RunAutoSaveAs);
        // The script keeps its own path and its modified state.
        writeScript(doc, copy);
        m_copyPath = copy;
        m_copyOf = doc.Editor;
        ProcessMessages();
        m_runForm->setScript(copy);
        break;
    }
    default:
        break;
    }
}

ScriptEditorWidget *RunCommands::copiedFrom(const QString &path) const
{
    if (!m_copyOf || path.isEmpty())
        return nullptr;
    return QFileInfo(path) == QFileInfo(m_copyPath) ? m_copyOf.data() : nullptr;
}

void RunCommands::runInPerlOut(const Command &command)
{
    if (!endRunningScript())
        return;
    // Empty already, but for the note that a stopped run may have left.
    m_perlOut->clear();
    const bool reshown = reshowPerlOut();
    Command withInput = command;
    withInput.keepInputOpen = command.keepInputOpen || m_input->keepInputOpen();
    m_debugger = debuggerModule(withInput);
    m_stops.reset();
    if (withInput.keepInputOpen) {
        ErrorLinkFinder places;
        places.setFolder(withInput.workingDirectory.isEmpty() ? QDir::currentPath()
                                                              : withInput.workingDirectory);
        m_stops.emplace(std::move(places));
    }
    RunAndCapture(m_perlOut, withInput, true);
    if (reshown)
        Config::write(m_settings, Config::VisiblePerlOut, true);
}

bool RunCommands::reshowPerlOut()
{
    // Closed earlier, the output comes back for what writes to it; the console only as its
    // setting says.
    if (!m_perlPanel->isHidden() && !m_outputArea->isHidden())
        return false;
    m_consolePanel->setVisible(Config::read(m_settings, Config::VisibleConsole));
    m_perlPanel->show();
    m_outputArea->show();
    static_cast<OutputSplitter *>(m_split)->place();
    return true;
}

bool RunCommands::showInPerlOut(const QString &text)
{
    if (!endRunningScript())
        return false;
    const bool reshown = reshowPerlOut();
    PanelRun::of(m_perlOut)->showReport(text, QString());
    if (reshown)
        Config::write(m_settings, Config::VisiblePerlOut, true);
    return true;
}
