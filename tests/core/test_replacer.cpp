#include "core/editor/replacer.h"

#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// Readable failures.
static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

SearchOptions regex(bool caseSensitive = false, bool wholeWords = false)
{
    return {true, caseSensitive, wholeWords};
}

SearchOptions plain(bool caseSensitive = false, bool wholeWords = false)
{
    return {false, caseSensitive, wholeWords};
}

// The whole text with every match replaced, as s///g would leave it.
QString all(const QString &text, const QString &pattern, const QString &with, SearchOptions o)
{
    const Replacer r(pattern, o);
    return Replacer::applied(text, r.replaceAll(text, 0, text.size(), with));
}

QString inRange(const QString &text, qsizetype from, qsizetype to, const QString &pattern,
                const QString &with, SearchOptions o)
{
    const Replacer r(pattern, o);
    return Replacer::applied(text, r.replaceAll(text, from, to, with));
}

std::pair<qsizetype, qsizetype> at(const Replacer::Match &m)
{
    return {m.start, m.length};
}

} // namespace

TEST(Replacer, GroupsInTheReplacement)
{
    const QString text = QStringLiteral("my $a = 1; my $bc = 22;");
    const QString pattern = QStringLiteral("\\$(\\w+) = (\\d+)");
    EXPECT_EQ(all(text, pattern, "$2 => $1", regex()), "my 1 => a; my 22 => bc;");
    EXPECT_EQ(all(text, pattern, "\\2 => \\1", regex()), "my 1 => a; my 22 => bc;");
    EXPECT_EQ(all(text, pattern, "[$&|\\0]", regex()),
              "my [$a = 1|$a = 1]; my [$bc = 22|$bc = 22];");
    // Beyond nine groups, and by name.
    EXPECT_EQ(all("abcdefghijk", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "${11}${10}$10", regex()),
              "kja0");
    EXPECT_EQ(all("key=value", "(?<k>\\w+)=(?<v>\\w+)", "${v}=${k}", regex()), "value=key");
    // A group that took nothing, or that the pattern lacks, gives nothing.
    EXPECT_EQ(all("ab", "a(x)?b", "<$1$7>", regex()), "<>");
}

TEST(Replacer, EscapesAndPerlDollarsInTheReplacement)
{
    EXPECT_EQ(all("x", "x", "\\\\\\$1", regex()), "\\$1");
    EXPECT_EQ(all("x", "x", "a\\nb\\tc", regex()), "a\nb\tc");
    // Perl code in a replacement keeps its sigils; unknown escapes stay as written.
    EXPECT_EQ(all("x", "x", "$self->{$x} ${ref} \\d $ \\", regex()), "$self->{$x}  \\d $ \\");
    EXPECT_EQ(all("x", "x", "${1a} ${}", regex()), "${1a} ${}");
    // Replacing text as typed takes the replacement as typed.
    EXPECT_EQ(all("a.b a+b", "a.b", "$1\\n$&", plain()), "$1\\n$& a+b");
}

// An empty match moves on one character, as Perl's s///g does; none loops.
TEST(Replacer, EmptyMatchesAdvanceLikePerl)
{
    EXPECT_EQ(all("abc", "x*", "-", regex()), "-a-b-c-");
    EXPECT_EQ(all("xxa", "x*", "-", regex()), "--a-");
    EXPECT_EQ(all("aaa", "a|", "-", regex()), "----");
    EXPECT_EQ(all("ab", "(?:)|b", "-", regex()), "-a---");
    // "^" and "$" hold at every line; no line starts after the last line break.
    EXPECT_EQ(all("a\nb\n", "^", "#", regex()), "#a\n#b\n");
    EXPECT_EQ(all("a\nb", "$", ";", regex()), "a;\nb;");
    EXPECT_EQ(all("", "^", "#", regex()), "#");
    // A character outside the basic plane is never split.
    EXPECT_EQ(all(QStringLiteral("😀"), "x*", "-", regex()), QStringLiteral("-😀-"));
}

TEST(Replacer, WholeWords)
{
    const QString text = QStringLiteral("foo food _foo foo1 $foo foo");
    EXPECT_EQ(all(text, "foo", "X", plain(false, true)), "X food _foo foo1 $X X");
    // A pattern whose first try is not a whole word still finds the one that is.
    EXPECT_EQ(all("fooo_ fooo", "fo+", "X", regex(false, true)), "fooo_ X");
    EXPECT_EQ(all("a|bb", "a|bb", "X", regex(false, true)), "X|X");
    // Letters of every script are word characters.
    EXPECT_EQ(all(QStringLiteral("été té"), QStringLiteral("té"), "X", plain(true, true)),
              QStringLiteral("été X"));
}

TEST(Replacer, CaseAndUnicode)
{
    EXPECT_EQ(all("Print print PRINT", "print", "say", plain()), "say say say");
    EXPECT_EQ(all("Print print PRINT", "print", "say", plain(true)), "Print say PRINT");
    EXPECT_EQ(all(QStringLiteral("École école"), QStringLiteral("école"), "X", plain()), "X X");
    EXPECT_EQ(all(QStringLiteral("straße 42"), "\\w+", "<$&>", regex()),
              QStringLiteral("<straße> <42>"));
    // Text as typed is no pattern.
    EXPECT_EQ(all("a.c abc (x)", "a.c", "_", plain()), "_ abc (x)");
    EXPECT_EQ(all("a.c abc (x)", "(x)", "_", plain()), "a.c abc _");
}

TEST(Replacer, OnlyMatchesInsideTheRangeAndSeeingAroundIt)
{
    const QString text = QStringLiteral("ab ab ab ab");
    EXPECT_EQ(inRange(text, 3, 8, "ab", "X", plain()), "ab X X ab");
    // Matches reaching out of the range are left.
    EXPECT_EQ(inRange(text, 4, 7, "ab", "X", plain()), text);
    // The text before the range still counts for whole words and look-behind.
    EXPECT_EQ(inRange("xab ab", 1, 6, "ab", "X", plain(false, true)), "xab X");
    EXPECT_EQ(inRange("ab ab", 2, 5, "(?<= )ab", "X", regex()), "ab X");
    // A word running on past the range's end is no whole word in it.
    EXPECT_EQ(inRange("ab abc", 0, 5, "ab", "X", plain(false, true)), "X abc");

    // Lines selected from their starts: the start of the line after them is not in the range,
    // the end of the last selected line is.
    const QString lines = QStringLiteral("a\nb\nc\n");
    EXPECT_EQ(inRange(lines, 0, 4, "^", "#", regex()), "#a\n#b\nc\n");
    EXPECT_EQ(inRange(lines, 0, 4, "$", ";", regex()), "a;\nb;\nc\n");
    EXPECT_EQ(inRange(lines, 2, 3, "$", ";", regex()), "a\nb;\nc\n");
}

TEST(Replacer, AnInvalidPatternSaysWhyAndFindsNothing)
{
    const Replacer r(QStringLiteral("my (\\$x"), regex());
    EXPECT_FALSE(r.isValid());
    EXPECT_FALSE(r.errorString().isEmpty());
    EXPECT_TRUE(r.errorString().contains("position"));
    const QString text = QStringLiteral("my ($x");
    EXPECT_TRUE(r.replaceAll(text, 0, text.size(), "y").empty());
    EXPECT_FALSE(r.findNext(text, 0).found());
    EXPECT_FALSE(r.findPrevious(text, text.size()).found());
    EXPECT_FALSE(r.matchAt(text, 0).found());
    // The same characters as typed are just text; an empty pattern finds nothing.
    EXPECT_TRUE(Replacer(QStringLiteral("my (\\$x"), plain()).isValid());
    EXPECT_TRUE(Replacer(QString(), regex()).replaceAll(text, 0, text.size(), "y").empty());
    // A quote left open still holds whole words.
    EXPECT_EQ(all("a.b xa.b", "\\Qa.b", "X", regex(false, true)), "X xa.b");
}

TEST(Replacer, NextAndPreviousFromAPlace)
{
    const QString text = QStringLiteral("foo foobar foo");
    const Replacer words(QStringLiteral("foo"), plain(false, true));
    EXPECT_EQ(at(words.findNext(text, 0)), std::make_pair(qsizetype(0), qsizetype(3)));
    EXPECT_EQ(at(words.findNext(text, 1)), std::make_pair(qsizetype(11), qsizetype(3)));
    EXPECT_FALSE(words.findNext(text, 12).found());
    EXPECT_EQ(words.findPrevious(text, text.size()).start, 11);
    // "foo" of "foobar" lies before 7, but is not a whole word there.
    EXPECT_EQ(words.findPrevious(text, 7).start, 0);
    EXPECT_FALSE(words.findPrevious(text, 2).found());

    // An empty match at the caret is the one found before: the next lies beyond.
    const Replacer starts(QStringLiteral("^"), regex());
    EXPECT_EQ(starts.findNext(u"a\nb", 0).start, 0);
    EXPECT_EQ(starts.findNext(u"a\nb", 0, true).start, 2);
    EXPECT_FALSE(starts.findNext(u"a\nb", 2, true).found());
    EXPECT_EQ(starts.findPrevious(u"a\nb", 2).start, 0);

    // Far back, past any first stretch looked at.
    const QString far = QStringLiteral("needle") + QString(100000, u' ') + QStringLiteral("x");
    const Replacer needle(QStringLiteral("ne+dle"), regex());
    EXPECT_EQ(at(needle.findPrevious(far, far.size())), std::make_pair(qsizetype(0), qsizetype(6)));

    // Exactly at a place, with its groups.
    const Replacer pair(QStringLiteral("(\\w+)=(\\w+)"), regex());
    const Replacer::Match m = pair.matchAt(u"x a=b", 2);
    EXPECT_EQ(at(m), std::make_pair(qsizetype(2), qsizetype(3)));
    EXPECT_EQ(pair.expand(m, "$2=$1"), "b=a");
    EXPECT_FALSE(pair.matchAt(u"x a=b", 1).found());
}
