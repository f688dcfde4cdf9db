#include "ui/run/codeprev.h"

#include "ui/common/icons.h"
#include "ui/common/zoom.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kLineStep = 10;
constexpr int kLeft = 4;
} // namespace

class TCodePrevForm::Image : public QWidget
{
public:
    explicit Image(TCodePrevForm *form)
        : QWidget(form)
        , m_form(form)
    {
        setObjectName(QStringLiteral("Image1"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setFont(drawingFont());
        p.setPen(palette().color(QPalette::ToolTipText));
        const QFontMetrics fm(p.font());
        const QStringList &lines = m_form->lines();
        for (int i = 0; i < lines.size(); ++i)
            p.drawText(kLeft, kLineStep * i + fm.ascent(), lines[i]);
    }

private:
    TCodePrevForm *m_form;
};

TCodePrevForm::TCodePrevForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CodePrevForm"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    setPalette(pal);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(1, 1, 1, 1);
    v->setSpacing(0);
    m_strip = new QWidget(this);
    m_strip->setObjectName(QStringLiteral("Panel1"));
    m_strip->setAutoFillBackground(true);
    m_strip->setBackgroundRole(QPalette::Dark);
    auto *h = new QHBoxLayout(m_strip);
    h->setContentsMargins(4, 1, 1, 1);
    auto *caption = new QLabel(QStringLiteral(" Code review"), m_strip);
    caption->setObjectName(QStringLiteral("Panel2"));
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    caption->setForegroundRole(QPalette::BrightText);
    h->addWidget(caption, 1);
    auto *close = new QToolButton(m_strip);
    close->setObjectName(QStringLiteral("Panel3"));
    close->setToolTip(QStringLiteral("Close"));
    close->setAutoRaise(true);
    close->setIcon(themeIcon("window-close", QStyle::SP_TitleBarCloseButton));
    close->setIconSize(QSize(10, 10));
    close->setFixedSize(16, 16);
    h->addWidget(close);
    v->addWidget(m_strip);

    m_image = new Image(this);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(m_image);
    scroll->setWidgetResizable(false);
    scroll->viewport()->setBackgroundRole(QPalette::ToolTipBase);
    v->addWidget(scroll, 1);
    connect(close, &QToolButton::clicked, this, [this] { ZoomHide(this); });
}

QFont TCodePrevForm::drawingFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(5);
    return f;
}

void TCodePrevForm::setLines(const QStringList &lines)
{
    m_lines = lines;
    const QFontMetrics fm(drawingFont());
    // As wide as the widest line (the first line sets the start), plus the margins.
    int width = lines.isEmpty() ? 0 : fm.horizontalAdvance(lines.first());
    int widest = 0;
    for (const QString &line : lines) {
        const int w = fm.horizontalAdvance(line);
        if (w > widest) {
            widest = w;
            width = w + 2;
        }
    }
    const int imageHeight = kLineStep * int(lines.size()) + 4;
    m_image->setFixedSize(kLeft + width + 4, imageHeight);
    m_image->update();
    // Room for the caption strip; the rest grows with the lines up to the screen's height.
    const int minWidth = m_strip->sizeHint().width() + 40;
    const QRect screen = (parentWidget() ? parentWidget()->screen() : this->screen())
                                 ->availableGeometry();
    const int w = qBound(minWidth, kLeft + width + 10, screen.width() / 2);
    const int h = qBound(60, m_strip->sizeHint().height() + imageHeight + 6,
                         screen.height() * 2 / 3);
    // Never below what the layout needs: showing would grow it after it has been placed.
    resize(QSize(w, h).expandedTo(minimumSizeHint()));
}
