#include "ui/editor/highlighter.h"

#include "ui/editor/documenttext.h"
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

ScriptHighlighter::ScriptHighlighter(QTextDocument *doc, QObject *parent)
    : QObject(parent)
{
    m_aquaFormat.setForeground(QColor(0, 255, 255));
    attach(doc);
}

ScriptHighlighter::~ScriptHighlighter()
{
    disconnect(m_changeConnection);
}

void ScriptHighlighter::attach(QTextDocument *doc, const QString &plainText)
{
    disconnect(m_changeConnection);
    m_doc = doc;
    const bool given = !plainText.isEmpty() && plainText.size() == doc->characterCount() - 1;
    m_store.reset(given ? plainText : DocumentText::plainText(doc));
    // The document reports a change before its layout follows it, so formats set here are
    // laid out with the edited text.
    m_changeConnection = connect(doc, &QTextDocument::contentsChange, this,
                                 &ScriptHighlighter::onContentsChange);
}

void ScriptHighlighter::setPainter(std::shared_ptr<const PatternPainter> painter,
                                   std::vector<QTextCharFormat> formats)
{
    m_store.setPainter(std::move(painter));
    m_formats = std::move(formats);
}

void ScriptHighlighter::onContentsChange(int pos, int removed, int added)
{
    const int docSize = m_doc->characterCount() - 1;
    QTextCursor c(m_doc);
    c.setPosition(std::min(pos, docSize));
    c.setPosition(std::min(pos + added, docSize), QTextCursor::KeepAnchor);
    QString inserted = c.selectedText();
    inserted.replace(QChar::ParagraphSeparator, u'\n');
    const bool changed = m_store.edit(pos, removed, inserted).has_value();
    if (m_store.text().size() != docSize) // should not happen; never let the mirror drift
        m_store.edit(0, int(m_store.text().size()), DocumentText::plainText(m_doc));
    // The edited blocks show their shifted colours; the layout is redone by the document. The
    // document may have rebuilt more blocks than the store saw change (a paste at the very
    // start rebuilds the first line's), so all it reported get their formats again.
    reformat(pos, pos + int(inserted.size()), false);
    if (changed && m_store.busy())
        scheduleSlice();
}

QList<QTextLayout::FormatRange> ScriptHighlighter::rangesFor(const QTextBlock &block) const
{
    QList<QTextLayout::FormatRange> ranges;
    const PaintSpans &spans = m_store.spans();
    if (spans.empty())
        return ranges;
    const int bp = block.position();
    const int be = bp + block.length() - 1;
    for (auto it = m_store.firstEndingAfter(bp); it != spans.end() && it->start < be; ++it) {
        const int from = std::max(it->start, bp);
        const int to = std::min(it->end(), be);
        if (to <= from)
            continue;
        const bool known = it->definition >= 0 && it->definition < int(m_formats.size());
        ranges.append(
                {from - bp, to - from, known ? m_formats[size_t(it->definition)] : m_aquaFormat});
    }
    return ranges;
}

void ScriptHighlighter::run(int offset, int budgetMs)
{
    m_store.run(offset);
    step(budgetMs);
}

void ScriptHighlighter::finish()
{
    while (m_store.busy())
        step(1 << 30);
}

void ScriptHighlighter::step(int budgetMs)
{
    m_sliceScheduled = false;
    // Re-formatting costs more than painting: it is done within the slice's budget.
    const SpanStore::Slice slice = m_store.step(budgetMs, [this](SpanStore::Range r) {
        reformat(r.from, r.to, true);
    });
    if (slice.finished) {
        emit runFinished();
    } else if (m_store.busy()) {
        emit progress(slice.percent);
        scheduleSlice();
    }
}

void ScriptHighlighter::reformat(int from, int to, bool relayout)
{
    if (!m_doc || to < from)
        return;
    QTextBlock b = m_doc->findBlock(from);
    const int first = b.isValid() ? b.position() : from;
    int last = first;
    while (b.isValid() && b.position() <= to) {
        QList<QTextLayout::FormatRange> ranges = rangesFor(b);
        QTextLayout *layout = b.layout();
        if (layout && (!ranges.isEmpty() || !layout->formats().isEmpty())
            && layout->formats() != ranges)
            layout->setFormats(ranges);
        last = b.position() + b.length();
        b = b.next();
    }
    // One notice for the whole range: the layout redoes only the blocks it shows.
    if (relayout)
        m_doc->markContentsDirty(first, std::min(last, m_doc->characterCount()) - first);
}

void ScriptHighlighter::scheduleSlice()
{
    if (m_sliceScheduled)
        return;
    m_sliceScheduled = true;
    QTimer::singleShot(0, this, [this] {
        if (m_sliceScheduled)
            step(8);
    });
}
