#include "core/run/commandline.h"
#include "core/settings/inifile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

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
    const char *shown;
    const char *words; // the arguments perl gets, "|" between them
};

} // namespace

TEST(CommandLine, EveryRowOfTheRunDialogTable)
{
    const Row rows[] = {
            {"wT", nullptr, false, false, false, "", "perl.exe_-wT_C:\\web\\form.pl_",
             "-wT|C:\\web\\form.pl"},
            {"wT", nullptr, true, false, false, "", "perl.exe_-wT__-c_C:\\web\\form.pl_",
             "-wT|-c|C:\\web\\form.pl"},
            {"wT", nullptr, false, true, false, "", "perl.exe_-wT__-d_C:\\web\\form.pl_",
             "-wT|-d|C:\\web\\form.pl"},
            {"wT", nullptr, false, true, true, "", "perl.exe_-wT__-d:DProf_C:\\web\\form.pl_",
             "-wT|-d:DProf|C:\\web\\form.pl"},
            {"wT", nullptr, true, true, false, "", "perl.exe_-wT__-c__-d_C:\\web\\form.pl_",
             "-wT|-c|-d|C:\\web\\form.pl"},
            {"hSvUTw", nullptr, false, false, false, "", "perl.exe_-wTUvSh_C:\\web\\form.pl_",
             "-wTUvSh|C:\\web\\form.pl"},
            {"", nullptr, false, false, false, "", "perl.exe_C:\\web\\form.pl_", "C:\\web\\form.pl"},
            {"", nullptr, true, false, false, "", "perl.exe_-c_C:\\web\\form.pl_",
             "-c|C:\\web\\form.pl"},
            {"wT", "-w -Mstrict", false, false, false, "", "perl.exe_-w_-Mstrict_C:\\web\\form.pl_",
             "-w|-Mstrict|C:\\web\\form.pl"},
            {"wT", "", false, false, false, "", "perl.exe__C:\\web\\form.pl_", "C:\\web\\form.pl"},
            {"w", nullptr, false, false, false, "a b", "perl.exe_-w_C:\\web\\form.pl_a_b",
             "-w|C:\\web\\form.pl|a|b"},
            {"T", nullptr, false, false, false, "", "perl.exe_-T_C:\\web\\form.pl_",
             "-T|C:\\web\\form.pl"},
            // Debugging off adds nothing whatever the radio buttons show.
            {"", nullptr, false, false, true, "", "perl.exe_C:\\web\\form.pl_", "C:\\web\\form.pl"},
            // Typed text keeps its blanks on the screen; the words are what perl gets.
            {"w", "  -W   -Mdiagnostics ", true, false, false, "one  \"two three\"",
             "perl.exe___-W___-Mdiagnostics___-c_C:\\web\\form.pl_one__\"two_three\"",
             "-W|-Mdiagnostics|-c|C:\\web\\form.pl|one|two three"},
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
        const Command c = buildCommand(r);
        EXPECT_EQ(c.display(), blanks(row.shown)) << row.shown;
        EXPECT_EQ(c.program, QStringLiteral("perl.exe"));
        EXPECT_EQ(c.arguments, QString::fromLatin1(row.words).split(u'|')) << row.shown;
    }
}

TEST(CommandLine, ModeComesFromTheCallerNotFromUseCustom)
{
    RunRequest r;
    r.interpreter = QStringLiteral("perl");
    r.scheme = switches("wT");
    r.scheme.custom = QStringLiteral("-X");
    r.scheme.useCustom = true;
    EXPECT_EQ(buildCommand(r).arguments, QStringList({"-wT"}));
    r.scheme.useCustom = false;
    r.customMode = true;
    EXPECT_EQ(buildCommand(r).arguments, QStringList({"-X"}));
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
    EXPECT_EQ(switchLetters(s), QStringLiteral("wUSh"));
}

TEST(CommandLine, APathIsOneWordWhateverItHolds)
{
    RunRequest r;
    r.scheme = switches("w");
    r.interpreter = QStringLiteral("/opt/my perl/bin/perl");
    r.script = QStringLiteral("/home/ann/my scripts/form.pl");
    r.parameters = QStringLiteral("a  b");
    Command c = buildCommand(r);
    EXPECT_EQ(c.display(),
              blanks("\"/opt/my_perl/bin/perl\"_-w_\"/home/ann/my_scripts/form.pl\"_a__b"));
    EXPECT_EQ(c.program, r.interpreter);
    EXPECT_EQ(c.arguments, QStringList({"-w", r.script, "a", "b"}));

    // Typed in quotes, as the blank warning suggests: the quotes are not part of the path.
    r.interpreter = QStringLiteral("\"/opt/my perl/bin/perl\"");
    r.script = QStringLiteral("\"/usr/bin/plain.pl\"");
    c = buildCommand(r);
    EXPECT_EQ(c.program, QStringLiteral("/opt/my perl/bin/perl"));
    EXPECT_EQ(c.display(), blanks("\"/opt/my_perl/bin/perl\"_-w_/usr/bin/plain.pl_a__b"));

    const QStringList scripts = {
            QStringLiteral("/tmp/quoted\".pl"),        QStringLiteral("/tmp/line\nbreak.pl"),
            QStringLiteral("/tmp/tab\there.pl"),       QStringLiteral("/tmp/say \"hi\"/x.pl"),
            QStringLiteral("/tmp/\"\"\"three.pl"),     QStringLiteral("C:\\it's $HOME;*.pl"),
            QStringLiteral("/tmp/ends with a blank "),
    };
    r.parameters.clear();
    for (const QString &s : scripts) {
        r.script = s;
        c = buildCommand(r);
        EXPECT_EQ(c.arguments, QStringList({"-w", s})) << s.toStdString();
        QString inner = s;
        inner.replace(QStringLiteral("\""), QStringLiteral("\\\""));
        const bool plain = std::none_of(s.begin(), s.end(),
                                        [](QChar ch) { return ch.isSpace() || ch == u'"'; });
        EXPECT_EQ(c.display(), QStringLiteral("\"/opt/my perl/bin/perl\" -w %1 ")
                                       .arg(plain ? s : u'"' + inner + u'"'))
                << s.toStdString();
    }

    // No script: no empty word for perl, the line as it always was.
    r.script.clear();
    r.parameters = QStringLiteral("x");
    c = buildCommand(r);
    EXPECT_EQ(c.arguments, QStringList({"-w", "x"}));
    EXPECT_EQ(c.display(), blanks("\"/opt/my_perl/bin/perl\"_-w__x"));
}

TEST(CommandLine, TypedTextSplitsAsQtSplitsACommand)
{
    const QStringList lines = {
            QStringLiteral("echo a  b"),
            QStringLiteral("  lead and trail  "),
            QStringLiteral("say \"two words\" end"),
            QStringLiteral("a\"b c\"d"),
            QStringLiteral("\"\"\"quoted\"\"\" x"),
            QStringLiteral("x \"\" y"),
            QStringLiteral("it's 'single quotes' stay"),
            QStringLiteral("tab\tand\nline"),
            QStringLiteral("\"open quote never closed"),
            QStringLiteral("\"\""),
            QStringLiteral("   "),
    };
    for (const QString &line : lines) {
        const Command c = Command::fromTyped(line);
        QStringList words = QProcess::splitCommand(line);
        EXPECT_EQ(c.program, words.value(0)) << line.toStdString();
        EXPECT_EQ(c.arguments, words.mid(1)) << line.toStdString();
        // Without quotes the screen shows the line as typed, but for its leading blanks.
        if (!line.contains(u'"')) {
            QString typed = line;
            while (!typed.isEmpty() && typed.front().isSpace())
                typed.remove(0, 1);
            EXPECT_EQ(c.display(), typed) << line.toStdString();
        }
    }

    const Command sh = interpreterCommand(QStringLiteral("  /opt/my sh/sh "),
                                          QStringLiteral(" -c "), QStringLiteral("echo \"a  b\""));
    EXPECT_EQ(sh.program, QStringLiteral("/opt/my sh/sh"));
    EXPECT_EQ(sh.arguments, QStringList({"-c", "echo \"a  b\""}));
    EXPECT_EQ(sh.display(), QStringLiteral("\"/opt/my sh/sh\" -c \"echo \\\"a  b\\\"\""));
}

TEST(CommandLine, AWordNoProgramCanBeGivenIsNamed)
{
    Command c{QStringLiteral("/usr/bin/perl"), {QStringLiteral("-w"), QStringLiteral("x.pl")}};
    EXPECT_EQ(c.problem(), QString());

    c.arguments[1] = QStringLiteral("/tmp/a") + QChar(0) + QStringLiteral("b.pl");
    EXPECT_TRUE(c.problem().contains(QStringLiteral("\"/tmp/a\u2400b.pl\"")))
            << c.problem().toStdString();
    EXPECT_TRUE(c.problem().contains(QLatin1String("NUL")));

    c.arguments[1] = QStringLiteral("x.pl");
    c.program = QStringLiteral("/usr/bin/per") + QChar(0xD800) + u'l';
    EXPECT_TRUE(c.problem().contains(QLatin1String("no encoding"))) << c.problem().toStdString();

    // Line breaks, quotes and any other character do reach a program.
    c.program = QStringLiteral("/usr/bin/perl");
    c.arguments = QStringList{QStringLiteral("a\nb\"c\td\u00e9\U0001F600")};
    EXPECT_EQ(c.problem(), QString());
}
