#include "ui/editor/bracketmarks.h"

#include "ui/editor/rowbreaks.h"

#include <QTextBlock>
#include <QTextDocument>

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

Brackets::ChunkReader chunks(const QTextDocument *doc)
{
    return [doc](int pos) {
        const QTextBlock block = doc->findBlock(pos);
        QString text = block.text();
        const QTextBlock next = block.next();
        if (next.isValid())
            text += RowBreaks::before(next) ? RowBreaks::standsFor(next) : QChar(u'\n');
        return Brackets::Chunk{block.position(), text};
    };
}

QList<QTextEdit::ExtraSelection> at(QTextDocument *doc, int caret)
{
    const Brackets::Match m = Brackets::atCaret(chunks(doc), doc->characterCount() - 1, caret,
                                                kReach);
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
