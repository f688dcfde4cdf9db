#include "core/tools/perltools.h"

#include <gtest/gtest.h>

using namespace PerlTools;

namespace {

QString spanText(const QString &text, const LineSpan &s)
{
    return text.mid(s.from, s.to - s.from);
}

} // namespace

TEST(PerlTidyLines, ASelectionGrowsToTheWholeLinesItTouches)
{
    const QString text = QStringLiteral("one\ntwo\nthree\nfour");
    // No selection: everything.
    const LineSpan all = selectedLines(text, 5, 5);
    EXPECT_EQ(spanText(text, all), text);
    EXPECT_EQ(all.firstLine, 0);
    // From inside "two" to inside "three", either direction.
    for (const auto &[a, b] : {std::pair{5, 10}, std::pair{10, 5}}) {
        const LineSpan s = selectedLines(text, a, b);
        EXPECT_EQ(spanText(text, s), QStringLiteral("two\nthree\n"));
        EXPECT_EQ(s.firstLine, 1);
    }
    // Ending at the start of "three" leaves that line out.
    EXPECT_EQ(spanText(text, selectedLines(text, 4, 8)), QStringLiteral("two\n"));
    // The last line has no break to take along.
    const LineSpan last = selectedLines(text, 15, 17);
    EXPECT_EQ(spanText(text, last), QStringLiteral("four"));
    EXPECT_EQ(last.firstLine, 3);
    // Positions past the end are the end.
    EXPECT_EQ(spanText(text, selectedLines(text, 16, 99)), QStringLiteral("four"));
}

TEST(PerlTidyLines, TheOutputKeepsTheEndingOfTheLinesItReplaces)
{
    EXPECT_EQ(fitted(QStringLiteral("a;\nb;\n"), false), QStringLiteral("a;\nb;"));
    EXPECT_EQ(fitted(QStringLiteral("a;\nb;\n"), true), QStringLiteral("a;\nb;\n"));
    EXPECT_EQ(fitted(QStringLiteral("a;"), true), QStringLiteral("a;\n"));
    EXPECT_EQ(fitted(QString(), true), QString());
}

TEST(PerlTidyLines, TheCaretFindsItsLineAgainCutToWhatTheLineHas)
{
    const QString text = QStringLiteral("ab\ncdef\n\ngh");
    EXPECT_EQ(lineColumn(text, 0).line, 0);
    const LineColumn at = lineColumn(text, 6);
    EXPECT_EQ(at.line, 1);
    EXPECT_EQ(at.column, 3);
    EXPECT_EQ(positionOf(text, at), 6);
    EXPECT_EQ(lineColumn(text, text.size()).line, 3);
    // A column past a shorter line stops at its end; a line past the text, on the last one.
    EXPECT_EQ(positionOf(text, {0, 9}), 2);
    EXPECT_EQ(positionOf(text, {2, 4}), 8);
    EXPECT_EQ(positionOf(text, {9, 1}), 10);
}

TEST(PerlTidyMessages, NumberedComplaintsNameTheScriptsOwnLine)
{
    const QString errors = QStringLiteral("<stdin>: Begin Error Output Stream\n"
                                          "<stdin>:2: final indentation level: 1\n"
                                          "<stdin>: \n"
                                          "<stdin>: The most recent un-matched '{' is on line 2\n"
                                          "<stdin>:2: To save a full .LOG file rerun with -g\n");
    const QStringList lines = tidyMessages(errors, QStringLiteral("/w/a b.pl"), 10);
    EXPECT_EQ(lines, QStringList({"Begin Error Output Stream",
                                  "final indentation level: 1 at /w/a b.pl line 12.", "",
                                  "The most recent un-matched '{' is on line 2",
                                  "To save a full .LOG file rerun with -g at /w/a b.pl line 12."}));
    EXPECT_TRUE(tidyMessages(QString(), QStringLiteral("x.pl"), 0).isEmpty());
}

TEST(PerlCriticReport, FindingsBecomeLinesThatNameFileAndLine)
{
    // Fields as criticArguments() asks for them; a message may hold a tab of its own.
    const QString output = QStringLiteral(
            "1\t1\t5\tTestingAndDebugging::RequireUseStrict\tCode before strictures are "
            "enabled\n"
            "3\t10\t1\tValuesAndExpressions::ProhibitInterpolationOfLiterals\tUseless\tliteral\n"
            "not a finding\n");
    const std::vector<Finding> f = findings(output);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].line, 3);
    EXPECT_EQ(f[1].column, 10);
    EXPECT_EQ(f[1].severity, 1);
    EXPECT_EQ(f[1].message, QStringLiteral("Useless\tliteral"));
    const QStringList report = criticReport(output, QString(), 2, QStringLiteral("/w/x.pl"));
    EXPECT_EQ(report.value(0), QStringLiteral("[5 TestingAndDebugging::RequireUseStrict] Code "
                                              "before strictures are enabled at /w/x.pl line 1."));
    EXPECT_EQ(report.size(), 2);
}

TEST(PerlCriticReport, CleanSourceAndFailuresSayWhatHappened)
{
    EXPECT_EQ(criticReport(QStringLiteral("source OK\n"), QString(), 0, QStringLiteral("x.pl")),
              QStringList({"x.pl source OK"}));
    // A bad profile: perlcritic's own words, not "source OK".
    const QStringList failed = criticReport(QString(), QStringLiteral("Warning: bad profile\n"), 1,
                                            QStringLiteral("x.pl"));
    EXPECT_EQ(failed, QStringList({"Warning: bad profile"}));
    EXPECT_FALSE(criticReport(QString(), QString(), 1, QStringLiteral("x.pl")).isEmpty());
}

TEST(PerlCriticReport, TheSeverityAskedForStaysInRange)
{
    const QStringList low = criticArguments(-3);
    const QStringList high = criticArguments(42);
    EXPECT_EQ(low.value(low.indexOf(QStringLiteral("--severity")) + 1), QStringLiteral("1"));
    EXPECT_EQ(high.value(high.indexOf(QStringLiteral("--severity")) + 1), QStringLiteral("5"));
    EXPECT_TRUE(installHint(Critic).contains(QStringLiteral("apt install libperl-critic-perl")));
}
