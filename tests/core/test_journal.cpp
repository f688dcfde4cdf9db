#include "core/common/textfile.h"
#include "core/journal/journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <gtest/gtest.h>

namespace {

const JournalEntry kNamed{QStringLiteral("/home/u/odd\nname \u00e9.pl"), true,
                          QStringLiteral("use strict;\r\nprint \"\u00b6 \u20ac \U0001F600\";\n")};
const JournalEntry kNew{QStringLiteral("Noname #3"), false, QStringLiteral("my $x = 1;")};

QByteArray contentsOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(JournalFormat, EntriesComeBackAsWritten)
{
    for (const JournalEntry &e : {kNamed, kNew, JournalEntry{QStringLiteral("x"), true, {}}}) {
        const auto back = decodeJournalEntry(encodeJournalEntry(e));
        ASSERT_TRUE(back.has_value()) << e.script.toStdString();
        EXPECT_EQ(*back, e);
    }
}

TEST(JournalFormat, TornChangedOrForeignFilesAreRefused)
{
    const QByteArray whole = encodeJournalEntry(kNamed);
    // Cut anywhere, the way a write broken off leaves a file.
    for (qsizetype n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(decodeJournalEntry(whole.left(n))) << "cut at " << n;
    EXPECT_FALSE(decodeJournalEntry(whole + "x"));
    // One byte changed anywhere: in the name, a length digit, the checksum, or the text.
    for (qsizetype at = 0; at < whole.size(); ++at) {
        QByteArray changed = whole;
        changed[at] = char(changed[at] ^ 0x01);
        EXPECT_FALSE(decodeJournalEntry(changed)) << "byte " << at;
    }
    EXPECT_FALSE(decodeJournalEntry("print 1;\n"));
    EXPECT_FALSE(decodeJournalEntry(QByteArray(64, '\0')));
    EXPECT_FALSE(decodeJournalEntry(encodeJournalEntry({QString(), false, "lost"})));
}

struct JournalFolders : ::testing::Test
{
    QTemporaryDir dir;
    QThreadPool pool;
    QString root() const { return dir.filePath(QStringLiteral("journal")); }
    QStringList folders() const
    {
        return QDir(root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(JournalFolders, ALiveSessionIsNotOfferedAndADeadOneIsOnceOnly)
{
    QString entryFile;
    {
        JournalSession session(root());
        ASSERT_TRUE(session.isOpen());
        JournalWriter writer(&pool);
        entryFile = session.entryFile(7);
        writer.write(entryFile, kNamed);
        writer.wait();
        // Another program on the same folder, running at the same time.
        EXPECT_TRUE(JournalLeftovers(root()).entries().empty());
    } // ends the way a kill does: no close()
    ASSERT_TRUE(QFile::exists(entryFile));
    // What broken-off writes leave beside it is no entry.
    const QByteArray whole = contentsOf(entryFile);
    put(QFileInfo(entryFile).path() + QStringLiteral("/8.journal"), whole.left(whole.size() - 3));
    put(entryFile + QStringLiteral(".Ab12Cd"), whole);

    JournalLeftovers left(root());
    ASSERT_EQ(left.entries().size(), 1u);
    EXPECT_EQ(left.entries()[0].entry, kNamed);
    // Held while it is being offered: a second start at the same time sees nothing.
    EXPECT_TRUE(JournalLeftovers(root()).entries().empty());
    left.drop(left.entries()[0]);
    left.finish();
    EXPECT_TRUE(folders().isEmpty());
    EXPECT_TRUE(JournalLeftovers(root()).entries().empty());
}

TEST_F(JournalFolders, AnEntryNotDealtWithStaysForTheNextStartAndACleanEndLeavesNothing)
{
    {
        JournalSession session(root());
        JournalWriter writer(&pool);
        writer.write(session.entryFile(1), kNamed);
        writer.write(session.entryFile(2), kNew);
    }
    {
        JournalLeftovers left(root());
        ASSERT_EQ(left.entries().size(), 2u);
        left.drop(left.entries()[0]);
        left.finish();
    }
    JournalLeftovers again(root());
    ASSERT_EQ(again.entries().size(), 1u);
    EXPECT_EQ(again.entries()[0].entry, kNew);

    JournalSession session(root());
    JournalWriter writer(&pool);
    writer.write(session.entryFile(1), kNew);
    writer.wait();
    session.close();
    EXPECT_EQ(folders().size(), 1); // only the one left before
}

TEST_F(JournalFolders, AFailedWriteIsToldOnceAndKeepsTheEntryBefore)
{
    JournalSession session(root());
    JournalWriter writer(&pool);
    QStringList told;
    writer.setFailureHandler([&](const QString &why) { told << why; });
    const QString file = session.entryFile(1);
    writer.write(file, kNamed);
    writer.wait();
    // The folder turns into a file: no write can succeed, even as root.
    const QString blocked = QFileInfo(file).path() + QStringLiteral("/blocked");
    put(blocked, "");
    writer.write(blocked + QStringLiteral("/2.journal"), kNew);
    writer.write(blocked + QStringLiteral("/3.journal"), kNew);
    writer.wait();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(blocked)) << told[0].toStdString();
    EXPECT_EQ(decodeJournalEntry(contentsOf(file)), kNamed);
    // After a write that works, the next failure is told again.
    writer.write(file, kNew);
    writer.write(blocked + QStringLiteral("/4.journal"), kNew);
    writer.wait();
    EXPECT_EQ(told.size(), 2);
    EXPECT_EQ(decodeJournalEntry(contentsOf(file)), kNew);
}

TEST_F(JournalFolders, TheLastOperationOnAFileIsTheOneThatStands)
{
    JournalSession session(root());
    JournalWriter writer(&pool);
    const QString a = session.entryFile(1);
    const QString b = session.entryFile(2);
    for (int i = 0; i < 50; ++i) {
        writer.write(a, {QStringLiteral("a"), false, QString::number(i)});
        writer.write(b, {QStringLiteral("b"), false, QString::number(i)});
        if (i % 7 == 0)
            writer.remove(b);
    }
    writer.write(a, {QStringLiteral("a"), false, QStringLiteral("last")});
    writer.remove(b);
    writer.wait();
    const auto last = decodeJournalEntry(contentsOf(a));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->text, QStringLiteral("last"));
    EXPECT_FALSE(QFile::exists(b));
    // No write left its temporary file behind.
    EXPECT_TRUE(atomicWriteLeftovers(a).isEmpty());
}

} // namespace
