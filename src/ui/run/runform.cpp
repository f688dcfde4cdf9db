#include "ui/run/runform.h"

#include "core/run/runschemes.h"
#include "core/settings/configkeys.h"
#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWidth = 480;

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QComboBox *pathBox(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    // Only the text is used; Enter must run, not collect entries in the list.
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    c->setMinimumContentsLength(24);
    return c;
}

QToolButton *glyphButton(QWidget *parent, const char *name, const char *icon, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(themeIcon(icon, QStyle::SP_DialogOpenButton));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    return b;
}

} // namespace

TRunForm::TRunForm(TIniFile *settings, TIniFile *runSettings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_runSettings(runSettings)
{
    setObjectName(QStringLiteral("RunForm"));
    setWindowTitle(QStringLiteral("Run / Syntax check / debug"));
    // A dialog of the main window stays above it; it never blocks it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);

    m_top = createTop();
    m_debugArea = createDebugArea();
    m_top->setParent(this);
    m_debugArea->setParent(this);
    // Only now is the dialog Run's window: made default before, Run would be the default of no
    // dialog, and once a button had lost the focus, showing the dialog again would make the
    // next button in the focus chain (Options) the one that Enter presses.
    btRun->setDefault(true);

    // The debug options sit below the visible area until the dialog is expanded.
    m_collapsedHeight = qMax(kCollapsedHeight, m_top->sizeHint().height());
    m_expandedHeight = qMax(kExpandedHeight, m_collapsedHeight + m_debugArea->sizeHint().height());
    const int width = std::max({kWidth, m_top->sizeHint().width(), m_debugArea->sizeHint().width()});
    m_top->setGeometry(0, 0, width, m_collapsedHeight);
    m_debugArea->setGeometry(0, m_collapsedHeight, width, m_expandedHeight - m_collapsedHeight);
    setFixedSize(width, m_collapsedHeight);

    const QScreen *s = parent ? parent->screen() : screen();
    if (s)
        move(s->availableGeometry().center() - QPoint(width / 2, m_expandedHeight / 2));

    edInterpreter->setEditText(Config::read(*m_settings, Config::PerlPath));

    connect(btRun, &QPushButton::clicked, this, &TRunForm::btRunClick);
    connect(btCancel, &QPushButton::clicked, this, &TRunForm::reject);
    connect(SpeedButton1, &QToolButton::clicked, this, &TRunForm::browseInterpreter);
    connect(SpeedButton2, &QToolButton::clicked, this, &TRunForm::browseScript);
    connect(BitBtn1, &QToolButton::clicked, this, &TRunForm::toggleDebugOptions);
}

QWidget *TRunForm::createTop()
{
    auto *top = new QWidget;
    top->setObjectName(QStringLiteral("pTop"));
    auto *h = new QHBoxLayout(top);
    h->setContentsMargins(10, 8, 10, 6);
    h->setSpacing(12);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    QLabel *title = label(top, "Label1", QStringLiteral("Run script"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 3);
    grid->addWidget(label(top, "Label5",
                          QStringLiteral("Please enter all values nessessary to run the script.")),
                    1, 0, 1, 3);

    edInterpreter = pathBox(top, "edInterpreter");
    SpeedButton1 = glyphButton(top, "SpeedButton1", "document-open",
                               QStringLiteral("Choose the interpreter"));
    edScript = pathBox(top, "edScript");
    SpeedButton2 = glyphButton(top, "SpeedButton2", "document-open",
                               QStringLiteral("Choose the script"));
    edParams = pathBox(top, "edParams");
    const std::tuple<const char *, const char *, QComboBox *, QToolButton *> rows[] = {
            {"Label2", "&Interpreter:", edInterpreter, SpeedButton1},
            {"Label3", "&File:", edScript, SpeedButton2},
            {"Label4", "&Parameter:", edParams, nullptr},
    };
    int row = 2;
    for (const auto &[name, text, box, button] : rows) {
        QLabel *l = label(top, name, QLatin1String(text));
        l->setBuddy(box);
        grid->addWidget(l, row, 0);
        grid->addWidget(box, row, 1, 1, button ? 1 : 2);
        if (button)
            grid->addWidget(button, row, 2);
        ++row;
    }
    chkSynCheck = new QCheckBox(QStringLiteral("Just do synta&x check"), top);
    chkSynCheck->setObjectName(QStringLiteral("chkSynCheck"));
    grid->addWidget(chkSynCheck, row, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    h->addLayout(grid, 1);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    btRun = new QPushButton(QStringLiteral("&Run"), top);
    btRun->setObjectName(QStringLiteral("btRun"));
    btRun->setIcon(themeIcon("media-playback-start"));
    btOptions = new QPushButton(QStringLiteral("&Options..."), top);
    btOptions->setObjectName(QStringLiteral("btOptions"));
    btOptions->setToolTip(QStringLiteral("Set Perl start parameters (e.g. -wT)"));
    // The options dialog that holds the schemes is not part of the program yet.
    btOptions->setEnabled(false);
    btCancel = new QPushButton(QStringLiteral("&Cancel"), top);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addWidget(btRun);
    buttons->addWidget(btOptions);
    buttons->addWidget(btCancel);
    buttons->addStretch(1);
    BitBtn1 = glyphButton(top, "BitBtn1", "go-down", QStringLiteral("Debug settings"));
    BitBtn1->setAutoRaise(true);
    buttons->addWidget(BitBtn1, 0, Qt::AlignRight);
    h->addLayout(buttons);
    return top;
}

QWidget *TRunForm::createDebugArea()
{
    auto *area = new QWidget;
    area->setObjectName(QStringLiteral("pDebug"));
    auto *v = new QVBoxLayout(area);
    v->setContentsMargins(10, 0, 10, 8);
    v->setSpacing(6);

    GroupBox1 = new QGroupBox(QStringLiteral(" Debug options "), area);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    QFont normal = GroupBox1->font();
    QFont bold = normal;
    bold.setBold(true);
    // Set explicitly, or the options would inherit the bold caption.
    normal.setBold(false);
    GroupBox1->setFont(bold);
    auto *g = new QGridLayout(GroupBox1);
    g->setVerticalSpacing(2);
    chkDebug = new QCheckBox(QStringLiteral("enable debugging"), GroupBox1);
    chkDebug->setObjectName(QStringLiteral("chkDebug"));
    radDebugDef = new QRadioButton(QStringLiteral("-d (use Perl's default / standard debugger)"),
                                   GroupBox1);
    radDebugDef->setObjectName(QStringLiteral("radDebugDef"));
    radDebugDef->setChecked(true);
    radDebugOther = new QRadioButton(QStringLiteral("-d:foo (use this debugger for \"foo\":)"),
                                     GroupBox1);
    radDebugOther->setObjectName(QStringLiteral("radDebugOther"));
    // Empty at start: Devel::DProf, once the name here, no longer comes with perl, and without
    // a name the run uses perl's own debugger.
    edDebugger = new QLineEdit(GroupBox1);
    edDebugger->setObjectName(QStringLiteral("edDebugger"));
    edDebugger->setPlaceholderText(QStringLiteral("perl's own"));
    edDebugger->setMaximumWidth(110);
    const QList<QWidget *> options{chkDebug, radDebugDef, radDebugOther, edDebugger};
    for (QWidget *w : options)
        w->setFont(normal);
    g->addWidget(chkDebug, 0, 0, 1, 2);
    g->addWidget(radDebugDef, 1, 0, 1, 2);
    g->addWidget(radDebugOther, 2, 0);
    g->addWidget(edDebugger, 2, 1);
    g->setColumnStretch(0, 1);
    v->addWidget(GroupBox1);

    QLabel *note = label(area, "Label6",
                         QStringLiteral("Note: debugging is depedent on your Perl version and "
                                        "configuration. Thus, it may not work at all. For "
                                        "additional info, please refer to PAN:"));
    note->setWordWrap(true);
    v->addWidget(note);
    QLabel *link = label(area, "BlinkyLabel1",
                         QStringLiteral("<a href=\"%1\">%1</a>").arg(perlSiteAddress()));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    v->addWidget(link);
    v->addStretch(1);
    return area;
}

void TRunForm::setCustomModeSource(std::function<bool()> source)
{
    m_customMode = std::move(source);
}

void TRunForm::prepare(Purpose purpose)
{
    chkSynCheck->setChecked(purpose == Purpose::SyntaxCheck);
    chkDebug->setChecked(purpose == Purpose::Debug);
    setExpanded(purpose == Purpose::Debug);
}

void TRunForm::setScript(const QString &path)
{
    edScript->setEditText(path);
}

void TRunForm::setExpanded(bool expanded)
{
    m_expanded = expanded;
    setFixedHeight(expanded ? m_expandedHeight : m_collapsedHeight);
    BitBtn1->setIcon(themeIcon(expanded ? "go-up" : "go-down", QStyle::SP_ArrowDown));
}

RunRequest TRunForm::request() const
{
    RunRequest r;
    r.interpreter = edInterpreter->currentText();
    // The scheme is read at the moment of running: the options page may have changed it.
    r.scheme = RunSchemes::read(*m_runSettings, RunSchemes::current(*m_settings));
    r.customMode = m_customMode ? m_customMode() : false;
    r.syntaxCheck = chkSynCheck->isChecked();
    r.debug = chkDebug->isChecked();
    r.namedDebugger = radDebugOther->isChecked();
    r.debugger = edDebugger->text();
    r.script = edScript->currentText();
    r.parameters = edParams->currentText();
    r.inScriptFolder = Config::read(*m_settings, Config::RunInScriptFolder);
    return r;
}

void TRunForm::btRunClick()
{
    const Command c = command();
    // The dialog stays open, so that the field at fault can be mended.
    if (const QString why = c.problem(); !why.isEmpty()) {
        Prompts::error(this, why);
        return;
    }
    closeToOwner();
    setResult(QDialog::Accepted);
    emit runRequested(c);
}

void TRunForm::reject()
{
    closeToOwner();
    setResult(QDialog::Rejected);
}

void TRunForm::closeToOwner()
{
    ZoomHide(this);
    // The keyboard goes back to the main window, so that its shortcuts (stop, run again)
    // work at once even where no window manager hands the focus on.
    if (QWidget *owner = parentWidget())
        owner->activateWindow();
}

QString TRunForm::browse(const QString &current)
{
    const QFileInfo info(current);
    const QString dir = info.isAbsolute() ? info.absolutePath() : QString();
    return Prompts::instance().openFile(this, QStringLiteral("Open"), dir, openFilter());
}

void TRunForm::browseInterpreter()
{
    const QString file = browse(edInterpreter->currentText());
    if (!file.isEmpty())
        edInterpreter->setEditText(file);
}

void TRunForm::browseScript()
{
    const QString file = browse(edScript->currentText());
    if (!file.isEmpty())
        edScript->setEditText(file);
}

void TRunForm::toggleDebugOptions()
{
    setExpanded(!m_expanded);
}

QString TRunForm::openFilter()
{
    return QStringLiteral("Perl scripts (*.pl *.cgi);;Pascal / Delphi units (*.pas);;"
                          "All files (*);;Exfiles (*.exe)");
}

QString TRunForm::perlSiteAddress()
{
    return QStringLiteral("https://www.perl.org/");
}
