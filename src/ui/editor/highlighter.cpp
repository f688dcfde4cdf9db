#include "ui/editor/highlighter.h"

#include "ui/editor/rowbreaks.h"

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
    m_store.reset(given ? plainText : RowBreaks::text(doc));
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
    const QString inserted = RowBreaks::text(m_doc, std::min(pos, docSize),
                                             std::min(pos + added, docSize));
    const std::optional<SpanStore::Range> changed = m_store.edit(pos, removed, inserted);
    if (m_store.text().size() != docSize) // should not happen; never let the mirror drift
        m_store.edit(0, int(m_store.text().size()), RowBreaks::text(m_doc));
    if (!changed)
        return;
    emit coloursChanged(changed->from, changed->to);
    if (m_store.busy())
        scheduleSlice();
}

QList<QTextLayout::FormatRange> ScriptHighlighter::rangesFor(int from, int to) const
{
    QList<QTextLayout::FormatRange> ranges;
    const PaintSpans &spans = m_store.spans();
    for (auto it = m_store.firstEndingAfter(from); it != spans.end() && it->start < to; ++it) {
        const int a = std::max(it->start, from);
        const int b = std::min(it->end(), to);
        if (b <= a)
            continue;
        const bool known = it->definition >= 0 && it->definition < int(m_formats.size());
        ranges.append({a - from, b - a, known ? m_formats[size_t(it->definition)] : m_aquaFormat});
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
    const SpanStore::Slice slice = m_store.step(budgetMs, [this](SpanStore::Range r) {
        emit coloursChanged(r.from, r.to);
    });
    if (slice.finished) {
        emit runFinished();
    } else if (m_store.busy()) {
        emit progress(slice.percent);
        scheduleSlice();
    }
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
