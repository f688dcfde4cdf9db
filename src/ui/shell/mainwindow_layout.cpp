// Builds the main window's bars, panels and commands.
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/shell/mainwindow.h"

#include "ui/common/panels.h"
#include "ui/editor/diskwatch.h"
#include "ui/editor/editorcommands.h"
#include "ui/editor/findform.h"
#include "ui/editor/findinfilespage.h"
#include "ui/editor/findresults.h"
#include "ui/editor/highlighting.h"
#include "ui/editor/journal.h"
#include "ui/editor/proptreecontroller.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/browsercontroller.h"
#include "ui/run/runcommands.h"
#include "ui/shell/documenttabs.h"
#include "ui/shell/viewcontroller.h"
#include "ui/tasks/taskpage.h"
#include "ui/tasks/todayview.h"
#include "ui/templates/templatepalette.h"
#include "ui/tools/explorer.h"
#include "ui/tools/linkbarpanel.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Every command of the main window: object name, caption, shortcuts ("; " between two; the
// menus show the first), icon, enabled.
// Commands whose feature is not in the program yet start disabled.
struct CommandDef
{
    const char *name;
    const char *caption;
    const char *shortcut;
    const char *icon;
    bool enabled;
};

const CommandDef kCommands[] = {
        // File
        {"New1", "&New", "", "document-new", true},
        {"Open1", "&Open", "", "document-open", true},
        {"Save1", "&Save", "", "document-save", true},
        {"Saveas1", "&Save as...", "Ctrl+Shift+S", "document-save-as", true},
        {"Properties1", "Properties", "Ctrl+I", "document-properties", false},
        {"SetotherHTMLfile1", "Set other &HTML file", "Ctrl+H", "text-html", true},
        {"Close1", "&Close", "Ctrl+F4; Ctrl+W", "document-close", true},
        {"Exit1", "E&xit", "Alt+F4; Ctrl+Q", "application-exit", true},
        // Edit
        {"Selectall1", "&Select all", "Ctrl+A", "edit-select-all", true},
        {"Cut1", "Cu&t", "Ctrl+X", "edit-cut", true},
        {"Copy1", "&Copy", "Ctrl+C", "edit-copy", true},
        {"Paste1", "&Paste", "Ctrl+V", "edit-paste", true},
        {"Delete1", "&Delete", "Ctrl+Del", "edit-delete", true},
        {"Undo1", "&Undo", "Alt+U; Ctrl+Z", "edit-undo", true},
        {"Redo1", "&Redo", "Alt+R; Ctrl+Shift+Z; Ctrl+Y", "edit-redo", true},
        {"Commentlines1", "Co&mment / uncomment lines", "Ctrl+/", "", true},
        {"Options1", "&Options", "", "configure", true},
        // Search
        {"Find1", "&Find", "Ctrl+F", "edit-find", true},
        {"Findandreplace1", "Find and &replace", "Ctrl+R", "edit-find-replace", true},
        {"Findnext1", "Find &next", "F3", "go-down", true},
        {"Findprevious1", "Find pre&vious", "Shift+F3", "go-up", true},
        {"Findinfiles1", "Find in f&iles", "", "", true},
        {"Gotoline1", "&Go to line...", "Ctrl+G", "go-jump", true},
        // Project
        {"Run1", "&Run...", "F9", "media-playback-start", true},
        {"Syntaxcheck1", "&Syntax check...", "Ctrl+F9", "tools-check-spelling", true},
        {"Debug1", "&Debug...", "", "debug-run", true},
        {"btStopRun", "S&top the running script", "Shift+F9", "process-stop", false},
        {"Perltidy1", "&Format with perltidy", "Ctrl+Shift+T", "", true},
        {"Perlcritic1", "Check with perl&critic", "Ctrl+Shift+K", "", true},
        // Code templates
        {"Createnewcodetemplate1", "&Create new code template", "", "document-new-from-template",
         true},
        {"Createnewtemplatefromselection1", "Create new template from &selection", "", "", true},
        {"Arrangetemplatepalette1", "&Arrange template palette / remove / edit templates", "", "",
         true},
        {"Installtemplatesfromredistributable1", "Install template(s) from redistributable", "", "",
         false},
        // View
        {"vSetCode", "Source code", "Ctrl+Alt+S", "text-x-script", true},
        {"vSetHTML", "HTML file", "Ctrl+Alt+H", "text-html", true},
        {"vSetTasks", "Tasks", "Ctrl+Alt+T", "view-task", true},
        {"vSetToday", "Today", "Ctrl+Alt+O", "go-home", true},
        {"vSetHelp", "Help", "F1", "help-contents", true},
        {"Options_View", "View options", "", "view-choose", true},
        // Extras
        {"TrimfileforUNIX1", "&Trim file for UNIX", "", "", false},
        // Help
        {"Contents1", "&Contents\tF1", "", "help-contents", true},
        {"iNDEX1", "&Index", "Alt+I", "", false},
        {"CPANPerlreference1", "CPAN &Perl reference", "Alt+P", "", false},
        {"Reportabug1", "Report a bug...", "", "tools-report-bug", false},
        {"About1", "&About", "Alt+A", "help-about", false},
        // Editor menu
        {"New2", "&New", "", "document-new", true},
        {"Open2", "&Open", "", "document-open", true},
        {"Save2", "&Save", "", "document-save", true},
        {"Saveas2", "Save &as...", "", "document-save-as", true},
        {"Properties2", "&Properties", "", "document-properties", false},
        {"SetHTMLfile2", "Set &HTML file", "", "text-html", true},
        {"Cut2", "Cu&t", "", "edit-cut", true},
        {"Copy2", "&Copy", "", "edit-copy", true},
        {"Paste2", "&Paste", "", "edit-paste", true},
        {"Delete2", "&Delete", "", "edit-delete", true},
        {"Undo2", "&Undo", "", "edit-undo", true},
        {"Redo2", "&Redo", "", "edit-redo", true},
        {"Selectall2", "Select all", "", "edit-select-all", true},
        {"Find2", "&Find", "", "edit-find", true},
        {"CreateTemplatefromselection1", "Create Te&mplate from selection...", "", "", true},
        {"Actualizecodecolors1", "&Actualize code colors", "F5", "view-refresh", true},
        // Path caption menu
        {"Properties3", "&Properties", "", "document-properties", false},
        {"SetotherHTMLfile3", "&Set other HTML file", "", "text-html", true},
        // Toolbar only
        {"btNew", "New script", "Ctrl+N", "document-new", true},
        {"btOpen", "Open script", "Ctrl+O", "document-open", true},
        {"btSave", "Save script", "Ctrl+S", "document-save", true},
        {"btProperties", "File properties", "", "document-properties", false},
        {"btCut", "Cut", "", "edit-cut", true},
        {"btCopy", "Copy", "", "edit-copy", true},
        {"btPaste", "Paste", "", "edit-paste", true},
        {"btDelete", "Delete", "", "edit-delete", true},
        {"btUndo", "Undo", "", "edit-undo", true},
        {"btRedo", "Redo", "", "edit-redo", true},
        {"btFind", "Find", "", "edit-find", true},
        {"btOptions", "Options", "", "configure", true},
        {"btRun", "Run", "", "media-playback-start", true},
        {"btSyntaxCheck", "Syntax check", "", "tools-check-spelling", true},
        {"btDebug", "Debug", "", "debug-run", true},
        {"btHelp", "Help", "", "help-contents", true},
        {"btWebServ", "Run webserver", "", "network-server", true},
        {"SpeedButton2", "Close current document", "", "window-close", true},
};

} // namespace

void TForm1::createCommands()
{
    for (const CommandDef &c : kCommands) {
        auto *a = new QAction(QString::fromUtf8(c.caption), this);
        a->setObjectName(QLatin1String(c.name));
        if (*c.shortcut)
            a->setShortcuts(QKeySequence::listFromString(QLatin1String(c.shortcut)));
        if (*c.icon)
            a->setIcon(themeIcon(c.icon));
        a->setEnabled(c.enabled);
        m_commands.add(a);
        // Shortcuts keep working when the menu bar is hidden.
        if (*c.shortcut)
            addAction(a);
    }
    m_commands["Reportabug1"]->setVisible(false);
}

void TForm1::createMenus()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);
    auto add = [this](QMenu *m, std::initializer_list<const char *> names) {
        for (const char *n : names) {
            if (!*n)
                m->addSeparator()->setObjectName(QStringLiteral("sep"));
            else
                m->addAction(m_commands[n]);
        }
    };
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, {"New1", "Open1", "Save1", "Saveas1", "", "Properties1", "SetotherHTMLfile1", "",
               "Close1", "", "Exit1"});
    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    add(edit, {"Selectall1", "", "Cut1", "Copy1", "Paste1", "Delete1", "", "Undo1", "Redo1", "",
               "Commentlines1", "", "Options1"});
    add(bar->addMenu(QStringLiteral("&Search")),
        {"Find1", "Findandreplace1", "Findnext1", "Findprevious1", "Findinfiles1", "", "Gotoline1"});
    add(bar->addMenu(QStringLiteral("&Project")),
        {"Run1", "Syntaxcheck1", "Debug1", "", "btStopRun", "", "Perltidy1", "Perlcritic1"});
    add(bar->addMenu(QStringLiteral("&Code templates")),
        {"Createnewcodetemplate1", "Createnewtemplatefromselection1", "", "Arrangetemplatepalette1",
         "Installtemplatesfromredistributable1"});
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    add(view, {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "vSetHelp", "", "Options_View"});
    add(bar->addMenu(QStringLiteral("E&xtras")), {"TrimfileforUNIX1"});
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {"Contents1", "iNDEX1", "CPANPerlreference1"});
    QAction *bugSep = help->addSeparator();
    bugSep->setVisible(false);
    add(help, {"Reportabug1", "", "About1"});

    m_editorMenu = new QMenu(this);
    m_editorMenu->setObjectName(QStringLiteral("m_editorMenu"));
    add(m_editorMenu, {"New2",
                       "Open2",
                       "Save2",
                       "Saveas2",
                       "",
                       "Properties2",
                       "SetHTMLfile2",
                       "",
                       "Cut2",
                       "Copy2",
                       "Paste2",
                       "Delete2",
                       "",
                       "Undo2",
                       "Redo2",
                       "",
                       "Selectall2",
                       "Find2",
                       "",
                       "CreateTemplatefromselection1",
                       "Actualizecodecolors1"});

    m_viewMenu = new QMenu(this);
    m_viewMenu->setObjectName(QStringLiteral("popView"));
    add(m_viewMenu,
        {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "vSetHelp", "", "Options_View"});

    m_menuBar = new QToolBar(QStringLiteral("Menu"), this);
    m_menuBar->setObjectName(QStringLiteral("FileMenu"));
    m_menuBar->addWidget(bar);
    setMenuWidget(nullptr);
}

void TForm1::createToolBars()
{
    auto prepare = [this](QToolBar *t, const char *name) {
        t->setObjectName(QLatin1String(name));
        t->setMovable(true);
        t->setFloatable(true);
        t->setIconSize(QSize(20, 20));
        addToolBar(Qt::TopToolBarArea, t);
    };
    prepare(m_menuBar, "FileMenu");
    addToolBarBreak();

    m_standardBar = new QToolBar(QStringLiteral("Standard"), this);
    prepare(m_standardBar, "ToolBar1");
    for (const char *n :
         {"btNew",     "btOpen",   "btSave", "btProperties",  "",        "btCut", "btCopy",
          "btPaste",   "btDelete", "",       "btUndo",        "btRedo",  "",      "btFind",
          "btOptions", "",         "btRun",  "btSyntaxCheck", "btDebug", "",      "ToolButton17",
          "btHelp",    "btWebServ"}) {
        if (!*n) {
            m_standardBar->addSeparator();
        } else if (QLatin1String(n) == QLatin1String("ToolButton17")) {
            auto *b = new QToolButton(m_standardBar);
            b->setObjectName(QStringLiteral("ToolButton17"));
            b->setDefaultAction(m_commands["Options_View"]);
            b->setMenu(m_viewMenu);
            b->setPopupMode(QToolButton::MenuButtonPopup);
            m_standardBar->addWidget(b);
        } else {
            QAction *a = m_commands[n];
            m_standardBar->addAction(a);
            auto *b = qobject_cast<QToolButton *>(m_standardBar->widgetForAction(a));
            if (b)
                b->setObjectName(QLatin1String(n));
        }
    }
    if (auto *open = qobject_cast<QToolButton *>(
                m_standardBar->widgetForAction(m_commands["btOpen"]))) {
        open->setMenu(m_documents->recentMenu());
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }

    m_htmlBar = new QToolBar(QStringLiteral("HTML"), this);
    prepare(m_htmlBar, "ToolBar3");
    const char *htmlIcons[] = {"format-text-bold",
                               "format-text-italic",
                               "format-text-underline",
                               "format-justify-left",
                               "format-justify-center",
                               "format-justify-right",
                               "insert-link"};
    for (int i = 0; i < 7; ++i) {
        QAction *a = m_htmlBar->addAction(themeIcon(htmlIcons[i]), QStringLiteral("HTML"));
        a->setEnabled(false);
    }

    // The palette gets a row of its own: a group's buttons want the width of the window.
    addToolBarBreak();
    m_templateBar = m_templates->toolBar();
    prepare(m_templateBar, "ToolBar2");
}

void TForm1::createCentre()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Header: the view caption and the tip of the day.
    auto *header = new QFrame(central);
    header->setObjectName(QStringLiteral("pHeader"));
    header->setFixedHeight(38);
    header->setStyleSheet(QStringLiteral(
            "#pHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0000d7, "
            "stop:1 #3a5fcd); }"
            "#CapPanel { color: white; font-size: 15pt; font-weight: bold; }"));
    auto *hh = new QHBoxLayout(header);
    hh->setContentsMargins(10, 0, 10, 0);
    m_viewCaption = new QLabel(QStringLiteral("Quillforge Today"), header);
    m_viewCaption->setObjectName(QStringLiteral("CapPanel"));
    hh->addWidget(m_viewCaption);
    outer->addWidget(header);

    m_tips = new QFrame(central);
    m_tips->setObjectName(QStringLiteral("pTips"));
    m_tips->setFixedHeight(42);
    m_tips->setStyleSheet(
            QStringLiteral("#pTips { background: #fff8dc; border-bottom: 1px solid #d8c88a; }"));
    auto *th = new QHBoxLayout(m_tips);
    th->setContentsMargins(6, 2, 2, 2);
    auto *tipPic = new QLabel(m_tips);
    tipPic->setPixmap(themeIcon("help-hint", QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    th->addWidget(tipPic);
    auto *tip = new QTextBrowser(m_tips);
    tip->setObjectName(QStringLiteral("TipText"));
    tip->setFrameShape(QFrame::NoFrame);
    tip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tip->setStyleSheet(QStringLiteral("background: transparent;"));
    QFont tipFont(QStringLiteral("Comic Sans MS"), 9);
    tipFont.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                         QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    tip->setFont(tipFont);
    tip->setHtml(QStringLiteral(
            "<b>Did you know?</b> With \"HTML file\" on the link bar you can associate an HTML "
            "page with a CGI script, for example a form that feeds the script. The page is then "
            "shown beside your code whenever you switch to it."));
    th->addWidget(tip, 1);
    QToolButton *tipClose = panelCloseButton(m_tips, "SpeedButton4", QStringLiteral("Close tips"));
    th->addWidget(tipClose, 0, Qt::AlignTop);
    outer->addWidget(m_tips);

    auto *hSplit = new QSplitter(Qt::Horizontal, central);
    hSplit->setObjectName(QStringLiteral("hSplit"));
    hSplit->setChildrenCollapsible(false);
    outer->addWidget(hSplit, 1);
    hSplit->addWidget(m_linkBar->panel());

    m_explorerPanel = new ExplorerPanel([this](const QString &path) { m_documents->open(path); },
                                        hSplit);
    QWidget *explorerContent = m_explorerPanel->content();
    QToolButton *explorerClose = panelCloseButton(nullptr, "SpeedButton1",
                                                  QStringLiteral("Close explorer"));
    m_explorer = panelFrame(hSplit, "pExplorer", QStringLiteral(" Explorer"), explorerClose,
                            explorerContent)
                         .frame;
    hSplit->addWidget(m_explorer);

    // Centre: path caption over the pages, the output area below.
    auto *centre = new QWidget();
    auto *cv = new QVBoxLayout(centre);
    cv->setContentsMargins(0, 0, 0, 0);
    cv->setSpacing(0);
    cv->addWidget(m_documents->pathBar());

    auto *vSplit = new QSplitter(Qt::Vertical, centre);
    vSplit->setObjectName(QStringLiteral("vSplit"));
    vSplit->setChildrenCollapsible(false);

    auto *codeSheet = new QWidget();
    codeSheet->setObjectName(QStringLiteral("CodeSheet"));
    auto *ch = new QHBoxLayout(codeSheet);
    ch->setContentsMargins(0, 0, 0, 0);
    ch->setSpacing(0);
    ch->addWidget(m_editing->sideButtons());
    ch->addWidget(m_documents->editors(), 1);

    auto *taskSheet = new QWidget();
    taskSheet->setObjectName(QStringLiteral("TaskSheet"));
    m_tasks = new TTaskPage(m_taskFile, taskSheet);
    m_views = new ViewController(
            m_settings, m_commands, *m_documents, *m_browser,
            [this] { return writeTodayPage(m_programDir, m_settings, m_tasks->taskCount()); },
            codeSheet, taskSheet, m_viewCaption, this);
    vSplit->addWidget(m_views->pages());
    vSplit->addWidget(m_runs->outputArea());
    // The hits of a find in files, under the output.
    auto *found = new FindResults(vSplit);
    found->watch(m_editing->findForm()->FindInFiles->job());
    vSplit->addWidget(found->panel());
    vSplit->setStretchFactor(0, 1);
    vSplit->setStretchFactor(1, 0);
    vSplit->setStretchFactor(2, 0);
    cv->addWidget(vSplit, 1);
    hSplit->addWidget(centre);

    hSplit->addWidget(m_inspector->panel());
    hSplit->setStretchFactor(2, 1);
    hSplit->setSizes({112, 161, 600, 183});
    vSplit->setSizes({500, 132, 150});
    // The splitter handles carry the names the settings speak of.
    hSplit->handle(2)->setObjectName(QStringLiteral("Splitter1"));
    hSplit->handle(3)->setObjectName(QStringLiteral("Splitter5"));
    vSplit->handle(1)->setObjectName(QStringLiteral("Splitter3"));

    // Bottom: the script tabs and the colouring progress.
    auto *bottom = new QFrame(central);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFixedHeight(28);
    auto *p2 = new QHBoxLayout(bottom);
    p2->setContentsMargins(2, 0, 2, 0);
    p2->addWidget(m_documents->tabBar(), 1);
    p2->addWidget(m_highlighting->progressPanel());
    outer->addWidget(bottom);

    setCentralWidget(central);

    // Each close button writes a setting; a failed write shows its error and the program goes on.
    connect(tipClose, &QToolButton::clicked, this, [this] { guarded([this] { closeTips(); }); });
    connect(explorerClose, &QToolButton::clicked, this,
            [this] { guarded([this] { closeExplorer(); }); });
    connect(found, &FindResults::openRequested, this,
            [this](const QString &path, int line, int column) {
                guarded([&] { m_documents->openAt(path, line, column); });
            });
}

void TForm1::createStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sBar"));
    bar->setSizeGripEnabled(true);
    // The text panels are at least their design width and grow with their text, so that a
    // large row or column is never cut; the separators keep their width.
    const std::pair<int, bool> panels[] = {{100, true}, {4, false}, {80, true}, {4, false}};
    for (const auto &[width, text] : panels) {
        auto *l = new QLabel(bar);
        if (text)
            l->setMinimumWidth(width);
        else
            l->setFixedWidth(width);
        l->setObjectName(QStringLiteral("sBarPanel%1").arg(m_statusPanels.size()));
        bar->addWidget(l);
        m_statusPanels << l;
    }
    m_statusPanels[0]->setText(QStringLiteral("Row: 0 Col:0"));
    // The browser's texts go to the last panel, which takes the room they need.
    auto *browserStatus = new QLabel(bar);
    browserStatus->setObjectName(QStringLiteral("sBarPanel4"));
    browserStatus->setMinimumWidth(50);
    bar->addWidget(browserStatus, 1);
    m_statusPanels << browserStatus;
    setStatusBar(bar);
    m_documents->setStatusLabels(m_statusPanels[0], m_statusPanels[2]);
    m_browser->setStatusLabel(browserStatus);
    connect(m_editing, &EditorCommands::statusMessage, browserStatus, &QLabel::setText);
    connect(&m_documents->diskWatch(), &DiskWatch::statusMessage, browserStatus, &QLabel::setText);
    connect(m_journal, &JournalController::statusMessage, browserStatus, &QLabel::setText);
}
