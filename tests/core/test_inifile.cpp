#include "core/common/errors.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + QStringLiteral("/etc/test.cfg"); }
    void SetUp() override { QDir().mkpath(dir.path() + QStringLiteral("/etc")); }
    void write(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheReadersDefault)
{
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Config", "Cmd", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(ini.ReadInteger("Config", "RecentCount", 8), 8);
    EXPECT_TRUE(ini.ReadBool("Config", "Visible_Explorer", true));
    write("[Other]\nCmd=x\n");
    EXPECT_EQ(ini.ReadString("Config", "Cmd", "dflt"), QStringLiteral("dflt"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/nothing"));
}

TEST_F(IniFileTest, NamesCompareWithoutCaseAndFirstEntryWins)
{
    write("[config]\nCMD=first\ncmd=second\n[Config]\nCmd=third\n");
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Config", "Cmd", ""), QStringLiteral("first"));
    QStringList keys;
    ini.ReadSection("CONFIG", keys);
    EXPECT_EQ(keys, QStringList{"CMD"});
}

TEST_F(IniFileTest, NamesWithBlanksAroundThemAreTheSameNames)
{
    TIniFile ini(path());
    ini.WriteString(" Scheme ", " key ", "1");
    ini.WriteString("Scheme", "key", "2");
    EXPECT_EQ(contents(), QByteArray("[Scheme]\nkey=2\n"));
}

TEST_F(IniFileTest, ValuesAreTrimmedAndLoseMatchingQuotes)
{
    write("[Files_Directories]\nPerl=  /usr/bin/perl  \n");
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Files_Directories", "Perl", ""), QStringLiteral("/usr/bin/perl"));
    ini.WriteString("Files_Directories", "Perl", "\"/opt/my perl/perl\"");
    EXPECT_EQ(ini.ReadString("Files_Directories", "Perl", ""), QStringLiteral("/opt/my perl/perl"));
    ini.WriteString("A", "b", "'x'");
    EXPECT_EQ(ini.ReadString("A", "b", ""), QStringLiteral("x"));
    ini.WriteString("A", "c", "\"unbalanced'");
    EXPECT_EQ(ini.ReadString("A", "c", ""), QStringLiteral("\"unbalanced'"));
    ini.WriteString("A", "d", "a=b=c");
    EXPECT_EQ(ini.ReadString("A", "d", ""), QStringLiteral("a=b=c"));
}

// The reader trims a value, so one written with blanks around it would read back as another
// value: such a value is refused like one with a line break, and blanks inside are kept.
TEST_F(IniFileTest, ValuesWithBlanksAroundThemAreRefused)
{
    write("[A]\nx=1\n");
    TIniFile ini(path());
    for (const QString &v :
         {QStringLiteral("  /srv/a b  "), QStringLiteral(" lead"), QStringLiteral("trail\t"),
          QStringLiteral("\u00A0nbsp"), QStringLiteral(" ")}) {
        const QString problem = TIniFile::valueProblem(v);
        EXPECT_TRUE(problem.startsWith("Oops!")) << problem.toStdString();
        try {
            ini.WriteString("A", "x", v);
            ADD_FAILURE() << "stored " << v.toStdString();
        } catch (const FormatError &e) {
            EXPECT_EQ(e.message(), problem);
        }
    }
    EXPECT_EQ(contents(), QByteArray("[A]\nx=1\n"));
    for (const QString &v : {QStringLiteral("/srv/a b"), QString(), QStringLiteral("a = b")}) {
        EXPECT_TRUE(TIniFile::valueProblem(v).isEmpty()) << v.toStdString();
        ini.WriteString("A", "x", v);
        EXPECT_EQ(ini.ReadString("A", "x", "-"), v);
    }
}

TEST_F(IniFileTest, LongValuesAndManyNamesAreKeptWhole)
{
    TIniFile ini(path());
    const QString longValue(300000, QLatin1Char('x'));
    ini.WriteString("Tasks", "Diz", longValue);
    EXPECT_EQ(ini.ReadString("Tasks", "Diz", ""), longValue);
    for (int i = 0; i < 2000; ++i)
        write(contents() + QByteArray("[Section number ") + QByteArray::number(i) + "]\nk=v\n");
    QStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.size(), 2001);
    EXPECT_EQ(sections.last(), QStringLiteral("Section number 1999"));
}

TEST_F(IniFileTest, IntegersDecimalAndHexadecimal)
{
    write("[Config]\nhex=0x10\ndollar=$1F\nten=ten\nshort=0x\nneg=-12\nbig=99999999999\n"
          "colour=0x00FF0000\nwrap=0xFFFFFFFF\n");
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadInteger("Config", "hex", 8), 16);
    EXPECT_EQ(ini.ReadInteger("Config", "dollar", 8), 31);
    EXPECT_EQ(ini.ReadInteger("Config", "ten", 8), 8);
    EXPECT_EQ(ini.ReadInteger("Config", "short", 8), 8);
    EXPECT_EQ(ini.ReadInteger("Config", "neg", 8), -12);
    EXPECT_EQ(ini.ReadInteger("Config", "big", 8), 8);
    EXPECT_EQ(ini.ReadInteger("Config", "colour", 0), 0xFF0000);
    EXPECT_EQ(ini.ReadInteger("Config", "wrap", 0), -1);
}

TEST_F(IniFileTest, BooleansAreAnyNonZeroInteger)
{
    write("[Config]\ntwo=2\nempty=\nzero=0\njunk=yes\n");
    TIniFile ini(path());
    EXPECT_TRUE(ini.ReadBool("Config", "two", false));
    EXPECT_TRUE(ini.ReadBool("Config", "empty", true));
    EXPECT_FALSE(ini.ReadBool("Config", "empty", false));
    EXPECT_FALSE(ini.ReadBool("Config", "zero", true));
    EXPECT_TRUE(ini.ReadBool("Config", "junk", true));
    ini.WriteBool("Config", "flag", true);
    EXPECT_EQ(ini.ReadString("Config", "flag", ""), QStringLiteral("1"));
}

TEST_F(IniFileTest, WritesReplaceInPlaceAppendToSectionAndFile)
{
    write("; comment kept\n[A]\nx=1\n\n[B]\ny=2\n");
    TIniFile ini(path());
    ini.WriteString("a", "X", "10");
    ini.WriteString("A", "z", "3");
    ini.WriteString("C", "w", "4");
    EXPECT_EQ(contents(), QByteArray("; comment kept\n[A]\nx=10\nz=3\n\n[B]\ny=2\n[C]\nw=4\n"));
}

TEST_F(IniFileTest, CrLfFilesStayCrLf)
{
    write("[A]\r\nx=1\r\n");
    TIniFile ini(path());
    ini.WriteString("A", "y", "2");
    EXPECT_EQ(contents(), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
}

TEST_F(IniFileTest, ListingsInFileOrder)
{
    write("[S]\nb=2\na=\nc=3\nb=dup\n[T]\n[S2]\nq=1\n");
    TIniFile ini(path());
    QStringList list;
    ini.ReadSection("S", list);
    EXPECT_EQ(list, (QStringList{"b", "a", "c"}));
    ini.ReadSectionValues("S", list);
    EXPECT_EQ(list, (QStringList{"b=2", "c=3"}));
    ini.ReadSections(list);
    EXPECT_EQ(list, (QStringList{"S", "T", "S2"}));

    QStringList values{"kept"};
    ReadSectionToList(ini, "S", values);
    EXPECT_EQ(values, (QStringList{"kept", "2", "", "3"}));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey)
{
    write("[A]\nx=1\ny=2\n\n[B]\nz=3\n[C]\nw=4\n");
    TIniFile ini(path());
    ini.DeleteKey("A", "y");
    ini.DeleteKey("A", "missing");
    ini.DeleteKey("Missing", "x");
    EXPECT_EQ(contents(), QByteArray("[A]\nx=1\n\n[B]\nz=3\n[C]\nw=4\n"));
    ini.EraseSection("a");
    ini.EraseSection("c");
    EXPECT_EQ(contents(), QByteArray("[B]\nz=3\n"));
    ini.EraseSection("Nothing");
    EXPECT_EQ(contents(), QByteArray("[B]\nz=3\n"));
}

// A group whose header stands twice leaves open which lines are its own: the file is read as
// ever (first block), but nothing in it is changed, so no other group's lines can be lost.
TEST_F(IniFileTest, GroupsWithARepeatedHeaderAreReadButNotChanged)
{
    const QByteArray before = "[Config]\nCmd=sh\n[recent ]\nRecentCount=8\n"
                              "[Other]\nx=1\n[Recent]\nk=/a.pl\n";
    write(before);
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Recent", "RecentCount", ""), QStringLiteral("8"));
    EXPECT_EQ(ini.ReadString("Recent", "k", "none"), QStringLiteral("none"));
    EXPECT_THROW(ini.WriteString("Recent", "RecentCount", "1"), FormatError);
    EXPECT_THROW(ini.WriteString("Recent", "new", "1"), FormatError);
    EXPECT_THROW(ini.DeleteKey("Recent", "RecentCount"), FormatError);
    EXPECT_THROW(ini.DeleteKey("Recent", "missing"), FormatError);
    EXPECT_THROW(ini.EraseSection("RECENT"), FormatError);
    EXPECT_EQ(contents(), before);
    try {
        ini.EraseSection("Recent");
    } catch (const FormatError &e) {
        EXPECT_TRUE(e.message().contains("[Recent]")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(path())) << e.message().toStdString();
    }
    // The groups around it stay writable, each within its own lines.
    ini.WriteString("Config", "Cmd", "bash");
    ini.WriteString("Config", "New", "1");
    ini.DeleteKey("Other", "x");
    EXPECT_EQ(contents(), QByteArray("[Config]\nCmd=bash\nNew=1\n[recent ]\nRecentCount=8\n"
                                     "[Other]\n[Recent]\nk=/a.pl\n"));
}

TEST_F(IniFileTest, RefusesNamesAndValuesThatWouldCorruptTheFile)
{
    write("[A]\nx=1\n");
    TIniFile ini(path());
    EXPECT_THROW(ini.WriteString("A", "a=b", "v"), FormatError);
    EXPECT_THROW(ini.WriteString("A", "[evil]", "v"), FormatError);
    EXPECT_THROW(ini.WriteString("A", ";c", "v"), FormatError);
    EXPECT_THROW(ini.WriteString("A", "k", "line\nbreak"), FormatError);
    EXPECT_THROW(ini.WriteString("A", "k", "cr\rbreak"), FormatError);
    EXPECT_THROW(ini.WriteString("A]", "k", "v"), FormatError);
    EXPECT_THROW(ini.WriteString("A", "", "v"), FormatError);
    EXPECT_EQ(contents(), QByteArray("[A]\nx=1\n"));
    EXPECT_FALSE(TIniFile::keyProblem("a=b").isEmpty());
    EXPECT_TRUE(TIniFile::keyProblem("06.12.2026 18:51:21").isEmpty());
}

TEST_F(IniFileTest, UnwritableFolderRaisesUnableToWrite)
{
    TIniFile ini(dir.path() + QStringLiteral("/no-such-folder/x.cfg"));
    try {
        ini.WriteString("A", "k", "v");
        FAIL() << "no error";
    } catch (const IoError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Unable to write to ") + dir.path() + "/no-such-folder/x.cfg");
    }
}

TEST_F(IniFileTest, BadFilesReadAsDefaults)
{
    static const char bad[] = "\x00\x01\xff\xfe[\x80\x81]\n=novalue\n\x00=\x00\n";
    write(QByteArray(bad, sizeof bad - 1) + QByteArray(3000000, 'z'));
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Config", "Cmd", "d"), QStringLiteral("d"));
    QStringList sections;
    ini.ReadSections(sections);
    ini.WriteString("Config", "Cmd", "sh");
    EXPECT_EQ(ini.ReadString("Config", "Cmd", "d"), QStringLiteral("sh"));
}

TEST_F(IniFileTest, Windows1252FilesAreRead)
{
    write("[Tasks]\nDiz=Caf\xe9 \xb6 line\n");
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString("Tasks", "Diz", ""), QString::fromUtf8("Caf\u00e9 \u00b6 line"));
}

} // namespace
