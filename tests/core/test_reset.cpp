#include "core/common/errors.h"
#include "core/settings/inifile.h"
#include "core/settings/resetdefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ResetValues sampleValues(bool runWebServer = true)
{
    ResetValues v;
    v.perl = QStringLiteral("/opt/perl 5/bin/perl");
    v.webServer = QStringLiteral("/srv/quillforge-webserver");
    v.runWebServer = runWebServer;
    v.runAutoSaveAs = QStringLiteral("/home/ada/test.pl");
    v.command = QStringLiteral("/bin/sh");
    v.localHost = QStringLiteral("http://127.0.0.1:8080");
    return v;
}

void applyAll(const ResetValues &values, TIniFile &ini)
{
    for (const ResetStep &step : resetSteps(values)) {
        if (step.write)
            step.write(ini);
    }
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// "key=value" for every key of a section, empty values included.
QStringList entries(const TIniFile &ini, const QString &section)
{
    QStringList keys, out;
    ini.ReadSection(section, keys);
    for (const QString &k : keys)
        out << k + u'=' + ini.ReadString(section, k, QStringLiteral("<none>"));
    return out;
}

class Reset : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString cfg = dir.filePath(QStringLiteral("etc/quillforge.cfg"));
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("etc"))); }
};

} // namespace

TEST(ResetSteps, ThirtySevenLabelledStepsInTableOrder)
{
    const QStringList expected = {"recent files max count",
                                  "auto run websrv",
                                  "init view",
                                  "open last file",
                                  "syntax highlight",
                                  "synhigh on newline",
                                  "synhigh on keystroke",
                                  "visible: links",
                                  "visible: explorer",
                                  "visible: code inspector",
                                  "visible: perlout",
                                  "visible: console",
                                  "visible: tips",
                                  "visible: filemenu",
                                  "visible: speedbar",
                                  "visible: templates",
                                  "visible: html btn",
                                  "template captions",
                                  "last compiler set",
                                  "run autosave file",
                                  "run autosave mode",
                                  "autosave",
                                  "autosave interval",
                                  "command",
                                  "reset harddrive ID",
                                  "welcome",
                                  "code ins: vars",
                                  "code ins: subs",
                                  "code ins: type update",
                                  "code ins: update interval mode",
                                  "code ins: update interval",
                                  "reset custom links",
                                  "reset recent URLs",
                                  "reset recent files",
                                  "reset recent files",
                                  "setting locations...",
                                  "finishing..."};
    const QVector<ResetStep> steps = resetSteps(sampleValues());
    ASSERT_EQ(steps.size(), 37);
    QStringList labels;
    for (int i = 0; i < steps.size(); ++i) {
        labels << steps[i].label;
        // Only the closing step goes without a write.
        EXPECT_EQ(bool(steps[i].write), i != 36) << steps[i].label.toStdString();
    }
    EXPECT_EQ(labels, expected);
}

TEST_F(Reset, EmptyFileGetsEveryKeyInTableOrder)
{
    TIniFile ini(cfg);
    applyAll(sampleValues(), ini);

    QStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, QStringList({"Config", "CodeInspector", "Files_Directories"}));
    EXPECT_EQ(entries(ini, "Config"), QStringList({"RecentCount=10",
                                                   "RunWebServer=1",
                                                   "InitialView=1",
                                                   "OpenLast=0",
                                                   "SyntaxHighlighting=1",
                                                   "HighlightOnNewLine=1",
                                                   "HighlightOnKeyStroke=0",
                                                   "Visible_LinkBar=1",
                                                   "Visible_Explorer=1",
                                                   "Visible_CodeInspector=1",
                                                   "Visible_PerlOut=1",
                                                   "Visible_Console=0",
                                                   "Visible_TipOfDay=1",
                                                   "Visible_Sym_FileMenu=1",
                                                   "Visible_Sym_Standard=1",
                                                   "Visible_Sym_Templates=1",
                                                   "Visible_Sym_HTML=0",
                                                   "TemplateCaptions=1",
                                                   "LastRunSetting=Temporary",
                                                   "Run_AutoSaveAs=/home/ada/test.pl",
                                                   "Run_AutoSave=0",
                                                   "AutoSave=0",
                                                   "AutoSaveInterval=300000",
                                                   "Cmd=/bin/sh",
                                                   "HD_ID=",
                                                   "Welcome=0"}));
    EXPECT_EQ(entries(ini, "CodeInspector"),
              QStringList({"Vars=1", "Subroutines=1", "UpdateOnTyping=1", "UpdateIntervalActive=1",
                           "UpdateInterval=60000"}));
    EXPECT_EQ(entries(ini, "Files_Directories"),
              QStringList({"Perl=/opt/perl 5/bin/perl", "WebServer=/srv/quillforge-webserver",
                           "cgi-bin=", "LocalHost=http://127.0.0.1:8080/cgi-bin"}));
    // The empty texts are written as keys, not left out.
    EXPECT_TRUE(readBytes(cfg).contains("\nHD_ID=\n"));
    EXPECT_TRUE(readBytes(cfg).contains("\ncgi-bin=\n"));
}

TEST_F(Reset, AutostartFlagWritesZeroWhenOff)
{
    TIniFile ini(cfg);
    applyAll(sampleValues(false), ini);
    EXPECT_EQ(ini.ReadString("Config", "RunWebServer", QString()), QStringLiteral("0"));
    EXPECT_FALSE(ini.ReadBool("Config", "RunWebServer", true));
}

TEST_F(Reset, ErasesTheListsAndKeepsEverythingElse)
{
    writeBytes(cfg, "[Config]\nRecentCount=3\nUseCmd=1\nMyKey=kept\n"
                    "[CustomLinks]\nLink0=Gimp|/usr/bin/gimp\n"
                    "[RecentURLs]\nURL0=http://example.org\n"
                    "[Recent]\n06.12.2026 18:51:21=/home/ada/x.pl\n"
                    "[SRecent]\nLastOpened=/home/ada/x.pl\nPerls=/home/ada\n"
                    "[Mine]\nKeep=this\n");
    const QString runs = dir.filePath(QStringLiteral("etc/runsettings.cfg"));
    const QString tasks = dir.filePath(QStringLiteral("etc/tasks.dat"));
    writeBytes(runs, "[Temporary]\nSwitches=-w\n");
    writeBytes(tasks, "[06.12.2026]\nTask0=x\n");
    const QStringList filesBefore = QDir(dir.filePath("etc")).entryList(QDir::Files);

    TIniFile ini(cfg);
    applyAll(sampleValues(), ini);

    QStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, QStringList({"Config", "Mine", "CodeInspector", "Files_Directories"}));
    EXPECT_EQ(ini.ReadString("Mine", "Keep", QString()), QStringLiteral("this"));

    // Existing entries are replaced in place; keys the reset does not know stay.
    QStringList keys;
    ini.ReadSection("Config", keys);
    ASSERT_EQ(keys.size(), 28);
    EXPECT_EQ(keys.mid(0, 4), QStringList({"RecentCount", "UseCmd", "MyKey", "RunWebServer"}));
    EXPECT_EQ(ini.ReadString("Config", "RecentCount", QString()), QStringLiteral("10"));
    EXPECT_EQ(ini.ReadString("Config", "UseCmd", QString()), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadString("Config", "MyKey", QString()), QStringLiteral("kept"));

    EXPECT_EQ(readBytes(runs), QByteArray("[Temporary]\nSwitches=-w\n"));
    EXPECT_EQ(readBytes(tasks), QByteArray("[06.12.2026]\nTask0=x\n"));
    EXPECT_EQ(QDir(dir.filePath("etc")).entryList(QDir::Files), filesBefore);
}

TEST_F(Reset, RefusedWriteStopsWithTheFileName)
{
    const QString missing = dir.filePath(QStringLiteral("gone/quillforge.cfg"));
    TIniFile ini(missing);
    const QVector<ResetStep> steps = resetSteps(sampleValues());
    try {
        steps.first().write(ini);
        FAIL() << "write into a missing folder succeeded";
    } catch (const IoError &e) {
        EXPECT_EQ(e.message(), "Unable to write to " + missing);
    }
}

namespace {

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QByteArray resetOnto(const QString &cfg, const QByteArray &before, bool runWebServer)
{
    if (!before.isNull())
        writeBytes(cfg, before);
    TIniFile ini(cfg);
    applyAll(sampleValues(runWebServer), ini);
    return readBytes(cfg);
}

// The reset's output as captured from the hand-written step list before the steps were
// generated from the key table: any change of a byte here changes users' files.
const QByteArray kFreshReset = "[Config]\n"
                               "RecentCount=10\n"
                               "RunWebServer=1\n"
                               "InitialView=1\n"
                               "OpenLast=0\n"
                               "SyntaxHighlighting=1\n"
                               "HighlightOnNewLine=1\n"
                               "HighlightOnKeyStroke=0\n"
                               "Visible_LinkBar=1\n"
                               "Visible_Explorer=1\n"
                               "Visible_CodeInspector=1\n"
                               "Visible_PerlOut=1\n"
                               "Visible_Console=0\n"
                               "Visible_TipOfDay=1\n"
                               "Visible_Sym_FileMenu=1\n"
                               "Visible_Sym_Standard=1\n"
                               "Visible_Sym_Templates=1\n"
                               "Visible_Sym_HTML=0\n"
                               "TemplateCaptions=1\n"
                               "LastRunSetting=Temporary\n"
                               "Run_AutoSaveAs=/home/ada/test.pl\n"
                               "Run_AutoSave=0\n"
                               "AutoSave=0\n"
                               "AutoSaveInterval=300000\n"
                               "Cmd=/bin/sh\n"
                               "HD_ID=\n"
                               "Welcome=0\n"
                               "[CodeInspector]\n"
                               "Vars=1\n"
                               "Subroutines=1\n"
                               "UpdateOnTyping=1\n"
                               "UpdateIntervalActive=1\n"
                               "UpdateInterval=60000\n"
                               "[Files_Directories]\n"
                               "Perl=/opt/perl 5/bin/perl\n"
                               "WebServer=/srv/quillforge-webserver\n"
                               "cgi-bin=\n"
                               "LocalHost=http://127.0.0.1:8080/cgi-bin\n";

const QByteArray kUsedBefore = crlf("; kept comment\n"
                                    "[config]\n"
                                    "recentcount = 3\n"
                                    "UseCmd=1\n"
                                    "Cmd=\"/bin/bash\"\n"
                                    "MyKey=kept\n"
                                    "\n"
                                    "[Recent]\n"
                                    "06.12.2026 18:51:21=/home/ada/x.pl\n"
                                    "\n"
                                    "[CodeInspector]\n"
                                    "UpdateInterval=5000\n"
                                    "\n"
                                    "[Mine]\n"
                                    "Keep=this\n"
                                    "\n"
                                    "[RecentURLs]\n"
                                    "URL0=http://example.org/\n"
                                    "[CustomLinks]\n"
                                    "Gimp=/usr/bin/gimp|\n"
                                    "[FILES_DIRECTORIES]\n"
                                    "perl=/usr/bin/perl\n"
                                    "Other=1\n");

const QByteArray kUsedAfter = crlf("; kept comment\n"
                                   "[config]\n"
                                   "recentcount=10\n"
                                   "UseCmd=1\n"
                                   "Cmd=/bin/sh\n"
                                   "MyKey=kept\n"
                                   "RunWebServer=0\n"
                                   "InitialView=1\n"
                                   "OpenLast=0\n"
                                   "SyntaxHighlighting=1\n"
                                   "HighlightOnNewLine=1\n"
                                   "HighlightOnKeyStroke=0\n"
                                   "Visible_LinkBar=1\n"
                                   "Visible_Explorer=1\n"
                                   "Visible_CodeInspector=1\n"
                                   "Visible_PerlOut=1\n"
                                   "Visible_Console=0\n"
                                   "Visible_TipOfDay=1\n"
                                   "Visible_Sym_FileMenu=1\n"
                                   "Visible_Sym_Standard=1\n"
                                   "Visible_Sym_Templates=1\n"
                                   "Visible_Sym_HTML=0\n"
                                   "TemplateCaptions=1\n"
                                   "LastRunSetting=Temporary\n"
                                   "Run_AutoSaveAs=/home/ada/test.pl\n"
                                   "Run_AutoSave=0\n"
                                   "AutoSave=0\n"
                                   "AutoSaveInterval=300000\n"
                                   "HD_ID=\n"
                                   "Welcome=0\n"
                                   "\n"
                                   "[CodeInspector]\n"
                                   "UpdateInterval=60000\n"
                                   "Vars=1\n"
                                   "Subroutines=1\n"
                                   "UpdateOnTyping=1\n"
                                   "UpdateIntervalActive=1\n"
                                   "\n"
                                   "[Mine]\n"
                                   "Keep=this\n"
                                   "\n"
                                   "[FILES_DIRECTORIES]\n"
                                   "perl=/opt/perl 5/bin/perl\n"
                                   "Other=1\n"
                                   "WebServer=/srv/quillforge-webserver\n"
                                   "cgi-bin=\n"
                                   "LocalHost=http://127.0.0.1:8080/cgi-bin\n");

} // namespace

TEST_F(Reset, WritesByteForByteWhatItAlwaysWrote)
{
    EXPECT_EQ(resetOnto(cfg, QByteArray(), true), kFreshReset);
    QByteArray off = kFreshReset;
    off.replace("RunWebServer=1", "RunWebServer=0");
    EXPECT_EQ(resetOnto(dir.filePath(QStringLiteral("etc/off.cfg")), QByteArray(), false), off);
    // A used file: names in other cases, blanks, quotes, CRLF, unknown keys and sections.
    EXPECT_EQ(resetOnto(dir.filePath(QStringLiteral("etc/used.cfg")), kUsedBefore, false),
              kUsedAfter);
}
