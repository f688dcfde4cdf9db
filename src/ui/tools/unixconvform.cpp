#include "ui/tools/unixconvform.h"

#include "core/common/errors.h"
#include "core/common/workers.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char kAbout[] = "Using this wizard, you can convert Windows-based text files to UNIX-conform "
                      "ones. The difference is that Windows uses #10 (LF=LineFeed) and #13 "
                      "(CR=CarriageReturn), while UNIXes uses #10 only.";
const char kFilter[] = "All files (*)";

QLabel *label(const char *name, const QString &text, QWidget *parent, bool bold = false)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QWidget *page(QStackedWidget *pc)
{
    auto *w = new QWidget(pc);
    auto *v = new QVBoxLayout(w);
    v->setContentsMargins(12, 12, 12, 12);
    pc->addWidget(w);
    return w;
}

QLineEdit *fileRow(QWidget *p, const char *labelName, const char *editName, const char *browseName,
                   QToolButton **browse)
{
    auto *row = new QHBoxLayout;
    QLabel *caption = label(labelName, QStringLiteral("File:"), p);
    row->addWidget(caption);
    auto *ed = new QLineEdit(p);
    ed->setObjectName(QLatin1String(editName));
    caption->setBuddy(ed);
    row->addWidget(ed, 1);
    *browse = new QToolButton(p);
    (*browse)->setObjectName(QLatin1String(browseName));
    (*browse)->setText(QStringLiteral("..."));
    (*browse)->setToolTip(QStringLiteral("Browse"));
    row->addWidget(*browse);
    static_cast<QVBoxLayout *>(p->layout())->addLayout(row);
    return ed;
}

} // namespace

TUNIXConvForm::TUNIXConvForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("UNIXConvForm"));
    setWindowTitle(QStringLiteral("Windows / UNIX conversion"));
    auto *v = new QVBoxLayout(this);
    PC = new QStackedWidget(this);
    PC->setObjectName(QStringLiteral("PC"));
    v->addWidget(PC, 1);

    QWidget *p0 = page(PC);
    auto *l0 = static_cast<QVBoxLayout *>(p0->layout());
    l0->addWidget(label("Label1", QStringLiteral("Convert script from / to UNIX format"), p0, true));
    l0->addWidget(label("Label2", QLatin1String(kAbout), p0));
    l0->addWidget(label("Label3",
                        QStringLiteral("This wizard opens a file, processes it and removes or "
                                       "adds CR on line break."),
                        p0));
    radWin2UNIX = new QRadioButton(QStringLiteral("I want to convert a file from Windows to UNIX"),
                                   p0);
    radWin2UNIX->setObjectName(QStringLiteral("radWin2UNIX"));
    radWin2UNIX->setChecked(true);
    radUNIX2Win = new QRadioButton(QStringLiteral("I want to convert a file from UNIX to Windows"),
                                   p0);
    radUNIX2Win->setObjectName(QStringLiteral("radUNIX2Win"));
    l0->addWidget(radWin2UNIX);
    l0->addWidget(radUNIX2Win);
    l0->addStretch();

    QWidget *p1 = page(PC);
    auto *l1 = static_cast<QVBoxLayout *>(p1->layout());
    l1->addWidget(label("Label4", QStringLiteral("Source file"), p1, true));
    l1->addWidget(label("Label5",
                        QStringLiteral("Please enter the file that shall be converted. Note that "
                                       "this file sould not be open in Editor but only a closed "
                                       "and unused file on the Harddrive."),
                        p1));
    QToolButton *browseSrc = nullptr;
    edSrc = fileRow(p1, "Label6", "edSrc", "SpeedButton1", &browseSrc);
    l1->addStretch();

    QWidget *p2 = page(PC);
    auto *l2 = static_cast<QVBoxLayout *>(p2->layout());
    l2->addWidget(label("Label9", QStringLiteral("Destination file"), p2, true));
    l2->addWidget(label("Label8",
                        QStringLiteral("Please specify the destination file. In most cases this "
                                       "will be the same as the source one."),
                        p2));
    QToolButton *browseDest = nullptr;
    edDest = fileRow(p2, "Label7", "edDest", "SpeedButton2", &browseDest);
    l2->addStretch();

    QWidget *p3 = page(PC);
    auto *l3 = static_cast<QVBoxLayout *>(p3->layout());
    l3->addWidget(label("Label10", QStringLiteral("Convert script to UNIX format"), p3, true));
    l3->addWidget(label("Label11", QLatin1String(kAbout), p3));
    l3->addStretch();
    Label12 = label("Label12", QString(), p3);
    l3->addWidget(Label12);
    pBar = new QProgressBar(p3);
    pBar->setObjectName(QStringLiteral("pBar"));
    pBar->setRange(0, 100);
    l3->addWidget(pBar);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btBack = new QPushButton(QStringLiteral("<< &Back"), this);
    btBack->setObjectName(QStringLiteral("btBack"));
    btNext = new QPushButton(QStringLiteral("&Next >>"), this);
    btNext->setObjectName(QStringLiteral("btNext"));
    btNext->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    buttons->addWidget(btBack);
    buttons->addWidget(btNext);
    buttons->addWidget(Button3);
    v->addLayout(buttons);
    setMinimumSize(460, 300);

    connect(btNext, &QPushButton::clicked, this, &TUNIXConvForm::btNextClick);
    connect(btBack, &QPushButton::clicked, this, &TUNIXConvForm::btBackClick);
    connect(Button3, &QPushButton::clicked, this, &TUNIXConvForm::reject);
    connect(browseSrc, &QToolButton::clicked, this, &TUNIXConvForm::browseSource);
    connect(browseDest, &QToolButton::clicked, this, &TUNIXConvForm::browseDestination);
}

TUNIXConvForm::~TUNIXConvForm()
{
    if (m_cancel)
        m_cancel->store(true);
}

void TUNIXConvForm::open()
{
    PC->setCurrentIndex(0);
    btNext->setText(QStringLiteral("&Next >>"));
    btNext->setEnabled(true);
    btBack->setEnabled(false);
    ZoomShow(this);
}

void TUNIXConvForm::btNextClick()
{
    const int p = PC->currentIndex();
    if (p == 3) {
        reject();
        return;
    }
    if (p == 0)
        btBack->setEnabled(true);
    if (p > 0)
        btNext->setText(QStringLiteral("Convert"));
    if (p > 1)
        btNext->setText(QStringLiteral("Close"));
    PC->setCurrentIndex(p + 1);
    if (p + 1 == 3)
        startConversion();
}

void TUNIXConvForm::btBackClick()
{
    // Going back while a run is going would let a second one start on the same file.
    if (m_busy)
        return;
    const int p = PC->currentIndex() - 1;
    if (p < 0)
        return;
    PC->setCurrentIndex(p);
    if (p == 0)
        btBack->setEnabled(false);
    btNext->setText(QStringLiteral("&Next >>"));
}

void TUNIXConvForm::browseSource()
{
    const QString f = Prompts::instance().openFile(this, QStringLiteral("Open"), edSrc->text(),
                                                   QLatin1String(kFilter));
    if (f.isEmpty())
        return;
    edSrc->setText(f);
    edDest->setText(f);
}

void TUNIXConvForm::browseDestination()
{
    const QString f = Prompts::instance().saveFile(this, QStringLiteral("Save as"), edDest->text(),
                                                   QLatin1String(kFilter));
    if (!f.isEmpty())
        edDest->setText(f);
}

void TUNIXConvForm::startConversion()
{
    m_busy = true;
    btNext->setEnabled(false);
    btBack->setEnabled(false);
    pBar->setValue(0);
    Label12->setText(conversionProgressText(0, 0));
    m_cancel = std::make_shared<std::atomic_bool>(false);
    const auto direction = radWin2UNIX->isChecked() ? LineBreakDirection::WindowsToUnix
                                                    : LineBreakDirection::UnixToWindows;
    QPointer<TUNIXConvForm> self(this);
    auto progressTo = [self](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
                self,
                [self, done, total] {
                    if (!self || !self->m_busy)
                        return;
                    self->Label12->setText(conversionProgressText(done, total));
                    self->pBar->setValue(total > 0 ? int(done * 100 / total) : 100);
                },
                Qt::QueuedConnection);
    };
    workerPool()->start([self, progressTo, direction, cancel = m_cancel, src = edSrc->text(),
                         dest = edDest->text()] {
        bool ok = true;
        QString text;
        try {
            const ConversionResult r = convertLineBreaks(src, dest, direction, progressTo,
                                                         cancel.get());
            text = conversionDoneText(r, direction);
        } catch (const AppError &e) {
            ok = false;
            text = e.message();
        }
        QMetaObject::invokeMethod(
                self,
                [self, ok, text] {
                    if (self)
                        self->finishConversion(ok, text);
                },
                Qt::QueuedConnection);
    });
}

void TUNIXConvForm::finishConversion(bool ok, const QString &text)
{
    m_busy = false;
    btNext->setEnabled(true);
    btBack->setEnabled(true);
    Label12->setText(text);
    if (ok)
        pBar->setValue(100);
    else if (isVisible())
        Prompts::error(this, text);
    emit conversionDone();
}

void TUNIXConvForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    reject();
}

void TUNIXConvForm::reject()
{
    // Cancel ends a run that is going; its destination stays as it was.
    if (m_busy && m_cancel)
        m_cancel->store(true);
    ZoomHide(this);
}
