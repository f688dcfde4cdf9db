#include "core/editor/longlines.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

using LongLines::kLongLine;
using LongLines::kRowChars;

// The rows a line is shown in, given the characters the row breaks stand in for.
QStringList rowsOf(const QString &text, const std::vector<int> &breaks)
{
    QStringList rows;
    int start = 0;
    for (const int at : breaks) {
        rows << text.mid(start, at - start);
        start = at + 1;
    }
    rows << text.mid(start);
    return rows;
}

TEST(LongLines, OnlyLinesLongerThanTheLimitAreBroken)
{
    const QString shortLines = QString(kLongLine, u'a') + u'\n' + QString(kLongLine, u'b');
    EXPECT_TRUE(LongLines::rowBreaks(shortLines).empty());
    const QString oneLong = QStringLiteral("x\n") + QString(kLongLine + 1, u'c') + u'\n';
    const std::vector<int> breaks = LongLines::rowBreaks(oneLong);
    ASSERT_FALSE(breaks.empty());
    EXPECT_GT(breaks.front(), 2);
    EXPECT_LT(breaks.back(), oneLong.size() - 1);
}

TEST(LongLines, RowsEndAtABlankOrTabWhoseRowBreakTakesItsPlace)
{
    QString line;
    for (int i = 0; line.size() <= kLongLine; ++i)
        line += QStringLiteral("word%1").arg(i) + QChar(i % 7 == 0 ? u'\t' : u' ');
    const std::vector<int> breaks = LongLines::rowBreaks(line);
    ASSERT_FALSE(breaks.empty());
    const QStringList rows = rowsOf(line, breaks);
    for (qsizetype r = 0; r + 1 < rows.size(); ++r) {
        EXPECT_TRUE(LongLines::isBlank(line[breaks[size_t(r)]])) << "row " << r;
        EXPECT_LE(rows[r].size(), kRowChars);
        EXPECT_GT(rows[r].size(), kRowChars / 2);
    }
    EXPECT_LE(rows.back().size(), kRowChars);
}

// A stretch without blanks is cut every kRowChars characters, never inside a surrogate pair.
TEST(LongLines, WithoutBlanksRowsAreCutAtWholeCharacters)
{
    QString line;
    while (line.size() <= kLongLine)
        line += QStringLiteral("ab\U0001F600cd\U0001F600e");
    const std::vector<int> breaks = LongLines::rowBreaks(line);
    ASSERT_FALSE(breaks.empty());
    int start = 0;
    for (const int at : breaks) {
        EXPECT_TRUE(LongLines::canStandIn(line[at])) << at;
        EXPECT_LE(at - start, kRowChars);
        start = at + 1;
    }
    EXPECT_LE(int(line.size()) - start, kRowChars);
    // A line that is all surrogate pairs has no place for a row break.
    QString faces;
    while (faces.size() <= kLongLine)
        faces += QStringLiteral("\U0001F600");
    EXPECT_TRUE(LongLines::rowBreaks(faces).empty());
}

} // namespace
