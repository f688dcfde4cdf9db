#include "ui/editor/bracketmarks.h"

#include "ui/editor/rowbreaks.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace BracketMarks {

namespace {

QTextEdit::ExtraSelection mark(QTextDocument *doc, int pos, const QColor &background,
                               const QColor &foreground = QColor())
{
    QTextEdit::ExtraSelection s;
    s.cursor = QTextCursor(doc);
    s.cursor.setPosition(pos);
    s.cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
    s.format.setBackground(background);
    if (foreground.isValid())
        s.format.setForeground(foreground);
    return s;
}

} // namespace

Brackets::ChunkReader chunks(const QTextDocument *doc, const std::vector<int> &rowBreaks)
{
    // A row at a time, and the next or previous row without looking it up: the search reads
    // them in order. No cursor: it would lay out every row it passes.
    QTextBlock last;
    int lastStart = -1;
    return [doc, &rowBreaks, last, lastStart](int pos) mutable {
        if (lastStart >= 0 && pos == lastStart + last.length()) {
            last = last.next();
            lastStart = pos;
        } else if (lastStart > 0 && pos == lastStart - 1) {
            last = last.previous();
            lastStart -= last.length();
        } else {
            last = doc->findBlock(pos);
            lastStart = last.position();
        }
        QString text = last.text();
        const QTextBlock next = last.next();
        if (next.isValid()) {
            const int end = lastStart + last.length() - 1;
            const bool rowBreak = std::binary_search(rowBreaks.begin(), rowBreaks.end(), end);
            text += rowBreak ? RowBreaks::standsFor(next) : QChar(u'\n');
        }
        return Brackets::Chunk{lastStart, text};
    };
}

QList<QTextEdit::ExtraSelection> at(QTextDocument *doc, const std::vector<int> &rowBreaks, int caret)
{
    const Brackets::Match m = Brackets::atCaret(chunks(doc, rowBreaks), doc->characterCount() - 1,
                                                caret, kReach);
    switch (m.found) {
    case Brackets::Found::Partner:
        return {mark(doc, m.bracket, QColor(0, 128, 128)),
                mark(doc, m.partner, QColor(0, 128, 128))};
    case Brackets::Found::Unmatched:
        return {mark(doc, m.bracket, QColor(200, 0, 0), Qt::white)};
    case Brackets::Found::Nothing:
    case Brackets::Found::TooFar:
        break;
    }
    return {};
}

} // namespace BracketMarks
