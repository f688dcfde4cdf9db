#include "core/common/textfile.h"
#include "core/editor/varscan.h"
#include "golden.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <ostream>

// Readable failures; internal linkage, so another test file may have its own.
static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

using InspectorScan::scan;
using InspectorScan::variables;

QStringList scalars(const QString &text)
{
    return variables(text, u'$');
}

QStringList subroutines(const QString &text)
{
    return InspectorScan::subroutines(text);
}

// The scan as the rules read: a working copy that loses one comment per step and is cut
// after every name. Slow on purpose, so it can be trusted; the real scan must agree with it.
QStringList referencePass(QString w, const QString &needle, bool vars)
{
    QStringList out;
    QStringList seen;
    while (!w.isEmpty()) {
        const qsizetype h = w.indexOf(u'#');
        if (h >= 0) {
            qsizetype e = h + 1;
            while (e < w.size() && w[e].unicode() >= 31)
                ++e;
            w.remove(h + 1, e - h - 1);
        }
        const qsizetype p = w.indexOf(needle);
        if (p < 0)
            break;
        const qsizetype first = p + needle.size();
        if (first >= w.size())
            break;
        qsizetype d = 1;
        while (first + d < w.size()
               && !(vars ? InspectorScan::endsName(w[first + d]) : w[first + d].unicode() <= 32))
            ++d;
        const QString entry = needle + w.mid(first, d);
        if (!vars || !seen.contains(entry, Qt::CaseInsensitive)) {
            seen << entry;
            out << entry;
        }
        w.remove(0, first + d + 1);
    }
    return out;
}

InspectorEntries referenceScan(const QString &text)
{
    InspectorEntries e;
    e.variablesRoot = e.subroutinesRoot = true;
    e.variables = referencePass(text, QStringLiteral("$"), true)
                  + referencePass(text, QStringLiteral("@"), true);
    e.subroutines = referencePass(text, QStringLiteral("sub "), false);
    return e;
}

// The tree as text, one line per node; control characters inside names shown escaped.
QString describe(const InspectorEntries &e)
{
    auto shown = [](QString s) {
        QString out;
        for (QChar c : s) {
            if (c == u'\\')
                out += QStringLiteral("\\\\");
            else if (c.unicode() < 32)
                out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
        return out;
    };
    QString out;
    if (e.variablesRoot) {
        out += QStringLiteral("Variables\n");
        for (const QString &v : e.variables)
            out += QStringLiteral("  ") + shown(v) + u'\n';
    }
    if (e.subroutinesRoot) {
        out += QStringLiteral("Subroutines (local)\n");
        for (const QString &s : e.subroutines)
            out += QStringLiteral("  ") + shown(s) + u'\n';
    }
    return out;
}

TEST(InspectorScanNames, EveryPrintableCharacterEitherEndsOrContinuesAName)
{
    const QString stops = QStringLiteral("\"'()+,/;<=\\{}");
    for (char16_t c = 33; c <= 127; ++c) {
        if (c == u'#')
            continue; // starts a comment; covered below
        const QString text = QStringLiteral("$a") + QChar(c) + QStringLiteral("b ");
        const QStringList want = stops.contains(QChar(c))
                                         ? QStringList{QStringLiteral("$a")}
                                         : QStringList{QStringLiteral("$a") + QChar(c)
                                                       + QStringLiteral("b")};
        EXPECT_EQ(scalars(text), want) << "character " << int(c);
    }
    for (char16_t c = 0; c <= 32; ++c)
        EXPECT_TRUE(InspectorScan::endsName(QChar(c))) << int(c);
    // Anything from 128 up is part of a name, whatever the script's encoding made of it.
    EXPECT_EQ(scalars(QStringLiteral("$caf\u00e9\u20ac\u00b6 x")),
              QStringList{QStringLiteral("$caf\u00e9\u20ac\u00b6")});
}

TEST(InspectorScanNames, TypicalPerl)
{
    EXPECT_EQ(scalars("$x[0] = 1;"), QStringList{"$x[0]"});
    EXPECT_EQ(scalars("$h{key} = 1;"), QStringList{"$h"});
    EXPECT_EQ(scalars("my ($a,$b) = @_;"), (QStringList{"$a", "$b"}));
    EXPECT_EQ(scalars("$x->method(1);"), QStringList{"$x->method"});
    EXPECT_EQ(scalars("print \"$name\\n\";"), QStringList{"$name"});
    // Two sigils in a row: the second continues the name of the first.
    EXPECT_EQ(scalars("$$ref = 1;"), QStringList{"$$ref"});
}

TEST(InspectorScanNames, SpecialVariablesKeepTheCharacterAfterTheSigil)
{
    EXPECT_EQ(scalars("local $/; print $0; $_ = 1;"), (QStringList{"$/", "$0", "$_"}));
    // Even a blank right after the sigil belongs to the name.
    EXPECT_EQ(scalars("s/x$ //; $y"), (QStringList{"$ ", "$y"}));
}

TEST(InspectorScanNames, ASigilAtTheVeryEndNamesNothing)
{
    EXPECT_EQ(scalars("$a = 1; $"), QStringList{"$a"});
    EXPECT_EQ(subroutines("sub a {}\nsub "), QStringList{"sub a"});
}

TEST(InspectorScanVariables, DuplicatesIgnoreCaseAndKeepTheFirstSpelling)
{
    EXPECT_EQ(scalars("$Foo = 1; $foo++; $FOO; $bar"), (QStringList{"$Foo", "$bar"}));
    // Non-ASCII letters fold too.
    EXPECT_EQ(scalars("$\u00c4rger; $\u00e4rger;"), QStringList{"$\u00c4rger"});
}

TEST(InspectorScanVariables, ScalarsThenArraysEachInOrderOfFirstOccurrence)
{
    const InspectorEntries e = scan(u"@b = (); $x = 1; @a = @b; $a = $x; @x;", true, false);
    EXPECT_EQ(e.variables, (QStringList{"$x", "$a", "@b", "@a", "@x"}));
    EXPECT_TRUE(e.variablesRoot);
    EXPECT_FALSE(e.subroutinesRoot);
    EXPECT_TRUE(e.subroutines.isEmpty());
}

TEST(InspectorScanVariables, HashesAreNotListed)
{
    EXPECT_EQ(scan(u"my %h = (a => 1); my %g;", true, false).variables, QStringList{});
}

TEST(InspectorScanSubroutines, NameEndsAtTheFirstBlankOrControlCharacter)
{
    EXPECT_EQ(subroutines("sub foo {\n}\n"), QStringList{"sub foo"});
    EXPECT_EQ(subroutines("sub foo{\n}\n"), QStringList{"sub foo{"});
    EXPECT_EQ(subroutines("sub foo { 1 }\nsub foo { 2 }\n"), (QStringList{"sub foo", "sub foo"}));
    EXPECT_EQ(subroutines("sub\tfoo {}\nSub bar {}\nsubs baz"), QStringList{});
    EXPECT_EQ(subroutines("my $cb = sub {1};"), QStringList{"sub {1};"});
    EXPECT_EQ(subroutines("sub Pkg::name($$) {"), QStringList{"sub Pkg::name($$)"});
}

TEST(InspectorScanSwitches, EachRootOnlyWhenAskedFor)
{
    const QString text = QStringLiteral("$a = 1;\nsub f {}\n");
    EXPECT_EQ(describe(scan(text, true, true)), "Variables\n  $a\nSubroutines (local)\n  sub f\n");
    EXPECT_EQ(describe(scan(text, false, true)), "Subroutines (local)\n  sub f\n");
    EXPECT_EQ(describe(scan(text, true, false)), "Variables\n  $a\n");
    EXPECT_EQ(describe(scan(text, false, false)), "");
}

TEST(InspectorScanFaults, AnEmptyFirstLineIsScannedLikeAnyOther)
{
    const InspectorEntries e = scan(u"\n$x = 1;\nsub f {}\n", true, true);
    EXPECT_EQ(e.variables, QStringList{"$x"});
    EXPECT_EQ(e.subroutines, QStringList{"sub f"});
}

TEST(InspectorScanFaults, ACommentEndsAtItsLineBreak)
{
    // A "#" right before the line break hides nothing of the next line.
    EXPECT_EQ(describe(scan(u"$a = 1; #\n$b = 2;\nsub g {}\n", true, true)),
              "Variables\n  $a\n  $b\nSubroutines (local)\n  sub g\n");
    // A comment met again in a later step (after two names before it) hides no more either.
    EXPECT_EQ(scalars("$a; $b; $c; # note\n$d = 1;\n"), (QStringList{"$a", "$b", "$c", "$d"}));
    EXPECT_EQ(subroutines("sub a {} sub b {} # x\nsub c {}\n"),
              (QStringList{"sub a", "sub b", "sub c"}));
}

TEST(InspectorScanComments, HideTheirSigilsOneCommentPerStep)
{
    EXPECT_EQ(scalars("# $hidden\n$shown"), QStringList{"$shown"});
    EXPECT_EQ(subroutines("# sub hidden {}\nsub shown {}"), QStringList{"sub shown"});
    // Only the first comment ahead is hidden at each step: a sigil in the second comment is
    // found when it comes before the next name outside comments.
    EXPECT_EQ(scalars("# one\n# two $x\n$y\n"), (QStringList{"$x", "$y"}));
    // A name runs on into a "#" (not a stop character) and ends at the line break.
    EXPECT_EQ(scalars("$a#x\n$b"), (QStringList{"$a#", "$b"}));
    // A tab is below 31 too: it ends the hidden part.
    EXPECT_EQ(scalars("# a\t$b\n"), QStringList{"$b"});
}

TEST(InspectorScanBadInput, FinishesQuicklyAndStaysSmall)
{
    const QString dollars(1'000'000, u'$');
    const QStringList one = scalars(dollars);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one.front().size(), dollars.size());

    QString spaced;
    for (int i = 0; i < 500'000; ++i)
        spaced += QStringLiteral("$ ");
    EXPECT_EQ(scalars(spaced), QStringList{"$ $"});

    QString many;
    for (int i = 0; i < 100'000; ++i)
        many += QStringLiteral("$v%1;").arg(i);
    many += u'#'; // a lone comment at the very end must not be looked for at every step
    EXPECT_EQ(scalars(many).size(), 100'000);

    const QString longLine = u'$' + QString(5'000'000, u'a');
    EXPECT_EQ(scalars(longLine).front().size(), longLine.size());
    const QString comments = QStringLiteral("# only a comment $x\n").repeated(100'000);
    // Every other comment is hidden; the sigils of the rest are found (one comment per step).
    EXPECT_EQ(scalars(comments), QStringList{"$x"});
}

TEST(InspectorScanBadInput, NulBytesAndUnbalancedQuotes)
{
    const QString nul = QStringLiteral("$a") + QChar(0) + QStringLiteral("$b") + QChar(0)
                        + QStringLiteral("sub c") + QChar(0);
    EXPECT_EQ(describe(scan(nul, true, true)),
              "Variables\n  $a\n  $b\nSubroutines (local)\n  sub c\n");
    EXPECT_EQ(scalars("print \"$a;\nprint '$b\n$c\""), (QStringList{"$a", "$b", "$c"}));
}

// Random scripts made of the characters the rules care about: the fast scan and the rules as
// written agree on every one.
TEST(InspectorScanModel, AgreesWithTheRulesOnRandomText)
{
    const QStringList pieces = {"$", "@",   "#",  "\n", "\t", " ", "sub ", "a",  "B", "_",     ";",
                                "{", "#\n", "$#", "@$", "x",  ",", "'",    "\"", "%", "\u00e9"};
    QRandomGenerator rng(20240501);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int n = int(rng.bounded(1, 60));
        for (int i = 0; i < n; ++i)
            text += pieces[int(rng.bounded(pieces.size()))];
        ASSERT_EQ(describe(scan(text, true, true)), describe(referenceScan(text)))
                << "text: " << text.toStdString();
    }
}

// Golden files: real Perl modules beside the tree they give.
TEST(InspectorScanGolden, RealModules)
{
    Golden::check({QStringLiteral("varscan"), QStringLiteral("*.pm"), QStringLiteral(".entries")},
                  [](const QString &input) {
                      const QString text = readTextFile(input).text;
                      const InspectorEntries entries = scan(text, true, true);
                      // The fast scan and the rules as written agree on real code too.
                      EXPECT_EQ(describe(entries), describe(referenceScan(text)));
                      EXPECT_GT(entries.variables.size(), 5);
                      EXPECT_GT(entries.subroutines.size(), 1);
                      return describe(entries).toUtf8();
                  });
}

} // namespace
