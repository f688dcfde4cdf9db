#include "ui/templates/pagescroller.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

namespace {

QToolButton *arrow(QWidget *parent, Qt::ArrowType type, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setArrowType(type);
    b->setAutoRaise(true);
    b->setAutoRepeat(true);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setFixedWidth(14);
    b->hide();
    return b;
}

} // namespace

PageScroller::PageScroller(QWidget *parent)
    : QWidget(parent)
    , m_area(new QScrollArea(this))
    , m_left(arrow(this, Qt::LeftArrow, QStringLiteral("Scroll left")))
    , m_right(arrow(this, Qt::RightArrow, QStringLiteral("Scroll right")))
{
    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setWidgetResizable(false);
    m_area->setBackgroundRole(QPalette::Window);
    h->addWidget(m_left);
    h->addWidget(m_area, 1);
    h->addWidget(m_right);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(m_left, &QToolButton::clicked, this, [this] { scrollBy(-1); });
    connect(m_right, &QToolButton::clicked, this, [this] { scrollBy(1); });
    connect(m_area->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &PageScroller::updateArrows);
    connect(m_area->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            &PageScroller::updateArrows);
}

void PageScroller::setWidget(QWidget *content)
{
    m_area->setWidget(content);
    contentChanged();
}

int PageScroller::contentWidth() const
{
    return m_area->widget() ? m_area->widget()->sizeHint().width() : 0;
}

void PageScroller::contentChanged()
{
    if (QWidget *w = m_area->widget())
        w->resize(w->sizeHint());
    updateGeometry();
    updateArrows();
}

QSize PageScroller::sizeHint() const
{
    const QSize content = m_area->widget() ? m_area->widget()->sizeHint() : QSize(0, 22);
    return {content.width(), std::max(content.height(), 22)};
}

QSize PageScroller::minimumSizeHint() const
{
    // Room for the arrows and at least one button.
    return {std::min(sizeHint().width(), 2 * m_left->width() + 40), sizeHint().height()};
}

void PageScroller::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    updateArrows();
}

void PageScroller::wheelEvent(QWheelEvent *e)
{
    const int delta = e->angleDelta().y() ? e->angleDelta().y() : e->angleDelta().x();
    if (delta)
        scrollBy(delta > 0 ? -1 : 1);
    e->accept();
}

void PageScroller::scrollBy(int pages)
{
    QScrollBar *bar = m_area->horizontalScrollBar();
    bar->setValue(bar->value() + pages * std::max(16, m_area->viewport()->width() - 32));
}

void PageScroller::updateArrows()
{
    const QScrollBar *bar = m_area->horizontalScrollBar();
    const bool overflow = bar->maximum() > 0;
    m_left->setVisible(overflow);
    m_right->setVisible(overflow);
    m_left->setEnabled(bar->value() > bar->minimum());
    m_right->setEnabled(bar->value() < bar->maximum());
}
