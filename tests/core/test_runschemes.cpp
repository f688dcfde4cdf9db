#include "core/common/errors.h"
#include "core/run/runschemes.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RunSchemesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("etc"))); }

    void put(const QString &rel, const QByteArray &bytes) const
    {
        QFile f(m_dir.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes(const QString &rel) const
    {
        QFile f(m_dir.filePath(rel));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray schemeFile() const { return bytes(RunSchemes::fileName()); }
    QByteArray settingsFile() const { return bytes(QStringLiteral("etc/quillforge.cfg")); }

    QTemporaryDir m_dir;
    TIniFile m_schemes{m_dir.filePath(RunSchemes::fileName())};
    TIniFile m_settings{m_dir.filePath(QStringLiteral("etc/quillforge.cfg"))};
};

} // namespace

TEST_F(RunSchemesTest, ReadingFollowsTheFileRules)
{
    const RunScheme off; // all off, "-wT", not custom
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("Default")), off);
    put(RunSchemes::fileName(),
        "[S]\n-wL=2\n-TU=yes\n-UU=0x1\n-vL=\n-SU=-1\nCustom=\nUseCustom=$1\n[T]\n-hL=1\n");
    RunScheme s;
    s.w = s.U = s.S = true;
    s.custom.clear();
    s.useCustom = true;
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("s")), s);
    RunScheme t;
    t.h = true;
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("T")), t);
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("Other")), off);
}

TEST_F(RunSchemesTest, WritingStoresAllEightKeysAndOverwritesInPlace)
{
    RunScheme web;
    web.w = web.T = true;
    RunSchemes::write(m_schemes, QStringLiteral("Web"), web);
    EXPECT_EQ(schemeFile(), QByteArray("[Web]\n-wL=1\n-TU=1\n-UU=0\n-vL=0\n-SU=0\n-hL=0\n"
                                       "Custom=-wT\nUseCustom=0\n"));

    put(RunSchemes::fileName(), "[A]\nUseCustom=1\n-hL=1\nNote=kept\n[B]\n-wL=1\n");
    RunScheme a;
    a.v = true;
    a.custom = QStringLiteral("-w -Mstrict");
    RunSchemes::write(m_schemes, QStringLiteral("a"), a);
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("A")), a);
    EXPECT_TRUE(schemeFile().startsWith("[A]\nUseCustom=0\n-hL=0\nNote=kept\n-wL=0\n"));
    EXPECT_TRUE(RunSchemes::read(m_schemes, QStringLiteral("B")).w);
}

TEST_F(RunSchemesTest, NamesAreCheckedOnlyForWhatTheFileCannotHold)
{
    put(RunSchemes::fileName(), "[Default]\n-wL=1\n");
    const QByteArray before = schemeFile();
    RunScheme twoLines;
    twoLines.custom = QStringLiteral("-w\n-T");
    EXPECT_THROW(RunSchemes::save(m_schemes, m_settings, QStringLiteral("a]b"), {}), FormatError);
    EXPECT_THROW(RunSchemes::save(m_schemes, m_settings, QStringLiteral(" "), {}), FormatError);
    EXPECT_THROW(RunSchemes::write(m_schemes, QStringLiteral("Web"), twoLines), FormatError);
    EXPECT_EQ(schemeFile(), before);
    EXPECT_EQ(RunSchemes::current(m_settings), QString());

    RunSchemes::save(m_schemes, m_settings, QStringLiteral("a=b"), {});
    RunSchemes::save(m_schemes, m_settings, QStringLiteral("  Web  "), {});
    const SchemeSelection sel = RunSchemes::save(m_schemes, m_settings, QStringLiteral("web"), {});
    EXPECT_EQ(sel.names, QStringList({"Default", "a=b", "Web"}));
    EXPECT_EQ(sel.current(), QStringLiteral("Web"));
}

TEST_F(RunSchemesTest, LoadingSelectsLastRunSettingAndWritesTheSelectionBack)
{
    put(RunSchemes::fileName(), "[Default]\n-wL=1\n[Web]\n-TU=1\n");
    RunSchemes::setCurrent(m_settings, QStringLiteral("wEB"));
    SchemeSelection sel = RunSchemes::load(m_schemes, m_settings);
    EXPECT_EQ(sel.names, QStringList({"Default", "Web"}));
    EXPECT_EQ(sel.index, 1);
    EXPECT_EQ(RunSchemes::current(m_settings), QStringLiteral("Web"));

    RunSchemes::setCurrent(m_settings, QStringLiteral("Gone"));
    sel = RunSchemes::load(m_schemes, m_settings);
    EXPECT_EQ(sel.index, -1);
    EXPECT_EQ(settingsFile(), QByteArray("[Config]\nLastRunSetting=\n"));
}

TEST_F(RunSchemesTest, SavingMakesTheSchemeCurrent)
{
    put(RunSchemes::fileName(), "[Default]\n-wL=1\n[Temporary]\n-wL=1\n");
    RunSchemes::setCurrent(m_settings, QStringLiteral("Temporary"));
    RunScheme web;
    web.w = web.T = true;
    const SchemeSelection sel = RunSchemes::save(m_schemes, m_settings, QStringLiteral("Web"), web);
    EXPECT_EQ(sel.names, QStringList({"Default", "Temporary", "Web"}));
    EXPECT_EQ(sel.index, 2);
    EXPECT_EQ(RunSchemes::current(m_settings), QStringLiteral("Web"));
    EXPECT_EQ(RunSchemes::read(m_schemes, QStringLiteral("Web")), web);
}

TEST_F(RunSchemesTest, DeletingRefusesDefaultAndMakesTheFirstSchemeCurrent)
{
    put(RunSchemes::fileName(), "[Default]\n-wL=1\n[Web]\n-TU=1\n[Last]\n-hL=1\n");
    RunSchemes::setCurrent(m_settings, QStringLiteral("Web"));
    const QByteArray settingsBefore = settingsFile();
    try {
        RunSchemes::remove(m_schemes, m_settings, QStringLiteral("Default"));
        ADD_FAILURE() << "deleting Default was not refused";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Oops! You cannot remove the default scheme."));
    }
    EXPECT_EQ(settingsFile(), settingsBefore);
    EXPECT_TRUE(RunSchemes::canDelete(QStringLiteral("default"))); // exact comparison

    SchemeSelection sel = RunSchemes::remove(m_schemes, m_settings, QStringLiteral("Web"));
    EXPECT_EQ(sel.names, QStringList({"Default", "Last"}));
    EXPECT_EQ(sel.index, 0);
    EXPECT_EQ(RunSchemes::current(m_settings), QStringLiteral("Default"));
    EXPECT_EQ(schemeFile(), QByteArray("[Default]\n-wL=1\n[Last]\n-hL=1\n"));

    put(RunSchemes::fileName(), "[Only]\n-wL=1\n");
    sel = RunSchemes::remove(m_schemes, m_settings, QStringLiteral("Only"));
    EXPECT_EQ(sel.index, -1);
    EXPECT_EQ(RunSchemes::current(m_settings), QString());
}

TEST(RunSchemesShipped, DefaultAndTemporaryHoldEveryKeyWithWarningsOn)
{
    const TIniFile shipped(QStringLiteral(QF_SHIPPED_DATA "/etc/runsettings.cfg"));
    const QStringList names = RunSchemes::names(shipped);
    ASSERT_TRUE(names.contains(RunSchemes::defaultName()));
    ASSERT_TRUE(names.contains(RunSchemes::temporaryName()));
    const QStringList eightKeys = {"-wL", "-TU", "-UU", "-vL", "-SU", "-hL", "Custom", "UseCustom"};
    for (const QString &name : names) {
        QStringList keys;
        shipped.ReadSection(name, keys);
        EXPECT_EQ(keys, eightKeys) << name.toStdString();
        EXPECT_TRUE(RunSchemes::read(shipped, name).w) << name.toStdString();
    }
}
