#include "core/run/commandline.h"
#include "core/settings/inifile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// "_" stands for each blank, as in the run dialog's table, so double blanks can be seen.
QString blanks(const char *shown)
{
    return QString::fromLatin1(shown).replace(u'_', u' ');
}

RunScheme switches(const char *letters)
{
    RunScheme s;
    const QString l = QString::fromLatin1(letters);
    s.w = l.contains(u'w');
    s.T = l.contains(u'T');
    s.U = l.contains(u'U');
    s.v = l.contains(u'v');
    s.S = l.contains(u'S');
    s.h = l.contains(u'h');
    return s;
}

struct Row
{
    const char *letters;
    const char *custom; // custom mode when set
    bool syntaxCheck;
    bool debug;
    bool named;
    const char *params;
    const char *expected;
};

} // namespace

TEST(CommandLine, EveryRowOfTheRunDialogTable)
{
    const Row rows[] = {
            {"wT", nullptr, false, false, false, "", "perl.exe_-wT_C:\\web\\form.pl_"},
            {"wT", nullptr, true, false, false, "", "perl.exe_-wT__-c_C:\\web\\form.pl_"},
            {"wT", nullptr, false, true, false, "", "perl.exe_-wT__-d_C:\\web\\form.pl_"},
            {"wT", nullptr, false, true, true, "", "perl.exe_-wT__-d:DProf_C:\\web\\form.pl_"},
            {"wT", nullptr, true, true, false, "", "perl.exe_-wT__-c__-d_C:\\web\\form.pl_"},
            {"hSvUTw", nullptr, false, false, false, "", "perl.exe_-wTUvSh_C:\\web\\form.pl_"},
            {"", nullptr, false, false, false, "", "perl.exe_C:\\web\\form.pl_"},
            {"", nullptr, true, false, false, "", "perl.exe_-c_C:\\web\\form.pl_"},
            {"wT", "-w -Mstrict", false, false, false, "", "perl.exe_-w_-Mstrict_C:\\web\\form.pl_"},
            {"wT", "", false, false, false, "", "perl.exe__C:\\web\\form.pl_"},
            {"w", nullptr, false, false, false, "a b", "perl.exe_-w_C:\\web\\form.pl_a_b"},
            {"T", nullptr, false, false, false, "", "perl.exe_-T_C:\\web\\form.pl_"},
            // Debugging off adds nothing whatever the radio buttons show.
            {"", nullptr, false, false, true, "", "perl.exe_C:\\web\\form.pl_"},
    };
    for (const Row &row : rows) {
        RunRequest r;
        r.interpreter = QStringLiteral("perl.exe");
        r.script = QStringLiteral("C:\\web\\form.pl");
        r.scheme = switches(row.letters);
        r.customMode = row.custom != nullptr;
        if (row.custom)
            r.scheme.custom = QString::fromLatin1(row.custom);
        r.syntaxCheck = row.syntaxCheck;
        r.debug = row.debug;
        r.namedDebugger = row.named;
        r.debugger = QStringLiteral("DProf");
        r.parameters = QString::fromLatin1(row.params);
        EXPECT_EQ(buildCommandLine(r), blanks(row.expected)) << row.expected;
    }
}

TEST(CommandLine, ModeComesFromTheCallerNotFromUseCustom)
{
    RunScheme s = switches("wT");
    s.custom = QStringLiteral("-X");
    s.useCustom = true;
    EXPECT_EQ(switchString(s, false), blanks("_-wT_"));
    s.useCustom = false;
    EXPECT_EQ(switchString(s, true), blanks("_-X_"));
}

TEST(CommandLine, LettersKeepTheirOrderWhateverTheFileOrder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("runsettings.cfg"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Mixed]\n-hL=1\n-SU=1\n-vL=0\n-UU=1\n-TU=0\n-wL=1\n");
    f.close();
    const RunScheme s = RunSchemes::read(TIniFile(file), QStringLiteral("Mixed"));
    EXPECT_EQ(switchString(s, false), blanks("_-wUSh_"));
}

TEST(CommandLine, PathsWithBlanksAreQuotedAndSplitBackIntoOneWord)
{
    RunRequest r;
    r.scheme = switches("w");
    r.interpreter = QStringLiteral("/opt/my perl/bin/perl");
    r.script = QStringLiteral("/home/ann/my scripts/form.pl");
    r.parameters = QStringLiteral("a  b");
    EXPECT_EQ(buildCommandLine(r),
              blanks("\"/opt/my_perl/bin/perl\"_-w_\"/home/ann/my_scripts/form.pl\"_a__b"));
    r.interpreter = QStringLiteral("\"/opt/my perl/bin/perl\"");
    r.script = QStringLiteral("/usr/bin/plain.pl");
    EXPECT_EQ(buildCommandLine(r), blanks("\"/opt/my_perl/bin/perl\"_-w_/usr/bin/plain.pl_a__b"));

    const QStringList paths = {
            QStringLiteral("/tmp/my perl"),
            QStringLiteral("/tmp/tab\there"),
            QStringLiteral("/tmp/say \"hi\"/x.pl"),
            QStringLiteral("/tmp/\"quoted\" end"),
    };
    for (const QString &p : paths) {
        EXPECT_EQ(QProcess::splitCommand(quoteIfBlank(p) + QStringLiteral(" -w")),
                  QStringList({p, QStringLiteral("-w")}))
                << p.toStdString();
    }
}
