#include "core/run/consolehistory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

TEST(ConsoleHistory, KeepsNeitherBlankLinesNorRepeatsAndDropsTheOldestBeyondTheCap)
{
    ConsoleHistory h(3);
    for (const char *line : {"a", "", "  ", "b", "b", "a", "c", "d"})
        h.add(QString::fromLatin1(line));
    EXPECT_EQ(h.entries(), (QStringList{"a", "c", "d"}));
}

TEST(ConsoleHistory, UpAndDownWalkLikeAShellAndGiveBackWhatWasTyped)
{
    ConsoleHistory h;
    EXPECT_EQ(h.previous("typed"), "typed"); // nothing to recall
    h.add("one");
    h.add("two");
    EXPECT_EQ(h.previous("half"), "two");
    EXPECT_EQ(h.previous("two"), "one");
    EXPECT_EQ(h.previous("one"), "one"); // stays at the oldest
    EXPECT_EQ(h.next(), "two");
    EXPECT_EQ(h.next(), "half");
    EXPECT_FALSE(h.walking());
    EXPECT_EQ(h.next(), "half");
    // A new line ends the walk: Up starts again from the newest.
    EXPECT_EQ(h.previous(""), "two");
    h.add("three");
    EXPECT_EQ(h.previous(""), "three");
}

TEST(ConsoleHistory, RoundTripsThroughItsFileFormat)
{
    ConsoleHistory h;
    h.add("echo 'a b'");
    h.add("perl -e \"print 1\"");
    h.add("ü");
    EXPECT_EQ(h.toBytes(), QByteArray("echo 'a b'\nperl -e \"print 1\"\n\xc3\xbc\n"));
    ConsoleHistory back(2);
    back.loadBytes("x\r\n\ny\nz\n");
    EXPECT_EQ(back.entries(), (QStringList{"y", "z"}));
    back.loadBytes(h.toBytes());
    EXPECT_EQ(back.entries(), h.entries().mid(1));
}

TEST(ConsoleCd, NamesTheFolderOfEachForm)
{
    const QString home = "/home/u", cur = "/work/p", prev = "/tmp";
    auto target = [&](const QString &line) {
        return parseConsoleCd(line, cur, home, prev).target;
    };
    EXPECT_EQ(target("cd"), home);
    EXPECT_EQ(target("  cd  "), home);
    EXPECT_EQ(target("cd ~"), home);
    EXPECT_EQ(target("cd ~/x/y"), "/home/u/x/y");
    EXPECT_EQ(target("cd -"), prev);
    EXPECT_EQ(target("cd sub/../other"), "/work/p/other");
    EXPECT_EQ(target("cd .."), "/work");
    EXPECT_EQ(target("cd /abs/"), "/abs");
    EXPECT_EQ(target("cd 'a b'"), "/work/p/a b");
    EXPECT_EQ(target("cd \"c d\""), "/work/p/c d");
    EXPECT_EQ(target("cd e\\ f"), "/work/p/e f");
    EXPECT_FALSE(parseConsoleCd("cdx", cur, home, prev).isCd);
    EXPECT_FALSE(parseConsoleCd("echo cd", cur, home, prev).isCd);
    EXPECT_FALSE(parseConsoleCd("cd a b", cur, home, prev).error.isEmpty());
    EXPECT_FALSE(parseConsoleCd("cd 'a", cur, home, prev).error.isEmpty());
    EXPECT_FALSE(parseConsoleCd("cd -", cur, home, QString()).error.isEmpty());
}

TEST(ConsoleCd, RefusesWhatIsNotAFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const ConsoleCd ok = consoleCd("cd sub", dir.path(), "/", "");
    EXPECT_EQ(ok.target, dir.filePath("sub"));
    EXPECT_TRUE(ok.error.isEmpty());
    EXPECT_EQ(consoleCd("cd nowhere", dir.path(), "/", "").error, "cd: no such folder: nowhere");
    const ConsoleCd notDir = consoleCd("cd file", dir.path(), "/", "");
    EXPECT_EQ(notDir.error, "cd: no such folder: file");
    EXPECT_TRUE(notDir.target.isEmpty());
}

TEST(ConsoleCd, ThePromptAbbreviatesTheHome)
{
    EXPECT_EQ(consoleFolderText("/home/u", "/home/u/"), "~");
    EXPECT_EQ(consoleFolderText("/home/u/p", "/home/u"), "~/p");
    EXPECT_EQ(consoleFolderText("/home/uv", "/home/u"), "/home/uv");
    EXPECT_EQ(consoleFolderText("/etc", "/"), "/etc");
}
