#include "core/common/errors.h"
#include "core/settings/inifile.h"
#include "core/settings/recentfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Recent : ::testing::Test
{
    QTemporaryDir dir;
    TIniFile ini{dir.path() + "/q.cfg"};
    QStringList list;
    QDateTime t{QDate(2026, 12, 6), QTime(18, 51, 21)};
    void open(const QString &p, int max)
    {
        RecentFiles::recordOpening(ini, list, p, max, t);
        t = t.addSecs(1);
    }
};

TEST_F(Recent, KeepsTheNewestUpToTheLimit)
{
    for (const char *p : {"/a.pl", "/b.pl", "/c.pl", "/d.pl"})
        open(QLatin1String(p), 3);
    EXPECT_EQ(list, (QStringList{"/b.pl", "/c.pl", "/d.pl"}));
    QStringList keys;
    ini.ReadSection("Recent", keys);
    EXPECT_EQ(keys.size(), 3);
}

TEST_F(Recent, ReopeningKeepsPlaceAndKeyButStillTrims)
{
    open("/a.pl", 3);
    open("/b.pl", 3);
    QStringList before;
    ini.ReadSection("Recent", before);
    open("/A.PL", 3);
    QStringList after;
    ini.ReadSection("Recent", after);
    EXPECT_EQ(after, before);
    open("/c.pl", 3);
    open("/b.pl", 3); // full: the oldest goes although nothing is added
    EXPECT_EQ(list, (QStringList{"/b.pl", "/c.pl"}));
}

TEST_F(Recent, OpeningsWithinOneSecondAreAllKept)
{
    for (const char *p : {"/a.pl", "/b.pl", "/c.pl"})
        RecentFiles::recordOpening(ini, list, QLatin1String(p), 8, t);
    EXPECT_EQ(list, (QStringList{"/a.pl", "/b.pl", "/c.pl"}));
    // The oldest still goes first, and its key is free again.
    RecentFiles::recordOpening(ini, list, "/d.pl", 3, t);
    RecentFiles::recordOpening(ini, list, "/e.pl", 3, t);
    EXPECT_EQ(list, (QStringList{"/c.pl", "/d.pl", "/e.pl"}));
}

// A stray copy of the [Recent] header inside [Config] (a hand edit, a torn copy) puts Config's
// lines under it: the update must not delete them because a value matches the oldest entry.
TEST_F(Recent, AStrayHeaderInsideConfigLosesNoSettings)
{
    const QByteArray before = "[Config]\n"
                              "RecentCount=2\n"
                              "[Recent]\n"
                              "Run_AutoSaveAs=/home/ada/a.pl\n"
                              "Cmd=/bin/sh\n"
                              "[CodeInspector]\n"
                              "Vars=1\n"
                              "[Recent]\n"
                              "06.12.2026 18:51:21=/home/ada/a.pl\n"
                              "06.12.2026 18:51:22=/home/ada/b.pl\n";
    {
        QFile f(ini.fileName());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    ReadSectionToList(ini, "Recent", list);
    EXPECT_THROW(RecentFiles::recordOpening(ini, list, "/home/ada/c.pl", 2, t), FormatError);
    QFile f(ini.fileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(Recent, MenuListsEveryFileThatStillExists)
{
    const QStringList l{"/1", "/2", "/3", "/gone", "/5"};
    const auto exists = [](const QString &p) {
        return p != QLatin1String("/gone");
    };
    EXPECT_EQ(RecentFiles::menuEntries(l, exists), (QStringList{"/1", "/2", "/3", "/5"}));
    EXPECT_EQ(RecentFiles::menuEntries({"/1"}, exists), QStringList{"/1"});
}

} // namespace
