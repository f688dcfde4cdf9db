#include "core/common/textfile.h"
#include "core/editor/painter.h"
#include "golden.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const PaintSpan &s, std::ostream *os)
{
    *os << "{" << s.start << "," << s.length << ",#" << s.definition << "}";
}

namespace {

const QString kStyle = QStringLiteral("Courier New|10|255|0|0|0|0");

// "key" or "key=value"; a bare key gets a red style.
ColorDefinitions defsOf(const QStringList &entries)
{
    QStringList lines;
    for (const QString &e : entries)
        lines << (e.indexOf(u'=', 1) > 0 ? e : e + u'=' + kStyle);
    return ColorDefinitions::fromLines(lines);
}

PaintSpans paintAll(const QStringList &entries, const QString &text)
{
    return paint(text, 0, defsOf(entries));
}

// The run as the highlighter's steps describe it, with the mended faults: each definition
// searches the whole text in turn and paints over a per-character owner array, and a range
// is painted unless its first character already shows a colour other than the default. A run
// of more than 255 characters is not painted and its search goes on after the opener.
PaintSpans referencePaint(const QString &text, const ColorDefinitions &defs)
{
    const int n = int(text.size());
    std::vector<int> owner(size_t(n), -1);
    const auto isLineEnd = [](QChar ch) {
        const char16_t c = ch.unicode();
        return c < 9 || (c >= 10 && c < 32) || c == 0x2028 || c == 0x2029;
    };
    for (int k = 0; k < defs.size(); ++k) {
        const QString p = defs.at(k).pattern();
        const int scope = defs.at(k).scope;
        if (p.isEmpty() || p.contains(u'\n') || scope < 0)
            continue;
        const auto paintRange = [&](int start, int length) {
            if (length <= 0)
                return;
            const int o = owner[size_t(start)];
            if (o >= 0 && defs.style(o).color != kEditorDefaultColor)
                return;
            std::fill(owner.begin() + start, owner.begin() + start + length, k);
        };
        const int len = int(p.size());
        int from = 0;
        while (from < n) {
            if (scope == 1) {
                const int s = int(text.indexOf(u' ' + p + u' ', from));
                if (s < 0)
                    break;
                paintRange(s, len + 1);
                from = s + len + 1;
                continue;
            }
            const int s = int(text.indexOf(p, from));
            if (s < 0)
                break;
            if (scope == 0) {
                paintRange(s, len);
                from = s + len;
            } else if (scope == 2) {
                int e = s + 1;
                while (e < n && !isLineEnd(text[e]))
                    ++e;
                if (e - s <= 255) {
                    paintRange(s, e - s);
                    from = e + 1;
                } else {
                    from = s + 1;
                }
            } else {
                int c = int(text.indexOf(p[0], s + 1));
                if (c < 0)
                    c = n;
                if (c - s - 1 <= 255) {
                    paintRange(s + 1, c - s - 1);
                    from = c + 1;
                } else {
                    from = s + 1;
                }
            }
        }
    }
    PaintSpans out;
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (j < n && owner[size_t(j)] == owner[size_t(i)])
            ++j;
        if (owner[size_t(i)] >= 0)
            out.push_back({i, j - i, owner[size_t(i)]});
        i = j;
    }
    return out;
}

struct ScopeCase
{
    const char *name;
    QStringList defs;
    QString text;
    PaintSpans expected;
};

std::ostream &operator<<(std::ostream &os, const ScopeCase &c)
{
    return os << c.name;
}

class PainterScopes : public ::testing::TestWithParam<ScopeCase>
{};

TEST_P(PainterScopes, PaintsTheExpectedRanges)
{
    const ScopeCase &c = GetParam();
    const PaintSpans spans = paintAll(c.defs, c.text);
    EXPECT_EQ(spans, c.expected);
    EXPECT_EQ(spans, referencePaint(c.text, defsOf(c.defs)));
}

const QString k250 = QString(250, u'x');

INSTANTIATE_TEST_SUITE_P(
        Painter, PainterScopes,
        ::testing::Values(
                // Scope 0: every occurrence, also right after the previous one.
                ScopeCase{"AnywhereTwoDollarsBothPainted", {"0$"}, "$$a", {{0, 2, 0}}},
                ScopeCase{"AnywhereNonOverlapping", {"0aa"}, "aaaaa", {{0, 4, 0}}},
                ScopeCase{"AnywhereCaseCounts", {"0if"}, "IF If if", {{6, 2, 0}}},
                ScopeCase{"AnywhereInsideWords", {"0my"}, "dummy my", {{3, 2, 0}, {6, 2, 0}}},
                // Scope 1: blanks on both sides, the blank before painted.
                ScopeCase{"WordSharedBlankPaintsBoth", {"1if"}, " if if ", {{0, 6, 0}}},
                ScopeCase{"WordNeedsBlanksNotTabsOrSemicolons",
                          {"1print"},
                          "print x\nx print\n\tprint x\nx print;\nx\tprint\tx\nx print y",
                          {{45, 6, 0}}},
                ScopeCase{"WordNotAtTextEnd", {"1x"}, "a x", {}},
                // Scope 2: to the end of the line, tabs included; 255 characters at most.
                ScopeCase{"LineEndIncludesTabs", {"2#"}, "a # b\tc\nd", {{2, 5, 0}}},
                ScopeCase{"LineEndLastLineToTextEnd", {"2#"}, "x\ny #end", {{4, 4, 0}}},
                ScopeCase{"LineEndStopsAtControlCharacters",
                          {"2#"},
                          "#a\rb #c\x0c",
                          {{0, 2, 0}, {5, 2, 0}}},
                ScopeCase{"LineEnd255Painted",
                          {"2#"},
                          "#" + QString(254, u'x') + "\n",
                          {{0, 255, 0}}},
                ScopeCase{"LineEnd256NotPainted",
                          {"2#"},
                          "#" + QString(255, u'x') + "\n#ok",
                          {{257, 3, 0}}},
                ScopeCase{"LineEndLongRunSearchGoesOnAfterThePattern",
                          {"2#"},
                          "#" + k250 + "# inner\n#ok",
                          {{251, 7, 0}, {259, 3, 0}}},
                // Scope 3: between the delimiters, not the delimiters themselves.
                ScopeCase{"DelimitedBetweenQuotes", {"3\""}, "a \"bc\" d", {{3, 2, 0}}},
                ScopeCase{"DelimitedEmptyPairThenNext", {"3\""}, "\"\" \"x\"", {{4, 1, 0}}},
                ScopeCase{"DelimitedCrossesLines", {"3'"}, "'a\nb'", {{1, 3, 0}}},
                ScopeCase{"DelimitedUnclosedShortRunToTextEnd", {"3\""}, "x \"abc", {{3, 3, 0}}},
                ScopeCase{"DelimitedMultiCharacterPattern", {"3q{"}, "q a q{bq", {{5, 2, 0}}},
                ScopeCase{"Delimited255Painted",
                          {"3\""},
                          "\"" + QString(255, u'x') + "\"",
                          {{1, 255, 0}}},
                // A run too long is taken as a stray opener: its closer opens the next pair.
                ScopeCase{"DelimitedLongRunSkipsOnlyItsOpener",
                          {"3\""},
                          "\"" + QString(256, u'x') + "\" b \"c\"",
                          {{258, 3, 0}}},
                ScopeCase{"DelimitedStrayQuoteCostsOnePair",
                          {"3'"},
                          "# don't\n" + k250 + "\nx = 'a'; y = 'b';",
                          {{264, 1, 0}, {273, 1, 0}}},
                // List order: the first definition to reach a range's first character keeps it.
                ScopeCase{"FirstToReachKeeps", {"0ab", "0b"}, "ab b", {{0, 2, 0}, {3, 1, 1}}},
                ScopeCase{"WiderLaterRangeRepaints", {"0b", "2a"}, "abc\nb", {{0, 3, 1}, {4, 1, 0}}},
                ScopeCase{"StringBeatsSigilAtItsFirstCharacter",
                          {"3\"", "0$"},
                          "\"$x\" $y",
                          {{1, 2, 0}, {5, 1, 1}}},
                ScopeCase{"DefaultColourDoesNotClaim",
                          {"0a=Arial|10|65535|0|0|0|0", "0ab"},
                          "ab",
                          {{0, 2, 1}}},
                // What counts is the colour the character shows: the last definition over it.
                ScopeCase{"RepaintedInDefaultColourNoLongerClaims",
                          {"0b", "0ab=Arial|10|65535|0|0|0|0", "0bc"},
                          "abc",
                          {{0, 1, 1}, {1, 2, 2}}},
                ScopeCase{"AutomaticColourClaims",
                          {"0a=Arial|10|-2147483640|0|0|0|0", "0ab"},
                          "ab",
                          {{0, 1, 0}}},
                // The mended first-line rule: an empty first line no longer stops the run.
                ScopeCase{"EmptyFirstLineStillPainted", {"0print"}, "\nprint 1", {{1, 5, 0}}},
                // Nothing to paint: empty patterns and other scope digits.
                ScopeCase{"EmptyPatternsPaintNothing", {"0", "1", "2", "3"}, "  a  \"b\" #", {}},
                ScopeCase{"OtherScopeDigitsPaintNothing", {"4a", "xa", "9a"}, "a a", {}}),
        [](const ::testing::TestParamInfo<ScopeCase> &row) { return std::string(row.param.name); });

// Random texts over an alphabet that makes matches, overlaps and long runs likely.
QString randomText(QRandomGenerator &rng, int length, bool longLines)
{
    static const QString alphabet = QStringLiteral("ab $#\"' \n\tab$ ");
    QString s;
    for (int i = 0; i < length; ++i) {
        const int pick = int(rng.bounded(int(alphabet.size())));
        s += (longLines && alphabet[pick] == u'\n') ? u'x' : alphabet[pick];
    }
    return s;
}

ColorDefinitions randomDefs(QRandomGenerator &rng, int count)
{
    static const QString alphabet = QStringLiteral("ab$#\"' ");
    QStringList lines;
    for (int k = 0; k < count; ++k) {
        QString key = QString::number(rng.bounded(4));
        const int len = 1 + int(rng.bounded(3));
        for (int i = 0; i < len; ++i)
            key += alphabet[int(rng.bounded(int(alphabet.size())))];
        // Some in the default colour, which does not stop later definitions.
        const int color = rng.bounded(5) == 0 ? kEditorDefaultColor : k;
        lines << key + QStringLiteral("=Arial|10|%1|0|0|0|0").arg(color);
    }
    return ColorDefinitions::fromLines(lines);
}

TEST(PainterModel, AgreesWithTheStepByStepRunOnRandomTexts)
{
    QRandomGenerator rng(12345);
    for (int round = 0; round < 3000; ++round) {
        const bool longLines = round % 5 == 0;
        const QString text = randomText(rng, int(rng.bounded(longLines ? 900 : 200)), longLines);
        const ColorDefinitions defs = randomDefs(rng, 1 + int(rng.bounded(8)));
        const PaintSpans got = PatternPainter(defs).paint(text);
        const PaintSpans want = referencePaint(text, defs);
        ASSERT_EQ(got, want) << "round " << round << " text \"" << text.toStdString() << "\" defs "
                             << defs.lines().join(' ').toStdString();
    }
}

TEST(PainterRuns, StartOffsetKeepsConstructsThatCrossIt)
{
    const ColorDefinitions defs = defsOf({"2#", "3\"", "0$"});
    const QString text = QStringLiteral("$a # one\nx = \"two\nlines\" $b\n# three");
    const PaintSpans whole = paint(text, 0, defs);
    // Offset inside the string: the string comes out whole, earlier spans are left out.
    const int inString = int(text.indexOf(u'w'));
    const PaintSpans tail = paint(text, inString, defs);
    ASSERT_FALSE(tail.empty());
    EXPECT_EQ(tail.front().start, text.indexOf(u'"') + 1);
    EXPECT_EQ(tail, PaintSpans(whole.end() - qsizetype(tail.size()), whole.end()));
    EXPECT_TRUE(paint(text, int(text.size()), defs).empty());
    EXPECT_EQ(paint(text, -5, defs), whole);
}

TEST(PainterRuns, SlicesGiveTheSameSpansAsOneRun)
{
    QRandomGenerator rng(4242);
    for (int round = 0; round < 300; ++round) {
        const QString text = randomText(rng, 600, round % 3 == 0);
        const PatternPainter painter(randomDefs(rng, 6));
        const PaintSpans whole = painter.paint(text);
        PaintRun run(painter, text);
        PaintSpans sliced;
        while (!run.atEnd()) {
            const int before = run.position();
            run.paintTo(run.position() + int(rng.bounded(40)), sliced);
            ASSERT_GE(run.position(), before);
            ASSERT_TRUE(run.position() == 0 || run.atEnd() || text[run.position() - 1] == u'\n');
            if (run.position() == before) // a slice ending on the same line start
                run.paintTo(before + 1, sliced);
        }
        ASSERT_EQ(sliced, whole) << "round " << round;
    }
}

// Spans from `from` on, with a span that crosses it cut there, as a resumed run gives them.
PaintSpans tailFrom(const PaintSpans &spans, int from)
{
    PaintSpans out;
    for (PaintSpan s : spans) {
        if (s.end() <= from)
            continue;
        if (s.start < from) {
            s.length -= from - s.start;
            s.start = from;
        }
        out.push_back(s);
    }
    return out;
}

TEST(PainterRuns, ResumingFromASavedStateGivesTheRestOfTheRun)
{
    QRandomGenerator rng(777);
    for (int round = 0; round < 200; ++round) {
        const QString text = randomText(rng, 500, false);
        const PatternPainter painter(randomDefs(rng, 6));
        const PaintSpans whole = painter.paint(text);
        PaintRun run(painter, text);
        PaintSpans ignored;
        std::vector<std::pair<int, PaintState>> saved;
        while (!run.atEnd()) {
            saved.emplace_back(run.position(), run.state());
            run.paintTo(run.position() + 1, ignored);
        }
        for (const auto &[at, state] : saved) {
            PaintRun resumed(painter, text, at, state);
            PaintSpans rest;
            resumed.paintTo(int(text.size()), rest);
            ASSERT_EQ(rest, tailFrom(whole, at)) << "round " << round << " at " << at;
        }
    }
}

// A line of thousands of characters is done in slices too: they end inside the line, and a run
// resumed from where any of them ended paints the rest as the whole run does.
TEST(PainterRuns, ALongLineIsDoneInSlicesThatEndInsideIt)
{
    QRandomGenerator rng(99);
    for (int round = 0; round < 10; ++round) {
        const QString text = randomText(rng, 30000, true);
        const PatternPainter painter(randomDefs(rng, 6));
        const PaintSpans whole = painter.paint(text);
        PaintRun run(painter, text);
        PaintSpans sliced;
        std::vector<std::pair<int, PaintState>> saved;
        while (!run.atEnd()) {
            saved.emplace_back(run.position(), run.state());
            const int before = run.position();
            run.paintTo(before + 1 + int(rng.bounded(3000)), sliced);
            ASSERT_GT(run.position(), before);
        }
        ASSERT_GT(saved.size(), 5u) << "round " << round;
        ASSERT_EQ(sliced, whole) << "round " << round;
        for (const auto &[at, state] : saved) {
            PaintRun resumed(painter, text, at, state);
            PaintSpans rest;
            resumed.paintTo(int(text.size()), rest);
            ASSERT_EQ(rest, tailFrom(whole, at)) << "round " << round << " at " << at;
        }
    }
}

// An edit inside one line: re-running from the line before it, the states come back into step
// with the old run, and from there the old spans (moved by the edit) are the new ones.
TEST(PainterRuns, EqualStatesAfterAnEditMeanEqualRest)
{
    const PatternPainter painter(defsOf({"2#", "3\"", "3'", "0$", "1if"}));
    QString before;
    for (int i = 0; i < 40; ++i)
        before += QStringLiteral("my $x%1 = \"s%1\"; # c'%1\n if $y == 'q' \n").arg(i);
    QString after = before;
    const int editAt = int(before.indexOf(QStringLiteral("\"s7\"")));
    after.insert(editAt, QStringLiteral("\"\" ")); // balanced: the pairing comes back

    const auto statesByLine = [&](const QString &text) {
        std::vector<std::pair<int, PaintState>> states;
        PaintRun run(painter, text);
        PaintSpans ignored;
        while (!run.atEnd()) {
            states.emplace_back(run.position(), run.state());
            run.paintTo(run.position() + 1, ignored);
        }
        return states;
    };
    const auto oldStates = statesByLine(before);
    const auto newStates = statesByLine(after);
    ASSERT_EQ(oldStates.size(), newStates.size());
    const int shift = int(after.size() - before.size());
    size_t inStep = 0;
    for (size_t line = 0; line < oldStates.size(); ++line) {
        if (oldStates[line].first > editAt && oldStates[line].second == newStates[line].second) {
            inStep = line;
            break;
        }
    }
    ASSERT_GT(inStep, 0u);
    const PaintSpans oldTail = tailFrom(painter.paint(before), oldStates[inStep].first);
    PaintSpans moved;
    for (PaintSpan s : oldTail) {
        s.start += shift;
        moved.push_back(s);
    }
    const PaintSpans newSpans = painter.paint(after);
    EXPECT_EQ(tailFrom(newSpans, newStates[inStep].first), moved);
    // The comparison above is not a trivial one: before that point the spans did change.
    const PaintSpans oldSpans = painter.paint(before);
    EXPECT_NE(PaintSpans(newSpans.begin(), newSpans.end() - qsizetype(moved.size())),
              PaintSpans(oldSpans.begin(), oldSpans.end() - qsizetype(moved.size())));
}

TEST(PainterBadInput, MillionCharacterLinesAndBinaryText)
{
    const PatternPainter painter(defsOf({"2#", "3\"", "3'", "1if", "0$", "0ab", "2<<\""}));
    // One line, no line break, full of openers: every scope runs over a million characters.
    // Only the last 255 are close enough to the end to be painted.
    const QString hashes(1'000'000, u'#');
    EXPECT_EQ(painter.paint(hashes), PaintSpans({{1'000'000 - 255, 255, 0}}));
    QString quotes;
    for (int i = 0; i < 200'000; ++i)
        quotes += QStringLiteral("\"ab' ");
    const PaintSpans b = painter.paint(quotes);
    EXPECT_FALSE(b.empty());
    QString binary(500'000, Qt::Uninitialized);
    QRandomGenerator rng(3);
    for (QChar &c : binary)
        c = QChar(char16_t(rng.bounded(0x10000)));
    const PaintSpans c = painter.paint(binary);
    for (const PaintSpan &s : c)
        ASSERT_LE(s.end(), binary.size());
}

TEST(PainterBadInput, ThousandsOfDefinitions)
{
    QStringList lines;
    for (int k = 0; k < 5000; ++k)
        lines << QStringLiteral("%1w%2=Arial|10|%3|0|0|0|0").arg(k % 4).arg(k).arg(k + 1);
    const ColorDefinitions defs = ColorDefinitions::fromLines(lines);
    QString text;
    for (int i = 0; i < 20'000; ++i)
        text += QStringLiteral("w%1 ").arg(i % 6000);
    const PaintSpans spans = PatternPainter(defs).paint(text);
    EXPECT_FALSE(spans.empty());
    EXPECT_EQ(PatternPainter(defs).paint(text.left(3000)), referencePaint(text.left(3000), defs));
}

// Golden file: a real Perl script with the shipped definitions, beside the spans they give.
QString describe(const PaintSpans &spans, const QString &text, const ColorDefinitions &defs)
{
    QString out = QStringLiteral("# start length key text\n");
    for (const PaintSpan &s : spans) {
        QString shown = text.mid(s.start, s.length);
        shown.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"));
        shown.replace(u'\t', QStringLiteral("\\t"));
        out += QStringLiteral("%1 %2 %3 %4\n")
                       .arg(s.start)
                       .arg(s.length)
                       .arg(defs.at(s.definition).key, shown);
    }
    return out;
}

TEST(PainterGolden, ShippedDefinitionsOnSampleScripts)
{
    const ColorDefinitions defs = ColorDefinitions::load(
            QStringLiteral(QF_SHIPPED_DATA "/etc/editorcolors.def"));
    ASSERT_FALSE(defs.isEmpty());
    Golden::check({QStringLiteral("highlight"), QStringLiteral("*.pl"), QStringLiteral(".spans")},
                  [&](const QString &input) {
                      const QString text = readTextFile(input).text;
                      if (input.endsWith(QStringLiteral("/sample.pl"))) {
                          EXPECT_TRUE(text.startsWith(u'\n')); // an empty first line on purpose
                      }
                      return describe(PatternPainter(defs).paint(text), text, defs).toUtf8();
                  });
}

} // namespace
