#include "core/settings/programdir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramData : ::testing::Test
{
    QTemporaryDir shipped;
    QTemporaryDir home;

    static void put(const QString &path, const QByteArray &bytes,
                    const QDateTime &modified = QDateTime())
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.flush(); // else the close writes and the time becomes now
        if (modified.isValid()) {
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }
    static QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString at(const QString &rel) const { return home.filePath(rel); }

    void SetUp() override
    {
        put(shipped.filePath("etc/editorcolors.def"), "[Keys]\n0if=Arial|10|255|1|0|0|0\n");
        put(shipped.filePath("etc/runsettings.cfg"), "[Temporary]\nw=1\n");
        put(shipped.filePath("lib/Standard/loop.plt"), "shipped loop");
        put(shipped.filePath("lib/Standard/sub.plt"), "shipped sub");
        put(shipped.filePath("doc/help/index.html"), "shipped help");
        put(shipped.filePath("doc/today/today.html"), "shipped today");
    }
};

} // namespace

// A home whose folders exist already still gets every shipped file it lacks, one by one,
// and keeps each file it has, changed or not; only the template library, once there, is left
// as the user pruned it.
TEST_F(ProgramData, ExistingFoldersGetTheMissingShippedFilesOnly)
{
    put(at("etc/quillforge.cfg"), "[Config]\nWelcome=0\n");
    put(at("etc/runsettings.cfg"), "[Mine]\nw=0\n");
    put(at("lib/Standard/loop.plt"), "my loop");
    put(at("lib/Mine/x.plt"), "mine");
    QDir().mkpath(at("doc"));

    ensureProgramData(home.path(), shipped.path());

    EXPECT_EQ(bytesOf(at("etc/quillforge.cfg")), QByteArray("[Config]\nWelcome=0\n"));
    EXPECT_EQ(bytesOf(at("etc/runsettings.cfg")), QByteArray("[Mine]\nw=0\n"));
    EXPECT_EQ(bytesOf(at("etc/editorcolors.def")),
              bytesOf(shipped.filePath("etc/editorcolors.def")));
    EXPECT_EQ(bytesOf(at("lib/Standard/loop.plt")), QByteArray("my loop"));
    EXPECT_FALSE(QFileInfo::exists(at("lib/Standard/sub.plt")));
    EXPECT_EQ(bytesOf(at("lib/Mine/x.plt")), QByteArray("mine"));
    EXPECT_EQ(bytesOf(at("doc/help/index.html")), QByteArray("shipped help"));
    EXPECT_EQ(bytesOf(at("doc/today/today.html")), QByteArray("shipped today"));
}

TEST_F(ProgramData, AnEmptyHomeGetsEverything)
{
    ensureProgramData(home.path(), shipped.path());
    for (const char *rel : {"etc/editorcolors.def", "etc/runsettings.cfg", "lib/Standard/loop.plt",
                            "lib/Standard/sub.plt", "doc/help/index.html", "doc/today/today.html"})
        EXPECT_EQ(bytesOf(at(rel)), bytesOf(shipped.filePath(rel))) << rel;
}

// The user removed the shipped group with the template manager: the next start keeps it gone.
TEST_F(ProgramData, ARemovedTemplateGroupStaysRemoved)
{
    put(at("lib/Mine/x.plt"), "mine");
    ensureProgramData(home.path(), shipped.path());
    EXPECT_FALSE(QFileInfo::exists(at("lib/Standard")));
    EXPECT_TRUE(QFileInfo::exists(at("etc/editorcolors.def")));
}

// A kill during a save leaves the save's temporary file ("<state file>.XXXXXX") in etc/.
TEST_F(ProgramData, StartRemovesLeftoversOfInterruptedSaves)
{
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    const QStringList leftovers = {"etc/quillforge.cfg.aBcDeF", "etc/tasks.dat.QWERTY",
                                   "etc/runsettings.cfg.xYz123", "etc/editorcolors.def.AAAAAA"};
    for (const QString &rel : leftovers)
        put(at(rel), "half", old);
    const QStringList kept = {
            "etc/quillforge.cfg",         // the state file itself
            "etc/quillforge.cfg.bak",     // not six characters
            "etc/quillforge.cfg.aBcDeFg", // seven
            "etc/quillforge.cfg.aB-DeF",  // not letters and digits
            "etc/notes.txt.aBcDeF",       // not a state file
            "etc/Quillforge.cfg.aBcDeF",  // another name
            "lib/quillforge.cfg.aBcDeF",  // not in etc/
            "quillforge.cfg.aBcDeF",      // nor here
    };
    for (const QString &rel : kept)
        put(at(rel), "keep", old);
    // A save in progress in another window of the program is no leftover.
    put(at("etc/tasks.dat.NowNow"), "writing");

    ensureProgramData(home.path(), shipped.path());

    for (const QString &rel : leftovers)
        EXPECT_FALSE(QFileInfo::exists(at(rel))) << rel.toStdString();
    for (const QString &rel : kept)
        EXPECT_EQ(bytesOf(at(rel)), QByteArray("keep")) << rel.toStdString();
    EXPECT_TRUE(QFileInfo::exists(at("etc/tasks.dat.NowNow")));
}

// The program folder itself is its own home: nothing to copy, but the leftovers still go.
TEST_F(ProgramData, LeftoversGoAlsoWhenTheHomeIsTheProgramFolder)
{
    const QString left = shipped.filePath("etc/quillforge.cfg.aBcDeF");
    put(left, "half", QDateTime::currentDateTime().addSecs(-3600));
    ensureProgramData(shipped.path(), shipped.path());
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_TRUE(QFileInfo::exists(shipped.filePath("etc/runsettings.cfg")));
}
