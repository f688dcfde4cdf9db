#include "core/common/clock.h"
#include "core/templates/placeholders.h"
#include "platform/platform.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 6), QTime(18, 51, 21));

QString expand(const char *line)
{
    return ExpandPlaceholder(QString::fromUtf8(line), {kWhen, QStringLiteral("Ada Lovelace")});
}

QString shortDate()
{
    return QLocale().toString(kWhen.date(), QLocale::ShortFormat);
}

TEST(Placeholders, NowAndUserAreFilledInWithTheTextAroundThemKept)
{
    EXPECT_EQ(expand("# Created: !!!#NOW#!!! (local)"),
              QStringLiteral("# Created: %1 18:51:21 (local)").arg(shortDate()));
    EXPECT_EQ(expand("# Author:  !!!#user#!!!"), QStringLiteral("# Author:  Ada Lovelace"));
    EXPECT_EQ(expand("!!!#User#!!!"), QStringLiteral("Ada Lovelace"));
}

TEST(Placeholders, OnlyTheFirstOfALineIsExpanded)
{
    EXPECT_EQ(expand("!!!#now#!!! by !!!#user#!!!"),
              QStringLiteral("%1 18:51:21 by !!!#user#!!!").arg(shortDate()));
}

TEST(Placeholders, OtherNamesLoseTheirMarkers)
{
    EXPECT_EQ(expand("my $x = '!!!#Foo#!!!';"), QStringLiteral("my $x = 'Foo';"));
    EXPECT_EQ(expand("a !!!##!!! b"), QStringLiteral("a  b"));
}

TEST(Placeholders, MidnightShowsTheDateAlone)
{
    const QDateTime midnight(QDate(2026, 12, 6), QTime(0, 0));
    EXPECT_EQ(ExpandPlaceholder(u"!!!#now#!!!", {midnight, QString()}),
              QLocale().toString(midnight.date(), QLocale::ShortFormat));
}

// Markers that do not make a pair, in that order, leave the line as it was.
TEST(Placeholders, IncompleteOrReversedMarkersLeaveTheLineAlone)
{
    for (const char *line : {"print '#!!!x!!!#';", "open !!!# but never closed", "!!!#!!!",
                             "#!!! alone", "text #!!! then !!!# now", "no markers at all", ""})
        EXPECT_EQ(expand(line), QString::fromUtf8(line)) << line;
}

TEST(Placeholders, CurrentValuesComeFromTheClockAndTheAccount)
{
    Clock::setFixed(kWhen);
    setPlaceholderUserName(QString());
    PlaceholderValues v = PlaceholderValues::current();
    EXPECT_EQ(v.now, kWhen);
    EXPECT_EQ(v.user, Platform::registeredOwner());
    setPlaceholderUserName(QStringLiteral("Tester"));
    EXPECT_EQ(PlaceholderValues::current().user, QStringLiteral("Tester"));
    setPlaceholderUserName(QString());
    Clock::setFixed(QDateTime());
}

} // namespace
