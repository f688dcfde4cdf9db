#include "core/run/commandline.h"
#include "core/run/debuggerswitch.h"
#include "core/run/runner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool waitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A runner and what it said: the text, how it ended and every change of its input.
class TalkingRun : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "core_tests";
            static char *argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }

    void SetUp() override
    {
        m_perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
        if (m_perl.isEmpty())
            GTEST_SKIP() << "perl is not on PATH";
        QObject::connect(&m_runner, &Runner::output, [this](const QString &t) { m_text += t; });
        QObject::connect(&m_runner, &Runner::finished, [this](int code, Runner::Ending how) {
            m_code = code;
            m_ending = how;
            ++m_ends;
        });
        QObject::connect(&m_runner, &Runner::inputOpenChanged,
                         [this](bool open) { m_input << open; });
    }

    Command perl(const QByteArray &code, bool keepInput)
    {
        const QString path = m_dir.filePath(QStringLiteral("s%1.pl").arg(++m_scripts));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(code);
        Command c{m_perl, {path}};
        c.keepInputOpen = keepInput;
        return c;
    }
    bool ended()
    {
        return waitFor([this] { return m_ends > 0; });
    }

    QString m_perl;
    QTemporaryDir m_dir;
    Runner m_runner;
    QString m_text;
    QList<bool> m_input;
    int m_code = -100;
    Runner::Ending m_ending = Runner::Ending::Exited;
    int m_ends = 0;
    int m_scripts = 0;
};

const QByteArray kEcho = "$| = 1; print \"ready\\n\";\n"
                         "while (my $l = <STDIN>) { print 'got ', length($l), ' ', $l }\n"
                         "print \"eof\\n\";\n";

} // namespace

TEST_F(TalkingRun, LinesTypedReachTheScriptAndClosingTheInputIsItsEnd)
{
    m_runner.start(perl(kEcho, true), false);
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("too early\n")))
            << "nothing is taken before the run has started";
    ASSERT_TRUE(waitFor([this] { return m_text == QLatin1String("ready\n"); }));
    EXPECT_EQ(m_input, QList<bool>{true});
    EXPECT_TRUE(m_runner.isInputOpen());

    // Encoded as the output is read: six characters, seven bytes in UTF-8.
    EXPECT_TRUE(m_runner.writeInput(QStringLiteral("h\u00e9llo\n")));
    ASSERT_TRUE(waitFor([this] { return m_text.endsWith(u'\n') && m_text.count(u'\n') == 2; }));
    EXPECT_TRUE(m_runner.writeInput(QStringLiteral("two\n")));
    ASSERT_TRUE(waitFor([this] { return m_text.count(u'\n') == 3; }));
    EXPECT_EQ(m_text, QStringLiteral("ready\ngot 7 h\u00e9llo\ngot 4 two\n"));
    EXPECT_TRUE(m_runner.isRunning()) << "the script waits for more";

    m_runner.closeInput();
    EXPECT_FALSE(m_runner.isInputOpen());
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("ready\ngot 7 h\u00e9llo\ngot 4 two\neof\n"));
    EXPECT_EQ(m_code, 0);
    EXPECT_EQ(m_ending, Runner::Ending::Exited);
    EXPECT_EQ(m_input, QList<bool>({true, false}));

    // Writing to a run that is over changes nothing.
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("late\n")));
    m_runner.closeInput();
    EXPECT_EQ(m_input, QList<bool>({true, false}));
}

TEST_F(TalkingRun, WithoutAskingTheInputIsAtItsEndFromTheStart)
{
    m_runner.start(perl(kEcho, false), false);
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("ready\neof\n"));
    EXPECT_TRUE(m_input.isEmpty());
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("x\n")));
}

TEST_F(TalkingRun, AScriptEndingWhileTheInputIsOpenClosesIt)
{
    m_runner.start(perl("print 'bye';", true), false);
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("bye"));
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    EXPECT_FALSE(m_runner.isInputOpen());
}

TEST_F(TalkingRun, StopAndANewStartEndAScriptWaitingForInput)
{
    // Blocks in the read: it must not depend on the end of its input to go.
    const QByteArray waits = "$SIG{TERM} = 'IGNORE'; $| = 1; print \"waiting\\n\"; <STDIN>;"
                             " sleep 30;";
    m_runner.setStopGrace(300);
    m_runner.start(perl(waits, true), false);
    ASSERT_TRUE(waitFor([this] { return m_text == QLatin1String("waiting\n"); }));
    m_runner.stop();
    EXPECT_FALSE(m_runner.isInputOpen());
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_ending, Runner::Ending::Stopped);
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("x\n")));

    m_input.clear();
    m_text.clear();
    m_ends = 0;
    m_runner.start(perl(waits, true), false);
    ASSERT_TRUE(waitFor([this] { return m_runner.isInputOpen(); }));
    m_runner.start(perl(kEcho, false), false);
    // The old run's input closed as it ended, and the new one's never opens.
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    EXPECT_FALSE(m_runner.isInputOpen());
    EXPECT_EQ(m_ends, 1);
    ASSERT_TRUE(waitFor([this] { return m_ends == 2; }));
    EXPECT_TRUE(m_text.endsWith(QLatin1String("ready\neof\n"))) << m_text.toStdString();
    EXPECT_EQ(m_input, QList<bool>({true, false}));
}

TEST_F(TalkingRun, TheDebuggerTalksThroughTheInputNotATerminal)
{
    // A run has no terminal to open, even when the IDE has one.
    m_runner.start(perl("print open(my $t, '<', '/dev/tty') ? 'terminal' : 'none';", false), false);
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("none"));

    RunRequest r;
    r.interpreter = m_perl;
    r.script = perl("my $x = 6;\nmy $y = $x * 7;\nprint \"y=$y\\n\";\n", false).arguments.at(0);
    r.debug = true;
    const Command c = buildCommand(r);
    EXPECT_TRUE(c.keepInputOpen);
    m_text.clear();
    m_ends = 0;
    m_runner.start(c, false);
    // The prompt comes without a line break and is there before anything is typed.
    ASSERT_TRUE(waitFor([this] { return m_text.endsWith(QLatin1String("  DB<1> ")); }))
            << m_text.toStdString();
    m_runner.writeInput(QStringLiteral("n\n"));
    ASSERT_TRUE(waitFor([this] { return m_text.count(QLatin1String("DB<1> ")) == 2; }));
    m_runner.writeInput(QStringLiteral("p $x\n"));
    ASSERT_TRUE(waitFor([this] { return m_text.endsWith(QLatin1String("6\n  DB<2> ")); }))
            << m_text.toStdString();
    m_runner.writeInput(QStringLiteral("c\n"));
    ASSERT_TRUE(waitFor([this] { return m_text.contains(QLatin1String("y=42\n")); }));
    m_runner.writeInput(QStringLiteral("q\n"));
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_ending, Runner::Ending::Exited);
    EXPECT_FALSE(m_text.contains(QChar(0x1b))) << "no terminal codes in a text panel";
}

TEST(DebuggerSwitch, OnlyANamedDebuggerLoadsAModuleAndItsAbsenceIsExplained)
{
    RunRequest r;
    r.interpreter = QStringLiteral("perl");
    r.script = QStringLiteral("x.pl");
    r.parameters = QStringLiteral("-d:Param");
    r.debug = true;
    r.namedDebugger = true;
    r.debugger = QStringLiteral("NYTProf");
    Command c = buildCommand(r);
    EXPECT_EQ(c.arguments, QStringList({"-d:NYTProf", "x.pl", "-d:Param"}));
    EXPECT_EQ(debuggerModule(c), QStringLiteral("Devel::NYTProf"));
    // No name: perl's own debugger, whichever radio button is on.
    r.debugger = QStringLiteral("  ");
    c = buildCommand(r);
    EXPECT_EQ(c.arguments, QStringList({"-d", "x.pl", "-d:Param"}));
    EXPECT_EQ(debuggerModule(c), QString()) << "a script's own parameters are not perl's";
    r.debug = false;
    EXPECT_FALSE(buildCommand(r).keepInputOpen);

    EXPECT_EQ(debuggerModule(Command{"perl", {"-w", "-d:Trace=1,2", "x.pl"}}),
              QStringLiteral("Devel::Trace"));
    EXPECT_EQ(debuggerModule(Command{"perl", {"-dt:-My::Dbg", "x.pl"}}), QStringLiteral("My::Dbg"));

    const QString said = QStringLiteral(
            "Can't locate Devel/DProf.pm in @INC (you may need to install the Devel::DProf "
            "module) (@INC contains: /etc/perl).\nBEGIN failed--compilation aborted.\n");
    const QString why = missingDebuggerMessage(QStringLiteral("Devel::DProf"), said);
    EXPECT_TRUE(why.contains(QLatin1String("Devel::DProf"))) << why.toStdString();
    EXPECT_EQ(missingDebuggerMessage(QStringLiteral("Devel::Trace"), said), QString());
    EXPECT_EQ(missingDebuggerMessage(QString(), said), QString());
    EXPECT_FALSE(missingDebuggerMessage(QStringLiteral("My::Dbg"),
                                        QStringLiteral("Can't locate My/Dbg.pm in @INC (...)"))
                         .isEmpty());
}
