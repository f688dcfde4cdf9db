#include "core/editor/colordefs.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ColorStyle styleOf(const char *value, QString *problem = nullptr)
{
    return ColorStyle::fromValue(QString::fromLatin1(value), problem);
}

class ColorDefsFile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + QStringLiteral("/editorcolors.def"); }
    void write(const QByteArray &bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(ColorDefsFile, GroupsInFileOrderEachInItsOwnOrder)
{
    write("[Strings]\n3\"=Arial|9|32768|0|0|0|0\n3'=Arial|9|32768|0|0|0|0\n"
          "[Comments]\n2#=Courier New|10|32768|0|1|0|0\n");
    const ColorDefinitions defs = ColorDefinitions::load(path());
    EXPECT_EQ(defs.lines(), QStringList({"3\"=Arial|9|32768|0|0|0|0", "3'=Arial|9|32768|0|0|0|0",
                                         "2#=Courier New|10|32768|0|1|0|0"}));
    ASSERT_EQ(defs.size(), 3);
    EXPECT_EQ(defs.at(0).group, QStringLiteral("Strings"));
    EXPECT_EQ(defs.at(2).group, QStringLiteral("Comments"));
    EXPECT_EQ(defs.at(2).scope, 2);
    EXPECT_EQ(defs.at(2).pattern(), QStringLiteral("#"));
    EXPECT_TRUE(defs.problems().isEmpty()) << defs.problems().join('\n').toStdString();
}

// The options dialog reads the same file through TIniFile; both must see the same entries.
TEST_F(ColorDefsFile, ReadsTheFileAsTheSettingsRulesDo)
{
    write("0stray=before any group\r\n"
          "[Keys]\r\n"
          "; 0commented=Arial|1|1|1|1|1|1\r\n"
          "  0if  =  Arial|10|255|1|0|0|0  \r\n"
          "0IF=Arial|12|0|0|0|0|0\r\n"
          "0empty=\r\n"
          "0quoted=\"Arial|8|1|0|0|0|0\"\r\n"
          "no equals sign here\r\n"
          "[ Other ]\r\n"
          "2#=Courier New|10|32768|0|1|0|0\r\n"
          "[keys]\r\n"
          "0late=Arial|10|255|1|0|0|0\r\n"
          "[]\r\n"
          "0nameless=Arial|10|255|1|0|0|0\r\n");
    QStringList viaIni;
    const TIniFile ini(path());
    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &s : sections) {
        QStringList pairs;
        ini.ReadSectionValues(s, pairs);
        viaIni << pairs;
    }
    const ColorDefinitions defs = ColorDefinitions::load(path());
    EXPECT_EQ(defs.lines(), viaIni);
    EXPECT_EQ(defs.lines(),
              QStringList({"0if=Arial|10|255|1|0|0|0", "0quoted=Arial|8|1|0|0|0|0",
                           "2#=Courier New|10|32768|0|1|0|0", "0nameless=Arial|10|255|1|0|0|0"}));
    EXPECT_EQ(defs.at(2).group, QStringLiteral("Other"));
}

// Group and key names that are equal only under case folding (long s, final sigma) are one
// name for the settings object; the colour reader must not make two of them.
TEST_F(ColorDefsFile, NamesEqualUnderCaseFoldingAreOneName)
{
    write("[\xC5\xBFyms]\n"
          "0\xCF\x82=Arial|10|255|1|0|0|0\n"
          "0\xCF\x83=Arial|12|0|0|0|0|0\n"
          "[Syms]\n"
          "0late=Arial|10|255|1|0|0|0\n");
    const TIniFile ini(path());
    QStringList sections;
    ini.ReadSections(sections);
    QStringList viaIni;
    for (const QString &s : sections) {
        QStringList pairs;
        ini.ReadSectionValues(s, pairs);
        viaIni << pairs;
    }
    const ColorDefinitions defs = ColorDefinitions::load(path());
    EXPECT_EQ(sections, QStringList{"\u017Fyms"});
    EXPECT_EQ(defs.lines(), viaIni);
    EXPECT_EQ(defs.lines(), QStringList{"0\u03C2=Arial|10|255|1|0|0|0"});
}

TEST_F(ColorDefsFile, MissingEmptyAndBinaryFilesGiveWhatTheyCan)
{
    EXPECT_TRUE(ColorDefinitions::load(path()).isEmpty());
    write("");
    EXPECT_TRUE(ColorDefinitions::load(path()).isEmpty());
    write("[Only a group]\n\n");
    EXPECT_TRUE(ColorDefinitions::load(path()).isEmpty());

    QByteArray junk(64 * 1024, '\0');
    QRandomGenerator rng(7);
    for (char &b : junk)
        b = char(rng.bounded(256));
    junk += "\n[G]\n0ok=Arial|10|255|0|0|0|0\n";
    write(junk);
    const ColorDefinitions defs = ColorDefinitions::load(path());
    ASSERT_FALSE(defs.isEmpty());
    EXPECT_EQ(defs.lines().last(), QStringLiteral("0ok=Arial|10|255|0|0|0|0"));
    // Whatever a value holds, its style is one the editor can apply.
    for (int i = 0; i < defs.size(); ++i) {
        EXPECT_GE(defs.style(i).size, 1);
        EXPECT_LE(defs.style(i).size, 1000);
    }
}

TEST_F(ColorDefsFile, ThousandsOfGroupsAllLoad)
{
    QByteArray text;
    for (int g = 0; g < 4000; ++g)
        text += QStringLiteral("[Group %1]\n0a%1=Arial|10|%1|0|0|0|0\n3'%1=Arial|10|1|0|0|0|0\n")
                        .arg(g)
                        .toUtf8();
    write(text);
    const ColorDefinitions defs = ColorDefinitions::load(path());
    ASSERT_EQ(defs.size(), 8000);
    EXPECT_EQ(defs.at(7998).key, QStringLiteral("0a3999"));
    EXPECT_EQ(defs.style(7998).color, 3999);
}

TEST(ColorDefs, SameKeyInTwoGroupsPaintsWithTheFirstGroupsStyle)
{
    const ColorDefinitions defs = ColorDefinitions::fromText(
            "[A]\n0my=Arial|10|255|1|0|0|0\n"
            "[B]\n0x=Arial|10|0|0|0|0|0\n0MY=Tahoma|14|65280|0|1|0|0\n");
    ASSERT_EQ(defs.size(), 3);
    EXPECT_EQ(defs.at(2).pattern(), QStringLiteral("MY")); // searched for as written
    EXPECT_EQ(defs.style(2).font, QStringLiteral("Arial"));
    EXPECT_EQ(defs.style(2).color, 255);
    EXPECT_EQ(defs.style(1).color, 0);
    EXPECT_EQ(defs.styleOf(QStringLiteral("0My"))->size, 10);
    EXPECT_FALSE(defs.styleOf(QStringLiteral("0nothing")).has_value());
}

TEST(ColorDefs, ScopeDigitAndPatternProblemsAreListed)
{
    const ColorDefinitions defs = ColorDefinitions::fromText(
            "[G]\n5five=Arial|10|0|0|0|0|0\nxword=Arial|10|0|0|0|0|0\n0=Arial|10|0|0|0|0|0\n"
            "3\"=Arial|10|0|0|0|0|0\n");
    ASSERT_EQ(defs.size(), 4);
    EXPECT_EQ(defs.at(0).scope, -1);
    EXPECT_EQ(defs.at(1).scope, -1);
    EXPECT_EQ(defs.at(2).scope, 0);
    EXPECT_EQ(defs.at(3).scope, 3);
    ASSERT_EQ(defs.problems().size(), 3);
    EXPECT_TRUE(defs.problems()[0].startsWith(QStringLiteral("[G] 5five: ")));
    EXPECT_TRUE(defs.problems()[2].contains(QStringLiteral("no pattern")));
}

TEST(ColorStyle, FieldsFollowExtractField)
{
    const ColorStyle full = ColorStyle::fromValue(QStringLiteral("Courier New|10|32768|0|1|0|0"));
    EXPECT_EQ(full.font, QStringLiteral("Courier New"));
    EXPECT_EQ(full.size, 10);
    EXPECT_EQ(full.color, 32768);
    EXPECT_FALSE(full.bold);
    EXPECT_TRUE(full.italic);
    EXPECT_EQ(full.underlineStyle(), 0);
    EXPECT_EQ(styleOf("Arial|10|0|0|0|1|0").underlineStyle(), 1);
    EXPECT_FALSE(full.strikeout);

    // A value of three fields repeats its colour for the four flags.
    QString problem;
    const ColorStyle shortValue = ColorStyle::fromValue(QStringLiteral("Arial|12|255"), &problem);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_TRUE(shortValue.bold);
    EXPECT_TRUE(shortValue.italic);
    EXPECT_TRUE(shortValue.strikeout);
    EXPECT_EQ(shortValue.underline, 255);
    EXPECT_EQ(shortValue.underlineStyle(), 0); // 255 is no underline kind of the editor

    const QString value = QStringLiteral("Tahoma|9|16711680|1|0|1|1");
    EXPECT_EQ(ColorStyle::fromValue(value).toValue(), value);
    EXPECT_EQ(ColorStyle::missingValueDefault(), styleOf("Courier New|8|255|1|0|0|0"));
    EXPECT_EQ(ColorStyle::newDefinitionDefault(), styleOf("Courier New|8|0|1|0|0|0"));
}

TEST(ColorStyle, ColoursAreBlueGreenRed)
{
    ColorStyle s;
    s.color = 255;
    EXPECT_EQ(s.rgb(), 0xFF0000);
    s.color = 0x00123456;
    EXPECT_EQ(s.rgb(), 0x563412);
    EXPECT_FALSE(s.isAutomaticColor());

    EXPECT_TRUE(styleOf("Arial|10|-2147483640|0|0|0|0").isAutomaticColor());
    // Written unsigned by another tool: the same 32 bits.
    EXPECT_TRUE(styleOf("Arial|10|2147483656|0|0|0|0").isAutomaticColor());
}

TEST(ColorStyle, FieldsThatAreNotNumbersFallBackAndAreReported)
{
    QString problem;
    const ColorStyle s = styleOf("Arial|1O|green| 1 |x|0|0", &problem);
    EXPECT_EQ(s.font, QStringLiteral("Arial"));
    EXPECT_EQ(s.size, 8);
    EXPECT_EQ(s.color, 255);
    EXPECT_TRUE(s.bold);    // " 1 " is a number
    EXPECT_FALSE(s.italic); // "x" is not: the fallback is off
    EXPECT_TRUE(problem.contains(QStringLiteral("size \"1O\"")));
    EXPECT_TRUE(problem.contains(QStringLiteral("colour \"green\"")));
    EXPECT_TRUE(problem.contains(QStringLiteral("italic \"x\"")));
    EXPECT_FALSE(problem.contains(QStringLiteral("bold")));

    for (const char *v : {"Arial|0|0|0|0|0|0", "Arial|-3|0|0|0|0|0", "Arial|99999|0|0|0|0|0",
                          "Arial|10|99999999999|0|0|0|0", "Arial|10||0|0|0|0"}) {
        styleOf(v, &problem);
        EXPECT_FALSE(problem.isEmpty()) << v;
    }
}

// A value whose face was written empty paints in the default face, and says so.
TEST(ColorStyle, AnEmptyFaceTakesTheDefaultFace)
{
    QString problem;
    const ColorStyle s = styleOf(" |10|6270975|1|0|0|0", &problem);
    EXPECT_EQ(s.font, QStringLiteral("Courier New"));
    EXPECT_EQ(s.size, 10);
    EXPECT_EQ(s.color, 6270975);
    EXPECT_EQ(problem, QStringLiteral("no font name"));

    const ColorDefinitions defs = ColorDefinitions::fromText("[A]\n0$#=|1x|255|1|0|0|0\n");
    ASSERT_EQ(defs.problems().size(), 1);
    EXPECT_EQ(defs.problems()[0],
              QStringLiteral("[A] 0$#: no font name; not a usable number: size \"1x\""));
}

TEST(ColorDefs, ShippedDefinitionsAreClean)
{
    const ColorDefinitions defs = ColorDefinitions::load(
            QStringLiteral(QF_SHIPPED_DATA "/etc/editorcolors.def"));
    ASSERT_GT(defs.size(), 20);
    EXPECT_TRUE(defs.problems().isEmpty()) << defs.problems().join('\n').toStdString();
    QStringList groups;
    for (const ColorDefinition &d : defs) {
        EXPECT_GE(d.scope, 0) << d.key.toStdString();
        if (!groups.contains(d.group))
            groups << d.group;
    }
    EXPECT_GE(groups.size(), 5);
    for (int i = 0; i < defs.size(); ++i) {
        const ColorStyle &s = defs.style(i);
        EXPECT_EQ(s.font, QStringLiteral("Courier New")) << defs.at(i).key.toStdString();
        // The editor's own size: a definition of another size would make lines jump.
        EXPECT_EQ(s.size, 10) << defs.at(i).key.toStdString();
        // Paint in the default yellow would not stop later definitions.
        EXPECT_NE(s.color, 0x0000FFFF) << defs.at(i).key.toStdString();
    }
}

} // namespace
