// The pages of the options dialog: widgets and the layout preview.
#include "ui/shell/options.h"

#include "core/common/errors.h"
#include "core/common/extractfield.h"
#include "core/common/messagewait.h"
#include "core/settings/configkeys.h"
#include "core/tools/customlinks.h"
#include "core/tools/perltools.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/colorpage.h"
#include "ui/run/runcommands.h"
#include "ui/run/runform.h"
#include "ui/run/schemepage.h"
#include "ui/shell/welcome.h"
#include "ui/tools/linkbar.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <limits>

namespace {

const QString kExeFilter = Platform::fileDialogFilter(
        QStringLiteral("Executeables (*.exe,*.com)|*.exe;*.com|All files (*.*)|*.*"));

const char *const kPanelNames[6] = {"Link bar",    "Explorer", "Code Inspector",
                                    "Perl output", "Console",  "Tip of the day"};
// Indices into the preview arrays, in the order of cbView.
enum { pLink, pExplorer, pInspector, pPerl, pConsole, pTip };

QWidget *pageWithHeader(const QString &title, const QString &description, const QString &icon,
                        QVBoxLayout *&body)
{
    auto *page = new QWidget();
    body = new QVBoxLayout(page);
    auto *head = new QHBoxLayout();
    auto *pic = new QLabel();
    pic->setPixmap(QIcon::fromTheme(icon, QIcon::fromTheme(QStringLiteral("preferences-system")))
                           .pixmap(32, 32));
    head->addWidget(pic);
    auto *texts = new QVBoxLayout();
    auto *t = new QLabel(title);
    QFont f = t->font();
    f.setBold(true);
    t->setFont(f);
    texts->addWidget(t);
    auto *d = new QLabel(description);
    d->setWordWrap(true);
    texts->addWidget(d);
    head->addLayout(texts, 1);
    body->addLayout(head);
    return page;
}

QCheckBox *check(const char *name, const QString &text, QWidget *parent = nullptr)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QSpinBox *numberBox(const char *name)
{
    auto *s = new QSpinBox();
    s->setObjectName(QLatin1String(name));
    s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return s;
}

QLineEdit *lineEdit(const char *name)
{
    auto *e = new QLineEdit();
    e->setObjectName(QLatin1String(name));
    return e;
}

QToolButton *browseButton(const char *name, const char *icon)
{
    auto *b = new QToolButton();
    b->setObjectName(QLatin1String(name));
    b->setIcon(QIcon::fromTheme(QLatin1String(icon)));
    b->setText(QStringLiteral("..."));
    return b;
}

QRadioButton *radio(const char *name, const QString &text)
{
    auto *r = new QRadioButton(text);
    r->setObjectName(QLatin1String(name));
    return r;
}

// Rows of a field with its browse button.
QHBoxLayout *withButton(QWidget *field, QWidget *button)
{
    auto *row = new QHBoxLayout();
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

} // namespace
QWidget *TOptions::createEditorPage()
{
    QVBoxLayout *body = nullptr;
    QWidget *page = pageWithHeader(
            QStringLiteral("Editor settings"),
            QStringLiteral("Defines basic editor color settings as well as code highlighting and "
                           "miscellaneous settings."),
            QStringLiteral("preferences-desktop-font"), body);
    page->setObjectName(QStringLiteral("TabSheet1"));
    m_colorPage = new TColorPage(&m_host.ColorDefFile);
    body->addWidget(m_colorPage, 1);

    auto *prefs = new QGroupBox(QStringLiteral(" Preferences "));
    auto *grid = new QGridLayout(prefs);
    chkHighlighting = check("chkHighlighting", QStringLiteral("Syntax highlighting enabled"));
    chkHighlightNewLine = check("chkHighlightNewLine", QStringLiteral("auto-update after newline"));
    chkHighlightKeyStroke = check("chkHighlightKeyStroke",
                                  QStringLiteral("auto-update after Tab and Space"));
    auto *plain = new QCheckBox(QStringLiteral("Plaint text only (on save)"));
    plain->setChecked(true);
    plain->setEnabled(false);
    chkAutoSave = check("chkAutoSave", QStringLiteral("Autosave enabled"));
    edAutoSaveInterval = numberBox("edAutoSaveInterval");
    grid->addWidget(chkHighlighting, 0, 0);
    grid->addWidget(chkHighlightNewLine, 1, 0);
    grid->addWidget(chkHighlightKeyStroke, 2, 0);
    grid->addWidget(plain, 0, 1);
    grid->addWidget(chkAutoSave, 1, 1);
    auto *interval = new QHBoxLayout();
    interval->addWidget(new QLabel(QStringLiteral("after")));
    interval->addWidget(edAutoSaveInterval);
    interval->addWidget(new QLabel(QStringLiteral("minutes")));
    interval->addStretch(1);
    grid->addLayout(interval, 2, 1);
    body->addWidget(prefs);

    auto *editing = new QGroupBox(QStringLiteral(" Editing "));
    auto *eg = new QGridLayout(editing);
    chkLineNumbers = check("chkLineNumbers", QStringLiteral("Show line numbers"));
    chkCurrentLine = check("chkCurrentLine", QStringLiteral("Highlight the current line"));
    chkBracketMatch = check("chkBracketMatch", QStringLiteral("Show matching brackets"));
    edTabWidth = new QSpinBox();
    edTabWidth->setObjectName(QStringLiteral("edTabWidth"));
    edTabWidth->setRange(1, Config::Editing::kMaxTabWidth);
    chkTabSpaces = check("chkTabSpaces", QStringLiteral("Insert spaces for Tab"));
    eg->addWidget(chkLineNumbers, 0, 0);
    eg->addWidget(chkCurrentLine, 0, 1);
    eg->addWidget(chkBracketMatch, 0, 2);
    auto *tabs = new QHBoxLayout();
    auto *tabLabel = new QLabel(QStringLiteral("Tab width:"));
    tabLabel->setBuddy(edTabWidth);
    tabs->addWidget(tabLabel);
    tabs->addWidget(edTabWidth);
    tabs->addWidget(new QLabel(QStringLiteral("columns")));
    eg->addLayout(tabs, 1, 0);
    eg->addWidget(chkTabSpaces, 1, 1);
    eg->setColumnStretch(3, 1);
    body->addWidget(editing);
    return page;
}

QWidget *TOptions::createGeneralPage()
{
    QVBoxLayout *body = nullptr;
    QWidget *page = pageWithHeader(
            QStringLiteral("General settings"),
            QStringLiteral(
                    "These are miscellaneous settings such as startup options, code inspector "
                    "properties and managemen for recent files / URLs."),
            QStringLiteral("preferences-system"), body);
    page->setObjectName(QStringLiteral("tabGeneral"));

    auto *recent = new QGroupBox(QStringLiteral(" Recent "));
    auto *rl = new QGridLayout(recent);
    edRecentCount = numberBox("edRecentCount");
    rl->addWidget(new QLabel(QStringLiteral("maximum Recent count:")), 0, 0);
    rl->addWidget(edRecentCount, 0, 1);
    auto *clear = new QPushButton(QStringLiteral("&Clear recent list"));
    clear->setObjectName(QStringLiteral("btClearRecent"));
    rl->addWidget(clear, 1, 0, 1, 2);
    rl->addWidget(new QLabel(QStringLiteral("Recents for associated HTML files")), 0, 2);
    lbURLRecents = new QListWidget();
    lbURLRecents->setObjectName(QStringLiteral("lbURLRecents"));
    lbURLRecents->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbURLRecents->setMaximumHeight(80);
    rl->addWidget(lbURLRecents, 1, 2, 2, 1);
    auto *remove = new QPushButton(QStringLiteral("&Remove"));
    remove->setObjectName(QStringLiteral("Button3"));
    rl->addWidget(remove, 2, 1);
    rl->setColumnStretch(2, 1);
    connect(clear, &QPushButton::clicked, this, [this] { guarded([this] { clearRecentFiles(); }); });
    connect(remove, &QPushButton::clicked, this,
            [this] { guarded([this] { removeRecentAddresses(); }); });
    body->addWidget(recent);

    auto *ci = new QGroupBox(QStringLiteral(" Code Inspector "));
    auto *cl = new QGridLayout(ci);
    chkVarCheck = check("chkVarCheck", QStringLiteral("Check for variables"));
    chkSubCheck = check("chkSubCheck", QStringLiteral("Check for local subroutines"));
    chkUpdateVarList = check("chkUpdateVarList", QStringLiteral("Update list on typing"));
    chkUpdateInterval = check("chkUpdateInterval", QStringLiteral("Update list every"));
    edUpdateInterval = numberBox("edUpdateInterval");
    cl->addWidget(chkVarCheck, 0, 0);
    cl->addWidget(chkSubCheck, 1, 0);
    cl->addWidget(chkUpdateVarList, 0, 1, 1, 3);
    cl->addWidget(chkUpdateInterval, 1, 1);
    cl->addWidget(edUpdateInterval, 1, 2);
    cl->addWidget(new QLabel(QStringLiteral("seconds")), 1, 3);
    cl->setColumnStretch(0, 1);
    cl->setColumnStretch(1, 1);
    body->addWidget(ci);

    auto *row = new QHBoxLayout();
    auto *start = new QGroupBox(QStringLiteral(" Start "));
    auto *sl = new QVBoxLayout(start);
    radVCode = radio("radVCode", QStringLiteral("Code editor"));
    radVToday = radio("radVToday", QStringLiteral("Quillforge Today"));
    radVTasks = radio("radVTasks", QStringLiteral("Tasks"));
    radVToday->setChecked(true);
    chkVLastOpened = check("chkVLastOpened", QStringLiteral("...with last opened file"));
    for (QWidget *w : {static_cast<QWidget *>(radVCode), static_cast<QWidget *>(radVToday),
                       static_cast<QWidget *>(radVTasks), static_cast<QWidget *>(chkVLastOpened)})
        sl->addWidget(w);
    row->addWidget(start);
    auto *cmd = new QGroupBox(QStringLiteral(" Command line interpreter "));
    auto *ml = new QVBoxLayout(cmd);
    edCmd = new QComboBox();
    edCmd->setObjectName(QStringLiteral("edCmd"));
    edCmd->setEditable(true);
    edCmd->addItems({Platform::defaultCommandInterpreter(), QStringLiteral("/bin/bash")});
    ml->addWidget(edCmd);
    ml->addWidget(new QLabel(QStringLiteral("used for built-in console")));
    ml->addStretch(1);
    row->addWidget(cmd, 1);
    body->addLayout(row);
    body->addStretch(1);
    return page;
}

QWidget *TOptions::createFilesPage()
{
    QVBoxLayout *body = nullptr;
    QWidget *page = pageWithHeader(
            QStringLiteral("Files / Directories"),
            QStringLiteral("Sets filenames and locations for the Perl interpreter (nessessary!), "
                           "webserver and defines auto save options for running a script."),
            QStringLiteral("folder"), body);
    page->setObjectName(QStringLiteral("tabFiles"));

    auto *ext = new QGroupBox(QStringLiteral(" External applications "));
    auto *el = new QFormLayout(ext);
    edPerlLoc = lineEdit("edPerlLoc");
    edWebServLoc = lineEdit("edWebServLoc");
    auto *sb1 = browseButton("SpeedButton1", "document-open");
    auto *sb2 = browseButton("SpeedButton2", "document-open");
    el->addRow(QStringLiteral("Perl interpreter:"), withButton(edPerlLoc, sb1));
    el->addRow(QStringLiteral("Webserver:"), withButton(edWebServLoc, sb2));
    chkAutoRunWebServ = check("chkAutoRunWebServ", QStringLiteral("Autorun webserver on startup"));
    el->addRow(chkAutoRunWebServ);
    body->addWidget(ext);

    auto *cgi = new QGroupBox(QStringLiteral(" CGI directory "));
    auto *gl = new QFormLayout(cgi);
    edCGIHomeLoc = lineEdit("edCGIHomeLoc");
    edLocalHostLoc = lineEdit("edLocalHostLoc");
    auto *sb3 = browseButton("SpeedButton3", "folder-open");
    gl->addRow(QStringLiteral("Local:"), withButton(edCGIHomeLoc, sb3));
    gl->addRow(QStringLiteral("Virtual:"), edLocalHostLoc);
    body->addWidget(cgi);

    auto *run = new QGroupBox(QStringLiteral(" On run / execution "));
    auto *rl = new QVBoxLayout(run);
    radNoAutoSaveRun = radio(
            "radNoAutoSaveRun",
            QStringLiteral("Do not autosave it - user has to do it himself before running script"));
    radAutoSaveRun = radio("radAutoSaveRun", QStringLiteral("Auto-save script before running it"));
    radAutoSaveRunAs = radio("radAutoSaveRunAs",
                             QStringLiteral("Auto-save script before running it to:"));
    radAutoSaveRun->setChecked(true);
    edSaveRunAs = lineEdit("edSaveRunAs");
    auto *sb10 = browseButton("SpeedButton10", "folder-open");
    rl->addWidget(radNoAutoSaveRun);
    rl->addWidget(radAutoSaveRun);
    rl->addWidget(radAutoSaveRunAs);
    rl->addLayout(withButton(edSaveRunAs, sb10));
    chkRunInScriptFolder = check("chkRunInScriptFolder",
                                 QStringLiteral("Run scripts in their own folder"));
    rl->addWidget(chkRunInScriptFolder);
    edCriticSeverity = new QSpinBox();
    edCriticSeverity->setObjectName(QStringLiteral("edCriticSeverity"));
    edCriticSeverity->setRange(PerlTools::kMinSeverity, PerlTools::kMaxSeverity);
    auto *severity = new QHBoxLayout();
    auto *severityLabel = new QLabel(
            QStringLiteral("perlcritic severity (1: every finding, 5: only the gravest):"));
    severityLabel->setBuddy(edCriticSeverity);
    severity->addWidget(severityLabel);
    severity->addWidget(edCriticSeverity);
    severity->addStretch(1);
    rl->addLayout(severity);
    body->addWidget(run);
    body->addStretch(1);

    auto openInto = [this](QLineEdit *field) {
        const QString path = Prompts::instance().openFile(this, QString(), field->text(),
                                                          kExeFilter);
        if (!path.isEmpty())
            field->setText(path);
    };
    auto folderInto = [this](QLineEdit *field) {
        const QString dir = Prompts::instance().folder(this, QStringLiteral("Select"),
                                                       field->text());
        if (!dir.isEmpty())
            field->setText(dir);
    };
    connect(sb1, &QToolButton::clicked, this, [=] { openInto(edPerlLoc); });
    connect(sb2, &QToolButton::clicked, this, [=] { openInto(edWebServLoc); });
    connect(sb3, &QToolButton::clicked, this, [=] { folderInto(edCGIHomeLoc); });
    connect(sb10, &QToolButton::clicked, this, [=] { folderInto(edSaveRunAs); });
    return page;
}

QWidget *TOptions::createLinksPage()
{
    QVBoxLayout *body = nullptr;
    QWidget *page = pageWithHeader(
            QStringLiteral("Custom links"),
            QStringLiteral(
                    "Contains all user customizable links locatet at the link bar on the left. "
                    "There, links to any application or file can be created."),
            QStringLiteral("emblem-symbolic-link"), body);
    page->setObjectName(QStringLiteral("tabCustomLinks"));
    auto *user = new QGroupBox(QStringLiteral(" User "));
    auto *ul = new QGridLayout(user);
    ul->addWidget(new QLabel(QStringLiteral("Available links")), 0, 0);
    lvLinks = new QListWidget();
    lvLinks->setObjectName(QStringLiteral("lvLinks"));
    lvLinks->setViewMode(QListView::IconMode);
    lvLinks->setIconSize(QSize(32, 32));
    lvLinks->setMovement(QListView::Static);
    lvLinks->setResizeMode(QListView::Adjust);
    ul->addWidget(lvLinks, 1, 0, 1, 3);
    auto *form = new QFormLayout();
    edLinkProg = lineEdit("edLinkProg");
    edLinkParams = lineEdit("edLinkParams");
    edLinkIcon = lineEdit("edLinkIcon");
    btOpenLinkProg = browseButton("btOpenLinkProg", "document-open");
    btOpenLinkIcon = browseButton("btOpenLinkIcon", "document-open");
    form->addRow(QStringLiteral("Program / file:"), withButton(edLinkProg, btOpenLinkProg));
    form->addRow(QStringLiteral("Parameters:"), edLinkParams);
    form->addRow(QStringLiteral("Icon:"), withButton(edLinkIcon, btOpenLinkIcon));
    ul->addLayout(form, 2, 0, 1, 3);
    btUpdateLink = new QPushButton(QStringLiteral("&Okay"));
    btUpdateLink->setObjectName(QStringLiteral("btUpdateLink"));
    auto *create = new QPushButton(QStringLiteral("&Create"));
    create->setObjectName(QStringLiteral("Button5"));
    auto *remove = new QPushButton(QStringLiteral("&Remove"));
    remove->setObjectName(QStringLiteral("Button6"));
    ul->addWidget(btUpdateLink, 3, 0);
    ul->addWidget(create, 3, 1);
    ul->addWidget(remove, 3, 2);
    body->addWidget(user, 1);
    setLinkEditing(false);

    connect(lvLinks, &QListWidget::itemClicked, this, [this] { showSelectedLink(); });
    connect(btUpdateLink, &QPushButton::clicked, this,
            [this] { guarded([this] { updateLink(); }); });
    connect(create, &QPushButton::clicked, this, [this] { guarded([this] { createLink(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { guarded([this] { removeLink(); }); });
    connect(btOpenLinkProg, &QToolButton::clicked, this, [this] {
        const QString path = Prompts::instance().openFile(this, QString(), edLinkProg->text(),
                                                          kExeFilter);
        if (!path.isEmpty()) {
            edLinkProg->setText(path);
            edLinkIcon->setText(path + QStringLiteral(",0"));
        }
    });
    connect(btOpenLinkIcon, &QToolButton::clicked, this, [this] {
        const QString path = Prompts::instance().openFile(
                this, QString(), QString(),
                Platform::fileDialogFilter(QStringLiteral(
                        "Icon files (*.exe,*.dll,*.ico)|*.exe;*.dll;*.ico;*.png;*.svg;*.xpm")));
        if (!path.isEmpty())
            edLinkIcon->setText(path + QStringLiteral(",0"));
    });
    return page;
}

QWidget *TOptions::createViewPage()
{
    QVBoxLayout *body = nullptr;
    QWidget *page = pageWithHeader(
            QStringLiteral("View"),
            QStringLiteral("Options for IDE's layout, visible symbol bars and other options."),
            QStringLiteral("view-choose"), body);
    page->setObjectName(QStringLiteral("tabView"));

    auto *row = new QHBoxLayout();
    auto *layoutBox = new QGroupBox(QStringLiteral(" Layout "));
    auto *ll = new QVBoxLayout(layoutBox);
    // A small model of the main window: the six panels that can be hidden around the editor.
    auto *model = new QFrame();
    model->setObjectName(QStringLiteral("pVModel"));
    model->setFrameShape(QFrame::StyledPanel);
    model->setFixedSize(190, 130);
    auto *mv = new QVBoxLayout(model);
    mv->setContentsMargins(2, 2, 2, 2);
    mv->setSpacing(2);
    const char *names[6] = {"pVLinkBar", "pVExplorer", "pVInspector",
                            "pVPerl",    "pVConsole",  "pVTip"};
    const char *hints[6] = {"Linkbar",     "Explorer", "Code Inspector",
                            "Perl output", "Console",  "Tips"};
    const char *colours[6] = {"#4a6fa5", "#6b8e23", "#8b5a2b", "#708090", "#2f4f4f", "#daa520"};
    for (int i = 0; i < 6; ++i) {
        auto *p = new QFrame();
        p->setObjectName(QLatin1String(names[i]));
        p->setToolTip(QLatin1String(hints[i]));
        p->setStyleSheet(QStringLiteral("background:%1;").arg(QLatin1String(colours[i])));
        p->installEventFilter(this);
        m_preview[i] = p;
        if (i == pTip) {
            p->setFixedHeight(12);
            continue;
        }
        auto *f = new QFrame();
        f->setObjectName(QLatin1String(names[i]) + QStringLiteral("2"));
        auto *fl = new QVBoxLayout(f);
        fl->setContentsMargins(1, 1, 1, 1);
        fl->addWidget(p);
        m_previewFrame[i] = f;
    }
    mv->addWidget(m_preview[pTip]);
    auto *middle = new QHBoxLayout();
    m_previewFrame[pLink]->setFixedWidth(18);
    m_previewFrame[pExplorer]->setFixedWidth(30);
    m_previewFrame[pInspector]->setFixedWidth(30);
    middle->addWidget(m_previewFrame[pLink]);
    middle->addWidget(m_previewFrame[pExplorer]);
    auto *editor = new QFrame();
    editor->setObjectName(QStringLiteral("pVEditor"));
    editor->setStyleSheet(QStringLiteral("background:#000080;"));
    middle->addWidget(editor, 1);
    middle->addWidget(m_previewFrame[pInspector]);
    mv->addLayout(middle, 1);
    Panel7 = new QFrame();
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->setFixedHeight(26);
    auto *strip = new QHBoxLayout(Panel7);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(m_previewFrame[pConsole]);
    strip->addWidget(m_previewFrame[pPerl], 1);
    mv->addWidget(Panel7);
    ll->addWidget(model, 0, Qt::AlignHCenter);
    cbView = new QComboBox();
    cbView->setObjectName(QStringLiteral("cbView"));
    for (const char *n : kPanelNames)
        cbView->addItem(QLatin1String(n));
    chkView = check("chkView", QStringLiteral("Visible"));
    auto *sel = new QHBoxLayout();
    sel->addWidget(cbView, 1);
    sel->addWidget(chkView);
    ll->addLayout(sel);
    row->addWidget(layoutBox);

    auto *right = new QVBoxLayout();
    auto *bars = new QGroupBox(QStringLiteral(" Symbol bars "));
    auto *bl = new QVBoxLayout(bars);
    bl->addWidget(new QLabel(QStringLiteral("Visible speedbars")));
    lvVisibleBars = new QListWidget();
    lvVisibleBars->setObjectName(QStringLiteral("lvVisibleBars"));
    for (const char *n : {"Filemenu", "Standard", "Template palette", "HTML controls"}) {
        auto *item = new QListWidgetItem(QLatin1String(n), lvVisibleBars);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    bl->addWidget(lvVisibleBars);
    right->addWidget(bars);
    auto *misc = new QGroupBox(QStringLiteral(" Misc "));
    auto *ml = new QVBoxLayout(misc);
    chkTemplateCaptions = check("chkTemplateCaptions",
                                QStringLiteral("Show template button's captions"));
    auto *animate = new QCheckBox(QStringLiteral("Animate windows"));
    animate->setChecked(true);
    animate->setEnabled(false);
    ml->addWidget(chkTemplateCaptions);
    ml->addWidget(animate);
    right->addWidget(misc);
    row->addLayout(right, 1);
    body->addLayout(row);
    body->addStretch(1);

    connect(cbView, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
        if (i >= 0)
            chkView->setChecked(!m_preview[i]->isHidden());
    });
    connect(chkView, &QCheckBox::clicked, this, [this](bool on) {
        setPreviewPanel(cbView->currentIndex(), on);
        arrangePreviewStrip(56);
    });
    return page;
}

bool TOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 6; ++i)
            if (watched == m_preview[i])
                cbView->setCurrentIndex(i);
    }
    return QDialog::eventFilter(watched, event);
}

void TOptions::setPreviewPanel(int index, bool visible)
{
    if (index < 0 || index > 5)
        return;
    m_preview[index]->setVisible(visible);
    if (m_previewFrame[index])
        m_previewFrame[index]->setVisible(visible);
}

void TOptions::arrangePreviewStrip(int consoleWidth)
{
    QFrame *console = m_previewFrame[pConsole];
    const bool consoleShown = !console->isHidden();
    const bool perlShown = !m_previewFrame[pPerl]->isHidden();
    // Beside the Perl output the console keeps a fixed width; alone it takes the strip.
    if (!consoleShown || perlShown)
        console->setFixedWidth(consoleWidth);
    else
        console->setMaximumWidth(QWIDGETSIZE_MAX), console->setMinimumWidth(0);
    Panel7->setVisible(consoleShown || perlShown);
}
