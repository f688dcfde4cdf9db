#include "ui/shell/setdefform.h"

#include "core/common/messagewait.h"
#include "core/settings/inifile.h"
#include "core/settings/resetdefaults.h"
#include "platform/platform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

namespace {

constexpr int kFrames = 8;

// Tahoma is asked for by name; where it is missing, a face of similar width beats the
// wider desktop default, which would crowd the box.
QFont boxFont(bool bold = false)
{
    QFont f;
    f.setFamilies(
            {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    f.setPointSize(8);
    f.setBold(bold);
    return f;
}

// A magnifier circling over a sheet of paper: eight frames, over and over while shown.
class SearchAnimation : public QWidget
{
public:
    explicit SearchAnimation(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(48, 48);
        m_timer.setInterval(110);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_frame = (m_frame + 1) % kFrames;
            update();
        });
    }

protected:
    void showEvent(QShowEvent *) override { m_timer.start(); }
    void hideEvent(QHideEvent *) override { m_timer.stop(); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);

        const QRectF sheet(9.5, 5.5, 26, 34);
        p.setPen(QPen(QColor(110, 110, 120), 1));
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.setPen(QPen(QColor(170, 175, 190), 1.5));
        for (int i = 0; i < 6; ++i) {
            const qreal y = sheet.top() + 7 + i * 4.5;
            p.drawLine(QPointF(sheet.left() + 4, y), QPointF(sheet.right() - (i % 3 ? 4 : 9), y));
        }

        const qreal angle = m_frame * (2 * M_PI / kFrames);
        const QPointF lens(22 + 7 * qCos(angle), 22 + 7 * qSin(angle));
        const QPointF grip = lens + QPointF(7.5, 7.5);
        p.setPen(QPen(QColor(90, 60, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(grip, grip + QPointF(8, 8));
        p.setPen(QPen(QColor(60, 60, 70), 2.2));
        p.setBrush(QColor(150, 200, 255, 140));
        p.drawEllipse(lens, 8, 8);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
        p.drawArc(QRectF(lens.x() - 5, lens.y() - 5, 10, 10), 100 * 16, 70 * 16);
    }

private:
    QTimer m_timer;
    int m_frame = 0;
};

} // namespace

TSetDefForm::TSetDefForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SetDefForm"));
    setFont(boxFont());
    setFixedSize(347, 52);

    auto *wait = new QLabel(QStringLiteral("Please wait..."), this);
    wait->setFont(boxFont(true));
    auto *setting = new QLabel(QStringLiteral("Setting:"), this);
    m_lSet = new QLabel(QStringLiteral("[...]"), this);
    m_lSet->setObjectName(QStringLiteral("lSet"));

    auto *step = new QHBoxLayout;
    step->setSpacing(6);
    step->addWidget(setting);
    step->addWidget(m_lSet, 1);

    auto *text = new QVBoxLayout;
    text->setSpacing(2);
    text->addStretch();
    text->addWidget(wait);
    text->addLayout(step);
    text->addStretch();

    auto *box = new QHBoxLayout(this);
    box->setContentsMargins(4, 2, 10, 2);
    box->setSpacing(10);
    box->addWidget(new SearchAnimation(this));
    box->addLayout(text, 1);
}

void TSetDefForm::setValues(const QString &perl, const QString &webServer, bool runWebServer)
{
    m_perl = perl;
    m_webServer = webServer;
    m_runWebServer = runWebServer;
}

QString TSetDefForm::currentLabel() const
{
    return m_lSet->text();
}

bool TSetDefForm::WriteDefaults(TIniFile &settings)
{
    ResetValues values;
    values.perl = m_perl;
    values.webServer = m_webServer;
    values.runWebServer = m_runWebServer;
    values.runAutoSaveAs = Platform::defaultRunAutoSaveAs();
    values.command = Platform::defaultCommandInterpreter();
    values.localHost = Platform::localHttpAddress();

    for (const ResetStep &step : resetSteps(values)) {
        m_lSet->setText(step.label);
        m_lSet->repaint();
        if (!step.write) {
            // The closing step writes nothing; it only lets the last label be seen.
            ProcessMessages();
            continue;
        }
        MessageWait(m_stepDelayMs);
        step.write(settings);
    }
    return true;
}

void TSetDefForm::showEvent(QShowEvent *event)
{
    if (const QScreen *s = screen()) {
        QRect r = rect();
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
    QWidget::showEvent(event);
    repaint();
}

void TSetDefForm::paintEvent(QPaintEvent *)
{
    // Without a frame of its own the box needs an edge to stand out from what lies below.
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(palette().color(QPalette::Shadow));
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
}
