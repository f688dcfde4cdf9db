#include "core/editor/brackets.h"

#include <gtest/gtest.h>

using namespace Brackets;

namespace {

constexpr int kFar = 1 << 20;

Match at(const QString &text, int caret, int limit = kFar)
{
    return atCaret(lines(text), int(text.size()), caret, limit);
}

int pos(const QString &text, const char *what, int from = 0)
{
    return int(text.indexOf(QLatin1String(what), from));
}

} // namespace

TEST(Brackets, EachKindFindsItsPartnerAcrossLinesInBothDirections)
{
    const QString text = QStringLiteral("sub f {\n  my @a = (1, [2, 3]);\n  if ($x) { g() }\n}\n");
    const int open = pos(text, "{");
    const int close = int(text.lastIndexOf(u'}'));
    EXPECT_EQ(at(text, open), (Match{Found::Partner, open, close}));
    EXPECT_EQ(at(text, close + 1), (Match{Found::Partner, close, open}));
    const int square = pos(text, "[");
    EXPECT_EQ(at(text, square), (Match{Found::Partner, square, pos(text, "]")}));
    const int paren = pos(text, "(1");
    EXPECT_EQ(at(text, paren).partner, pos(text, ");"));
    // Nested brackets of the same kind are skipped; other kinds do not count.
    const int inner = pos(text, "{ g");
    EXPECT_EQ(at(text, inner).partner, pos(text, "}", inner));
    EXPECT_EQ(at(text, pos(text, "1,") + 1).found, Found::Nothing);
}

TEST(Brackets, TheCharacterAfterTheCaretComesFirst)
{
    const QString text = QStringLiteral("f(a)(b)");
    EXPECT_EQ(at(text, 4).bracket, 4);
    EXPECT_EQ(at(text, 4).partner, 6);
    EXPECT_EQ(at(text, 7).bracket, 6); // at the end only the one before is there
    EXPECT_EQ(at(text, 0).found, Found::Nothing);
    EXPECT_EQ(at(QString(), 0).found, Found::Nothing);
}

TEST(Brackets, ABracketWithoutPartnerIsUnmatchedUnlessTheSearchGivesUpFirst)
{
    const QString text = QStringLiteral("if ($x {\n  (y)\n");
    EXPECT_EQ(at(text, pos(text, "{")), (Match{Found::Unmatched, pos(text, "{"), -1}));
    EXPECT_EQ(at(text, pos(text, "(")).found, Found::Unmatched);
    EXPECT_EQ(at(QStringLiteral("a)"), 2).found, Found::Unmatched);
    // Exactly as far as the limit still finds it; one character less gives up.
    const QString spaced = QStringLiteral("(") + QString(10, u'\n') + QStringLiteral(")");
    EXPECT_EQ(at(spaced, 0, 11).found, Found::Partner);
    EXPECT_EQ(at(spaced, 0, 10).found, Found::TooFar);
    EXPECT_EQ(at(spaced, 12, 10).found, Found::TooFar);
}

TEST(Brackets, TheTextIsReadAStretchAtATimeNearTheBracketOnly)
{
    // A text whose stretches are counted: the search never reads the whole of a large text.
    QString text = QStringLiteral("x {\n");
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("  y;\n");
    text += QStringLiteral("}\n");
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("z;\n");
    int reads = 0;
    const ChunkReader counted = [&reads, all = lines(text)](int p) {
        ++reads;
        return all(p);
    };
    const Match m = atCaret(counted, int(text.size()), 2, 100000);
    EXPECT_EQ(m.partner, pos(text, "}"));
    EXPECT_LE(reads, 1003);
    reads = 0;
    EXPECT_EQ(atCaret(counted, int(text.size()), 2, 200).found, Found::TooFar);
    EXPECT_LE(reads, 42);
}
