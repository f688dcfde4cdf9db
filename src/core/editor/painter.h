#pragma once

#include "core/editor/colordefs.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <utility>
#include <vector>

// One painted range. Positions count UTF-16 units with each line break ("\n") one character,
// as QTextDocument does; definition indexes the list the painter was made from.
struct PaintSpan
{
    int start = 0;
    int length = 0;
    int definition = 0;

    int end() const { return start + length; }
    bool operator==(const PaintSpan &o) const
    {
        return start == o.start && length == o.length && definition == o.definition;
    }
};
using PaintSpans = std::vector<PaintSpan>;

// The editor's default text colour (yellow, 0x00BBGGRR).
inline constexpr int kEditorDefaultColor = 0x0000FFFF;

// Paints text with the definitions, one after the other in list order, by plain case-sensitive
// search. A definition's range is painted unless an earlier definition already painted its
// first character; a range that is painted covers everything inside it. Scopes: 0 every
// occurrence of the pattern; 1 every occurrence with a blank before and after (the blank before
// is painted); 2 from the pattern to the end of its line; 3 between the pattern's first
// character and the next occurrence of that character. Scope 2 and 3 ranges longer than 255
// characters are not painted, and the search goes on right after the pattern's first
// character: a stray quote then costs one pair, not the pairing of the rest of the text.
// Empty patterns, patterns with a line break and other scope digits paint nothing.
//
// The result is the same whatever the text was painted with before: a run is meant to replace
// the colours of the text it covers.
class PatternPainter
{
public:
    // Paint in defaultColor leaves the text looking unpainted, so it does not stop later
    // definitions (the editor cannot tell such text from unpainted text).
    explicit PatternPainter(const ColorDefinitions &defs, int defaultColor = kEditorDefaultColor);

    int definitionCount() const { return int(m_defs.size()); }

    // The spans of a whole-text run that end after startOffset, sorted, without overlaps, and
    // adjacent spans of one definition joined. The first may begin before startOffset: a
    // construct that crosses it comes out whole. So a caller that resets the text from
    // min(startOffset, first span's start) and applies the spans gets whole-text colours there
    // while the text before keeps its own.
    PaintSpans paint(QStringView text, int startOffset = 0) const;

private:
    friend class PaintRun;

    struct Def
    {
        QString pattern;
        int scope = -1;
        bool claims = true;
    };
    // Definitions that may match where a character stands: [begin, end) of m_order.
    struct Bucket
    {
        int begin = 0;
        int end = 0;
    };
    Bucket direct(char16_t c) const;
    Bucket word(char16_t c) const;

    std::vector<Def> m_defs;
    // Definitions by the character that starts a match: the pattern's first character for
    // scopes 0, 2 and 3; for scope 1 the pattern's first character after a blank. In list
    // order within each character.
    std::vector<int> m_order;
    std::array<Bucket, 128> m_direct{};
    std::array<Bucket, 128> m_word{};
    QHash<char16_t, Bucket> m_directWide;
    QHash<char16_t, Bucket> m_wordWide;
    // A cheap filter before the buckets: may a match start with these two characters? Only
    // ASCII first characters are filtered; the others go to the buckets when any is in use.
    struct PairFilter
    {
        enum : quint8 { AnyNext = 1, SomeNext = 2 };
        std::array<quint8, 128> first{};
        std::array<std::array<quint64, 2>, 128> second{}; // bit set of ASCII second characters
        void add(const QString &pattern);
        bool mayStart(const QChar *text, qsizetype size, qsizetype at) const;
    };
    PairFilter m_directFilter;
    PairFilter m_wordFilter;
    bool m_wideDirect = false;
    bool m_wideWord = false;
};

// Where a run stands where a slice of it ended (a line start, or inside a long line), relative
// to that place: two runs over texts that agree from here on, with equal states here, paint the
// rest alike. Lets a caller resume a run instead of starting at the top, and stop once a re-run
// comes back into step. A default state is that of the top of a text.
class PaintState
{
public:
    // A state also depends on the text this far after its place: a delimited run that opened
    // before it may close, or turn out too long, there.
    static constexpr int kReach = 256;

    bool operator==(const PaintState &o) const
    {
        return m_delays == o.m_delays && m_open == o.m_open;
    }
    bool operator!=(const PaintState &o) const { return !(*this == o); }

private:
    friend class PaintRun;
    // (definition, characters after the place before its search may go on): a delimited run,
    // or a match, that goes on past it.
    std::vector<std::pair<int, int>> m_delays;
    // (definition, end relative to the place): painted ranges that cross it.
    std::vector<std::pair<int, int>> m_open;
};

// A run that can be done in slices: each paintTo appends the spans finished so far. Slices
// appended to one vector give exactly the spans of one whole run. The painter and the text
// must stay as they are while the run lives.
class PaintRun
{
public:
    PaintRun(const PatternPainter &painter, QStringView text);
    // Resumes at a place where a slice of an earlier run ended, with the state saved there, over
    // a text that agreed with this one up to the saved point.
    PaintRun(const PatternPainter &painter, QStringView text, int at, const PaintState &state);

    // Paints on to the first line start at or after until (or the end of the text); in a line
    // that goes on for thousands of characters more, to a place in the line at or after until.
    void paintTo(int until, PaintSpans &out);
    int position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    PaintState state() const;

private:
    struct Candidate
    {
        int start;
        int end;
        int def;
    };
    struct Open
    {
        int end;
        int def;
    };

    int lineStartAtOrAfter(int until) const;
    void generate(int i);
    void resolveAt(int i);
    void endOpenUpTo(int x);
    void closeSegment(int at);
    int findLineEnd(int from, int limit);
    bool restMatchesAt(const QString &pattern, int at) const;
    void generateDirect(int i, int k);

    const PatternPainter &m_painter;
    QStringView m_text;
    int m_size = 0;
    int m_pos = 0;
    std::vector<int> m_next;        // per definition: where its search goes on
    std::vector<Candidate> m_now;   // ranges that start at the position being resolved
    std::vector<Candidate> m_later; // ranges that start one character later
    std::vector<Open> m_open;       // painted ranges not yet ended
    int m_owner = -1;               // definition that colours the current segment
    int m_segmentStart = 0;
    PaintSpans *m_out = nullptr;
    int m_cleanFrom = -1; // no line end lies in [m_cleanFrom, m_cleanTo)
    int m_cleanTo = -1;
};

// One whole run with a painter made for the call.
PaintSpans paint(QStringView text, int startOffset, const ColorDefinitions &defs);
