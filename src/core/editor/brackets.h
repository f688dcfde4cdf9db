#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// The partners of the brackets (), [] and {}. Brackets are counted as they stand: one in a
// string, a comment or a pattern counts like any other, and only brackets of the same kind as
// the one looked at count, so what is shown follows from the characters alone. The search
// reads the text a stretch at a time and gives up after a number of characters, so that it
// costs the same in a script of ten lines and in one of ten megabytes.
namespace Brackets {

// A stretch of the text: where it starts and its characters.
struct Chunk
{
    int start = 0;
    QString text;
};
// The stretch holding position pos, for 0 <= pos < the length of the text; never empty.
using ChunkReader = std::function<Chunk(int pos)>;

// A text held whole, read a line (with its line break) at a time.
ChunkReader lines(const QString &text);

bool isBracket(QChar c);

enum class Found {
    Nothing,   // no bracket there
    Partner,   // the partner is at partner
    Unmatched, // the text ends before a partner comes
    TooFar,    // no partner within the characters looked at
};

struct Match
{
    Found found = Found::Nothing;
    int bracket = -1; // where the bracket is
    int partner = -1;

    bool operator==(const Match &o) const
    {
        return found == o.found && bracket == o.bracket && partner == o.partner;
    }
};

// The partner of the bracket at pos, looking at no more than limit characters past it.
// length is the length of the text.
Match partnerOf(const ChunkReader &read, int length, int pos, int limit);
// The bracket at a caret: the character after it when that is a bracket, else the one before.
Match atCaret(const ChunkReader &read, int length, int caret, int limit);

} // namespace Brackets
