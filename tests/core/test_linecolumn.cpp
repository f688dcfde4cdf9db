#include "core/editor/linecolumn.h"

#include <QString>

#include <gtest/gtest.h>

#include <climits>

namespace {

std::pair<int, int> place(const char *text)
{
    const auto p = LineColumn::parse(QString::fromUtf8(text));
    return p ? std::pair{p->line, p->column} : std::pair{-1, -1};
}

} // namespace

TEST(LineColumn, ALineAloneOrWithAColumnHugeNumbersSaturating)
{
    EXPECT_EQ(place("1236"), std::pair(1236, 1));
    EXPECT_EQ(place("  7 : 3 "), std::pair(7, 3));
    EXPECT_EQ(place("4294967297:99999999999999999999999"), std::pair(INT_MAX, INT_MAX));
}

TEST(LineColumn, AnythingElseIsNoPlace)
{
    for (const char *bad : {"", " ", "0", "5:0", "-3", "+3", "5:", ":5", "5:3:1", "12a", "x", "1 2",
                            "5.3", "\xd9\xa3"}) // the last an Arabic-Indic digit three
        EXPECT_FALSE(LineColumn::parse(QString::fromUtf8(bad))) << bad;
}
