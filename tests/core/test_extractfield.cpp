#include "core/common/extractfield.h"

#include <gtest/gtest.h>

TEST(ExtractField, FieldsByIndex)
{
    const QString s = QStringLiteral("a|bb||d");
    EXPECT_EQ(ExtractField(s, u'|', 0), QStringLiteral("a"));
    EXPECT_EQ(ExtractField(s, u'|', 1), QStringLiteral("bb"));
    EXPECT_EQ(ExtractField(s, u'|', 2), QString());
    EXPECT_EQ(ExtractField(s, u'|', 3), QStringLiteral("d"));
}

TEST(ExtractField, ShortValuesRepeatTheirLastField)
{
    const QString s = QStringLiteral("Courier|10|255");
    EXPECT_EQ(ExtractField(s, u'|', 2), QStringLiteral("255"));
    EXPECT_EQ(ExtractField(s, u'|', 5), QStringLiteral("255"));
    EXPECT_EQ(ExtractField(QStringLiteral("only"), u'|', 4), QStringLiteral("only"));
    EXPECT_EQ(ExtractField(QStringLiteral("a=b=c"), u'=', 1), QStringLiteral("b"));
}
