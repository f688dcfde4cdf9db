#pragma once

#include <QChar>
#include <QString>

#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// Very long lines in an editor's document. Qt lays out and shapes a whole line at every key
// typed in it (seconds for a line of megabytes), and its cursor asks the line's layout at every
// move, so no part of a line can be laid out alone. The document therefore holds such a line
// in rows (core/editor/longlines.h): each row ends in a block separator that stands in for one
// character of the text. Such a row break is told from a line break by its character format;
// Qt drops that format's object type from text it types, pastes or breaks lines with, so a row
// break is only ever made here (and brought back by undo and redo). Everything that reads the
// text puts the characters back: positions are the same either way, each row break being one
// character, and the file, rows and columns, find and colours see the text as it is.
namespace RowBreaks {

// The separator format of a row break standing in for c.
QTextCharFormat format(QChar c);
// Whether the separator before block is a row break, and the character it stands in for.
bool before(const QTextBlock &block);
QChar standsFor(const QTextBlock &block);
// Whether the document may hold row breaks: only one filled or pasted into here does.
bool mayHold(const QTextDocument *doc);

// Replaces the document's text by text, long lines in rows; breaks are the places
// LongLines::rowBreaks(text) gave. Undo stays as the caller set it.
void fill(QTextDocument *doc, const QString &text, const std::vector<int> &breaks);
// Inserts text at the cursor in place of its selection, long lines in rows, in one undo step.
void insert(QTextCursor &cursor, const QString &text);

// The text of [from, to): "\n" for each line break, each row break's character put back.
QString text(const QTextDocument *doc, int from, int to);
QString text(const QTextDocument *doc);

// Where a position is in the lines of the text, both from 0.
struct LinePosition
{
    int row = 0;
    int column = 0;
};

// The row breaks of one document by position, kept in step with its edits, for rows and
// columns in the lines of the text.
class Index
{
public:
    void reset(std::vector<int> breaks) { m_at = std::move(breaks); }
    // The document changed as QTextDocument::contentsChange says.
    void update(const QTextDocument *doc, int pos, int removed, int added);
    LinePosition at(const QTextDocument *doc, int pos) const;
    const std::vector<int> &positions() const { return m_at; }

private:
    std::vector<int> m_at;
};

} // namespace RowBreaks
