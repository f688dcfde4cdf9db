#include "ui/shell/mainwindow.h"

#include "core/common/messagewait.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/run/runcommands.h"
#include "ui/shell/welcome.h"
#include "ui/tasks/taskpage.h"
#include "ui/tools/linkbar.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString kConfig = QStringLiteral("Config");
int g_wizardStepDelay = 75;
// A period of a few milliseconds would save without pause and make the program unusable.
constexpr int kMinAutoSavePeriodMs = 1000;
} // namespace

void TForm1::setWizardStepDelay(int ms)
{
    g_wizardStepDelay = ms;
}

TForm1::TForm1(const QString &programDir, QWidget *parent)
    : QMainWindow(parent)
    , ProgramDir(programDir)
    , Settings(programDir + QStringLiteral("etc/quillforge.cfg"))
    , RunSettings(programDir + QStringLiteral("etc/runsettings.cfg"))
    , TaskFile(programDir + QStringLiteral("etc/tasks.dat"))
    , ColorDefFile(programDir + QStringLiteral("etc/editorcolors.def"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ostravine Quillforge"));
    setWindowIcon(appIcon());
    resize(972, 701);
    createActions();
    createMenus();
    createToolBars();
    createCentre();
    createStatusBar();
    wireCommands();
    RunCmds = new RunCommands(this);
    wireViews();
    TaskPage = new TTaskPage(TaskFile, TaskSheet);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TForm1::updateStatus);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    AutoSaveTimer = new QTimer(this);
    AutoSaveTimer->setObjectName(QStringLiteral("AutoSaveTimer"));
    connect(AutoSaveTimer, &QTimer::timeout, this,
            [this] { guarded([this] { AutoSaveTimerTimer(); }); });
    wireCodeInspector();
    wireFind();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    RecentFiles.clear();
    // First-run check: a new machine or disk, or a request from the options, shows the wizard.
    const QString driveId = Platform::driveIdentity(ProgramDir);
    if (Settings.ReadString(kConfig, QStringLiteral("HD_ID"), QString()) != driveId
        || Settings.ReadBool(kConfig, QStringLiteral("Welcome"), false)) {
        TWelcome wizard(&Settings, ProgramDir, this);
        wizard.setResetStepDelay(g_wizardStepDelay);
        wizard.exec();
    }
    TaskPage->showToday();
    Documents.clear();
    OpenDocument(QString());
    LoadColorDefinitions();
    m_openDir = Settings.ReadString(QStringLiteral("SRecent"), QStringLiteral("Perls"), QString());
    RebuildRecentMenu();
    ApplyOptions();
    RunCmds->FormCreate();
    createOptions(); // after the run dialog, whose options button it serves
    if (Settings.ReadBool(kConfig, QStringLiteral("RunWebServer"), false))
        btWebServClick();
}

void TForm1::FormShow()
{
    m_formShown = true;
    Carry2->setCurrentWidget(IESheet);
    FormResize();
    Timer1->start();
    switch (Settings.ReadInteger(kConfig, QStringLiteral("InitialView"), 0)) {
    case 1:
        SetView(ViewKind::vkToday);
        break;
    case 2:
        SetView(ViewKind::vkTasks);
        break;
    case 0:
        if (Settings.ReadBool(kConfig, QStringLiteral("OpenLast"), false))
            SetView(ViewKind::vkSource,
                    Settings.ReadString(QStringLiteral("SRecent"), QStringLiteral("LastOpened"),
                                        QString()));
        else
            SetView(ViewKind::vkSource);
        break;
    default:
        break;
    }
}

void TForm1::ApplyOptions()
{
    const QString ci = QStringLiteral("CodeInspector");
    if (Settings.ReadBool(ci, QStringLiteral("UpdateIntervalActive"), true)) {
        Timer2->setInterval(
                qMax(1, Settings.ReadInteger(ci, QStringLiteral("UpdateInterval"), 60000)));
        Timer2->start();
    } else {
        Timer2->stop();
    }

    auto visible = [this](const char *key) {
        return Settings.ReadBool(kConfig, QLatin1String(key), true);
    };
    pLinkBar->setVisible(visible("Visible_LinkBar"));
    pExplorer->setVisible(visible("Visible_Explorer"));
    pInspector->setVisible(visible("Visible_CodeInspector"));
    pPerl->setVisible(visible("Visible_PerlOut"));
    pConsole->setVisible(visible("Visible_Console"));
    pTips->setVisible(visible("Visible_TipOfDay"));
    LinkBar::LoadCustomLinks(findChild<QListWidget *>(QStringLiteral("lvCustomLinks")), Settings);

    // The console sits at the left of the output, or fills the area when it is alone.
    if (pConsole->isHidden() || !pPerl->isHidden())
        pcSplit->setSizes({256, qMax(256, pcSplit->width() - 256)});
    pPC->setVisible(!pConsole->isHidden() || !pPerl->isHidden());

    FileMenu->setVisible(visible("Visible_Sym_FileMenu"));
    ToolBar1->setVisible(visible("Visible_Sym_Standard"));
    ToolBar2->setVisible(visible("Visible_Sym_Templates"));
    ToolBar3->setVisible(visible("Visible_Sym_HTML"));

    if (!Settings.ReadBool(kConfig, QStringLiteral("UseCmd"), false))
        ConsoleCommand = Settings.ReadString(kConfig, QStringLiteral("Cmd"),
                                             Platform::defaultCommandInterpreter());

    AutoSaveTimer->setInterval(
            qMax(kMinAutoSavePeriodMs,
                 Settings.ReadInteger(kConfig, QStringLiteral("AutoSaveInterval"), 7)));
    if (Settings.ReadBool(kConfig, QStringLiteral("AutoSave"), false))
        AutoSaveTimer->start();
    else
        AutoSaveTimer->stop();
}

void TForm1::FormResize()
{
    // The bars lay themselves out; nothing here needs sizes computed by hand yet.
}

void TForm1::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    if (m_formShown)
        FormResize();
}

void TForm1::SpeedButton1Click()
{
    ZoomHide(pExplorer);
    Settings.WriteBool(kConfig, QStringLiteral("Visible_Explorer"), false);
}

void TForm1::SpeedButton3Click()
{
    ZoomHide(pInspector);
    Settings.WriteBool(kConfig, QStringLiteral("Visible_CodeInspector"), false);
}

void TForm1::SpeedButton10Click()
{
    ZoomHide(pPC);
    Settings.WriteBool(kConfig, QStringLiteral("Visible_PerlOut"), false);
    Settings.WriteBool(kConfig, QStringLiteral("Visible_Console"), false);
}

void TForm1::SpeedButton4Click()
{
    ZoomHide(pTips);
}

bool TForm1::FormCloseQuery()
{
    for (const auto &doc : Documents) {
        if (doc->saved() || doc->Editor->document()->characterCount() - 1 <= 1)
            continue;
        const auto answer = Prompts::confirm(
                this,
                QStringLiteral(
                        "The file \"%1\" has not been saved yet. Do you want to save it now?")
                        .arg(doc->FileName),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes) {
            // A script that could not be written keeps the window open: nothing is lost.
            bool written = false;
            guarded([&] { written = saveDocument(*doc); });
            if (!written)
                return false;
            ProcessMessages();
        }
    }
    return true;
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (FormCloseQuery())
        e->accept();
    else
        e->ignore();
}

void TForm1::updateStatus()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc)
        return;
    const QTextCursor c = doc->Editor->textCursor();
    const int start = c.selectionStart();
    const QTextBlock b = doc->Editor->document()->findBlock(start);
    sBarPanels[0]->setText(
            QStringLiteral("Row: %1 Col: %2").arg(b.blockNumber()).arg(start - b.position()));
    sBarPanels[2]->setText(doc->saved() ? QString() : QStringLiteral("modified"));
}

void TForm1::wireCommands()
{
    auto on = [this](std::initializer_list<const char *> names, auto handler) {
        for (const char *n : names)
            connect(action(n), &QAction::triggered, this,
                    [this, handler] { guarded([&] { handler(this); }); });
    };
    on({"btNew", "New1", "New2"}, [](TForm1 *w) { w->btNewClick(); });
    on({"btOpen", "Open1", "Open2"}, [](TForm1 *w) { w->btOpenClick(); });
    on({"btSave", "Save1", "Save2"}, [](TForm1 *w) { w->btSaveClick(); });
    on({"Saveas1", "Saveas2"}, [](TForm1 *w) { w->SaveDocumentAs(); });
    on({"Close1", "SpeedButton2"}, [](TForm1 *w) {
        if (!w->Documents.empty())
            w->CloseCurrentDocument();
    });
    on({"Exit1"}, [](TForm1 *w) { w->close(); });
    on({"vSetCode"}, [](TForm1 *w) { w->SetView(ViewKind::vkSource); });
    on({"Actualizecodecolors1"}, [](TForm1 *w) { w->Highlight(0); });
    on({"vSetTasks"}, [](TForm1 *w) { w->SetView(ViewKind::vkTasks); });

    auto onEditor = [this](std::initializer_list<const char *> names, void (QPlainTextEdit::*fn)()) {
        for (const char *n : names) {
            connect(action(n), &QAction::triggered, this, [this, fn] {
                if (TScriptEditor *d = CurrentDocument())
                    (d->Editor->*fn)();
            });
        }
    };
    onEditor({"btCut", "Cut1", "Cut2"}, &QPlainTextEdit::cut);
    onEditor({"btCopy", "Copy1", "Copy2"}, &QPlainTextEdit::copy);
    onEditor({"btPaste", "Paste1", "Paste2"}, &QPlainTextEdit::paste);
    onEditor({"btUndo", "Undo1", "Undo2"}, &QPlainTextEdit::undo);
    onEditor({"btRedo", "Redo1", "Redo2"}, &QPlainTextEdit::redo);
    onEditor({"Selectall1", "Selectall2"}, &QPlainTextEdit::selectAll);
    for (const char *n : {"btDelete", "Delete1", "Delete2"}) {
        connect(action(n), &QAction::triggered, this, [this] {
            // The cursor does not ask the control: a script still loading is read-only.
            TScriptEditor *d = CurrentDocument();
            if (d && !d->Editor->isReadOnly())
                d->Editor->textCursor().removeSelectedText();
        });
    }
    connect(tabScriptSel, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < int(Documents.size()))
            tabScriptSelChange();
    });
}
