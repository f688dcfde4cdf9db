#include "ui/tools/aboutform.h"

#include "core/run/commandline.h"
#include "core/settings/configkeys.h"
#include "platform/desktoptools.h"
#include "platform/launcher.h"
#include "ui/common/icons.h"
#include "ui/common/zoom.h"
#include "ui/run/panelrun.h"
#include "ui/tools/blinkylabel.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The product's public pages; the mail addresses are the project's own at that host.
const char kWebAddress[] = "https://quillforge.ostravine.org/";
const char *const kMailAddresses[] = {"info@quillforge.ostravine.org",
                                      "bugs@quillforge.ostravine.org",
                                      "templates@quillforge.ostravine.org"};

QLabel *text(const QString &t, QWidget *parent)
{
    auto *l = new QLabel(t, parent);
    l->setWordWrap(true);
    return l;
}

class ClickableImage : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QLabel::mouseReleaseEvent(e);
        Platform::Launcher::instance().openWithDesktop(QLatin1String(kWebAddress));
    }
};

QWidget *productPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto *v = new QVBoxLayout(page);
    auto *banner = new QFrame(page);
    banner->setObjectName(QStringLiteral("pBanner"));
    banner->setStyleSheet(QStringLiteral(
            "#pBanner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0000d7, "
            "stop:1 #3a5fcd); } #pBanner QLabel { color: white; }"));
    auto *bh = new QHBoxLayout(banner);
    auto *image = new ClickableImage(banner);
    image->setObjectName(QStringLiteral("Image4"));
    image->setPixmap(appIcon().pixmap(48, 48));
    image->setCursor(Qt::PointingHandCursor);
    image->setToolTip(QLatin1String(kWebAddress));
    bh->addWidget(image);
    auto *name = new QLabel(QStringLiteral("Quillforge"), banner);
    QFont big = name->font();
    big.setPointSize(20);
    big.setBold(true);
    name->setFont(big);
    bh->addWidget(name);
    bh->addStretch();
    auto *version = new QLabel(QStringLiteral("1.0<br><b>Beta #1</b>"), banner);
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bh->addWidget(version);
    v->addWidget(banner);

    auto *title = text(QStringLiteral("<b>Ostravine Quillforge v1.0 RC 1</b>"), page);
    v->addWidget(title);
    v->addWidget(text(QStringLiteral("CGI / Perl script editor"), page));
    v->addWidget(text(QStringLiteral("This is a beta version: it may still hold faults. If you "
                                     "find one, please tell us, with the steps that lead to "
                                     "it. Quillforge is built with Qt and runs your scripts "
                                     "with the Perl interpreter installed on this system."),
                      page));
    v->addWidget(text(QStringLiteral("For information and further updates visit our website "
                                     "and / or contact us via email under:"),
                      page));
    for (int i = 0; i < 4; ++i) {
        auto *link = new TBlinkyLabel(page);
        link->setObjectName(QStringLiteral("BlinkyLabel%1").arg(i + 1));
        link->setCaptionAsURL(true);
        link->setURL(QLatin1String(i < 3 ? kMailAddresses[i] : kWebAddress));
        link->setFontColor2(Qt::blue);
        v->addWidget(link);
    }
    v->addStretch();
    return page;
}

QPlainTextEdit *memo(const char *name, QWidget *parent)
{
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(QLatin1String(name));
    m->setReadOnly(true);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    return m;
}

} // namespace

TAboutForm::TAboutForm(const TIniFile &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    auto *v = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->addTab(productPage(PageControl1), QStringLiteral("Quillforge"));

    auto *perl = new QWidget(PageControl1);
    perl->setObjectName(QStringLiteral("TabSheet2"));
    auto *pv = new QVBoxLayout(perl);
    pv->addWidget(new QLabel(QStringLiteral("Actual Perl version outprint"), perl));
    Memo1 = memo("Memo1", perl);
    pv->addWidget(Memo1, 1);
    pv->addWidget(new QLabel(QStringLiteral("Details"), perl));
    Memo2 = memo("Memo2", perl);
    pv->addWidget(Memo2, 2);
    PageControl1->addTab(perl, QStringLiteral("Perl"));
    v->addWidget(PageControl1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *okay = new QPushButton(QStringLiteral("&Okay"), this);
    okay->setObjectName(QStringLiteral("Button1"));
    okay->setCursor(Qt::PointingHandCursor);
    okay->setDefault(true);
    buttons->addWidget(okay);
    v->addLayout(buttons);
    resize(520, 480);

    connect(okay, &QPushButton::clicked, this, &TAboutForm::reject);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TAboutForm::PageControl1Change);
}

QString TAboutForm::webAddress()
{
    return QLatin1String(kWebAddress);
}

void TAboutForm::open()
{
    PageControl1->setCurrentIndex(0);
    ZoomShow(this);
}

void TAboutForm::PageControl1Change(int index)
{
    if (index != 1)
        return;
    Memo1->clear();
    Memo2->clear();
    // Each memo has a runner of its own, so both run at once and neither waits.
    RunAndCapture(Memo1, Command(Config::read(m_settings, Config::PerlPath), {"-v"}), true);
    RunAndCapture(Memo2, Command(Config::read(m_settings, Config::PerlPath), {"-V"}), true);
}

void TAboutForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    reject();
}

void TAboutForm::reject()
{
    ZoomHide(this);
}
