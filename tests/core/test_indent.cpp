#include "core/editor/indent.h"

#include <gtest/gtest.h>

using namespace Indent;

namespace {

const Style kTabs{4, false};
const Style kSpaces{4, true};

// A line with one edit applied.
QString applied(QString line, const Edit &e)
{
    return line.replace(e.at, e.removed, e.inserted);
}

} // namespace

TEST(Indent, ANewLineKeepsTheIndentationAndOpensALevelAfterABrace)
{
    EXPECT_EQ(newLine(u"    my $x = 1;", kSpaces), QStringLiteral("    "));
    EXPECT_EQ(newLine(u"\tif ($x) {", kTabs), QStringLiteral("\t\t"));
    EXPECT_EQ(newLine(u"\tif ($x) {  \t", kSpaces), QStringLiteral("\t    "));
    EXPECT_EQ(newLine(u"sub f {", kSpaces), QStringLiteral("    "));
    EXPECT_EQ(newLine(u"{", Style{2, true}), QStringLiteral("  "));
    // A brace that is not the last thing before the caret opens nothing.
    EXPECT_EQ(newLine(u"  %h = ({a => 1});", kSpaces), QStringLiteral("  "));
    // The caret inside the indentation: no more blanks than stand before it.
    EXPECT_EQ(newLine(u"  ", kSpaces), QStringLiteral("  "));
    EXPECT_EQ(newLine(u"", kSpaces), QString());
}

TEST(Indent, TabInsertsATabOrBlanksUpToTheNextStop)
{
    EXPECT_EQ(tab(u"ab", kTabs), QStringLiteral("\t"));
    EXPECT_EQ(tab(u"", kSpaces), QStringLiteral("    "));
    EXPECT_EQ(tab(u"ab", kSpaces), QStringLiteral("  "));
    EXPECT_EQ(tab(u"abcd", kSpaces), QStringLiteral("    "));
    EXPECT_EQ(tab(u"a\tb", kSpaces), QStringLiteral("   ")); // the tab reaches column 4
    EXPECT_EQ(tab(u"abc", Style{8, true}), QStringLiteral("     "));
    EXPECT_EQ(tab(u"abc", Style{0, true}), QStringLiteral(" ")); // a stop every column
}

TEST(Indent, LinesGoInAndOutByOneLevel)
{
    EXPECT_EQ(applied("x;", indented(u"x;", kTabs)), QStringLiteral("\tx;"));
    EXPECT_EQ(applied("x;", indented(u"x;", kSpaces)), QStringLiteral("    x;"));
    EXPECT_TRUE(indented(u"", kSpaces).isEmpty());

    const auto out = [](const QString &line, const Style &s) {
        return applied(line, outdented(line, s));
    };
    EXPECT_EQ(out("\t\tx;", kSpaces), QStringLiteral("\tx;"));
    EXPECT_EQ(out("      x;", kSpaces), QStringLiteral("  x;"));
    EXPECT_EQ(out("  x;", kSpaces), QStringLiteral("x;"));
    EXPECT_EQ(out("  \t  x;", kSpaces), QStringLiteral("  x;")); // the tab ends the level
    EXPECT_EQ(out("x;", kSpaces), QStringLiteral("x;"));
    EXPECT_TRUE(outdented(u"x  ;", kSpaces).isEmpty());
}

TEST(Indent, CommentsGoOnForAMixedSetAndOffWhenEveryLineIsOne)
{
    const QStringList code{"my $x;", "", "  print $x;"};
    const QList<Edit> on = commentToggled(code);
    ASSERT_EQ(on.size(), 3);
    EXPECT_EQ(applied(code[0], on[0]), QStringLiteral("#my $x;"));
    EXPECT_TRUE(on[1].isEmpty()); // blank lines stay blank
    EXPECT_EQ(applied(code[2], on[2]), QStringLiteral("#  print $x;"));

    const QStringList commented{"#my $x;", "   ", "  # print $x;", "##!/usr/bin/perl"};
    const QList<Edit> off = commentToggled(commented);
    QStringList back;
    for (int i = 0; i < commented.size(); ++i)
        back << applied(commented[i], off[i]);
    EXPECT_EQ(back, QStringList({"my $x;", "   ", "   print $x;", "#!/usr/bin/perl"}));

    // One line that is code makes the set code: all of it is commented, comments included.
    const QList<Edit> mixed = commentToggled({"# note", "x;"});
    EXPECT_EQ(applied("# note", mixed[0]), QStringLiteral("## note"));
    EXPECT_EQ(commentToggled({"", " "}), (QList<Edit>{{0, 0, "#"}, {0, 0, "#"}}));
}
