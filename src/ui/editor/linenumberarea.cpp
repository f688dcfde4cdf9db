#include "ui/editor/linenumberarea.h"

#include "ui/editor/rowbreaks.h"
#include "ui/editor/scripteditor.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBackground(0, 0, 96);
const QColor kNumber(120, 120, 190);
const QColor kCaretLineNumber(255, 255, 0);
const QColor kMarkBackground(200, 30, 30);
const QColor kMarkNumber(255, 255, 255);
// Room on either side of the numbers, in widths of a digit.
constexpr qreal kPadding = 0.75;

} // namespace

LineNumberArea::LineNumberArea(ScriptEditorWidget *editor)
    : QWidget(editor)
    , m_editor(editor)
{
    setObjectName(QStringLiteral("LineNumbers"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int LineNumberArea::widthFor(int lines) const
{
    int digits = 1;
    for (int n = std::max(1, lines); n >= 10; n /= 10)
        ++digits;
    // Room for three digits at least, so that the text does not jump while a script grows.
    QFont bold = m_editor->font();
    bold.setBold(true);
    const qreal digit = QFontMetricsF(bold).horizontalAdvance(QLatin1Char('9'));
    return int(std::ceil(digit * (std::max(digits, 3) + 2 * kPadding)));
}

void LineNumberArea::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect area = e->rect();
    p.fillRect(area, kBackground);
    ScriptEditorWidget *ed = m_editor;
    QTextBlock block = ed->firstVisibleBlock();
    if (!block.isValid())
        return;
    QFont plain = ed->font();
    plain.setBold(false);
    QFont bold = plain;
    bold.setBold(true);
    const QFontMetricsF plainMetrics(plain);
    const QFontMetricsF boldMetrics(bold);
    const qreal right = width() - plainMetrics.horizontalAdvance(QLatin1Char('9')) * kPadding;
    // Rows after the first of a long line carry no number of their own.
    int number = ed->lineOf(block.position()) + 1;
    const int caretLine = ed->lineOf(ed->textCursor().position()) + 1;
    qreal top = ed->blockBoundingGeometry(block).translated(ed->contentOffset()).top();
    while (block.isValid() && top <= area.bottom()) {
        const qreal height = ed->blockBoundingRect(block).height();
        if (block.isVisible() && !RowBreaks::before(block) && top + height >= area.top()) {
            const bool caret = number == caretLine;
            const QString text = QString::number(number);
            const QTextLine line = block.layout()->lineAt(0);
            const qreal baseline = top
                                   + (line.isValid() ? line.y() + line.ascent()
                                                     : plainMetrics.ascent());
            const bool marked = m_marks.contains(number);
            if (marked) {
                const qreal rowHeight = line.isValid() ? line.height() : plainMetrics.height();
                p.fillRect(QRectF(0, top + (line.isValid() ? line.y() : 0), width(), rowHeight),
                           kMarkBackground);
            }
            p.setFont(caret ? bold : plain);
            p.setPen(marked ? kMarkNumber : caret ? kCaretLineNumber : kNumber);
            const qreal x = right - (caret ? boldMetrics : plainMetrics).horizontalAdvance(text);
            p.drawText(QPointF(x, baseline), text);
        }
        top += height;
        block = block.next();
        if (!RowBreaks::before(block))
            ++number;
    }
}

void LineNumberArea::setMarks(QMap<int, QString> marks)
{
    m_marks = std::move(marks);
    update();
}

int LineNumberArea::lineAt(int y) const
{
    const ScriptEditorWidget *ed = m_editor;
    QTextBlock block = ed->firstVisibleBlock();
    if (!block.isValid())
        return 0;
    int number = ed->lineOf(block.position()) + 1;
    qreal top = ed->blockBoundingGeometry(block).translated(ed->contentOffset()).top();
    while (block.isValid() && top <= y) {
        const qreal height = ed->blockBoundingRect(block).height();
        if (block.isVisible() && y < top + height)
            return number;
        top += height;
        block = block.next();
        if (!RowBreaks::before(block))
            ++number;
    }
    return 0;
}

bool LineNumberArea::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(e);
        const QString message = m_marks.value(lineAt(help->pos().y()));
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, this);
        return true;
    }
    return QWidget::event(e);
}
