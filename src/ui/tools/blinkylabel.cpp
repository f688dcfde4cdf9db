#include "ui/tools/blinkylabel.h"

#include "platform/desktoptools.h"
#include "platform/launcher.h"

#include <QMouseEvent>
#include <QTimer>

TBlinkyLabel::TBlinkyLabel(QWidget *parent)
    : TBlinkyLabel(QString(), parent)
{}

TBlinkyLabel::TBlinkyLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(m_rate);
    connect(m_timer, &QTimer::timeout, this, &TBlinkyLabel::toggle);
}

void TBlinkyLabel::setBlinkRate(int ms)
{
    m_rate = qMax(1, ms);
    m_timer->setInterval(m_rate);
}

void TBlinkyLabel::setBlink(bool on)
{
    if (on && !m_blink)
        m_ownColor = palette().color(QPalette::WindowText);
    m_blink = on;
    if (on) {
        m_timer->start();
        return;
    }
    m_timer->stop();
    m_off = false;
    applyColor();
    update();
}

void TBlinkyLabel::toggle()
{
    // Blinking keeps the label's place in its layout: it is painted empty, not hidden.
    m_off = !m_off;
    if (m_mode == BlinkMode::blSwitchColors)
        applyColor();
    update();
}

void TBlinkyLabel::applyColor()
{
    QPalette p = palette();
    if (!m_ownColor.isValid())
        return;
    p.setColor(QPalette::WindowText,
               m_off && m_mode == BlinkMode::blSwitchColors ? m_color2 : m_ownColor);
    setPalette(p);
}

void TBlinkyLabel::setURL(const QString &url)
{
    m_url = url;
    QFont f = font();
    f.setUnderline(!url.isEmpty());
    setFont(f);
    if (url.isEmpty())
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    if (m_captionAsUrl)
        setText(url);
}

void TBlinkyLabel::setCaptionAsURL(bool on)
{
    m_captionAsUrl = on;
    if (on)
        setText(m_url);
}

QString TBlinkyLabel::target() const
{
    if (m_url.isEmpty())
        return {};
    if (m_url.contains(u'@') && !m_url.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return QStringLiteral("mailto:") + m_url;
    return m_url;
}

void TBlinkyLabel::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && !m_url.isEmpty() && rect().contains(e->pos()))
        Platform::Launcher::instance().openWithDesktop(target());
}

void TBlinkyLabel::paintEvent(QPaintEvent *e)
{
    if (m_off && m_mode == BlinkMode::blBlink)
        return;
    QLabel::paintEvent(e);
}
