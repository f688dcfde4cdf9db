#pragma once

#include <QChar>
#include <QStringView>

#include <vector>

// Where a very long line is broken into rows on screen. Laying out a line costs time in
// proportion to its length at every key typed in it, so a line of more than kLongLine
// characters is shown in rows of at most kRowChars. A row ends at its last blank or tab past
// half its length, and the row break takes the place of that character; a stretch without
// blanks ends after kRowChars characters, and the row break stands in for the character there.
// The text itself keeps every character: positions, rows and columns are those of the text.
namespace LongLines {

inline constexpr int kLongLine = 10000;
inline constexpr int kRowChars = 100;

// Whether a row break can stand in for c: not half of a surrogate pair, and nothing that the
// editor takes for a line break itself.
bool canStandIn(QChar c);
inline bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Positions of the characters that row breaks stand in for, ascending.
std::vector<int> rowBreaks(QStringView text);

} // namespace LongLines
