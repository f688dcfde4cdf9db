#include "ui/tools/bugform.h"

#include "core/common/clock.h"
#include "core/common/textfile.h"
#include "platform/desktoptools.h"
#include "platform/launcher.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QComboBox *freeText(const char *name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

QTextEdit *memo(const char *name, QWidget *parent)
{
    auto *m = new QTextEdit(parent);
    m->setObjectName(QLatin1String(name));
    m->setAcceptRichText(false);
    return m;
}

QLabel *noted(const QString &label, const QString &note, QWidget *parent)
{
    auto *l = new QLabel(QStringLiteral("%1<br><small>%2</small>")
                                 .arg(label.toHtmlEscaped(), note.toHtmlEscaped()),
                         parent);
    return l;
}

QWidget *heading(QWidget *parent)
{
    auto *w = new QWidget(parent);
    auto *v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    auto *h = new QLabel(QStringLiteral("Bug Report"), w);
    QFont f = h->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    h->setFont(f);
    v->addWidget(h);
    auto *note = new QLabel(QStringLiteral("Please fill out this form if you want to report errors "
                                           "you found in this product. Fields marked "
                                           "<span style='color:red'>red</span> are required."),
                            w);
    note->setWordWrap(true);
    v->addWidget(note);
    return w;
}

QStringList windowsVersions()
{
    QStringList v{"Windows 95 A",
                  "Windows 95 B",
                  "Windows 95 C",
                  "Windows 95 A Plus!",
                  "Windows 95 B Plus!",
                  "Windows 95 C Plus!",
                  "Windows 98",
                  "Windows 98 Plus!",
                  "Windows 98 SE (Second Edition)",
                  "Windows 98 SE (Second Edition) Plus!",
                  "Windows NT 4.0"};
    for (int sp = 1; sp <= 6; ++sp)
        v << QStringLiteral("Windows NT 4.0 SP%1 (Service Pack)").arg(sp);
    v << "Windows 2000 Professional"
      << "Windows 2000 Advanced Server"
      << "Windows 2000 Datacenter";
    return v;
}

} // namespace

TBugForm::TBugForm(QWidget *parent)
    : QDialog(parent)
    , m_reportPath(Platform::defaultBugReportFile())
{
    setObjectName(QStringLiteral("BugForm"));
    setWindowTitle(QStringLiteral("Bugreport"));
    auto *v = new QVBoxLayout(this);
    Pages = new QStackedWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    v->addWidget(Pages, 1);

    auto *formPage = new QWidget(Pages);
    formPage->setObjectName(QStringLiteral("tabBugForm"));
    auto *fv = new QVBoxLayout(formPage);
    fv->addWidget(heading(formPage));
    auto *fl = new QFormLayout;
    auto required = [](const QString &t) {
        return QStringLiteral("<span style='color:red'>%1</span>").arg(t.toHtmlEscaped());
    };
    edNameB = freeText("edNameB", formPage);
    edMailB = freeText("edMailB", formPage);
    edBugDiz = freeText("edBugDiz", formPage);
    fl->addRow(new QLabel(required(QStringLiteral("Name / Nickname:")), formPage), edNameB);
    fl->addRow(new QLabel(required(QStringLiteral("eM@il address:")), formPage), edMailB);
    fl->addRow(new QLabel(required(QStringLiteral("Bug's short description:")), formPage), edBugDiz);
    auto *often = new QHBoxLayout;
    radNA = new QRadioButton(QStringLiteral("does not fit here"), formPage);
    radNA->setObjectName(QStringLiteral("radNA"));
    radNA->setChecked(true);
    radRarely = new QRadioButton(QStringLiteral("rarely"), formPage);
    radRarely->setObjectName(QStringLiteral("radRarely"));
    radSometimes = new QRadioButton(QStringLiteral("occassionally"), formPage);
    radSometimes->setObjectName(QStringLiteral("radSometimes"));
    radOften = new QRadioButton(QStringLiteral("often / always"), formPage);
    radOften->setObjectName(QStringLiteral("radOften"));
    for (QRadioButton *r : {radNA, radRarely, radSometimes, radOften})
        often->addWidget(r);
    fl->addRow(QStringLiteral("Ocurrs:"), often);
    edWinVer = new QComboBox(formPage);
    edWinVer->setObjectName(QStringLiteral("edWinVer"));
    edWinVer->setEditable(true);
    edWinVer->addItems(windowsVersions());
    edWinVer->setCurrentIndex(-1);
    fl->addRow(noted(QStringLiteral("Windows version:"),
                     QStringLiteral("if possible, with exact version number"), formPage),
               edWinVer);
    memoSystem = memo("memoSystem", formPage);
    memoBugDiz = memo("memoBugDiz", formPage);
    memoNotesB = memo("memoNotesB", formPage);
    fl->addRow(noted(QStringLiteral("Hardware / Software:"),
                     QStringLiteral("e.g. RAM, prozessor type and speed, graphics adapter"),
                     formPage),
               memoSystem);
    fl->addRow(noted(required(QStringLiteral("Bug description:")),
                     QStringLiteral("as detailed as possible"), formPage),
               memoBugDiz);
    fl->addRow(noted(QStringLiteral("Other notes / misc.:"),
                     QStringLiteral("proposals for new features or improovements etc."), formPage),
               memoNotesB);
    fv->addLayout(fl, 1);
    Pages->addWidget(formPage);

    auto *reportPage = new QWidget(Pages);
    reportPage->setObjectName(QStringLiteral("tabBugRT"));
    auto *rv = new QVBoxLayout(reportPage);
    rv->addWidget(heading(reportPage));
    BugRF = new QTextEdit(reportPage);
    BugRF->setObjectName(QStringLiteral("BugRF"));
    BugRF->setReadOnly(true);
    rv->addWidget(BugRF, 1);
    Pages->addWidget(reportPage);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btBack = new QPushButton(QStringLiteral("<< &Back"), this);
    btBack->setObjectName(QStringLiteral("btBack"));
    btBack->setEnabled(false);
    btOkay = new QPushButton(QStringLiteral("&Next >>"), this);
    btOkay->setObjectName(QStringLiteral("btOkay"));
    auto *abort = new QPushButton(QStringLiteral("&Abort"), this);
    abort->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(btBack);
    buttons->addWidget(btOkay);
    buttons->addWidget(abort);
    v->addLayout(buttons);
    resize(560, 620);

    // A report that cannot be written ends the action with its error box.
    connect(btOkay, &QPushButton::clicked, this, [this] { guarded([this] { btOkayClick(); }); });
    connect(btBack, &QPushButton::clicked, this, &TBugForm::btBackClick);
    connect(abort, &QPushButton::clicked, this, &TBugForm::reject);
}

void TBugForm::open()
{
    Pages->setCurrentIndex(0);
    ZoomShow(this);
}

BugReportForm TBugForm::form() const
{
    BugReportForm f;
    f.name = edNameB->currentText();
    f.mail = edMailB->currentText();
    f.osVersion = edWinVer->currentText();
    f.system = memoSystem->toPlainText();
    f.description = memoBugDiz->toPlainText();
    f.notes = memoNotesB->toPlainText();
    f.regularity = radRarely->isChecked()      ? BugReportForm::Rarely
                   : radSometimes->isChecked() ? BugReportForm::Sometimes
                   : radOften->isChecked()     ? BugReportForm::Often
                                               : BugReportForm::NotApplicable;
    return f;
}

void TBugForm::fill()
{
    BugRF->clear();
    QTextCursor c(BugRF->document());
    bool first = true;
    m_report = fillBugReport(form(), Clock::now());
    for (const ReportParagraph &p : m_report) {
        QTextCharFormat f;
        f.setFontFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        f.setFontPointSize(p.points);
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        if (!first)
            c.insertBlock();
        first = false;
        c.setBlockCharFormat(f);
        c.insertText(p.text, f);
    }
    BugRF->moveCursor(QTextCursor::Start);
}

void TBugForm::btOkayClick()
{
    if (Pages->currentIndex() == 0) {
        fill();
        Pages->setCurrentIndex(1);
        btOkay->setText(QStringLiteral("&Okay"));
        btBack->setEnabled(true);
        return;
    }
    writeFileAtomically(m_reportPath, bugReportRtf(m_report));
    Prompts::information(this, bugReportSavedMessage(m_reportPath));
    Platform::Launcher::instance().openWithDesktop(QStringLiteral("mailto:")
                                                   + bugReportSupportAddress());
}

void TBugForm::btBackClick()
{
    if (Pages->currentIndex() != 1)
        return;
    Pages->setCurrentIndex(0);
    btBack->setEnabled(false);
    btOkay->setText(QStringLiteral("&Next"));
    fill();
}

void TBugForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    reject();
}

void TBugForm::reject()
{
    ZoomHide(this);
}
