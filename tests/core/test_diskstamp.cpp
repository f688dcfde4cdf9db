#include "core/editor/diskstamp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using DiskStamp::Action;
using DiskStamp::Change;
using Platform::fileStamp;

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void setModified(const QString &path, const QDateTime &when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

TEST(DiskStampTest, AnInPlaceWriteOfTheSameSizeIsTold)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.pl");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000);
    write(path, "print 12;\n");
    setModified(path, when);
    const auto before = fileStamp(path);
    ASSERT_TRUE(before.exists);
    EXPECT_EQ(DiskStamp::change(before, fileStamp(path)), Change::None);
    // Same size, same file: only the time tells.
    write(path, "print 21;\n");
    setModified(path, when.addSecs(5));
    EXPECT_EQ(DiskStamp::change(before, fileStamp(path)), Change::Changed);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(DiskStamp::change(before, fileStamp(path)), Change::Vanished);
    // A folder holds no text to compare with.
    EXPECT_FALSE(fileStamp(dir.path()).exists);
}

TEST(DiskStampTest, AFileRenamedOverTheOldOneIsAChangeEvenWithSameSizeAndTime)
{
    // What an editor or git does: write a new file beside the old one, rename it over.
    QTemporaryDir dir;
    const QString path = dir.filePath("b.pl");
    const QString temp = dir.filePath("b.pl.new");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000);
    write(path, "say 'a';\n");
    setModified(path, when);
    write(temp, "say 'b';\n");
    setModified(temp, when);
    const auto known = fileStamp(path);
    ASSERT_EQ(std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()),
              0);
    const auto now = fileStamp(path);
    EXPECT_EQ(now.size, known.size);
    EXPECT_EQ(now.modifiedNs, known.modifiedNs);
    EXPECT_EQ(DiskStamp::change(known, now), Change::Changed);
    EXPECT_FALSE(DiskStamp::mayOverwrite(known, now));
}

TEST(DiskStampTest, OnlyTheUsersOwnTextMakesAQuestion)
{
    for (const bool edited : {false, true}) {
        EXPECT_EQ(DiskStamp::action(Change::None, edited), Action::None);
        // A vanished file never reloads: the text is all that is left.
        EXPECT_EQ(DiskStamp::action(Change::Vanished, edited), Action::TellVanished);
    }
    EXPECT_EQ(DiskStamp::action(Change::Changed, false), Action::Reload);
    EXPECT_EQ(DiskStamp::action(Change::Changed, true), Action::AskReload);
    EXPECT_EQ(DiskStamp::action(Change::Returned, false), Action::Reload);
    EXPECT_EQ(DiskStamp::action(Change::Returned, true), Action::AskReload);
}

TEST(DiskStampTest, ASaveWritesUnaskedOnlyOverWhatItKnows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("c.pl");
    const auto none = fileStamp(path);
    // Nothing there: nothing to lose.
    EXPECT_TRUE(DiskStamp::mayOverwrite(none, fileStamp(path)));
    write(path, "1;\n");
    const auto known = fileStamp(path);
    EXPECT_TRUE(DiskStamp::mayOverwrite(known, fileStamp(path)));
    // Someone put a file where the script's had gone.
    EXPECT_FALSE(DiskStamp::mayOverwrite(none, known));
    write(path, "12;\n");
    EXPECT_FALSE(DiskStamp::mayOverwrite(known, fileStamp(path)));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(DiskStamp::mayOverwrite(known, fileStamp(path)));
}
