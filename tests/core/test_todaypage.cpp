#include "core/common/textfile.h"
#include "core/tasks/todaypage.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TodayValues values(int tasks = 3,
                   const QString &lastOpened = QStringLiteral("/home/ann/work/report.pl"))
{
    return {tasks, QDate(2026, 12, 6), lastOpened};
}

QString page(const QString &templ, const TodayValues &v = values())
{
    return buildTodayPage(templ, v);
}

TEST(TodayPage, TextAroundTheMarkerIsKeptAndLinesEndWithCrLf)
{
    EXPECT_EQ(page("<p>You have ###tasknum### tasks</p>\n<hr>\n"),
              QStringLiteral("<p>You have 3 tasks</p>\r\n<hr>\r\n"));
    // One output line per input line, a last line without a break included.
    EXPECT_EQ(page("a\n\nb"), QStringLiteral("a\r\n\r\nb\r\n"));
    EXPECT_EQ(page(""), QString());
}

TEST(TodayPage, MarkerNamesIgnoreCase)
{
    EXPECT_EQ(page("###DATE###"), QStringLiteral("Sunday, 06 December 2026\r\n"));
    EXPECT_EQ(page("###Date###"), QStringLiteral("Sunday, 06 December 2026\r\n"));
    EXPECT_EQ(page("[###TaskNum###]"), QStringLiteral("[3]\r\n"));
    EXPECT_EQ(page("###LASTOPENED###"), QStringLiteral("open file \"report.pl\"\r\n"));
}

TEST(TodayPage, LastOpenedIsTheFileNameOrAQuestionMark)
{
    EXPECT_EQ(page("###lastopened###", values(0, QString())),
              QStringLiteral("open file \"[?]\"\r\n"));
    EXPECT_EQ(page("###lastopened###", values(0, QStringLiteral("C:\\Perl\\old.pl"))),
              QStringLiteral("open file \"old.pl\"\r\n"));
    EXPECT_EQ(page("###lastopened###", values(0, QStringLiteral("plain.pl"))),
              QStringLiteral("open file \"plain.pl\"\r\n"));
    // The page is HTML: a name is shown, never taken as markup.
    EXPECT_EQ(page("###lastopened###", values(0, QStringLiteral("/t/<b>&.pl"))),
              QStringLiteral("open file \"&lt;b&gt;&amp;.pl\"\r\n"));
}

TEST(TodayPage, UnknownMarkerLeavesItsNameAndOnlyTheFirstMarkerIsReplaced)
{
    EXPECT_EQ(page("x ###hello### y"), QStringLiteral("x hello y\r\n"));
    EXPECT_EQ(page("###tasknum### of ###tasknum###"), QStringLiteral("3 of ###tasknum###\r\n"));
    EXPECT_EQ(page("######rest"), QStringLiteral("rest\r\n"));
    EXPECT_EQ(page("###tasknum######date###"), QStringLiteral("3###date###\r\n"));
}

TEST(TodayPage, NameAndClosingMarkerMustLieWithinTwentyFiveCharacters)
{
    const QString name22(22, u'n');
    const QString name23(23, u'n');
    EXPECT_EQ(page("<" + QString("###") + name22 + "###>"), "<" + name22 + ">\r\n");
    // Without its closing half in reach the line stays as written.
    EXPECT_EQ(page("<###" + name23 + "###>"), "<###" + name23 + "###>\r\n");
    EXPECT_EQ(page("a ### b"), QStringLiteral("a ### b\r\n"));
    EXPECT_EQ(page("a ###tasknum"), QStringLiteral("a ###tasknum\r\n"));
}

TEST(TodayPage, AnyLineBreakStyleGivesOneCrLf)
{
    const QString out = page("a\r\n###tasknum###\r\nb\rc");
    EXPECT_EQ(out, QStringLiteral("a\r\n3\r\nb\r\nc\r\n"));
    EXPECT_FALSE(out.contains(QStringLiteral("\r\r")));
}

// The page the program ships: every marker it uses is replaced, its commands are there and it
// needs nothing from the network.
TEST(TodayPage, ShippedTemplateIsCompleteAndSelfContained)
{
    const QString templ = readTextFile(QStringLiteral(QF_SHIPPED_DATA "/doc/today/index.html")).text;
    ASSERT_FALSE(templ.isEmpty());
    for (const char *marker : {"###tasknum###", "###date###", "###lastopened###"})
        EXPECT_TRUE(templ.contains(QLatin1String(marker), Qt::CaseInsensitive)) << marker;
    for (const char *link : {"\"cmd:editor\"", "\"cmd:tasks\"", "\"cmd:help\""})
        EXPECT_TRUE(templ.contains(QLatin1String(link))) << link;

    const QString out = page(templ, values(7, QStringLiteral("/w/hello.pl")));
    EXPECT_FALSE(out.contains(QStringLiteral("###"))) << "a marker left over";
    EXPECT_TRUE(out.contains(QStringLiteral("Sunday, 06 December 2026")));
    EXPECT_TRUE(out.contains(QStringLiteral("open file \"hello.pl\"")));
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral(">\\s*7\\s*<"))));

    static const QRegularExpression remote(QStringLiteral(
                                                   R"((src|href)\s*=\s*["']?\s*(https?:|//))"
                                                   R"(|url\(\s*["']?\s*(https?:|//)|@import)"),
                                           QRegularExpression::CaseInsensitiveOption);
    EXPECT_FALSE(templ.contains(remote)) << remote.match(templ).captured().toStdString();
    EXPECT_TRUE(templ.contains(QStringLiteral("charset=\"utf-8\""), Qt::CaseInsensitive));
}

} // namespace
