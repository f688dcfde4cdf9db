#include "ui/shell/welcome.h"

#include "core/settings/configkeys.h"
#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/shell/setdefform.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>

#include <functional>
#include <memory>

namespace {

const char *const kMakerWeb = "https://www.ostravine.example/quillforge";
const char *const kMakerMail = "quillforge@ostravine.example";

const QString kBullet = QStringLiteral("\u2022 ");

// Colour values are stored as 0x00BBGGRR.
QColor colorValue(quint32 v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

const QColor kBannerBlue = colorValue(14090240);
const QColor kBandOrange = colorValue(4378107);
const QColor kColumnDark(72, 74, 84);

QFont wizardFont(int points, bool bold = false)
{
    QFont f;
    // Tahoma by name; without it, a face of Tahoma's width keeps the pages' text in place.
    f.setFamilies(
            {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

void paint(QWidget *w, QPalette::ColorRole role, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(role, color);
    w->setPalette(p);
    w->setAutoFillBackground(w->autoFillBackground() || role == QPalette::Window);
}

QLabel *label(const QString &text, QWidget *parent, int points, bool bold = false)
{
    auto *l = new QLabel(text, parent);
    l->setFont(wizardFont(points, bold));
    return l;
}

// Bullet list as a table, so wrapped lines keep their indent without the wide list margin.
QString bullets(const QStringList &items)
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const QString &item : items)
        html += QStringLiteral("<tr><td>&#8226;&nbsp;</td><td>%1</td></tr>").arg(item);
    return html + QStringLiteral("</table>");
}

QString link(const QString &url, const QString &text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(url, text);
}

// One page of a section: a column of headings, texts and fields, filled top down.
struct Page
{
    QWidget *w;
    QVBoxLayout *l;

    Page(QStackedWidget *stack, const char *name)
        : w(new QWidget(stack))
        , l(new QVBoxLayout(w))
    {
        w->setObjectName(QString::fromLatin1(name));
        stack->addWidget(w);
        l->setContentsMargins(12, 10, 12, 6);
        l->setSpacing(8);
    }
    Page &heading(const QString &text)
    {
        QLabel *h = label(text, w, 10, true);
        paint(h, QPalette::WindowText, kBannerBlue);
        l->addWidget(h);
        return *this;
    }
    Page &text(const QString &html)
    {
        auto *t = new QLabel(html, w);
        t->setTextFormat(Qt::RichText);
        t->setWordWrap(true);
        t->setOpenExternalLinks(true);
        t->setTextInteractionFlags(Qt::TextBrowserInteraction);
        l->addWidget(t);
        return *this;
    }
    QLineEdit *field(const QString &caption, const char *name)
    {
        auto *edit = new QLineEdit(w);
        edit->setObjectName(QString::fromLatin1(name));
        auto *buddy = new QLabel(caption, w);
        buddy->setBuddy(edit);
        auto *row = new QHBoxLayout;
        row->addWidget(buddy);
        row->addWidget(edit, 1);
        l->addLayout(row);
        return edit;
    }
    void finish() { l->addStretch(); }
};

QPixmap picture(int size, const std::function<void(QPainter &)> &draw)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pm;
}

// A quill over an inkwell line: the program's mark on the banner.
QPixmap logoPicture()
{
    return picture(44, [](QPainter &p) {
        QPainterPath feather;
        feather.moveTo(9, 38);
        feather.cubicTo(12, 22, 24, 8, 40, 4);
        feather.cubicTo(36, 16, 28, 28, 13, 34);
        feather.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(feather);
        p.setPen(QPen(kBannerBlue, 1.4));
        p.drawLine(QPointF(11, 36), QPointF(34, 10));
        p.setPen(QPen(kBandOrange, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 41), QPointF(24, 41));
    });
}

QPixmap welcomePicture()
{
    return picture(32, [](QPainter &p) {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = i % 2 ? 6 : 14;
            const qreal a = M_PI / 2 + i * M_PI / 5;
            const QPointF pt(16 + r * qCos(a), 17 - r * qSin(a));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kBandOrange);
        p.drawPath(star);
    });
}

QPixmap configPicture()
{
    return picture(32, [](QPainter &p) {
        p.translate(16, 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(225, 228, 238));
        for (int i = 0; i < 8; ++i) {
            p.drawRoundedRect(QRectF(-3, -14, 6, 8), 1.5, 1.5);
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.setBrush(kColumnDark);
        p.drawEllipse(QPointF(0, 0), 4, 4);
    });
}

QPixmap infoPicture()
{
    return picture(32, [](QPainter &p) {
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(kBannerBlue.lighter(130));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.5, 1.5);
    });
}

} // namespace

TWelcome::TWelcome(TIniFile *settings, const QString &programDir, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
    , m_settings(settings)
    , m_programDir(programDir)
{
    setObjectName(QStringLiteral("Welcome"));
    setWindowTitle(QStringLiteral("Welcome"));
    setFont(wizardFont(8));
    setModal(true);

    auto *band = new QWidget(this);
    band->setFixedHeight(5);
    paint(band, QPalette::Window, kBandOrange);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(buildSectionColumn());
    body->addWidget(buildPages(), 1);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildBanner());
    root->addWidget(band);
    root->addLayout(body, 1);
    root->addWidget(line);
    root->addWidget(buildButtonBar());

    setFixedSize(498, 412);
    FormCreate();
}

QWidget *TWelcome::buildBanner()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFixedHeight(58);
    paint(panel, QPalette::Window, kBannerBlue);
    paint(panel, QPalette::WindowText, Qt::white);

    auto *logo = new QLabel(panel);
    logo->setPixmap(logoPicture());
    QLabel *version = label(QStringLiteral("1.0"), panel, 9, true);
    paint(version, QPalette::WindowText, kBandOrange);
    // Keeps the version on the name's baseline rather than on the panel's edge.
    version->setContentsMargins(0, 0, 0, 9);

    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(14, 6, 14, 6);
    row->setSpacing(10);
    row->addWidget(logo);
    row->addWidget(label(QStringLiteral("Quillforge"), panel, 18, true), 0, Qt::AlignVCenter);
    row->addWidget(version, 0, Qt::AlignBottom);
    row->addStretch();
    return panel;
}

QWidget *TWelcome::buildSectionColumn()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedWidth(96);
    paint(panel, QPalette::Window, kColumnDark);
    panel->setStyleSheet(QStringLiteral(
            "QToolButton { color: white; border: none; border-radius: 3px; padding: 6px 2px; }"
            "QToolButton:hover { background: rgba(255, 255, 255, 36); }"
            "QToolButton:pressed { background: rgba(255, 255, 255, 64); }"));

    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 12, 4, 12);
    column->setSpacing(10);

    struct Entry
    {
        const char *action;
        const char *button;
        const char *caption;
        QPixmap pic;
    };
    const Entry entries[] = {
            {"sWelcome", "btWelcome", "Welcome", welcomePicture()},
            {"sConfig", "btConfig", "Config", configPicture()},
            {"sInfo", "btInfo", "Info", infoPicture()},
    };
    for (const Entry &e : entries) {
        auto *action = new QAction(QIcon(e.pic), QString::fromLatin1(e.caption), this);
        action->setObjectName(QString::fromLatin1(e.action));
        m_sectionActions << action;
        auto *button = new QToolButton(panel);
        button->setObjectName(QString::fromLatin1(e.button));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        column->addWidget(button);
    }
    column->addStretch();

    connect(m_sectionActions[0], &QAction::triggered, this, [this] { sWelcomeExecute(); });
    connect(m_sectionActions[1], &QAction::triggered, this, [this] { sConfigExecute(); });
    connect(m_sectionActions[2], &QAction::triggered, this, [this] { sInfoExecute(); });
    // Before any section is chosen, only the first caption carries the bullet.
    m_sectionActions[0]->setText(kBullet + m_sectionActions[0]->text());
    return panel;
}

QWidget *TWelcome::buildPages()
{
    m_pcMain = new QStackedWidget(this);
    m_pcMain->setObjectName(QStringLiteral("pcMain"));

    struct Carry
    {
        const char *name;
        const char *header;
        QWidget *pages;
    };
    const Carry carries[] = {
            {"tabWelcomeCarry", nullptr, buildWelcomePages()},
            {"tabCfgCarry", " Basic configuration", buildConfigPages()},
            {"tabInfoCarry", " Information", buildInfoPages()},
    };
    for (const Carry &c : carries) {
        auto *carry = new QWidget(m_pcMain);
        carry->setObjectName(QString::fromLatin1(c.name));
        auto *layout = new QVBoxLayout(carry);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (c.header) {
            QLabel *header = label(QString::fromLatin1(c.header), carry, 9, true);
            header->setStyleSheet(QStringLiteral(
                    "background: #e9eaf2; color: #2a2a40; border-bottom: 1px solid #b8bacb;"
                    "padding: 4px 6px;"));
            layout->addWidget(header);
        }
        c.pages->setParent(carry);
        layout->addWidget(c.pages, 1);
        m_pcMain->addWidget(carry);
    }
    return m_pcMain;
}

QStackedWidget *TWelcome::newSection(const char *name)
{
    auto *stack = new QStackedWidget(this);
    stack->setObjectName(QString::fromLatin1(name));
    m_sectionPages << stack;
    return stack;
}

QWidget *TWelcome::buildWelcomePages()
{
    QStackedWidget *stack = newSection("pcWelcome");

    Page p1(stack, "tabWelcome1");
    p1.l->setSpacing(2);
    p1.l->addWidget(label(QStringLiteral("Welcome to"), p1.w, 11));
    p1.l->addWidget(label(QStringLiteral("Ostravine"), p1.w, 12, true));
    QLabel *product = label(QStringLiteral("Quillforge"), p1.w, 24, true);
    paint(product, QPalette::WindowText, kBannerBlue);
    p1.l->addWidget(product);
    p1.l->addWidget(label(QStringLiteral("The Perl Integrated Development Environment for Linux"),
                          p1.w, 9, true));
    p1.l->addSpacing(12);
    p1.text("This assistant guides you through the main features of Quillforge and helps you "
            "with the few settings it needs to run your scripts. It takes three steps:");
    p1.l->addSpacing(6);
    p1.text(bullets(
            {"Introduction", "Basic configuration <b>(should be done!)</b>", "More information"}));
    p1.finish();

    Page(stack, "tabWelcome2")
            .heading("Welcome / Intro")
            .text("Quillforge makes programming Perl on Linux easier. Editor, interpreter, browser "
                  "and a handful of tools share one window, so you can write, run and check a "
                  "script without leaving it.")
            .text("<b>Features</b>")
            .text(bullets({"<b>Multi-document editor</b> &ndash; work on several scripts at once, "
                           "each in a tab of its own.",
                           "<b>Syntax highlighting</b> &ndash; your code is coloured, so keywords, "
                           "variables, strings and comments stand out.",
                           "<b>Code inspector</b> &ndash; the variables and local subroutines of a "
                           "script are listed for quick navigation."}))
            .finish();

    Page(stack, "tabWelcome3")
            .heading("Welcome / Intro")
            .text(bullets(
                    {"<b>Explorer</b> &ndash; browse your folders and open scripts right "
                     "beside the editor.",
                     "<b>Perl interface</b> &ndash; run a script, check its syntax before "
                     "running it, or start it under the Perl debugger for extended "
                     "debugging. All output appears inside Quillforge.",
                     "<b>Console</b> &ndash; type shell commands without leaving the program.",
                     "<b>Integrated HTML view</b> &ndash; show the output of a script as an "
                     "HTML page, and associate HTML documents with your scripts."}))
            .finish();

    Page(stack, "tabWelcome4")
            .heading("Welcome / Intro")
            .text(bullets({"<b>Code templates</b> &ndash; insert ready-made samples from a palette "
                           "with one click. Create templates of your own and pass them on to "
                           "others.",
                           "<b>Task manager</b> &ndash; keep track of what is still to do, day by "
                           "day.",
                           "&hellip;and many more features waiting to be discovered."}))
            .text("Before you start, Quillforge needs to know where Perl lives on this computer. "
                  "Click \"Next\" to go on to the basic configuration.")
            .finish();
    return stack;
}

QWidget *TWelcome::buildConfigPages()
{
    QStackedWidget *stack = newSection("pcConfig");

    Page perl(stack, "tabPerl");
    perl.heading("Perl interpreter")
            .text("Quillforge uses the Perl interpreter to run your scripts, to check their syntax "
                  "and to debug them. Please give the location of the interpreter below.");
    m_edPerl = perl.field(QStringLiteral("&Perl:"), "edPerl");
    perl.text(QStringLiteral("Perl is not installed yet? Most Linux distributions include it "
                             "(on Debian: <i>apt install perl</i>). You will also find it at %1 "
                             "and %2.")
                      .arg(link("https://www.perl.org/get.html", "www.perl.org"),
                           link("https://www.cpan.org/src/", "www.cpan.org")))
            .finish();

    Page web(stack, "tabWebServer");
    web.heading("Webserver")
            .text(QStringLiteral("A local web server lets you test your scripts as CGI programs, "
                                 "together with the HTML forms that call them. Quillforge starts "
                                 "lighttpd for this; get it from %1 or %2 (on Debian: "
                                 "<i>apt install lighttpd</i>).")
                          .arg(link("https://www.lighttpd.net/download/", "www.lighttpd.net"),
                               link("https://download.lighttpd.net/lighttpd/",
                                    "download.lighttpd.net")));
    m_edWebSrv = web.field(QStringLiteral("&Webserver:"), "edWebSrv");
    web.text(QStringLiteral("Save your scripts in the web server's cgi-bin folder; they can then "
                            "be reached under %1/cgi-bin/.")
                     .arg(Platform::localHttpAddress()));
    m_chkWebSrv = new QCheckBox(QStringLiteral("Run webserver on Quillforge launch"), web.w);
    m_chkWebSrv->setObjectName(QStringLiteral("chkWebSrv"));
    web.l->addWidget(m_chkWebSrv);
    web.finish();

    Page def(stack, "tabDef");
    def.heading("About to start")
            .text("Quillforge is ready to save its default settings together with the locations "
                  "you have given. Click \"Save settings\" to do so.<br><br>Afterwards click "
                  "\"Cancel\" to start Quillforge, or \"Next\" for more information.");
    m_btSave = new QPushButton(QStringLiteral("&Save settings..."), def.w);
    m_btSave->setObjectName(QStringLiteral("btSave"));
    m_btSave->setAutoDefault(false);
    def.l->addSpacing(6);
    def.l->addWidget(m_btSave, 0, Qt::AlignLeft);
    def.finish();
    connect(m_btSave, &QPushButton::clicked, this, [this] { btSaveClick(); });
    return stack;
}

QWidget *TWelcome::buildInfoPages()
{
    QStackedWidget *stack = newSection("pcInfo");

    const QString web = QString::fromLatin1(kMakerWeb);
    const QString mail = QString::fromLatin1(kMakerMail);
    Page info(stack, "tabInfo1");
    info.l->setSpacing(6);
    info.text("Quillforge 1.0 is a <b>beta</b> version: it serves well for daily work, but some "
              "rough edges may remain. Please tell us what you find.<br>Quillforge is "
              "<b>freeware</b>: you may use it and pass it on free of charge.")
            .text("<b>Built in</b>")
            .text(bullets({"Qt 6 application framework (The Qt Company, LGPL 3)",
                           "Qt WebEngine for the integrated HTML view",
                           "Launcher for the lighttpd web server",
                           "Template library with ready-made Perl samples"}))
            .text("<b>Contact</b>")
            .text(QStringLiteral("Web: %1<br>Mail: %2")
                          .arg(link(web, web.mid(web.indexOf(u'/') + 2)),
                               link(QStringLiteral("mailto:") + mail, mail)))
            .finish();

    Page(stack, "tabInfo2").text("That's all. Click \"Okay\" to launch Quillforge.").finish();
    return stack;
}

QWidget *TWelcome::buildButtonBar()
{
    auto *bar = new QWidget(this);
    m_button1 = new QPushButton(QStringLiteral("&Cancel"), bar);
    m_button1->setObjectName(QStringLiteral("Button1"));
    auto *back = new QPushButton(QStringLiteral("<< &Back"), bar);
    back->setObjectName(QStringLiteral("Button2"));
    back->setEnabled(false);
    m_btNext = new QPushButton(QStringLiteral("&Next >>"), bar);
    m_btNext->setObjectName(QStringLiteral("btNext"));
    m_btNext->setDefault(true);
    for (QPushButton *b : {m_button1, back, m_btNext})
        b->setMinimumWidth(84);

    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 8, 10, 10);
    row->addWidget(m_button1);
    row->addStretch();
    row->addWidget(back);
    row->addWidget(m_btNext);

    connect(m_button1, &QPushButton::clicked, this, [this] { leaveWizard(); });
    connect(m_btNext, &QPushButton::clicked, this, [this] { btNextClick(); });
    return bar;
}

void TWelcome::FormCreate()
{
    m_edPerl->setText(Platform::perlBinDir() + u'/' + Platform::perlExecutableName());
    m_edWebSrv->setText(Platform::webServerDir(m_programDir) + u'/'
                        + Platform::webServerLauncherName());
}

void TWelcome::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        m_settingsSaved = false;
        m_pcMain->setCurrentIndex(WelcomeSection);
        m_sectionPages[WelcomeSection]->setCurrentIndex(0);
        if (const QScreen *s = screen()) {
            QRect r = frameGeometry();
            r.moveCenter(s->availableGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(event);
}

void TWelcome::showSection(Section section)
{
    static const char *const plain[] = {"Welcome", "Settings", "Information"};
    for (int i = 0; i < m_sectionActions.size(); ++i) {
        const QString caption = QString::fromLatin1(plain[i]);
        m_sectionActions[i]->setText(i == section ? kBullet + caption : caption);
    }
    m_pcMain->setCurrentIndex(section);
    m_sectionPages[section]->setCurrentIndex(0);
}

void TWelcome::btNextClick()
{
    const QString name = m_sectionPages[m_pcMain->currentIndex()]->currentWidget()->objectName();
    if (name == QLatin1String("tabWelcome4")) {
        sConfigExecute();
    } else if (name == QLatin1String("tabDef")) {
        sInfoExecute();
    } else if (name == QLatin1String("tabInfo2")) {
        leaveWizard();
    } else {
        QStackedWidget *stack = m_sectionPages[m_pcMain->currentIndex()];
        stack->setCurrentIndex(stack->currentIndex() + 1);
        if (name == QLatin1String("tabInfo1"))
            m_btNext->setText(QStringLiteral("&Okay"));
    }
}

void TWelcome::leaveWizard()
{
    if (m_resetting) {
        m_leavePending = true;
        return;
    }
    if (!m_settingsSaved) {
        const QString question
                = QStringLiteral(
                          "You did not have saved some basic settings. However, Quillforge will "
                          "run, but it is recommended to do these few options now. To do this, "
                          "just click \"No\" and then \"Settings\" in the dialog.")
                  + QStringLiteral("\n\n")
                  + QStringLiteral("Really quit this dialog without saving?");
        if (Prompts::warn(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    accept();
}

void TWelcome::btSaveClick()
{
    if (m_resetting)
        return;
    m_resetting = true;
    m_btSave->setEnabled(false);
    guarded([this] {
        // Freed on the way out, also when a write fails, so no progress box stays behind
        // the error.
        auto form = std::make_unique<TSetDefForm>(this);
        form->setValues(m_edPerl->text(), m_edWebSrv->text(), m_chkWebSrv->isChecked());
        form->setStepDelay(m_resetStepDelayMs);
        form->show();
        if (form->WriteDefaults(*m_settings))
            m_settingsSaved = true;
        form->hide();
    });
    m_resetting = false;
    m_btSave->setEnabled(true);

    if (m_leavePending) {
        m_leavePending = false;
        m_closePending = -1;
        leaveWizard();
    } else if (m_closePending >= 0) {
        const int result = m_closePending;
        m_closePending = -1;
        done(result);
    }
}

void TWelcome::FormClose()
{
    Config::write(*m_settings, Config::DriveId, Platform::driveIdentity(m_programDir));
    Config::write(*m_settings, Config::Welcome, false);
}

void TWelcome::done(int result)
{
    if (m_resetting) {
        m_closePending = result;
        return;
    }
    // A folder that refuses the write is reported, but does not keep the user in here: the
    // program runs without the marks and the wizard simply returns next time.
    guarded([this] { FormClose(); });
    QDialog::done(result);
}

void TWelcome::keyPressEvent(QKeyEvent *event)
{
    // Escape means Cancel, with its question, rather than a silent close.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_button1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
