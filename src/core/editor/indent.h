#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Indentation and line comments of a script, line by line: what a new line starts with, what
// Tab inserts, one level more or less for a line, and "#" comments on and off for a set of lines.
namespace Indent {

struct Style
{
    int tabWidth = 4;    // columns from one tab stop to the next
    bool spaces = false; // Tab and a new level insert blanks instead of a tab character
};

// One level of indentation.
QString level(const Style &style);
// The blanks and tabs a line starts with.
QStringView leading(QStringView line);
// What a line broken after beforeCaret (its text from the line's start to the caret) goes on
// with: the blanks the line starts with, and one level more when what stands before the caret
// ends in "{" (blanks after it aside).
QString newLine(QStringView beforeCaret, const Style &style);
// What Tab inserts after beforeCaret: a tab, or blanks up to the next tab stop.
QString tab(QStringView beforeCaret, const Style &style);

// A change to one line: from column at, removed characters give way to inserted.
struct Edit
{
    int at = 0;
    int removed = 0;
    QString inserted;

    bool isEmpty() const { return removed == 0 && inserted.isEmpty(); }
    int growth() const { return int(inserted.size()) - removed; }
    bool operator==(const Edit &o) const
    {
        return at == o.at && removed == o.removed && inserted == o.inserted;
    }
};

// One level more at the start of the line; an empty line stays empty.
Edit indented(QStringView line, const Style &style);
// One level less: the leading blanks and tabs up to the first tab stop.
Edit outdented(QStringView line, const Style &style);
// When every line that is not blank starts with "#" (after blanks), the first "#" of each goes;
// otherwise each line that is not blank gets "#" in its first column. Blank lines stay as they
// are, unless there are only blank lines: those are commented. One edit per line.
QList<Edit> commentToggled(const QStringList &lines);

} // namespace Indent
