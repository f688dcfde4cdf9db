#include "core/settings/configkeys.h"
#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "core/settings/resetdefaults.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ConfigKeys : ::testing::Test
{
    QTemporaryDir dir;
    QString programDir = dir.path() + u'/';
    QString cfg = dir.filePath(QStringLiteral("etc/quillforge.cfg"));
    TIniFile ini{cfg};
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("etc"))); }

    void store(const QByteArray &bytes)
    {
        QFile f(cfg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    void reset()
    {
        ResetValues v;
        v.perl = QStringLiteral("/opt/perl/bin/perl");
        v.webServer = QStringLiteral("/srv/web");
        v.runWebServer = true;
        v.runAutoSaveAs = QStringLiteral("/home/ada/test.pl");
        v.command = QStringLiteral("/bin/zsh");
        v.localHost = QStringLiteral("http://example.test:81");
        for (const ResetStep &step : resetSteps(v)) {
            if (step.write)
                step.write(ini);
        }
    }
};

} // namespace

TEST_F(ConfigKeys, MissingKeysGiveEachReadersDefault)
{
    using namespace Config;
    EXPECT_EQ(read(ini, RecentCount), 8);
    EXPECT_EQ(read(ini, InitialView), 0);
    EXPECT_EQ(read(ini, RunAutoSave), 1);
    EXPECT_EQ(read(ini, AutoSaveInterval), 7);
    EXPECT_EQ(read(ini, InspectInterval), 60000);
    EXPECT_FALSE(read(ini, RunWebServer));
    EXPECT_FALSE(read(ini, UseCmd));
    EXPECT_FALSE(read(ini, HighlightOnKeyStroke));
    // Visibilities that the reset turns off still read as shown when missing.
    EXPECT_TRUE(read(ini, VisibleConsole));
    EXPECT_TRUE(read(ini, VisibleHtmlBar));
    EXPECT_TRUE(read(ini, InspectVars));

    // Readers that differ on purpose.
    EXPECT_FALSE(read(ini, OpenLast));
    EXPECT_TRUE(read(ini, OpenLast, Reader::OptionsDialog));
    // The dialog shows what the start would run: the shipped launcher, never a bare server.
    for (Reader r : {Reader::Any, Reader::OptionsDialog})
        EXPECT_EQ(read(ini, WebServerPath, r, programDir),
                  dir.path() + u'/' + Platform::webServerLauncherName());
    // A reader without its own default for a key gets the common one.
    EXPECT_FALSE(read(ini, Welcome, Reader::OptionsDialog));

    EXPECT_EQ(read(ini, CgiBin, Reader::Any, programDir), dir.path() + QStringLiteral("/cgi-bin"));
    EXPECT_EQ(read(ini, LocalHost), Platform::localHttpAddress());
    EXPECT_EQ(read(ini, Cmd), Platform::defaultCommandInterpreter());
    EXPECT_EQ(read(ini, RunAutoSaveAs), Platform::defaultRunAutoSaveAs());
    EXPECT_EQ(read(ini, PerlPath), DetectPerl());
    EXPECT_EQ(read(ini, LastRunSetting), QString());
    EXPECT_EQ(read(ini, DriveId), QString());
    EXPECT_EQ(read(ini, LastOpened), QString());
}

TEST_F(ConfigKeys, StoredValuesWinOverDefaultsEvenWhenEmptyOrUnusual)
{
    using namespace Config;
    store("[config]\nrecentcount=0x10\nInitialView=ten\nOpenLast=0\nVisible_Explorer=2\n"
          "Visible_Console=\nAutoSaveInterval=$FF\n"
          "[Files_Directories]\nPerl=\ncgi-bin=\"/srv/cgi\"\n");
    EXPECT_EQ(read(ini, RecentCount), 16);
    EXPECT_EQ(read(ini, InitialView), 0); // not a number: the default
    EXPECT_FALSE(read(ini, OpenLast, Reader::OptionsDialog));
    EXPECT_TRUE(read(ini, VisibleExplorer));
    EXPECT_TRUE(read(ini, VisibleConsole)); // empty: the default
    EXPECT_EQ(read(ini, AutoSaveInterval), 255);
    // An empty stored path is the user's choice; detection only fills a missing one.
    EXPECT_EQ(read(ini, PerlPath), QString());
    EXPECT_EQ(read(ini, CgiBin, Reader::Any, programDir), QStringLiteral("/srv/cgi"));
}

TEST_F(ConfigKeys, AfterTheResetEveryReaderSeesTheResetValue)
{
    using namespace Config;
    reset();
    EXPECT_EQ(read(ini, RecentCount), 10);
    EXPECT_EQ(read(ini, InitialView), 1);
    EXPECT_EQ(read(ini, RunAutoSave), 0);
    EXPECT_EQ(read(ini, AutoSaveInterval), 300000);
    EXPECT_TRUE(read(ini, RunWebServer));
    EXPECT_FALSE(read(ini, OpenLast, Reader::OptionsDialog));
    EXPECT_FALSE(read(ini, VisibleConsole));
    EXPECT_FALSE(read(ini, VisibleHtmlBar));
    EXPECT_EQ(read(ini, LastRunSetting), QStringLiteral("Temporary"));
    EXPECT_EQ(read(ini, RunAutoSaveAs), QStringLiteral("/home/ada/test.pl"));
    EXPECT_EQ(read(ini, Cmd), QStringLiteral("/bin/zsh"));
    EXPECT_EQ(read(ini, PerlPath), QStringLiteral("/opt/perl/bin/perl"));
    EXPECT_EQ(read(ini, WebServerPath, Reader::OptionsDialog, programDir),
              QStringLiteral("/srv/web"));
    EXPECT_EQ(read(ini, CgiBin, Reader::Any, programDir), QString());
    EXPECT_EQ(read(ini, LocalHost), QStringLiteral("http://example.test:81/cgi-bin"));
    // The reset does not write these; their readers keep their defaults.
    EXPECT_FALSE(read(ini, UseCmd));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Editor")));
    EXPECT_EQ(read(ini, LastOpened), QString());
}

TEST_F(ConfigKeys, WritesReadBackThroughEveryType)
{
    using namespace Config;
    write(ini, RecentCount, -3);
    write(ini, OpenLast, true);
    write(ini, VisibleConsole, false);
    write(ini, LastOpened, QStringLiteral("/home/ada/a b.pl"));
    EXPECT_EQ(read(ini, RecentCount), -3);
    EXPECT_TRUE(read(ini, OpenLast));
    EXPECT_FALSE(read(ini, VisibleConsole));
    EXPECT_EQ(read(ini, LastOpened), QStringLiteral("/home/ada/a b.pl"));
    // Sections stay apart: the same file holds both without mixing them up.
    QStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, QStringList({"Config", "SRecent"}));
}

TEST_F(ConfigKeys, GroupsRoundTripAndShareTheKeysOfSingleReaders)
{
    using namespace Config;
    Panels panels;
    for (int i = 0; i < Panels::Count; ++i)
        panels.shown[i] = i % 2 == 0;
    panels.write(ini);
    const Panels back = Panels::read(ini);
    for (int i = 0; i < Panels::Count; ++i)
        EXPECT_EQ(back.shown[i], i % 2 == 0) << i;
    EXPECT_TRUE(read(ini, VisibleLinkBar));
    EXPECT_FALSE(read(ini, VisibleExplorer));
    EXPECT_FALSE(read(ini, VisibleTipOfDay));

    Bars bars;
    bars.shown[Bars::Html] = true;
    bars.write(ini);
    EXPECT_FALSE(read(ini, VisibleFileMenu));
    EXPECT_TRUE(Bars::read(ini).shown[Bars::Html]);

    Inspector inspector{false, true, false, true, 1500};
    inspector.write(ini);
    const Inspector i = Inspector::read(ini);
    EXPECT_EQ(std::make_tuple(i.vars, i.subroutines, i.onTyping, i.periodically, i.intervalMs),
              std::make_tuple(false, true, false, true, 1500));

    AutoSaving{true, 120000}.write(ini);
    EXPECT_TRUE(read(ini, AutoSave));
    EXPECT_EQ(AutoSaving::read(ini).intervalMs, 120000);

    Editing{false, true, false, 8, true}.write(ini);
    const Editing e = Editing::read(ini);
    EXPECT_EQ(std::make_tuple(e.lineNumbers, e.currentLine, e.brackets, e.tabWidth, e.tabSpaces),
              std::make_tuple(false, true, false, 8, true));
    EXPECT_EQ(ini.ReadString("Editor", "TabWidth", ""), QStringLiteral("8"));
    // A tab width no editor can use is taken as the nearest one it can.
    write(ini, TabWidth, 0);
    EXPECT_EQ(Editing::read(ini).tabWidth, 1);
    write(ini, TabWidth, 500);
    EXPECT_EQ(Editing::read(ini).tabWidth, Editing::kMaxTabWidth);
}

TEST_F(ConfigKeys, GroupsOfAMissingFileGiveTheDefaults)
{
    using namespace Config;
    const Panels p = Panels::read(ini);
    for (bool shown : p.shown)
        EXPECT_TRUE(shown);
    const Inspector i = Inspector::read(ini);
    EXPECT_TRUE(i.vars && i.subroutines && i.onTyping && i.periodically);
    EXPECT_EQ(i.intervalMs, 60000);
    const AutoSaving a = AutoSaving::read(ini);
    EXPECT_FALSE(a.on);
    EXPECT_EQ(a.intervalMs, 7);
    const Editing e = Editing::read(ini);
    EXPECT_TRUE(e.lineNumbers && e.currentLine && e.brackets);
    EXPECT_EQ(e.tabWidth, 4);
    EXPECT_FALSE(e.tabSpaces);
    EXPECT_FALSE(QFile::exists(cfg)); // reading creates nothing
}
