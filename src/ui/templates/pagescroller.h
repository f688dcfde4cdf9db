#pragma once

#include <QWidget>

class QScrollArea;
class QToolButton;

// Shows a row of buttons in the room it gets; when the row is wider, arrows at both ends (and
// the mouse wheel) scroll it a page at a time.
class PageScroller : public QWidget
{
    Q_OBJECT
public:
    explicit PageScroller(QWidget *parent = nullptr);

    void setWidget(QWidget *content);
    // The row changed its width: ask for room again and show the arrows it needs.
    void contentChanged();
    int contentWidth() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void scrollBy(int pages);
    void updateArrows();

    QScrollArea *m_area;
    QToolButton *m_left;
    QToolButton *m_right;
};
