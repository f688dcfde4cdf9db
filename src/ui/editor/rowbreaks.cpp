#include "ui/editor/rowbreaks.h"

#include "core/editor/longlines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace RowBreaks {

namespace {

constexpr int kRowBreakObject = QTextFormat::UserObject + 0x52;
constexpr int kStandsForProperty = QTextFormat::UserProperty + 0x52;
const char *const kMayHoldProperty = "quillforgeRowBreaks";

// Text inserted at a cursor takes the cursor's format without what makes a row break.
QTextCharFormat insertionFormat(const QTextCursor &cursor)
{
    QTextCharFormat f = cursor.charFormat();
    f.clearProperty(QTextFormat::ObjectType);
    f.clearProperty(kStandsForProperty);
    return f;
}

// Inserts text with its long lines in rows; breaks are positions in text.
void insertInRows(QTextCursor &cursor, const QString &text, const std::vector<int> &breaks,
                  const QTextCharFormat &textFormat)
{
    int start = 0;
    for (const int at : breaks) {
        if (at > start)
            cursor.insertText(text.mid(start, at - start), textFormat);
        cursor.insertBlock(cursor.blockFormat(), format(text.at(at)));
        start = at + 1;
    }
    if (start < text.size())
        cursor.insertText(text.mid(start), textFormat);
}

} // namespace

QTextCharFormat format(QChar c)
{
    QTextCharFormat f;
    f.setObjectType(kRowBreakObject);
    f.setProperty(kStandsForProperty, int(c.unicode()));
    return f;
}

// before() for a block known to be valid and not the first: it spares the position lookup,
// which costs as much as the format's when every block of a large change is looked at.
static bool followsRowBreak(const QTextBlock &block)
{
    return block.charFormat().objectType() == kRowBreakObject;
}

bool before(const QTextBlock &block)
{
    return block.isValid() && block.position() > 0 && followsRowBreak(block);
}

QChar standsFor(const QTextBlock &block)
{
    return QChar(char16_t(block.charFormat().intProperty(kStandsForProperty)));
}

bool mayHold(const QTextDocument *doc)
{
    return doc && doc->property(kMayHoldProperty).toBool();
}

void fill(QTextDocument *doc, const QString &text, const std::vector<int> &breaks)
{
    if (breaks.empty()) {
        doc->setPlainText(text);
        return;
    }
    doc->setProperty(kMayHoldProperty, true);
    doc->setPlainText(QString());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    insertInRows(cursor, text, breaks, QTextCharFormat());
    cursor.endEditBlock();
}

void insert(QTextCursor &cursor, const QString &text)
{
    const std::vector<int> breaks = LongLines::rowBreaks(text);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (!breaks.empty())
        cursor.document()->setProperty(kMayHoldProperty, true);
    insertInRows(cursor, text, breaks, insertionFormat(cursor));
    cursor.endEditBlock();
}

QString text(const QTextDocument *doc, int from, int to)
{
    QTextCursor c(const_cast<QTextDocument *>(doc));
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    QString t = c.selectedText();
    if (mayHold(doc)) {
        const QTextBlock first = doc->findBlock(from);
        int at = first.position() + first.length();
        for (QTextBlock b = first.next(); b.isValid() && at <= to; at += b.length(), b = b.next()) {
            if (followsRowBreak(b))
                t[at - 1 - from] = standsFor(b);
        }
    }
    t.replace(QChar::ParagraphSeparator, u'\n');
    return t;
}

QString text(const QTextDocument *doc)
{
    QString t = doc->toRawText();
    // The raw text may carry the final block's separator; positions end before it.
    const qsizetype size = doc->characterCount() - 1;
    if (t.size() > size)
        t.truncate(size);
    if (mayHold(doc)) {
        int at = doc->begin().length();
        for (QTextBlock b = doc->begin().next(); b.isValid(); at += b.length(), b = b.next()) {
            if (followsRowBreak(b))
                t[at - 1] = standsFor(b);
        }
    }
    t.replace(QChar::ParagraphSeparator, u'\n');
    return t;
}

void Index::update(const QTextDocument *doc, int pos, int removed, int added)
{
    if (!mayHold(doc))
        return;
    // Row breaks in what was replaced go; those after it move; those inserted come in.
    const auto first = std::lower_bound(m_at.begin(), m_at.end(), pos);
    const auto last = std::lower_bound(first, m_at.end(), pos + removed);
    for (auto it = last; it != m_at.end(); ++it)
        *it += added - removed;
    std::vector<int> inserted;
    const QTextBlock firstBlock = doc->findBlock(pos);
    int next = firstBlock.position() + firstBlock.length();
    for (QTextBlock b = firstBlock.next(); b.isValid() && next <= pos + added;
         next += b.length(), b = b.next()) {
        if (followsRowBreak(b))
            inserted.push_back(next - 1);
    }
    const auto at = m_at.erase(first, last);
    m_at.insert(at, inserted.begin(), inserted.end());
}

LinePosition Index::at(const QTextDocument *doc, int pos) const
{
    const QTextBlock block = doc->findBlock(pos);
    if (!block.isValid())
        return {};
    const int number = block.blockNumber();
    const int start = block.position();
    const int before = int(std::lower_bound(m_at.begin(), m_at.end(), start) - m_at.begin());
    if (before == 0 || m_at[size_t(before - 1)] != start - 1)
        return {number - before, pos - start};
    // The caret's row follows a row break: its line starts at the first of the row breaks
    // last..before-1 such that the rows after them are the consecutive blocks up to the
    // caret's. Whether the row after a row break still belongs to the run is decided by its
    // block number, which only falls further behind once a line break comes between.
    const int last = before - 1;
    int lo = 0;
    int hi = last;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (doc->findBlock(m_at[size_t(mid)] + 1).blockNumber() == number - (last - mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    const int lineBlock = number - (last - lo + 1);
    return {lineBlock - lo, pos - doc->findBlockByNumber(lineBlock).position()};
}

} // namespace RowBreaks
