#pragma once

#include <QColor>
#include <QLabel>

class QTimer;

// A label that can blink and act as a link: a click opens its address ("mailto:" for one
// that holds "@") with the desktop.
class TBlinkyLabel : public QLabel
{
    Q_OBJECT
public:
    enum class BlinkMode { blBlink, blSwitchColors };

    explicit TBlinkyLabel(QWidget *parent = nullptr);
    explicit TBlinkyLabel(const QString &caption, QWidget *parent = nullptr);

    void setBlinkRate(int ms);
    int blinkRate() const { return m_rate; }
    void setBlink(bool on);
    bool blink() const { return m_blink; }
    void setBlinkMode(BlinkMode mode) { m_mode = mode; }
    BlinkMode blinkMode() const { return m_mode; }
    void setFontColor2(const QColor &c) { m_color2 = c; }
    QColor fontColor2() const { return m_color2; }
    void setURL(const QString &url);
    const QString &URL() const { return m_url; }
    // When set, the caption is the address.
    void setCaptionAsURL(bool on);
    bool captionAsURL() const { return m_captionAsUrl; }
    // The address a click opens.
    QString target() const;
    // Whether the label is in its blinked-off state (hidden or in the second colour).
    bool blinkedOff() const { return m_off; }

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void toggle();
    void applyColor();

    QTimer *m_timer;
    int m_rate = 250;
    bool m_blink = false;
    bool m_off = false;
    BlinkMode m_mode = BlinkMode::blBlink;
    QColor m_color2 = Qt::red;
    QColor m_ownColor; // the colour before blinking began
    QString m_url;
    bool m_captionAsUrl = false;
};
