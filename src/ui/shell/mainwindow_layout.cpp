// Builds the main window's bars, panels and commands.
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
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

// Every command of the main window: object name, caption, shortcut, icon, enabled.
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
        {"Saveas1", "&Save as...", "Ctrl+A", "document-save-as", true},
        {"Properties1", "Properties", "Ctrl+I", "document-properties", false},
        {"SetotherHTMLfile1", "Set other &HTML file", "Ctrl+H", "text-html", true},
        {"Close1", "&Close", "Ctrl+F4", "document-close", true},
        {"Exit1", "E&xit", "Alt+F4", "application-exit", true},
        // Edit
        {"Selectall1", "&Select all\tAlt+A", "", "edit-select-all", true},
        {"Cut1", "Cu&t", "Ctrl+X", "edit-cut", true},
        {"Copy1", "&Copy", "Ctrl+C", "edit-copy", true},
        {"Paste1", "&Paste", "Ctrl+V", "edit-paste", true},
        {"Delete1", "&Delete", "Ctrl+Del", "edit-delete", true},
        {"Undo1", "&Undo", "Alt+U", "edit-undo", true},
        {"Redo1", "&Redo", "Alt+R", "edit-redo", true},
        {"Options1", "&Options", "", "configure", true},
        // Search
        {"Find1", "&Find", "Ctrl+F", "edit-find", true},
        {"Findandreplace1", "Find and &replace", "Ctrl+R", "edit-find-replace", false},
        {"Findinfiles1", "Find in f&iles", "", "", false},
        // Project
        {"Run1", "&Run...", "F9", "media-playback-start", true},
        {"Syntaxcheck1", "&Syntax check...", "Ctrl+F9", "tools-check-spelling", true},
        {"Debug1", "&Debug...", "", "debug-run", true},
        {"btStopRun", "S&top the running script", "Shift+F9", "process-stop", false},
        // Code templates
        {"Createnewcodetemplate1", "&Create new code template", "", "document-new-from-template",
         false},
        {"Createnewtemplatefromselection1", "Create new template from &selection", "", "", false},
        {"Arrangetemplatepalette1", "&Arrange template palette / remove / edit templates", "", "",
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
        {"CreateTemplatefromselection1", "Create Te&mplate from selection...", "", "", false},
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

QToolButton *closeButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setToolTip(hint);
    b->setIcon(themeIcon("window-close", QStyle::SP_TitleBarCloseButton));
    b->setIconSize(QSize(12, 12));
    b->setFixedSize(18, 18);
    return b;
}

// A side panel: a thin caption bar with a close button above its content.
QWidget *panelFrame(QWidget *parent, const char *name, const QString &caption, QToolButton *close,
                    QWidget *content)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto *header = new QFrame(panel);
    header->setObjectName(QLatin1String(name) + QStringLiteral("Header"));
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral("QFrame { background: palette(dark); } QLabel { color: "
                                         "palette(bright-text); font-weight: bold; }"));
    auto *h = new QHBoxLayout(header);
    h->setContentsMargins(4, 1, 1, 1);
    auto *label = new QLabel(caption, header);
    h->addWidget(label, 1);
    if (close) {
        close->setParent(header);
        h->addWidget(close);
    }
    v->addWidget(header);
    if (content)
        v->addWidget(content, 1);
    return panel;
}

} // namespace

QAction *TForm1::action(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name));
}

void TForm1::createActions()
{
    for (const CommandDef &c : kCommands) {
        auto *a = new QAction(QString::fromUtf8(c.caption), this);
        a->setObjectName(QLatin1String(c.name));
        if (*c.shortcut)
            a->setShortcut(QKeySequence(QLatin1String(c.shortcut)));
        if (*c.icon)
            a->setIcon(themeIcon(c.icon));
        a->setEnabled(c.enabled);
        // Shortcuts keep working when the menu bar is hidden.
        if (*c.shortcut)
            addAction(a);
    }
    // The view commands are radio items.
    auto *views = new QActionGroup(this);
    for (const char *n : {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "vSetHelp"}) {
        QAction *a = action(n);
        a->setCheckable(true);
        views->addAction(a);
    }
    action("Reportabug1")->setVisible(false);
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
                m->addAction(action(n));
        }
    };
    MainMenuFile = bar->addMenu(QStringLiteral("&File"));
    MainMenuFile->setObjectName(QStringLiteral("File1"));
    add(MainMenuFile, {"New1", "Open1", "Save1", "Saveas1", "", "Properties1", "SetotherHTMLfile1",
                       "", "Close1", "", "Exit1"});
    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    add(edit, {"Selectall1", "", "Cut1", "Copy1", "Paste1", "Delete1", "", "Undo1", "Redo1", "",
               "Options1"});
    add(bar->addMenu(QStringLiteral("&Search")), {"Find1", "Findandreplace1", "Findinfiles1"});
    add(bar->addMenu(QStringLiteral("&Project")),
        {"Run1", "Syntaxcheck1", "Debug1", "", "btStopRun"});
    add(bar->addMenu(QStringLiteral("&Code templates")),
        {"Createnewcodetemplate1", "Createnewtemplatefromselection1", "",
         "Arrangetemplatepalette1"});
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    add(view, {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "", "Options_View"});
    add(bar->addMenu(QStringLiteral("E&xtras")), {"TrimfileforUNIX1"});
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {"Contents1", "iNDEX1", "CPANPerlreference1"});
    QAction *bugSep = help->addSeparator();
    bugSep->setVisible(false);
    add(help, {"Reportabug1", "", "About1"});

    RTFPop = new QMenu(this);
    RTFPop->setObjectName(QStringLiteral("RTFPop"));
    add(RTFPop, {"New2",
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

    popView = new QMenu(this);
    popView->setObjectName(QStringLiteral("popView"));
    add(popView, {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "", "Options_View"});

    popRecent = new QMenu(this);
    popRecent->setObjectName(QStringLiteral("popRecent"));

    FileMenu = new QToolBar(QStringLiteral("Menu"), this);
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileMenu->addWidget(bar);
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
    prepare(FileMenu, "FileMenu");
    addToolBarBreak();

    ToolBar1 = new QToolBar(QStringLiteral("Standard"), this);
    prepare(ToolBar1, "ToolBar1");
    for (const char *n :
         {"btNew",     "btOpen",   "btSave", "btProperties",  "",        "btCut", "btCopy",
          "btPaste",   "btDelete", "",       "btUndo",        "btRedo",  "",      "btFind",
          "btOptions", "",         "btRun",  "btSyntaxCheck", "btDebug", "",      "ToolButton17",
          "btHelp",    "btWebServ"}) {
        if (!*n) {
            ToolBar1->addSeparator();
        } else if (QLatin1String(n) == QLatin1String("ToolButton17")) {
            auto *b = new QToolButton(ToolBar1);
            b->setObjectName(QStringLiteral("ToolButton17"));
            b->setDefaultAction(action("Options_View"));
            b->setMenu(popView);
            b->setPopupMode(QToolButton::MenuButtonPopup);
            ToolBar1->addWidget(b);
        } else {
            QAction *a = action(n);
            ToolBar1->addAction(a);
            auto *b = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(a));
            if (b)
                b->setObjectName(QLatin1String(n));
        }
    }
    if (auto *open = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(action("btOpen")))) {
        open->setMenu(popRecent);
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }

    ToolBar2 = new QToolBar(QStringLiteral("Code templates"), this);
    prepare(ToolBar2, "ToolBar2");
    auto *CompGrps = new QComboBox(ToolBar2);
    CompGrps->setObjectName(QStringLiteral("CompGrps"));
    CompGrps->setMinimumWidth(110);
    CompGrps->setEnabled(false);
    CompGrps->setToolTip(QStringLiteral("Template group"));
    ToolBar2->addWidget(CompGrps);
    auto *scroller = new QScrollArea(ToolBar2);
    scroller->setObjectName(QStringLiteral("PageScroller1"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setFixedHeight(30);
    auto *codeBar = new QToolBar(scroller);
    codeBar->setObjectName(QStringLiteral("CodeBar"));
    scroller->setWidget(codeBar);
    ToolBar2->addWidget(scroller);

    ToolBar3 = new QToolBar(QStringLiteral("HTML"), this);
    prepare(ToolBar3, "ToolBar3");
    const char *htmlIcons[] = {"format-text-bold",
                               "format-text-italic",
                               "format-text-underline",
                               "format-justify-left",
                               "format-justify-center",
                               "format-justify-right",
                               "insert-link"};
    for (int i = 0; i < 7; ++i) {
        QAction *a = ToolBar3->addAction(themeIcon(htmlIcons[i]), QStringLiteral("HTML"));
        a->setEnabled(false);
    }
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
    header->setStyleSheet(
            QStringLiteral("#pHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 "
                           "#0000d7, stop:1 #3a5fcd); }"
                           "#CapPanel { color: white; font-size: 15pt; font-weight: bold; }"));
    auto *hh = new QHBoxLayout(header);
    hh->setContentsMargins(10, 0, 10, 0);
    CapPanel = new QLabel(QStringLiteral("Quillforge Today"), header);
    CapPanel->setObjectName(QStringLiteral("CapPanel"));
    hh->addWidget(CapPanel);
    outer->addWidget(header);

    pTips = new QFrame(central);
    pTips->setObjectName(QStringLiteral("pTips"));
    pTips->setFixedHeight(42);
    pTips->setStyleSheet(
            QStringLiteral("#pTips { background: #fff8dc; border-bottom: 1px solid #d8c88a; }"));
    auto *th = new QHBoxLayout(pTips);
    th->setContentsMargins(6, 2, 2, 2);
    auto *tipPic = new QLabel(pTips);
    tipPic->setPixmap(themeIcon("help-hint", QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    th->addWidget(tipPic);
    auto *tip = new QTextBrowser(pTips);
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
            "page "
            "with a CGI script, for example a form that feeds the script. The page is then shown "
            "beside your code whenever you switch to it."));
    th->addWidget(tip, 1);
    auto *tipClose = closeButton(pTips, "SpeedButton4", QStringLiteral("Close tips"));
    th->addWidget(tipClose, 0, Qt::AlignTop);
    outer->addWidget(pTips);

    hSplit = new QSplitter(Qt::Horizontal, central);
    hSplit->setObjectName(QStringLiteral("hSplit"));
    hSplit->setChildrenCollapsible(false);
    outer->addWidget(hSplit, 1);

    // Link bar: a sliding group bar with the view buttons and the custom links.
    auto *linkBox = new QToolBox();
    linkBox->setObjectName(QStringLiteral("LinkBarGroups"));
    auto *standard = new QWidget();
    auto *sv = new QVBoxLayout(standard);
    sv->setContentsMargins(2, 4, 2, 4);
    const std::pair<const char *, const char *> viewButtons[] = {{"obtSource", "vSetCode"},
                                                                 {"obtHTML", "vSetHTML"},
                                                                 {"obtTasks", "vSetTasks"},
                                                                 {"obtToday", "vSetToday"},
                                                                 {"obtHelp", "vSetHelp"}};
    for (const auto &[name, act] : viewButtons) {
        auto *b = new QToolButton(standard);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(action(act));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(28, 28));
        b->setAutoRaise(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        sv->addWidget(b);
    }
    sv->addStretch(1);
    linkBox->addItem(standard, QStringLiteral("Standard"));
    auto *links = new QListWidget();
    links->setObjectName(QStringLiteral("lvCustomLinks"));
    links->setViewMode(QListView::IconMode);
    links->setFrameShape(QFrame::NoFrame);
    linkBox->addItem(links, QStringLiteral("Custom links"));
    auto *linkFrame = new QFrame();
    linkFrame->setObjectName(QStringLiteral("pLinkBar"));
    auto *lv = new QVBoxLayout(linkFrame);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->addWidget(linkBox);
    pLinkBar = linkFrame;
    pLinkBar->setMinimumWidth(112);
    hSplit->addWidget(pLinkBar);

    auto *explorerContent = new QWidget();
    explorerContent->setObjectName(QStringLiteral("ExplorerContent"));
    pExplorer = panelFrame(hSplit, "pExplorer", QStringLiteral(" Explorer"),
                           closeButton(nullptr, "SpeedButton1", QStringLiteral("Close explorer")),
                           explorerContent);
    hSplit->addWidget(pExplorer);

    // Centre: path caption over the page control.
    auto *centre = new QWidget();
    auto *cv = new QVBoxLayout(centre);
    cv->setContentsMargins(0, 0, 0, 0);
    cv->setSpacing(0);
    auto *pathBar = new QFrame(centre);
    pathBar->setObjectName(QStringLiteral("pPathCap"));
    pathBar->setFrameShape(QFrame::StyledPanel);
    auto *ph = new QHBoxLayout(pathBar);
    ph->setContentsMargins(2, 1, 1, 1);
    PathCap = new QLabel(QStringLiteral(" Noname.pl"), pathBar);
    PathCap->setObjectName(QStringLiteral("PathCap"));
    PathCap->setContextMenuPolicy(Qt::ActionsContextMenu);
    PathCap->addAction(action("Properties3"));
    PathCap->addAction(action("SetotherHTMLfile3"));
    ph->addWidget(PathCap, 1);
    auto *closeDoc = new QToolButton(pathBar);
    closeDoc->setObjectName(QStringLiteral("SpeedButton2"));
    closeDoc->setDefaultAction(action("SpeedButton2"));
    closeDoc->setAutoRaise(true);
    closeDoc->setIconSize(QSize(14, 14));
    ph->addWidget(closeDoc);
    cv->addWidget(pathBar);

    vSplit = new QSplitter(Qt::Vertical, centre);
    vSplit->setObjectName(QStringLiteral("vSplit"));
    vSplit->setChildrenCollapsible(false);
    Carry2 = new QStackedWidget(vSplit);
    Carry2->setObjectName(QStringLiteral("Carry2"));

    CodeSheet = new QWidget(Carry2);
    CodeSheet->setObjectName(QStringLiteral("CodeSheet"));
    auto *ch = new QHBoxLayout(CodeSheet);
    ch->setContentsMargins(0, 0, 0, 0);
    ch->setSpacing(0);
    auto *panel1 = new QWidget(CodeSheet);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto *p1 = new QVBoxLayout(panel1);
    p1->setContentsMargins(1, 1, 1, 1);
    auto gotoButton = [panel1](const char *name, const char *hint, const char *icon) {
        auto *b = new QToolButton(panel1);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(QLatin1String(hint));
        b->setIcon(themeIcon(icon));
        b->setAutoRaise(true);
        b->setIconSize(QSize(14, 14));
        return b;
    };
    auto *top = gotoButton("SpeedButton8", "Goto top of code", "go-top");
    auto *bottom = gotoButton("SpeedButton9", "Goto bottom of code", "go-bottom");
    p1->addWidget(top);
    p1->addWidget(bottom);
    p1->addStretch(1);
    connect(top, &QToolButton::clicked, this, [this] {
        if (TScriptEditor *d = CurrentDocument()) {
            d->Editor->setFocus();
            d->Editor->moveCursor(QTextCursor::Start);
        }
    });
    connect(bottom, &QToolButton::clicked, this, [this] {
        if (TScriptEditor *d = CurrentDocument()) {
            d->Editor->setFocus();
            d->Editor->moveCursor(QTextCursor::End);
        }
    });
    ch->addWidget(panel1);
    EditorCarry = new QStackedWidget(CodeSheet);
    EditorCarry->setObjectName(QStringLiteral("EditorCarry"));
    ch->addWidget(EditorCarry, 1);
    Carry2->addWidget(CodeSheet);

    TaskSheet = new QWidget(Carry2);
    TaskSheet->setObjectName(QStringLiteral("TaskSheet"));
    Carry2->addWidget(TaskSheet);
    IESheet = new QWidget(Carry2);
    IESheet->setObjectName(QStringLiteral("IESheet"));
    Carry2->addWidget(IESheet);
    vSplit->addWidget(Carry2);

    // Output area: console at the left of the Perl output.
    pPC = new QWidget(vSplit);
    pPC->setObjectName(QStringLiteral("pPC"));
    auto *pcl = new QVBoxLayout(pPC);
    pcl->setContentsMargins(0, 0, 0, 0);
    pcSplit = new QSplitter(Qt::Horizontal, pPC);
    pcSplit->setObjectName(QStringLiteral("pcSplit"));
    pcSplit->setChildrenCollapsible(false);
    pcl->addWidget(pcSplit);

    auto *console = new QPlainTextEdit();
    console->setObjectName(QStringLiteral("Console"));
    console->setFont(QFont(QStringLiteral("Courier New"), 9));
    pConsole = panelFrame(pcSplit, "pConsole", QStringLiteral(" Console"), nullptr, console);
    auto *chkICmd = new QCheckBox(QStringLiteral("internal command"));
    chkICmd->setObjectName(QStringLiteral("chkICmd"));
    if (auto *hl = pConsole->findChild<QFrame *>(QStringLiteral("pConsoleHeader")))
        static_cast<QHBoxLayout *>(hl->layout())->addWidget(chkICmd);
    pcSplit->addWidget(pConsole);

    auto *perlOut = new QPlainTextEdit();
    perlOut->setObjectName(QStringLiteral("PerlOut"));
    perlOut->setReadOnly(true);
    perlOut->setFont(QFont(QStringLiteral("Courier New"), 9));
    auto *perlClose = closeButton(nullptr, "SpeedButton10",
                                  QStringLiteral("Close console / Perl output"));
    pPerl = panelFrame(pcSplit, "pPerl", QStringLiteral(" Perl output"), perlClose, perlOut);
    if (auto *hl = pPerl->findChild<QFrame *>(QStringLiteral("pPerlHeader"))) {
        auto *prev = new QToolButton(hl);
        prev->setObjectName(QStringLiteral("btHTMLPrev"));
        prev->setToolTip(QStringLiteral("Show contents as HTML file"));
        prev->setIcon(themeIcon("text-html"));
        prev->setAutoRaise(true);
        prev->setEnabled(false);
        prev->setFixedSize(18, 18);
        static_cast<QHBoxLayout *>(hl->layout())->insertWidget(1, prev);
        auto *stop = new QToolButton(hl);
        stop->setObjectName(QStringLiteral("btStopRun"));
        stop->setDefaultAction(action("btStopRun"));
        stop->setAutoRaise(true);
        stop->setFixedSize(18, 18);
        static_cast<QHBoxLayout *>(hl->layout())->insertWidget(1, stop);
    }
    pcSplit->addWidget(pPerl);
    vSplit->addWidget(pPC);
    vSplit->setStretchFactor(0, 1);
    vSplit->setStretchFactor(1, 0);
    cv->addWidget(vSplit, 1);
    hSplit->addWidget(centre);

    auto *tree = new QTreeWidget();
    tree->setObjectName(QStringLiteral("PropTree"));
    tree->setHeaderHidden(true);
    pInspector = panelFrame(hSplit, "pInspector", QStringLiteral(" Code inspector"),
                            closeButton(nullptr, "SpeedButton3",
                                        QStringLiteral("Close Code inspector")),
                            tree);
    hSplit->addWidget(pInspector);
    hSplit->setStretchFactor(2, 1);
    hSplit->setSizes({112, 161, 600, 183});
    vSplit->setSizes({500, 132});
    // The splitter handles carry the names the settings speak of.
    hSplit->handle(2)->setObjectName(QStringLiteral("Splitter1"));
    hSplit->handle(3)->setObjectName(QStringLiteral("Splitter5"));
    vSplit->handle(1)->setObjectName(QStringLiteral("Splitter3"));
    pcSplit->handle(1)->setObjectName(QStringLiteral("Splitter4"));

    // Bottom: the script tabs and the colouring progress.
    auto *panel2 = new QFrame(central);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedHeight(28);
    auto *p2 = new QHBoxLayout(panel2);
    p2->setContentsMargins(2, 0, 2, 0);
    tabScriptSel = new QTabBar(panel2);
    tabScriptSel->setObjectName(QStringLiteral("tabScriptSel"));
    tabScriptSel->setShape(QTabBar::RoundedSouth);
    tabScriptSel->setDocumentMode(true);
    tabScriptSel->setExpanding(false);
    tabScriptSel->setDrawBase(false);
    tabScriptSel->setUsesScrollButtons(true);
    p2->addWidget(tabScriptSel, 1);
    pBarPanel = new QWidget(panel2);
    pBarPanel->setObjectName(QStringLiteral("pBarPanel"));
    auto *pb = new QHBoxLayout(pBarPanel);
    pb->setContentsMargins(0, 0, 0, 0);
    pBarLabel = new QLabel(QStringLiteral("Please wait (100%)..."), pBarPanel);
    pb->addWidget(pBarLabel);
    pBar = new QProgressBar(pBarPanel);
    pBar->setObjectName(QStringLiteral("pBar"));
    pBar->setTextVisible(false);
    pBar->setFixedWidth(120);
    pb->addWidget(pBar);
    pBarPanel->hide();
    p2->addWidget(pBarPanel);
    outer->addWidget(panel2);

    setCentralWidget(central);

    // Each close button writes a setting; a failed write shows its error and the program goes on.
    const std::pair<QToolButton *, void (TForm1::*)()> closers[]
            = {{tipClose, &TForm1::SpeedButton4Click},
               {findChild<QToolButton *>(QStringLiteral("SpeedButton1")),
                &TForm1::SpeedButton1Click},
               {findChild<QToolButton *>(QStringLiteral("SpeedButton3")),
                &TForm1::SpeedButton3Click},
               {perlClose, &TForm1::SpeedButton10Click}};
    for (const auto &[button, handler] : closers)
        connect(button, &QToolButton::clicked, this,
                [this, h = handler] { guarded([&] { (this->*h)(); }); });
}

void TForm1::createStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sBar"));
    bar->setSizeGripEnabled(true);
    const int widths[] = {100, 4, 80, 4, 50};
    for (int w : widths) {
        auto *l = new QLabel(bar);
        l->setFixedWidth(w);
        l->setObjectName(QStringLiteral("sBarPanel%1").arg(sBarPanels.size()));
        bar->addWidget(l);
        sBarPanels << l;
    }
    sBarPanels[0]->setText(QStringLiteral("Row: 0 Col:0"));
    setStatusBar(bar);
}
