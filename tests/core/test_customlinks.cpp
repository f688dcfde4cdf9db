#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"
#include "platform/launcher.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Records what the shell would have been asked to start or open.
class RecordingLauncher : public Platform::Launcher
{
public:
    QStringList *log;
    explicit RecordingLauncher(QStringList *l)
        : log(l)
    {}
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &folder) override
    {
        *log << QStringLiteral("start %1 [%2] in %3").arg(program, arguments.join(u','), folder);
        return true;
    }
    bool openWithDesktop(const QString &target) override
    {
        *log << QStringLiteral("open %1").arg(target);
        return true;
    }
};

class LinkStart : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QStringList log;
    void SetUp() override
    {
        Platform::Launcher::install(std::make_unique<RecordingLauncher>(&log));
    }
    void TearDown() override { Platform::Launcher::install(nullptr); }
    bool start(const QString &value) { return CustomLinks::start(CustomLinks::parse("L", value)); }
};

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

// A program starts with its parameters in its folder; everything else is the desktop's to open.
TEST_F(LinkStart, ProgramsStartAndEverythingElseIsOpened)
{
    const QString notes = dir.filePath("notes.txt");
    const QString script = dir.filePath("tool.sh");
    for (const QString &f : {notes, script}) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_TRUE(start(script + "|-v \"two words\"||0"));
    EXPECT_TRUE(start("sh|-c true||0"));
    EXPECT_TRUE(start(notes + "|-ignored||0"));
    EXPECT_TRUE(start(dir.path() + "||"));
    EXPECT_TRUE(start("https://www.perl.org/||"));
    EXPECT_FALSE(start("||"));
    EXPECT_EQ(log, QStringList({"start " + script + " [-v,two words] in " + dir.path() + "/",
                                "start sh [-c,true] in ", "open " + notes, "open " + dir.path(),
                                "open https://www.perl.org/"}));
}

TEST(Launcher, WhatCountsAsAProgram)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_TRUE(Platform::isProgram("/bin/sh"));
    EXPECT_TRUE(Platform::isProgram("sh"));
    EXPECT_FALSE(Platform::isProgram(dir.filePath("plain")));
    EXPECT_FALSE(Platform::isProgram(dir.path()));
    EXPECT_FALSE(Platform::isProgram("no-such-program-here"));
    EXPECT_FALSE(Platform::isProgram(""));
}

} // namespace
