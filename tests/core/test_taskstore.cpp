#include "core/common/errors.h"
#include "core/settings/inifile.h"
#include "core/tasks/taskstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 12, 6);
const QString kPara = QStringLiteral("\u00B6");

class TaskStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    TIniFile file{dir.path() + QStringLiteral("/etc/tasks.dat")};
    TaskStore store{file};

    void SetUp() override { QDir().mkpath(dir.path() + QStringLiteral("/etc")); }
    void write(const QByteArray &bytes)
    {
        QFile f(file.fileName());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(file.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static TaskDraft draft(const QString &diz, const QString &text = QStringLiteral("line"))
    {
        return {kDay, QStringLiteral("Ann"), QStringLiteral("Bob"), diz, text};
    }
    QStringList dizOf(const QDate &day) const
    {
        QStringList keys;
        for (const TaskRow &r : store.load(day))
            keys << r.diz;
        return keys;
    }
};

TEST_F(TaskStoreTest, StoresTheDocumentedLayout)
{
    store.store({kDay, "Ann", "Bob", "Buy milk", "line one\nline two"});
    EXPECT_EQ(contents(), QStringLiteral("[06.12.2026]\nBuy milk=0|Bob|<Ann said:>\u00B6line one"
                                         "\u00B6line two\n")
                                  .toUtf8());
    EXPECT_EQ(Tasks::sectionName(QDate(2027, 1, 2)), QStringLiteral("02.01.2027"));
}

TEST_F(TaskStoreTest, RoundTripGivesRowsValuesAndLines)
{
    store.store({kDay, "Ann", "Bob", "Call", "first\n\tindented\n\nlast"});
    store.store({kDay, "Cy", "Dee", "Write", "x"});
    store.store({kDay.addDays(1), "Ann", "Eve", "Other day", "y"});

    const QVector<TaskRow> rows = store.load(kDay);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].forWhom, QStringLiteral("Bob"));
    EXPECT_EQ(rows[0].diz, QStringLiteral("Call"));
    EXPECT_FALSE(rows[0].checked);
    EXPECT_EQ(rows[1].diz, QStringLiteral("Write"));

    const QString v = store.value(kDay, "CALL");
    EXPECT_EQ(Tasks::shownLines(v), (QStringList{"<Ann said:>", "first", "\tindented", "", "last"}));
    EXPECT_EQ(Tasks::editLines(v), (QStringList{"first", "\tindented", "", "last"}));
    EXPECT_EQ(dizOf(kDay.addDays(1)), QStringList{"Other day"});
    EXPECT_TRUE(store.load(kDay.addDays(2)).isEmpty());
    EXPECT_EQ(store.value(kDay, "nothing"), QStringLiteral("[?]|[?]|[?]"));
}

TEST_F(TaskStoreTest, AnyLineBreakStyleOfTheTextSeparatesLines)
{
    const QString text = QStringLiteral("a\r\nb\rc\u2029d\u2028e");
    EXPECT_EQ(Tasks::composeValue(draft("x", text)),
              QStringLiteral("0|Bob|<Ann said:>\u00B6a\u00B6b\u00B6c\u00B6d\u00B6e"));
}

TEST_F(TaskStoreTest, DizDifferingOnlyInCaseIsTheSameTask)
{
    store.store(draft("Report", "old"));
    store.store(draft("REPORT", "new"));
    EXPECT_EQ(dizOf(kDay), QStringList{"Report"});
    EXPECT_EQ(Tasks::editLines(store.value(kDay, "report")), QStringList{"new"});
}

TEST_F(TaskStoreTest, RemoveDeletesOnlyThatTask)
{
    store.store(draft("A"));
    store.store(draft("B"));
    store.remove(kDay, "a");
    EXPECT_EQ(dizOf(kDay), QStringList{"B"});
    const QByteArray before = contents();
    store.remove(kDay, "missing");
    store.remove(kDay.addDays(3), "B");
    EXPECT_EQ(contents(), before);
}

// The bulk reader must see the file exactly as the settings object does.
TEST_F(TaskStoreTest, BulkReaderAgreesWithTheSettingsObject)
{
    write("; comment\r\n"
          "[06.12.2026]\r\n"
          "  Spaced key  =  0|Bob|<A said:>\xC2\xB6x  \r\n"
          "Quoted=\"1|Q|<A said:>\xC2\xB6q\"\r\n"
          "; Commented=0|no|no\r\n"
          "no equals sign here\r\n"
          "dup=0|first|t\r\n"
          "DUP=0|second|t\r\n"
          "=0|empty key|t\r\n"
          "Empty=\r\n"
          "[06.12.2026]\r\n"
          "Later section=0|hidden|t\r\n"
          "[07.12.2026]\r\n"
          "Next=0|n|t\r\n");
    QStringList keys;
    file.ReadSection(Tasks::sectionName(kDay), keys);
    EXPECT_EQ(dizOf(kDay), keys);
    EXPECT_EQ(keys, (QStringList{"Spaced key", "Quoted", "dup", "Empty"}));
    for (const QString &k : keys)
        EXPECT_EQ(store.value(kDay, k), file.ReadString(Tasks::sectionName(kDay), k, "[?]|[?]|[?]"))
                << k.toStdString();
    EXPECT_EQ(store.load(kDay)[1].forWhom, QStringLiteral("Q"));
    EXPECT_TRUE(store.load(kDay)[1].checked);
}

// Deseret capital and small long I: case variants outside the Basic Multilingual Plane.
TEST_F(TaskStoreTest, CaseVariantsOutsideTheBasicPlaneAreOneTaskAsForTheSettingsObject)
{
    write("[06.12.2026]\r\n"
          "\xF0\x90\x90\x80note=0|first|t\r\n"
          "\xF0\x90\x90\xA8NOTE=0|second|t\r\n");
    QStringList keys;
    file.ReadSection(Tasks::sectionName(kDay), keys);
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(dizOf(kDay), keys);
    EXPECT_EQ(store.load(kDay).size(), 1u);
}

// Long s and final sigma equal s and sigma only under case folding, not under lower-casing:
// every reader of the file must still see the same tasks.
TEST_F(TaskStoreTest, KeysEqualUnderCaseFoldingAreOneTaskForEveryReader)
{
    write("[06.12.2026]\r\n"
          "\xC5\xBFign=0|first|t\r\n"
          "Sign=0|second|t\r\n"
          "\xCF\x82x=0|third|t\r\n"
          "\xCF\x83X=0|fourth|t\r\n");
    QStringList keys;
    file.ReadSection(Tasks::sectionName(kDay), keys);
    EXPECT_EQ(keys, (QStringList{"\u017Fign", "\u03C2x"}));
    EXPECT_EQ(dizOf(kDay), keys);
    QStringList pairs;
    file.ReadSectionValues(Tasks::sectionName(kDay), pairs);
    EXPECT_EQ(pairs.size(), 2);
    for (const QString &k : {QStringLiteral("sign"), QStringLiteral("\u03A3x")})
        EXPECT_EQ(store.value(kDay, k), file.ReadString(Tasks::sectionName(kDay), k, "-"))
                << k.toStdString();
}

TEST_F(TaskStoreTest, OldFilesInTheEightBitSetReadTheSeparator)
{
    write("[06.12.2026]\nOld=0|Bob|<Ann said:>\xB6"
          "caf\xE9\xB6two\n");
    EXPECT_EQ(Tasks::editLines(store.value(kDay, "Old")), (QStringList{"caf\u00E9", "two"}));
}

TEST_F(TaskStoreTest, StateFlagThatIsNoWholeNumberCountsAsZeroAndLoadingGoesOn)
{
    write("[06.12.2026]\n"
          "One=1|a|t\n"
          "Bad=yes|b|t\n"
          "Float=1.5|c|t\n"
          "Hex=0x10|d|t\n"
          "Blank= |e|t\n"
          "Zero=0|f|t\n"
          "After=7|g|t\n");
    const QVector<TaskRow> rows = store.load(kDay);
    ASSERT_EQ(rows.size(), 7);
    QList<bool> checked;
    for (const TaskRow &r : rows)
        checked << r.checked;
    EXPECT_EQ(checked, (QList<bool>{true, false, false, true, false, false, true}));
    EXPECT_EQ(rows.last().forWhom, QStringLiteral("g"));
}

TEST_F(TaskStoreTest, BadFileContentLoadsWhatItCan)
{
    // Binary noise (not UTF-8, so the 8-bit set applies), a section that is no date, a broken
    // header, lines without a key, values with fewer than three fields.
    const QByteArray bytes = QByteArray("\x00\x01garbage\xFF\xFE\n", 12)
                             + "[not a date]\nStray=0|x|t\n[06.12.2026\n=====\n[]\n"
                               "[06.12.2026]\nShort=0|OnlyFor\nNoFields=plain\n ]]]] \n"
                               "Good=0|Bob|<A said:>\xB6ok\n";
    write(bytes);
    const QVector<TaskRow> rows = store.load(kDay);
    ASSERT_EQ(dizOf(kDay), (QStringList{"Short", "NoFields", "Good"}));
    // A field past the last one is the last one: what is there is shown, nothing is invented.
    EXPECT_EQ(rows[0].forWhom, QStringLiteral("OnlyFor"));
    EXPECT_EQ(Tasks::shownLines(store.value(kDay, "Short")), QStringList{"OnlyFor"});
    EXPECT_EQ(rows[1].forWhom, QStringLiteral("plain"));
    EXPECT_EQ(Tasks::editLines(store.value(kDay, "Good")), QStringList{"ok"});
    EXPECT_TRUE(store.load(QDate()).isEmpty());
}

TEST_F(TaskStoreTest, EveryLineOfALongTaskIsShownPastTwoHundredFiftyFive)
{
    for (int lines : {255, 256, 257, 300, 1000}) {
        QStringList text;
        for (int i = 1; i <= lines; ++i)
            text << QStringLiteral("line %1").arg(i);
        const QString diz = QStringLiteral("Long %1").arg(lines);
        store.store(draft(diz, text.join(u'\n')));
        const QString v = store.value(kDay, diz);
        const QStringList shown = Tasks::shownLines(v);
        ASSERT_EQ(shown.size(), lines + 1) << lines;
        EXPECT_EQ(shown.first(), QStringLiteral("<Ann said:>"));
        EXPECT_EQ(shown.last(), QStringLiteral("line %1").arg(lines));
        EXPECT_EQ(Tasks::editLines(v), text);
    }
}

TEST_F(TaskStoreTest, LongTextsAreStoredAndReadBackWhole)
{
    QString line(100000, u'x');
    line[2047] = u'!';
    line.back() = u'E';
    store.store(draft("Huge", line + "\nsecond"));
    const QString v = store.value(kDay, "Huge");
    EXPECT_EQ(v.size(), QStringLiteral("0|Bob|<Ann said:>").size() + 1 + 100000 + 1 + 6);
    EXPECT_EQ(Tasks::editLines(v), (QStringList{line, "second"}));
    EXPECT_EQ(file.ReadString("06.12.2026", "Huge", ""), v);
}

TEST_F(TaskStoreTest, WhatIsStoredReadsBackTheSame)
{
    // Trailing blanks would be stripped by the reader; the stored value must not differ.
    for (const QString &text :
         {QStringLiteral("ends with blanks   "), QStringLiteral("tab\t"), QStringLiteral("a\n   "),
          QStringLiteral("\"quoted\""), QStringLiteral("a=b; [c] #d")}) {
        const TaskDraft d = draft("Keep", text);
        store.store(d);
        EXPECT_EQ(store.value(kDay, "Keep"), Tasks::composeValue(d)) << text.toStdString();
    }
}

struct RefusedCase
{
    const char *name;
    TaskDraft draft;
    const char *mentions; // a piece the message must hold
};

void PrintTo(const RefusedCase &c, std::ostream *os)
{
    *os << c.name;
}

class DraftRefused : public ::testing::TestWithParam<RefusedCase>
{};

TEST_P(DraftRefused, WithAClearMessageAndNothingWritten)
{
    const RefusedCase &c = GetParam();
    const QString message = Tasks::draftProblem(c.draft);
    ASSERT_FALSE(message.isEmpty());
    EXPECT_TRUE(message.startsWith(QStringLiteral("Oops!"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.mentions))) << message.toStdString();

    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/etc");
    TIniFile file(dir.path() + "/etc/tasks.dat");
    TaskStore store(file);
    EXPECT_THROW(store.store(c.draft), FormatError);
    EXPECT_FALSE(QFile::exists(file.fileName()));
}

INSTANTIATE_TEST_SUITE_P(
        TaskDrafts, DraftRefused,
        ::testing::Values(
                RefusedCase{"EmptyFrom", {kDay, "", "Bob", "d", "t"}, "At least one of the fields"},
                RefusedCase{"EmptyFor", {kDay, "Ann", "", "d", "t"}, "At least one of the fields"},
                RefusedCase{"EmptyDiz", {kDay, "Ann", "Bob", "", "t"}, "At least one of the fields"},
                RefusedCase{"EmptyText", {kDay, "Ann", "Bob", "d", ""}, "At least one of the fields"},
                RefusedCase{"BlankText",
                            {kDay, "Ann", "Bob", "d", " \n\t"},
                            "At least one of the fields"},
                RefusedCase{"DizWithEquals", {kDay, "Ann", "Bob", "a=b", "t"}, "\"a=b\""},
                RefusedCase{"DizOpeningBracket",
                            {kDay, "Ann", "Bob", "[x]", "t"},
                            "begin with \"[\""},
                RefusedCase{"DizSemicolon", {kDay, "Ann", "Bob", " ;x", "t"}, "\";\""},
                RefusedCase{"DizLineBreak", {kDay, "Ann", "Bob", "a\nb", "t"}, "line break"},
                RefusedCase{"DizParagraphBreak", {kDay, "Ann", "Bob", "a\u2029b", "t"}, "line break"},
                RefusedCase{"ForWithBar", {kDay, "Ann", "B|ob", "d", "t"}, "\"For\" contains \"|\""},
                RefusedCase{"FromWithBar",
                            {kDay, "A|nn", "Bob", "d", "t"},
                            "\"From\" contains \"|\""},
                RefusedCase{"TextWithBar",
                            {kDay, "Ann", "Bob", "d", "a\nb|c"},
                            "\"Text\" contains \"|\""},
                RefusedCase{"ForWithPilcrow",
                            {kDay, "Ann", "B\u00B6", "d", "t"},
                            "\"For\" contains \"\u00B6\""},
                RefusedCase{"FromWithPilcrow",
                            {kDay, "\u00B6Ann", "Bob", "d", "t"},
                            "\"From\" contains"},
                RefusedCase{"TextWithPilcrow",
                            {kDay, "Ann", "Bob", "d", "1\u00B62"},
                            "lines of a task"},
                RefusedCase{"ForLineBreak", {kDay, "Ann", "Bo\nb", "d", "t"}, "single line"},
                RefusedCase{"NoDate", {QDate(), "Ann", "Bob", "d", "t"}, "date"}),
        [](const auto &info) { return std::string(info.param.name); });

TEST_F(TaskStoreTest, DizThatTheFormatCanHoldIsAcceptedAndReadBackAsWritten)
{
    for (const QString &diz :
         {QStringLiteral("a|b"), QStringLiteral("x\u00B6y"), QStringLiteral("ends]"),
          QStringLiteral("a [b] c"), QStringLiteral("#hash"), QStringLiteral("caf\u00E9 \u2713")}) {
        ASSERT_TRUE(Tasks::draftProblem(draft(diz)).isEmpty()) << diz.toStdString();
        store.store(draft(diz));
    }
    EXPECT_EQ(dizOf(kDay),
              (QStringList{"a|b", "x\u00B6y", "ends]", "a [b] c", "#hash", "caf\u00E9 \u2713"}));
    EXPECT_EQ(store.value(kDay, "A [B] C"), QStringLiteral("0|Bob|<Ann said:>\u00B6line"));
}

TEST_F(TaskStoreTest, AFailedWriteSaysWhichFile)
{
    TIniFile nowhere(dir.path() + "/missing/etc/tasks.dat");
    TaskStore s(nowhere);
    try {
        s.store(draft("d"));
        FAIL() << "no error";
    } catch (const IoError &e) {
        EXPECT_EQ(e.message(), "Unable to write to " + nowhere.fileName());
    }
}

} // namespace
