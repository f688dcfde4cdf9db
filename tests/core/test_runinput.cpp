#include "core/run/commandline.h"
#include "core/run/debuggerswitch.h"
#include "core/run/runner.h"
#include "eventloop.h"

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

// A runner and what it said: the text, how it ended and every change of its input.
class TalkingRun : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }

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
        return waitUntil([this] { return m_ends > 0; });
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

TEST_F(TalkingRun, LinesTypedReachTheScriptAndOnlyWhenAsked)
{
    // Not asked for: the input is at its end from the start and takes nothing.
    m_runner.start(perl(kEcho, false), false);
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("ready\neof\n"));
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("x\n")));
    EXPECT_TRUE(m_input.isEmpty());

    m_text.clear();
    m_ends = 0;
    m_runner.start(perl(kEcho, true), false);
    ASSERT_TRUE(waitUntil([this] { return m_text == QLatin1String("ready\n"); }));
    EXPECT_EQ(m_input, QList<bool>{true});
    // Encoded as the output is read: six characters, seven bytes in UTF-8.
    EXPECT_TRUE(m_runner.writeInput(QStringLiteral("h\u00e9llo\n")));
    EXPECT_TRUE(m_runner.writeInput(QStringLiteral("two\n")));
    ASSERT_TRUE(waitUntil([this] { return m_text.count(u'\n') == 3; }));
    EXPECT_EQ(m_text, QStringLiteral("ready\ngot 7 h\u00e9llo\ngot 4 two\n"));
    EXPECT_TRUE(m_runner.isRunning()) << "the script waits for more";

    m_runner.closeInput();
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_text, QStringLiteral("ready\ngot 7 h\u00e9llo\ngot 4 two\neof\n"));
    EXPECT_EQ(m_ending, Runner::Ending::Exited);
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    // Writing to a run that is over changes nothing.
    EXPECT_FALSE(m_runner.writeInput(QStringLiteral("late\n")));
}

TEST_F(TalkingRun, StopAndANewStartEndAScriptWaitingForInput)
{
    // Deaf to the request and blocked in the read: it must not depend on its input to end.
    const QByteArray waits = "$SIG{TERM} = 'IGNORE'; $| = 1; print \"waiting\\n\"; <STDIN>;"
                             " sleep 30;";
    m_runner.setStopGrace(300);
    m_runner.start(perl(waits, true), false);
    ASSERT_TRUE(waitUntil([this] { return m_text == QLatin1String("waiting\n"); }));
    m_runner.stop();
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_ending, Runner::Ending::Stopped);

    m_input.clear();
    m_runner.start(perl(waits, true), false);
    ASSERT_TRUE(waitUntil([this] { return m_runner.isInputOpen(); }));
    m_runner.start(perl("print open(my $t, '<', '/dev/tty') ? 'terminal' : 'none';", false), false);
    // The old run's input closed as it ended, and the new one's never opens.
    EXPECT_EQ(m_input, QList<bool>({true, false}));
    ASSERT_TRUE(waitUntil([this] { return m_ends == 3; }));
    // Nor has a run a terminal to read from instead, even when the IDE has one.
    EXPECT_TRUE(m_text.endsWith(QLatin1String("none"))) << m_text.toStdString();
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
    EXPECT_TRUE(c.keepInputOpen) << "a debugger reads its commands";
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
}
