#include "ui/editor/editorlayout.h"

#include "core/editor/longlines.h"
#include "ui/editor/rowbreaks.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Lines never wrap in a script editor: any width will do, as long as it is wide.
constexpr qreal kLineWidth = 1 << 20;
// Wider than any editor will be.
constexpr int kFirstViewWidth = 1 << 15;

} // namespace

EditorLayout::EditorLayout(QTextDocument *doc)
    : QPlainTextDocumentLayout(doc)
{}

void EditorLayout::layOut(const QTextBlock &block) const
{
    QTextDocument *doc = document();
    QTextLayout *layout = block.layout();
    layout->setTextOption(doc->defaultTextOption());
    const qreal margin = doc->documentMargin();
    qreal height = 0;
    qreal width = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(kLineWidth);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        width = std::max(width, line.naturalTextWidth() + 2 * margin);
    }
    layout->endLayout();
    // The character a row break stands in for is shown after the row: room to scroll to it.
    const QTextBlock next = block.next();
    if (RowBreaks::before(next) && !LongLines::isBlank(RowBreaks::standsFor(next)))
        width += QFontMetricsF(doc->defaultFont()).horizontalAdvance(RowBreaks::standsFor(next));
    const int linesBefore = doc->lineCount();
    QTextBlock b = block;
    b.setLineCount(block.isVisible() ? layout->lineCount() : 0);
    auto *self = const_cast<EditorLayout *>(this);
    if (width > m_widest) {
        m_widest = width;
        emit self->documentSizeChanged(documentSize());
    } else if (doc->lineCount() != linesBefore) {
        emit self->documentSizeChanged(documentSize());
    }
}

QRectF EditorLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return {};
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        layOut(block);
    if (!block.isVisible())
        return {};
    qreal height = 0;
    qreal width = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        height = line.y() + line.height();
        width = std::max(width, line.naturalTextWidth());
    }
    const qreal margin = document()->documentMargin();
    QRectF r(0, 0, width + 2 * margin, height);
    if (!block.next().isValid())
        r.adjust(0, 0, 0, margin);
    return r;
}

QSizeF EditorLayout::documentSize() const
{
    return QSizeF(m_widest, document()->lineCount());
}

void EditorLayout::formatsChanged(int from, int length)
{
    m_settling = true;
    document()->markContentsDirty(from, length);
    m_settling = false;
}

void EditorLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    if (m_settling)
        return;
    QTextDocument *doc = document();
    const int blocks = doc->blockCount();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1));
    bool visibilityChanged = false;
    if (first == last && blocks == m_blockCount) {
        // Typing in one line: lay it out again at once, as its height decides what moves.
        if (first.isValid() && first.length() > 0) {
            QTextBlock b = first;
            const bool wasShown = b.layout()->lineCount() > 0;
            const qreal height = wasShown ? blockBoundingRect(b).height() : -1;
            b.clearLayout();
            layOut(b);
            if (wasShown && blockBoundingRect(b).height() == height) {
                emit updateBlock(b);
                return;
            }
        }
    } else {
        // Lines come and go: they are laid out when they are shown (no layout is made here).
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            b.clearLayout();
            if (b.isVisible() ? b.lineCount() == 0 : b.lineCount() > 0) {
                visibilityChanged = true;
                b.setLineCount(b.isVisible() ? 1 : 0);
            }
            if (b == last)
                break;
        }
    }
    if (blocks != m_blockCount || visibilityChanged) {
        m_blockCount = blocks;
        emit documentSizeChanged(documentSize());
    }
    emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
}

EditorDocuments::EditorDocuments(QWidget *owner)
    : m_firstView(new QPlainTextEdit(owner))
    , m_parking(new QTextDocument(m_firstView))
{
    m_firstView->setAttribute(Qt::WA_DontShowOnScreen);
    m_firstView->hide();
    m_firstView->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_firstView->setFocusPolicy(Qt::NoFocus);
    m_parking->setDocumentLayout(new QPlainTextDocumentLayout(m_parking));
    m_firstView->setDocument(m_parking);
    // A hidden widget hears of its size only when shown: lay out its viewport now.
    const QSize oldSize = m_firstView->size();
    m_firstView->resize(kFirstViewWidth, 64);
    QResizeEvent resized(m_firstView->size(), oldSize);
    QCoreApplication::sendEvent(m_firstView, &resized);
}

QTextDocument *EditorDocuments::make(const QFont &font, const QTextOption &option) const
{
    auto *doc = new QTextDocument;
    doc->setDocumentLayout(new EditorLayout(doc));
    doc->setDefaultFont(font);
    doc->setDefaultTextOption(option);
    // The hidden view becomes the document's first view while the document is empty.
    m_firstView->setDocument(doc);
    m_firstView->setDocument(m_parking);
    return doc;
}
