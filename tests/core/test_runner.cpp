#include "core/run/commandline.h"
#include "core/run/outputdecoder.h"
#include "core/run/runending.h"
#include "core/run/runner.h"
#include "eventloop.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>

namespace {

QString decodeInPieces(const QByteArray &bytes, const QList<qsizetype> &cuts)
{
    OutputDecoder d;
    QString out;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        out += d.decode(bytes.mid(from, cut - from));
        from = cut;
    }
    out += d.decode(bytes.mid(from));
    return out + d.flush();
}

} // namespace

TEST(RunOutputDecoder, CharactersSplitAtAnyByteDecodeWhole)
{
    const QString text = QStringLiteral("a\u00e9\u20ac\U0001F600z\u00df"); // 1 to 4 bytes each
    const QByteArray bytes = text.toUtf8();
    QList<qsizetype> everyByte;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        everyByte << i;
        for (qsizetype j = i; j <= bytes.size(); ++j)
            ASSERT_EQ(decodeInPieces(bytes, {i, j}), text) << "cuts " << i << "," << j;
    }
    EXPECT_EQ(decodeInPieces(bytes, everyByte), text);
}

TEST(RunOutputDecoder, InvalidBytesBecomeEightBitCharactersAndNothingIsLost)
{
    OutputDecoder d;
    EXPECT_EQ(d.decode("caf\xe9 \x80\x9f\xa0"), QStringLiteral("caf\u00e9 \u20ac\u0178\u00a0"));
    // Overlong form, surrogate, past U+10FFFF: each byte stands for itself.
    EXPECT_EQ(d.decode("\xc0\xaf\xed\xa0\x80\xf4\x90"),
              QStringLiteral("\u00c0\u00af\u00ed\u00a0\u20ac\u00f4\u0090"));
    EXPECT_EQ(d.decode("\xe2\x82"), QString()); // may still become a character
    EXPECT_EQ(d.decode("A\xf0\x9f\x98"), QStringLiteral("\u00e2\u201aA"));
    EXPECT_EQ(d.flush(), QStringLiteral("\u00f0\u0178\u02dc"));
    EXPECT_EQ(d.decode(QByteArrayView("a\0b\0", 4)), QString::fromUtf16(u"a\0b\0", 4));
}

namespace {

// What the runner said, in order: "started", "out:<text>", "finished:<code>:<ending>", "failed".
struct Record
{
    QStringList events;
    QString text;
    QString failure;
    int outputs = 0;
    bool ended = false;

    void attach(Runner &r)
    {
        QObject::connect(&r, &Runner::started, [this] { events << QStringLiteral("started"); });
        QObject::connect(&r, &Runner::output, [this](const QString &t) {
            events << QStringLiteral("out:") + t;
            text += t;
            ++outputs;
        });
        QObject::connect(&r, &Runner::finished, [this](int code, Runner::Ending how) {
            const char *name = how == Runner::Ending::Exited    ? "Exited"
                               : how == Runner::Ending::Crashed ? "Crashed"
                                                                : "Stopped";
            events << QStringLiteral("finished:%1:%2").arg(code).arg(QLatin1String(name));
            ended = true;
        });
        QObject::connect(&r, &Runner::failedToStart, [this](const QString &why) {
            events << QStringLiteral("failed");
            failure = why;
            ended = true;
        });
    }
    void clear() { *this = Record(); }
    QString last() const { return events.isEmpty() ? QString() : events.last(); }
};

// Ended, or a zombie that nobody reaps (as in some containers).
bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray s = stat.readAll();
    const qsizetype close = s.lastIndexOf(')');
    return close < 0 || close + 2 >= s.size() || s.at(close + 2) == 'Z';
}

// When the process started, from /proc; 0 when there is no such process, not even a zombie.
quint64 startTime(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray s = stat.readAll();
    return s.mid(s.lastIndexOf(')') + 2).split(' ').value(19).toULongLong();
}

// The processes whose ids a command printed, one a line, each with its start time.
struct Printed
{
    QList<std::pair<qint64, quint64>> processes;

    explicit Printed(const QString &text)
    {
        for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
            processes.append({line.toLongLong(), startTime(line.toLongLong())});
    }
    // Ended and reaped: no zombie of any of them is left.
    bool allReaped() const
    {
        return std::all_of(processes.begin(), processes.end(),
                           [](const auto &p) { return startTime(p.first) != p.second; });
    }
    // A failing test leaves no sleepers behind.
    ~Printed()
    {
        for (const auto &[pid, start] : processes) {
            if (start != 0 && startTime(pid) == start)
                ::kill(pid_t(pid), SIGKILL);
        }
    }
};

class RunnerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }

    void SetUp() override
    {
        m_perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
        if (m_perl.isEmpty())
            GTEST_SKIP() << "perl is not on PATH";
        ASSERT_TRUE(m_dir.isValid());
        m_record.attach(m_runner);
    }

    QString script(const QString &name, const QByteArray &code)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(code);
        return path;
    }
    Command perl(const QString &name, const QByteArray &code)
    {
        return Command{m_perl, {script(name, code)}};
    }
    static Command sh(const QString &code) { return Command{"/bin/sh", {"-c", code}}; }
    bool runToEnd(const Command &command, bool header = false)
    {
        m_runner.start(command, header);
        return waitUntil([this] { return m_record.ended; });
    }
    // Starts a command that prints a process id on its first line; returns that id.
    qint64 startAndReadPid(const Command &command)
    {
        m_runner.start(command, false);
        if (!waitUntil([this] { return m_record.text.contains(u'\n'); }))
            return 0;
        return m_record.text.section(u'\n', 0, 0).toLongLong();
    }

    QString m_perl;
    QTemporaryDir m_dir;
    Runner m_runner;
    Record m_record;
};

} // namespace

TEST_F(RunnerTest, HeaderComesFirstAndTheOutputFollowsOnItsLine)
{
    EXPECT_EQ(outputHeader().toUtf8(),
              QByteArray("<!-- Ostravine Quillforge Build 1.0 running Perl. --> "));
    ASSERT_TRUE(runToEnd(perl("hello.pl", "print 'Hello';"), true));
    EXPECT_EQ(m_record.events,
              QStringList({"started", "out:" + outputHeader(), "out:Hello", "finished:0:Exited"}));
    EXPECT_FALSE(m_runner.isRunning());

    m_record.clear();
    ASSERT_TRUE(runToEnd(sh("true")));
    EXPECT_EQ(m_record.events, QStringList({"started", "finished:0:Exited"}));
}

TEST_F(RunnerTest, ExitCodesAndCrashesAreTold)
{
    ASSERT_TRUE(runToEnd(perl("three.pl", "exit 3;")));
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:3:Exited"));
    m_record.clear();
    ASSERT_TRUE(runToEnd(perl("crash.pl", "kill 'KILL', $$;")));
    EXPECT_TRUE(m_record.last().endsWith(QLatin1String(":Crashed")))
            << m_record.last().toStdString();
    m_record.clear();
    ASSERT_TRUE(runToEnd(Command{m_perl, {"/nonexistent/script.pl"}}));
    EXPECT_TRUE(m_record.text.startsWith(QLatin1String("Can't open perl script")));
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:2:Exited"));
}

TEST_F(RunnerTest, StandardErrorAndOutputArriveInTheOrderWritten)
{
    ASSERT_TRUE(runToEnd(perl("mix.pl", "$| = 1;\n"
                                        "print \"o$_ \" and print STDERR \"e$_ \" for 1..40;\n"
                                        "warn \"done\\n\";\n")));
    QString expected;
    for (int i = 1; i <= 40; ++i)
        expected += QStringLiteral("o%1 e%1 ").arg(i);
    EXPECT_EQ(m_record.text, expected + QStringLiteral("done\n"));
}

TEST_F(RunnerTest, EverythingArrivesAsItIsWritten)
{
    m_runner.start(perl("slow.pl", "$| = 1; print \"first\\n\"; sleep 1; print \"second\\n\";"),
                   false);
    ASSERT_TRUE(waitUntil([this] { return m_record.text == QLatin1String("first\n"); }));
    EXPECT_TRUE(m_runner.isRunning());
    ASSERT_TRUE(waitUntil([this] { return m_record.ended; }));
    EXPECT_EQ(m_record.text, QStringLiteral("first\nsecond\n"));

    // Far more than a pipe holds.
    m_record.clear();
    ASSERT_TRUE(runToEnd(perl("flood.pl", "print \"$_\\n\" for 1 .. 200000;"), true));
    QString expected = outputHeader();
    for (int i = 1; i <= 200000; ++i)
        expected += QString::number(i) + u'\n';
    EXPECT_TRUE(m_record.text == expected) << m_record.text.size() << " of " << expected.size();
    EXPECT_EQ(m_runner.bytesReceived(), expected.size() - outputHeader().size());
}

TEST_F(RunnerTest, SplitCharactersEightBitAndZeroBytesSurvive)
{
    ASSERT_TRUE(runToEnd(perl("split.pl", "$| = 1; binmode STDOUT;\n"
                                          "sub pause { select undef, undef, undef, 0.2 }\n"
                                          "print \"\\xc3\"; pause();\n"
                                          "print \"\\xa9\\xe2\\x82\"; pause();\n"
                                          "print \"\\xac caf\\xe9 a\\0b\\0\";\n")));
    EXPECT_GE(m_record.outputs, 2);
    EXPECT_EQ(m_record.text, QString::fromUtf16(u"\u00e9\u20ac caf\u00e9 a\0b\0", 12));
}

TEST_F(RunnerTest, AScriptReadingStandardInputSeesEndOfFile)
{
    ASSERT_TRUE(runToEnd(perl("stdin.pl", "my $l = <STDIN>; print defined $l ? 'got' : 'eof';")));
    EXPECT_EQ(m_record.text, QStringLiteral("eof"));
}

TEST_F(RunnerTest, ACommandThatCannotStartFailsWithoutOutput)
{
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b.pl");
    const Command commands[] = {
            {"/nonexistent/perl", {"-w", "x.pl"}},
            {"no-such-program-anywhere", {"x"}},
            {m_dir.path(), {"-w", "x.pl"}}, // a folder
            {},
            {m_perl, {"-w", nul}},
    };
    for (const Command &c : commands) {
        m_record.clear();
        ASSERT_TRUE(runToEnd(c, true)) << c.display().toStdString();
        EXPECT_EQ(m_record.events, QStringList({"failed"})) << c.display().toStdString();
        EXPECT_FALSE(m_record.failure.isEmpty());
        EXPECT_FALSE(m_runner.isRunning());
    }
    // A word that no program can be given is named, not blamed on perl.
    EXPECT_TRUE(m_record.failure.contains(QStringLiteral("a\u2400b.pl")))
            << m_record.failure.toStdString();
}

TEST_F(RunnerTest, NoShellTakesPartUnlessTheInterpreterIsAsked)
{
    // A typed line: split as a shell would group it, and nothing more.
    ASSERT_TRUE(runToEnd(Command::fromTyped("/bin/echo $HOME > out.txt; \"two  words\"")));
    EXPECT_EQ(m_record.text, QStringLiteral("$HOME > out.txt; two  words\n"));

    const QString folder = m_dir.filePath(QStringLiteral("my shell"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(QStringLiteral("/bin/sh"), folder + QStringLiteral("/sh")));
    m_record.clear();
    m_runner.startInInterpreter(folder + QStringLiteral("/sh"), QStringLiteral(" -c "),
                                QStringLiteral("printf '%s|' \"a  b\" \"$0\"; echo err >&2"));
    ASSERT_TRUE(waitUntil([this] { return m_record.ended; }));
    EXPECT_EQ(m_record.text, QStringLiteral("a  b|%1/sh|err\n").arg(folder));
}

TEST_F(RunnerTest, TheBuiltCommandRunsTheScriptItNamesWhateverTheName)
{
    // Each name once broke a command line that was split back into words.
    const QStringList names = {
            QStringLiteral("my scripts/args.pl"), QStringLiteral("quoted\".pl"),
            QStringLiteral("line\nbreak.pl"),     QStringLiteral("say \"hi\" it's.pl"),
            QStringLiteral("\"\"\"three.pl"),     QStringLiteral("tab\t$HOME;*.pl"),
            QStringLiteral(" lead and trail "),
    };
    for (const QString &name : names) {
        RunRequest r;
        r.interpreter = m_perl;
        r.scheme.w = true;
        r.script = script(name, "my $x; print join('-', @ARGV), \" [$x] <$0>\\n\";");
        r.parameters = QStringLiteral("a \"b c\"");
        m_record.clear();
        ASSERT_TRUE(runToEnd(buildCommand(r), true)) << name.toStdString();
        EXPECT_TRUE(m_record.text.startsWith(outputHeader()));
        EXPECT_TRUE(m_record.text.contains(QStringLiteral("a-b c [] <%1>\n").arg(r.script)))
                << m_record.text.toStdString();
        EXPECT_TRUE(m_record.text.contains(QLatin1String("uninitialized value $x"))); // -w arrived

        m_record.clear();
        r.syntaxCheck = true;
        ASSERT_TRUE(runToEnd(buildCommand(r), true));
        EXPECT_EQ(m_record.text, outputHeader() + r.script + QStringLiteral(" syntax OK\n"));
    }
}

TEST_F(RunnerTest, StopEndsTheCommandAndWhatItStarted)
{
    const qint64 child = startAndReadPid(sh("sleep 30 & echo $!; wait"));
    ASSERT_GT(child, 0);
    ASSERT_FALSE(processGone(child));
    QElapsedTimer t;
    t.start();
    m_runner.stop();
    ASSERT_TRUE(waitUntil([this] { return m_record.ended; }));
    EXPECT_TRUE(m_record.last().endsWith(QLatin1String(":Stopped")));
    EXPECT_TRUE(waitUntil([child] { return processGone(child); }, 1500));
    EXPECT_LT(t.elapsed(), 1000) << "the polite request should have been enough";
}

TEST_F(RunnerTest, StopEndsEveryDescendantAlsoThoseThatLeftTheSession)
{
    // Five deep, with a branch that leaves the process group and the session, and an orphan
    // of the same kind: its parent ends at once.
    m_runner.start(perl("tree.pl",
                        "use POSIX ();\n$| = 1;\n"
                        "sub spawn { my $pid = fork // die; return if $pid; $_[0]->(); exit }\n"
                        "sub away { POSIX::setsid(); print \"$$\\n\"; sleep 1000 }\n"
                        "sub deeper {\n"
                        "    my $depth = shift;\n"
                        "    print \"$$\\n\";\n"
                        "    spawn(sub { deeper($depth + 1) }) if $depth < 5;\n"
                        "    spawn(\\&away) if $depth == 3;\n"
                        "    sleep 1000;\n"
                        "}\n"
                        "spawn(sub { spawn(\\&away) });\n"
                        "deeper(1);\n"),
                   false);
    ASSERT_TRUE(waitUntil([this] { return m_record.text.count(u'\n') == 7; }));
    const Printed tree(m_record.text);
    m_runner.stop();
    ASSERT_TRUE(waitUntil([this] { return m_record.ended; }));
    EXPECT_TRUE(m_record.last().endsWith(QLatin1String(":Stopped")));
    EXPECT_TRUE(waitUntil([&tree] { return tree.allReaped(); }, 3000));
}

TEST_F(RunnerTest, WhatTheRunnerAdoptsIsReapedWhenItEnds)
{
    // A run that ends by itself leaves its orphans to finish their work, then reaps them.
    const QString done = m_dir.filePath(QStringLiteral("done"));
    const QString leave = script(QStringLiteral("leave.pl"),
                                 "use POSIX ();\n$| = 1;\n"
                                 "sub spawn { my $pid = fork // die; return $pid if $pid;"
                                 " $_[0]->(); exit }\n"
                                 "sub work { select undef, undef, undef, 0.3;"
                                 " open my $f, '>>', $ARGV[0]; print $f 'x' }\n"
                                 "my $middle = spawn(sub { print spawn(\\&work), \"\\n\","
                                 " spawn(sub { POSIX::setsid(); work() }), \"\\n\" });\n"
                                 "waitpid $middle, 0;\n");
    ASSERT_TRUE(runToEnd(Command{m_perl, {leave, done}}));
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:0:Exited"));
    const Printed left(m_record.text);
    ASSERT_EQ(left.processes.size(), 2);
    EXPECT_TRUE(waitUntil([&left] { return left.allReaped(); }, 3000));
    QFile f(done);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("xx"));

    // A program started on its own while a run goes is reaped too.
    m_record.clear();
    m_runner.start(perl("long.pl", "sleep 30;"), false);
    qint64 detached = 0;
    ASSERT_TRUE(QProcess::startDetached("/bin/sh", {"-c", "exit 0"}, QString(), &detached));
    EXPECT_TRUE(waitUntil([detached] { return startTime(detached) == 0; }, 3000));
    m_runner.stopNow();
}

TEST_F(RunnerTest, StopForcesCommandsThatIgnoreTheRequest)
{
    m_runner.setStopGrace(300);
    const qint64 child = startAndReadPid(sh("trap '' TERM; sleep 30 & echo $!; wait"));
    ASSERT_GT(child, 0);
    m_runner.stop();
    waitUntil([] { return false; }, 150);
    EXPECT_FALSE(m_record.ended) << "the shell ignores the polite request";
    ASSERT_TRUE(waitUntil([this] { return m_record.ended; }, 2000));
    EXPECT_TRUE(m_record.last().endsWith(QLatin1String(":Stopped")));
    EXPECT_TRUE(waitUntil([child] { return processGone(child); }, 1500));
}

TEST_F(RunnerTest, ANewRunEndsThePreviousOneFirst)
{
    const qint64 old = startAndReadPid(perl("old.pl", "$| = 1; print \"$$\\n\"; sleep 30;"));
    ASSERT_GT(old, 0);
    m_runner.start(perl("new.pl", "print 'new';"), true);
    // The old run is over before anything of the new one is said.
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:-1:Stopped"));
    EXPECT_TRUE(m_runner.isRunning());
    const qsizetype before = m_record.events.size();
    ASSERT_TRUE(waitUntil([this] { return m_record.last() == "finished:0:Exited"; }));
    EXPECT_EQ(m_record.events.mid(before),
              QStringList({"started", "out:" + outputHeader(), "out:new", "finished:0:Exited"}));
    EXPECT_TRUE(waitUntil([old] { return processGone(old); }, 1500));
}

TEST_F(RunnerTest, ARunStartedByTheEndOfTheOldOneIsEndedToo)
{
    m_runner.start(perl("old.pl", "sleep 30;"), false);
    bool restarted = false;
    QObject::connect(&m_runner, &Runner::finished, [&](int, Runner::Ending how) {
        if (how == Runner::Ending::Stopped && !restarted) {
            restarted = true;
            m_runner.start(perl("slot.pl", "print 'slot';"), false);
        }
    });
    m_runner.start(perl("outer.pl", "print 'outer';"), false);
    ASSERT_TRUE(waitUntil([this] { return m_record.last() == "finished:0:Exited"; }));
    EXPECT_EQ(m_record.events, QStringList({"finished:-1:Stopped", "finished:-1:Stopped", "started",
                                            "out:outer", "finished:0:Exited"}));
}

TEST_F(RunnerTest, DestroyingARunnerEndsItsCommand)
{
    qint64 pid = 0;
    {
        Runner r;
        Record rec;
        rec.attach(r);
        r.start(perl("long.pl", "$| = 1; print \"$$\\n\"; sleep 30;"), false);
        ASSERT_TRUE(waitUntil([&rec] { return rec.text.contains(u'\n'); }));
        pid = rec.text.trimmed().toLongLong();
    }
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(waitUntil([pid] { return processGone(pid); }, 1500));
}

TEST_F(RunnerTest, StopNowEndsTheRunBeforeItReturns)
{
    const qint64 child = startAndReadPid(sh("trap '' TERM; sleep 30 & echo $!; echo more; wait"));
    ASSERT_GT(child, 0);
    waitUntil([this] { return m_record.text.contains(QLatin1String("more")); }, 1000);
    m_runner.stopNow();
    // No grace time and no event loop: the run is over and said so within the call.
    EXPECT_FALSE(m_runner.isRunning());
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:-1:Stopped"));
    EXPECT_TRUE(m_record.text.endsWith(QLatin1String("more\n")));
    EXPECT_TRUE(waitUntil([child] { return processGone(child); }, 1500));
    m_runner.stopNow(); // nothing running: nothing said
    EXPECT_EQ(m_record.events.count(QStringLiteral("finished:-1:Stopped")), 1);
}

TEST_F(RunnerTest, CommandsAreToldTheyWriteToNoTerminal)
{
    qputenv("TERM", "xterm-256color");
    ASSERT_TRUE(runToEnd(sh("echo $TERM")));
    EXPECT_EQ(m_record.text, QStringLiteral("dumb\n"));
}

TEST_F(RunnerTest, OutputWithoutAutoflushKeepsItsPlaceBeforeLaterErrors)
{
    // No "$| = 1": the order must not depend on the script asking for it.
    ASSERT_TRUE(runToEnd(
            perl("plain.pl", "for (1..20) { print \"o$_\\n\"; print STDERR \"e$_\\n\" }")));
    QString expected;
    for (int i = 1; i <= 20; ++i)
        expected += QStringLiteral("o%1\ne%1\n").arg(i);
    EXPECT_EQ(m_record.text, expected);

    // A layer the user set stays theirs.
    const QByteArray before = qgetenv("PERLIO");
    const bool had = qEnvironmentVariableIsSet("PERLIO");
    qputenv("PERLIO", ":perlio");
    m_record.clear();
    const bool ran = runToEnd(perl("layer.pl", "print $ENV{PERLIO};"));
    if (had)
        qputenv("PERLIO", before);
    else
        qunsetenv("PERLIO");
    ASSERT_TRUE(ran);
    EXPECT_EQ(m_record.text, QStringLiteral(":perlio"));
}

TEST_F(RunnerTest, AScriptFindsTheFilesBesideItWhenItRunsInItsFolder)
{
    script("project/helper.pl", "sub helper { 'helped' } 1;");
    script("project/data.txt", "read\n");
    RunRequest r;
    r.interpreter = m_perl;
    r.script = script("project/main.pl", "require './helper.pl'; open my $f, '<', 'data.txt' or "
                                         "die \"no data\\n\"; print helper(), ' ', <$f>;");
    ASSERT_TRUE(runToEnd(buildCommand(r)));
    EXPECT_EQ(m_record.text, QStringLiteral("helped read\n"));
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:0:Exited"));

    // Switched off, the script runs where the IDE runs, as before.
    r.inScriptFolder = false;
    m_record.clear();
    ASSERT_TRUE(runToEnd(buildCommand(r)));
    EXPECT_TRUE(m_record.text.contains(QLatin1String("./helper.pl")))
            << m_record.text.toStdString();
    EXPECT_NE(m_record.last(), QStringLiteral("finished:0:Exited"));

    // A script without a file (not saved yet) has no folder of its own.
    r.inScriptFolder = true;
    r.script = m_dir.filePath(QStringLiteral("project/unsaved.pl"));
    EXPECT_TRUE(buildCommand(r).workingDirectory.isEmpty());
}

TEST_F(RunnerTest, TheEndingLineTellsExitStatusSignalOrStopAndTheTime)
{
    EXPECT_EQ(runEndingLine(0, Runner::Ending::Exited, 1240),
              QStringLiteral("--- exit status 0, 1.24 s ---"));
    EXPECT_EQ(runEndingLine(255, Runner::Ending::Exited, 42),
              QStringLiteral("--- exit status 255, 0.04 s ---"));
    EXPECT_EQ(runEndingLine(-1, Runner::Ending::Stopped, 5000),
              QStringLiteral("--- stopped after 5.00 s ---"));
    EXPECT_EQ(runEndingLine(0, Runner::Ending::Exited, 83456),
              QStringLiteral("--- exit status 0, 83.5 s ---"));
    EXPECT_EQ(runEndingLine(0, Runner::Ending::Crashed, 300),
              QStringLiteral("--- ended by a signal, 0.30 s ---"));

    // A crash reports the signal that ended it, with the system's name for it.
    ASSERT_TRUE(runToEnd(perl("segv.pl", "kill 'SEGV', $$; sleep 5;")));
    EXPECT_EQ(m_record.last(), QStringLiteral("finished:%1:Crashed").arg(SIGSEGV));
    EXPECT_EQ(runEndingLine(SIGSEGV, Runner::Ending::Crashed, 300, Platform::signalName(SIGSEGV)),
              QStringLiteral("--- ended by signal %1 (%2), 0.30 s ---")
                      .arg(SIGSEGV)
                      .arg(QString::fromLocal8Bit(strsignal(SIGSEGV))));
    EXPECT_FALSE(Platform::signalName(SIGSEGV).isEmpty());
}
