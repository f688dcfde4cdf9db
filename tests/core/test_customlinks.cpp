#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CustomLinks, FieldsOfAFullValue)
{
    const CustomLink l = CustomLinks::parse("Editor", "/usr/bin/gedit|-s --new|/usr/lib/x.so|4");
    EXPECT_EQ(l.name, "Editor");
    EXPECT_EQ(l.program, "/usr/bin/gedit");
    EXPECT_EQ(l.parameters, "-s --new");
    EXPECT_EQ(l.iconFile, "/usr/lib/x.so");
    EXPECT_EQ(l.iconIndex, 4);
}

TEST(CustomLinks, IndexThatIsNoWholeNumberGivesIconZero)
{
    // Short values repeat their last field: the index becomes the icon file or the program.
    EXPECT_EQ(CustomLinks::parse("a", "/bin/ls|-l|/bin/ls|").iconIndex, 0);
    EXPECT_EQ(CustomLinks::parse("a", "/bin/ls|-l|/bin/ls").iconIndex, 0);
    EXPECT_EQ(CustomLinks::parse("a", "/bin/ls|-l|/bin/ls|2.5").iconIndex, 0);
    EXPECT_EQ(CustomLinks::parse("a", "").iconIndex, 0);
    EXPECT_EQ(CustomLinks::parse("a", "/bin/ls|-l|/bin/ls|7").iconIndex, 7);
}

TEST(CustomLinks, BadIndexDoesNotStopLaterLinks)
{
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("q.cfg"));
    ini.WriteString("CustomLinks", "first", "/bin/true||/bin/true|0");
    ini.WriteString("CustomLinks", "broken", "/bin/ls|-l|/bin/ls,x");
    ini.WriteString("CustomLinks", "last", "/bin/false||/bin/false|3");
    const QList<CustomLink> links = CustomLinks::load(ini);
    ASSERT_EQ(links.size(), 3);
    EXPECT_EQ(links[0].name, "first");
    EXPECT_EQ(links[1].iconIndex, 0);
    EXPECT_EQ(links[2].name, "last");
    EXPECT_EQ(links[2].iconIndex, 3);
}

TEST(CustomLinks, IconBoxCommaBecomesFieldSeparator)
{
    EXPECT_EQ(CustomLinks::composeValue("/usr/bin/prog", "-x", "/usr/lib/libicons.so,4"),
              "/usr/bin/prog|-x|/usr/lib/libicons.so|4");
    const CustomLink l = CustomLinks::parse("n",
                                            CustomLinks::composeValue("/usr/bin/prog", "",
                                                                      "/usr/lib/libicons.so,4"));
    EXPECT_EQ(l.iconFile, "/usr/lib/libicons.so");
    EXPECT_EQ(l.iconIndex, 4);
    EXPECT_EQ(CustomLinks::iconBoxText("/p|x|/i.ico|2"), "/i.ico,2");
}

TEST(CustomLinks, WorkingFolderKeepsTrailingSeparator)
{
    EXPECT_EQ(CustomLinks::workingFolder("/usr/bin/gedit"), "/usr/bin/");
    EXPECT_EQ(CustomLinks::workingFolder("gedit"), "");
    EXPECT_EQ(CustomLinks::workingFolder("C:\\tools\\x.exe"), "C:\\tools\\");
}

TEST(CustomLinks, ParametersSplitLikeAShell)
{
    EXPECT_EQ(CustomLinks::arguments("-a \"two words\" b"), QStringList({"-a", "two words", "b"}));
    EXPECT_TRUE(CustomLinks::arguments("").isEmpty());
}

TEST(CustomLinks, NamesTheFileCannotHoldAreRefused)
{
    EXPECT_TRUE(CustomLinks::nameProblem("My editor").isEmpty());
    for (const QString bad : {"a=b", "[x", ";x", "two\nlines", "", "a|b"})
        EXPECT_FALSE(CustomLinks::nameProblem(bad).isEmpty()) << bad.toStdString();
}

TEST(CustomLinks, NamesDifferingInCaseAreOneLink)
{
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("q.cfg"));
    ini.WriteString("CustomLinks", "Shell", "/bin/sh||/bin/sh|0");
    ini.WriteString("CustomLinks", "SHELL", "/bin/bash||/bin/bash|0");
    const QList<CustomLink> links = CustomLinks::load(ini);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].program, "/bin/bash");
}

} // namespace
