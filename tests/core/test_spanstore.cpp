#include "core/editor/spanstore.h"
#include "sampletext.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const char *kDefs
        = "[Comments]\n2#=Courier New|10|8421504|0|1|0|0\n"
          "[Strings]\n3\"=Courier New|10|65280|1|0|0|0\n"
          "[Words]\n1if=Courier New|10|16777215|1|0|0|0\n0$=Courier New|10|33023|1|0|0|0\n";

std::shared_ptr<const PatternPainter> samplePainter()
{
    return std::make_shared<const PatternPainter>(
            ColorDefinitions::fromText(QString::fromLatin1(kDefs)));
}

// Empty when the store's colours are those of a fresh whole-text run; otherwise where they
// first differ, with the text around it.
std::string differenceFromFresh(const SpanStore &store, const PatternPainter &painter)
{
    const QString &t = store.text();
    const std::vector<int> shown = perChar(store.spans(), int(t.size()));
    const std::vector<int> fresh = perChar(painter.paint(t), int(t.size()));
    const auto m = std::mismatch(shown.begin(), shown.end(), fresh.begin());
    if (m.first == shown.end())
        return {};
    const int at = int(m.first - shown.begin());
    return QStringLiteral("at %1 shown %2 fresh %3 near \"%4|%5\"")
            .arg(at)
            .arg(*m.first)
            .arg(*m.second)
            .arg(t.mid(std::max(0, at - 60), std::min(at, 60)), t.mid(at, 60))
            .toStdString();
}

// Runs to the end, checking on the way what the adapter relies on: a slice changes colours
// only inside the ranges it reports, and only the last slice says it finished.
void finish(SpanStore &store, int budgetMs = INT_MAX)
{
    while (store.busy()) {
        const int size = int(store.text().size());
        const std::vector<int> before = perChar(store.spans(), size);
        std::vector<SpanStore::Range> ranges;
        const SpanStore::Slice slice = store.step(budgetMs,
                                                  [&](SpanStore::Range r) { ranges.push_back(r); });
        const std::vector<int> after = perChar(store.spans(), size);
        for (int i = 0; i < size; ++i) {
            const bool reported = std::any_of(ranges.begin(), ranges.end(),
                                              [i](auto r) { return i >= r.from && i < r.to; });
            ASSERT_TRUE(before[size_t(i)] == after[size_t(i)] || reported)
                    << "colour changed at " << i << " in no reported range";
        }
        ASSERT_EQ(slice.finished, !store.busy());
    }
}

SpanStore paintedStore(const QString &text, std::shared_ptr<const PatternPainter> painter)
{
    SpanStore store(text);
    store.setPainter(std::move(painter));
    store.run(0);
    finish(store);
    return store;
}

// Deletions, insertions, and replacements (a paste over a selection); some long enough to take
// checkpoints with them. Applied to the store and to expected. Returns where it was made.
int randomEdit(QRandomGenerator &rng, SpanStore &store, QString &expected)
{
    static const QStringList pieces{"\"", "#",  "\n",      " if ", "$",
                                    "x",  "\t", "\"q\"\n", "/",    "a\n$b \"c\"\n# d\n"};
    const int size = int(expected.size());
    const int at = int(rng.bounded(size + 1));
    const int kind = int(rng.bounded(6));
    const int removed = kind == 0   ? int(rng.bounded(40))
                        : kind == 1 ? int(rng.bounded(1000))
                        : kind == 2 ? int(rng.bounded(6))
                                    : 0;
    const QString inserted = kind == 0 || kind == 1 ? QString()
                                                    : pieces[int(rng.bounded(pieces.size()))];
    store.edit(at, removed, inserted);
    expected.replace(at, std::min(removed, size - at), inserted);
    return at;
}

// Random edits, each followed now and then by a run from just before it (as Enter does), must
// leave the colours of a fresh whole-text run, and the store's text must follow every edit.
class SpanStoreRandomEdits : public ::testing::TestWithParam<quint32>
{};

TEST_P(SpanStoreRandomEdits, IncrementalRunsEqualAFreshRun)
{
    const quint32 seed = GetParam();
    QRandomGenerator rng(seed);
    const auto painter = samplePainter();
    SpanStore store = paintedStore(sampleText(400), painter);
    QString expected = store.text();
    for (int round = 0; round < 200; ++round) {
        const int at = randomEdit(rng, store, expected);
        ASSERT_EQ(store.text(), expected) << "seed " << seed << " round " << round;
        if (round % 3 == 0) {
            const int size = int(expected.size());
            store.run(rng.bounded(4) == 0 ? int(rng.bounded(size + 1)) : std::max(0, at - 255));
            finish(store);
            const std::string diff = differenceFromFresh(store, *painter);
            ASSERT_TRUE(diff.empty()) << "seed " << seed << " round " << round << ": " << diff;
        }
    }
}

// The same with runs in slices (one stretch of lines each) and edits, or new runs, between
// the slices: a run that starts again must still finish what it had to do.
TEST_P(SpanStoreRandomEdits, SlicedRunsWithEditsBetweenEqualAFreshRun)
{
    const quint32 seed = GetParam();
    QRandomGenerator rng(seed);
    const auto painter = samplePainter();
    SpanStore store = paintedStore(sampleText(1500), painter);
    QString expected = store.text();
    for (int round = 0; round < 150; ++round) {
        const int at = randomEdit(rng, store, expected);
        const int size = int(expected.size());
        switch (rng.bounded(4)) {
        case 0:
            store.run(rng.bounded(3) == 0 ? int(rng.bounded(size + 1)) : std::max(0, at - 255));
            break;
        case 1:
            store.step(0);
            break;
        case 2:
            break;
        default:
            store.run(std::max(0, at - 255));
            finish(store, 0);
            const std::string diff = differenceFromFresh(store, *painter);
            ASSERT_TRUE(diff.empty()) << "seed " << seed << " round " << round << ": " << diff;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SpanStoreRandomEdits, ::testing::Range(quint32(1), quint32(25)));

TEST(SpanStoreEdits, ColoursAroundAnEditMoveWithTheText)
{
    const auto painter = samplePainter();
    SpanStore store = paintedStore(QStringLiteral("$a # one\n$b # two\n"), painter);
    const std::optional<SpanStore::Range> moved = store.edit(0, 0, u"xyz ");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->from, 0);
    EXPECT_EQ(moved->to, 4);
    const std::vector<int> shown = perChar(store.spans(), int(store.text().size()));
    // "# two" moved by four characters and is still a comment; the typed text is unpainted.
    EXPECT_EQ(shown[size_t(store.text().indexOf(QStringLiteral("# two")))], 0);
    EXPECT_EQ(shown[0], -1);
    // Typing inside a comment takes its colour, to the comment's end.
    const int inOne = int(store.text().indexOf(QStringLiteral("one")));
    store.edit(inOne + 1, 0, u"ZZ");
    const std::vector<int> typed = perChar(store.spans(), int(store.text().size()));
    EXPECT_EQ(store.text().mid(inOne, 5), QStringLiteral("oZZne"));
    for (int i = inOne; i < inOne + 5; ++i)
        EXPECT_EQ(typed[size_t(i)], 0) << i;
    EXPECT_EQ(typed[size_t(inOne + 5)], -1); // the line break
}

// Reports may name more than what changed: a change of formats alone comes with the same text,
// a paste at the very start names the whole first line as removed and inserted again.
TEST(SpanStoreEdits, WhatIsTheSameAtTheEndsOfAnEditKeepsItsColours)
{
    const auto painter = samplePainter();
    const QString first = QStringLiteral("$a # one\n");
    SpanStore store = paintedStore(first + QStringLiteral("$b \"two\"\n"), painter);
    const PaintSpans before = store.spans();
    EXPECT_FALSE(store.edit(3, 5, u"# one"));
    EXPECT_EQ(store.spans(), before);
    EXPECT_FALSE(store.busy());

    const QString pasted = QStringLiteral("x\ny\n");
    const std::optional<SpanStore::Range> moved = store.edit(0, int(first.size()), pasted + first);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->from, 0);
    EXPECT_EQ(moved->to, pasted.size());
    PaintSpans shifted = before;
    for (PaintSpan &s : shifted)
        s.start += int(pasted.size());
    EXPECT_EQ(store.spans(), shifted);
    // Undone, as the document reports it: the pasted lines and the first line, for the line.
    store.edit(0, int(pasted.size() + first.size()), first);
    EXPECT_EQ(store.spans(), before);
}

TEST(SpanStoreEdits, TextTypedAfterASlashIsAquaUntilTheNextRun)
{
    const auto painter = samplePainter();
    SpanStore store = paintedStore(QStringLiteral("my $a = 1;\n"), painter);
    store.edit(10, 0, u"/");
    store.edit(11, 0, u"ab");
    store.edit(13, 0, u"c");
    const auto aqua = std::find_if(store.spans().begin(), store.spans().end(),
                                   [](const PaintSpan &s) {
                                       return s.definition == SpanStore::kAqua;
                                   });
    ASSERT_NE(aqua, store.spans().end());
    EXPECT_EQ(aqua->start, 11);
    EXPECT_EQ(aqua->length, 3);
    // Not after any other character.
    store.edit(0, 0, u"q");
    EXPECT_EQ(perChar(store.spans(), int(store.text().size()))[0], -1);
    store.run(0);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
}

// Lines of 64 characters: the first checkpoint of a run from the top is at 4096, a line start.
QString linesOf64(int lines)
{
    QString t;
    for (int i = 0; i < lines; ++i)
        t += QString(63, u'a') + u'\n';
    return t;
}

// A string opens before a checkpoint's line and closes after it, so the checkpoint's state
// holds it. Runs from after the checkpoint must not resume from that state once the text it
// depends on has changed.
TEST(SpanStoreCheckpoints, ClosingQuoteMovedPastALineStart)
{
    const auto painter = samplePainter();
    QString t = linesOf64(80);
    t[4090] = u'"';
    t[4100] = u'"';
    SpanStore store = paintedStore(t, painter);
    ASSERT_EQ(differenceFromFresh(store, *painter), "");
    // The closing quote moves to before the line start: the string no longer crosses it.
    store.edit(4100, 1, u"a");
    store.edit(4093, 1, u"\"");
    store.run(4200);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
    // And back past it, further than the old one.
    store.edit(4093, 1, u"a");
    store.edit(4180, 1, u"\"");
    store.run(4200);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
}

TEST(SpanStoreCheckpoints, EditWithinReachAfterACheckpoint)
{
    const auto painter = samplePainter();
    QString t = linesOf64(80);
    t[4090] = u'"';
    t[4116] = u'"';
    SpanStore store = paintedStore(t, painter);
    ASSERT_EQ(differenceFromFresh(store, *painter), "");
    // Within 256 characters after the checkpoint at 4096: the string now closes further on.
    store.edit(4116, 1, {});
    store.edit(4200, 0, u"\"");
    store.run(4110);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
    // An opener just before the line start with no closer in reach leaves nothing in the
    // checkpoint's state; a closer typed 254 characters after the checkpoint pairs with it.
    QString lone = linesOf64(80);
    lone[4094] = u'"';
    SpanStore other = paintedStore(lone, painter);
    other.edit(4350, 1, u"\"");
    other.run(4300);
    finish(other);
    EXPECT_EQ(differenceFromFresh(other, *painter), "");
    EXPECT_EQ(perChar(other.spans(), int(lone.size()))[4095], 1);
}

TEST(SpanStoreEdits, DeletingEverything)
{
    const auto painter = samplePainter();
    SpanStore store = paintedStore(sampleText(300), painter);
    const std::optional<SpanStore::Range> moved = store.edit(0, int(store.text().size()), {});
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->from, 0);
    EXPECT_EQ(moved->to, 0);
    EXPECT_TRUE(store.text().isEmpty());
    EXPECT_TRUE(store.spans().empty());
    store.run(0);
    finish(store);
    EXPECT_TRUE(store.spans().empty());
    // A new text typed into the empty one is coloured by runs from where it is typed.
    store.edit(0, 0, sampleText(2000));
    store.run(0);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
    // Deleted while a run goes on, then a run from further on than the text now reaches.
    store.run(0);
    store.step(0);
    ASSERT_TRUE(store.busy());
    store.edit(0, int(store.text().size()), {});
    finish(store);
    EXPECT_TRUE(store.spans().empty());
    store.run(500);
    finish(store);
    EXPECT_TRUE(store.spans().empty());
}

// A run in slices (one stretch of lines each with no time to spare) with an edit between two
// of them, ahead of where the run has come: the run reads the new text and ends right.
TEST(SpanStoreSlices, EditAheadOfASlicedRun)
{
    const auto painter = samplePainter();
    SpanStore store(sampleText(2000));
    store.setPainter(painter);
    store.run(0);
    std::vector<SpanStore::Range> ranges;
    const auto collect = [&ranges](SpanStore::Range r) {
        ranges.push_back(r);
    };
    const SpanStore::Slice first = store.step(0, collect);
    ASSERT_TRUE(store.busy());
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].from, 0);
    EXPECT_GT(first.percent, 0);
    EXPECT_LT(first.percent, 100);
    const SpanStore::Slice second = store.step(0, collect);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1].from, ranges[0].to);
    EXPECT_GT(second.percent, first.percent);
    store.edit(int(store.text().size()) - 100, 0, u"\"");
    store.edit(ranges[1].to + 10, 0, u"\"");
    finish(store, 0);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
}

// An edit behind where a sliced run has come starts it again from before the edit. The
// restarted run may come back into step at a checkpoint the first one made, but only the
// colours before where the first one had come are its work: it must go on from there.
TEST(SpanStoreSlices, EditBehindASlicedRun)
{
    const auto painter = samplePainter();
    SpanStore store = paintedStore(sampleText(2000), painter);
    // Text deleted and put back far down (an undo): uncoloured until a run gets there.
    const int far = int(store.text().size()) - 3000;
    const QString back = store.text().mid(far, 500);
    store.edit(far, 500, {});
    store.edit(far, 0, back);
    store.run(0);
    int came = 0;
    store.step(0, [&came](SpanStore::Range r) { came = r.to; });
    ASSERT_TRUE(store.busy());
    ASSERT_LT(came, far);
    // Typing behind it that leaves the painter's state at the next checkpoint as it was.
    store.edit(came / 2, 0, u"x");
    finish(store, 0);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
}

// A script of one long line: a whole run goes on in slices within the line, and after typing
// in the middle the run from before the caret stops where it is back in step, long before the
// end of the line.
TEST(SpanStoreSlices, OneLongLineIsColouredInSlicesAndReRunLocally)
{
    const auto painter = samplePainter();
    QString line = sampleText(6000);
    line.replace(u'\n', u' ');
    SpanStore store(line);
    store.setPainter(painter);
    store.run(0);
    EXPECT_FALSE(store.step(0).finished);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");

    const int middle = int(line.size()) / 2;
    store.edit(middle, 0, u"$x");
    store.run(middle - 255);
    int repainted = 0;
    while (store.busy())
        store.step(INT_MAX, [&repainted](SpanStore::Range r) { repainted += r.to - r.from; });
    EXPECT_LT(repainted, 20000);
    EXPECT_EQ(differenceFromFresh(store, *painter), "");
}

TEST(SpanStoreSlices, NewDefinitionsDropTheRunAndTheCheckpoints)
{
    const auto painter = samplePainter();
    SpanStore store = paintedStore(sampleText(400), painter);
    const auto other = std::make_shared<const PatternPainter>(
            ColorDefinitions::fromText(QStringLiteral("[Strings]\n3\"=Arial|10|255|0|0|0|0\n")));
    store.run(int(store.text().size()) / 2);
    store.setPainter(other);
    EXPECT_FALSE(store.busy());
    // A run from the middle cannot build on checkpoints made with the old definitions.
    store.run(int(store.text().size()) / 2);
    finish(store);
    EXPECT_EQ(differenceFromFresh(store, *other), "");
}

} // namespace
