#include "runsupport.h"
#include "ui/run/console.h"
#include "ui/run/panelrun.h"
#include "ui/run/runcommands.h"

#include <QCheckBox>
#include <QDir>
#include <QTextBlock>
#include <QtTest>

namespace {

const QString kDoh = QStringLiteral("Doh! Perl could not be run, most probably I was not able to "
                                    "detect where or if Perl has been "
                                    "installed on this system. Please enter Edit|Options|Files & "
                                    "Directories to enter the path of "
                                    "Perl.\nImportant: Perl itself and maybe I dislike Perl to be "
                                    "installed into a directory path "
                                    "that contains blanks, this can cause inpredictable errors.");

struct Console : RunWindow
{
    using RunWindow::RunWindow;
    QPlainTextEdit *edit() const { return get<QPlainTextEdit>("Console"); }
    QString text() const { return edit()->toPlainText(); }
    PanelRun *run() const { return PanelRun::of(edit()); }
    ConsolePanel *console() const { return (*this)->runs().console(); }
    void internal(bool on) const { get<QCheckBox>("chkICmd")->setChecked(on); }
    // Types the line at the end and presses Enter.
    void type(const QString &line) const
    {
        edit()->setFocus();
        edit()->moveCursor(QTextCursor::End);
        QTest::keyClicks(edit(), line);
        QTest::keyClick(edit(), Qt::Key_Return);
    }
    QString lastLine() const { return edit()->document()->lastBlock().text(); }
    QString prompt() const { return console()->prompt(); }
    void key(Qt::Key k) const { QTest::keyClick(edit(), k); }
    bool waitForEnd(int ms = 5000) const { return RunWindow::waitForEnd(run(), ms); }
    // Types a command and waits until it has ended.
    bool command(const QString &line) const
    {
        type(line);
        return waitForEnd();
    }
};

} // namespace

class ConsoleTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void aLineRunsAsAProgramOfItsOwn()
    {
        TestHome home;
        Console c(home);
        QVERIFY(!c.get<QCheckBox>("chkICmd")->isChecked());
        // No shell: the semicolon is only an argument of echo.
        QVERIFY(c.command("echo a; echo b"));
        const QString p = c.prompt();
        QCOMPARE(c.text(), p + "echo a; echo b\na; echo b\n\n" + p);
        QVERIFY(!c.edit()->isReadOnly());
        QCOMPARE(c.edit()->textCursor().position(), c.text().size());
    }

    void anInternalCommandGoesThroughTheInterpreter()
    {
        TestHome home;
        Console c(home);
        QCOMPARE(c->runs().consoleCommand(), Platform::defaultCommandInterpreter());
        c.internal(true);
        QVERIFY(c.command("echo a; echo b >&2; printf 'no break'"));
        const QString p = c.prompt();
        QCOMPARE(c.text(), p + "echo a; echo b >&2; printf 'no break'\na\nb\nno break\n" + p);
        // The next command starts on the fresh line and its output follows on a new one.
        QVERIFY(c.command("printf 'x\\0y'"));
        QCOMPARE(c.text().section(u'\n', 4), p + "printf 'x\\0y'\nx\u2400y\n" + p);
    }

    void theInterpreterIsTheOneTheSettingsName()
    {
        TestHome home;
        Console c(home);
        TIniFile(home.path("etc/quillforge.cfg")).WriteString("Config", "Cmd", "/nonexistent/shell");
        c->ApplyOptions();
        c.internal(true);
        c.type("echo hi");
        QTRY_COMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Error);
        QCOMPARE(prompts->asked.at(0).text, kDoh);
        QVERIFY(c.waitForEnd());
        // Only the line break of the Enter key and the next prompt: nothing is appended.
        QCOMPARE(c.text(), c.prompt() + "echo hi\n" + c.prompt());
        QVERIFY(!c.edit()->isReadOnly());
    }

    void aProgramThatDoesNotExistGivesTheDohBox()
    {
        TestHome home;
        Console c(home);
        c.type("no-such-program-here --help");
        QTRY_COMPARE(prompts->messages(), QStringList{kDoh});
    }

    void clsClearsOnlyWhenItIsExactlyTheWord()
    {
        TestHome home;
        Console c(home);
        c.internal(true);
        QVERIFY(c.command("echo one"));
        c.type("cls");
        QCOMPARE(c.text(), c.prompt());
        QVERIFY(!c.run()->isRunning());
        QVERIFY(c.command("CLS"));
        QVERIFY(c.text().startsWith(c.prompt() + "CLS\n"));
        QVERIFY(c.text().contains(QLatin1String("not found")));
        c.edit()->clear();
        QVERIFY(c.command("cls "));
        QVERIFY(c.text().startsWith(QLatin1String("cls \n")));
        QVERIFY(c.text().contains(QLatin1String("not found")));
    }

    void enterOnAnEmptyLastLineTakesTheLineAbove()
    {
        TestHome home;
        Console c(home);
        c.edit()->setPlainText("echo again\n");
        QVERIFY(c.command(QString()));
        QCOMPARE(c.text(), "echo again\nagain\n\n" + c.prompt());
        // Enter on an empty panel runs nothing; it is only a line break.
        c.edit()->clear();
        c.type(QString());
        QVERIFY(!c.run()->isRunning());
        QCOMPARE(c.text(), QStringLiteral("\n"));
        // Enter on a bare prompt gives a fresh one, and takes no line above it.
        c.edit()->setPlainText("echo above\n" + c.prompt());
        c.type(QString());
        QVERIFY(!c.run()->isRunning());
        QCOMPARE(c.text(), "echo above\n" + c.prompt() + u'\n' + c.prompt());
        QVERIFY(prompts->asked.isEmpty());
    }

    void aCommandWithoutOutputEndsWithAnEmptyEntry()
    {
        TestHome home;
        Console c(home);
        QVERIFY(c.command("true"));
        QCOMPARE(c.text(), c.prompt() + "true\n\n" + c.prompt());
    }

    void outputStreamsAndTheConsoleWaitsForTheCommand()
    {
        TestHome home;
        Console c(home);
        c.internal(true);
        c.type("echo early; sleep 3.2; echo late");
        QTRY_COMPARE_WITH_TIMEOUT(c.text(),
                                  c.prompt() + "echo early; sleep 3.2; echo late\nearly\n", 2000);
        QVERIFY(c.edit()->isReadOnly());
        QTest::keyClicks(c.edit(), "typed");
        QVERIFY(!c.text().contains(QLatin1String("typed")));
        QVERIFY(c.waitForEnd(8000));
        QVERIFY(c.text().endsWith("early\nlate\n\n" + c.prompt()));
    }

    void ctrlCStopsTheRunningCommand()
    {
        TestHome home;
        Console c(home);
        c.internal(true);
        c.type("echo $$; sleep 30");
        QTRY_VERIFY(c.text().count(u'\n') >= 2);
        const qint64 shell = c.text().section(u'\n', 1, 1).toLongLong();
        QVERIFY(shell > 0);
        QTest::keyClick(c.edit(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(c.waitForEnd(3000));
        QVERIFY(c.text().endsWith(u'\n' + PanelRun::stoppedNote() + u'\n' + c.prompt()));
        QTRY_VERIFY_WITH_TIMEOUT(processGone(shell), 2000);
    }

    void theConsoleAndThePerlOutputRunApart()
    {
        TestHome home;
        Console c(home);
        QVERIFY(PanelRun::of(c.edit()) != PanelRun::of(c.get<QPlainTextEdit>("PerlOut")));
        c.internal(true);
        c.type("sleep 2");
        QVERIFY(c.run()->isRunning());
        QVERIFY(!PanelRun::of(c.get<QPlainTextEdit>("PerlOut"))->isRunning());
        QVERIFY(!c.get<QAction>("btStopRun")->isEnabled());
        c.run()->stopNow();
        QVERIFY(!c.run()->isRunning());
        QCOMPARE(c.text(), c.prompt() + "sleep 2\n" + PanelRun::stoppedNote() + u'\n' + c.prompt());
    }

    void upAndDownRecallTheLinesEnteredBefore()
    {
        TestHome home;
        Console c(home);
        QVERIFY(c.command("echo one"));
        QVERIFY(c.command("echo two"));
        QVERIFY(c.command("echo two"));
        const QString p = c.prompt();
        QTest::keyClicks(c.edit(), "ec");
        c.key(Qt::Key_Up);
        QCOMPARE(c.lastLine(), p + "echo two");
        c.key(Qt::Key_Up);
        QCOMPARE(c.lastLine(), p + "echo one");
        c.key(Qt::Key_Up);
        QCOMPARE(c.lastLine(), p + "echo one");
        c.key(Qt::Key_Down);
        QCOMPARE(c.lastLine(), p + "echo two");
        c.key(Qt::Key_Down);
        QCOMPARE(c.lastLine(), p + "ec");
        // The recalled line runs like a typed one.
        c.key(Qt::Key_Up);
        QVERIFY(c.command(QString()));
        QVERIFY(c.text().endsWith("echo two\ntwo\n\n" + p));
    }

    void theHistoryOutlivesARestart()
    {
        TestHome home;
        {
            Console c(home);
            QVERIFY(c.command("echo kept"));
            c.type("   ");
        }
        QCOMPARE(home.readFile("etc/console_history"), QByteArray("echo kept\n"));
        Console again(home);
        again.edit()->setFocus();
        again.key(Qt::Key_Up);
        QCOMPARE(again.lastLine(), again.prompt() + "echo kept");
    }

    void aHistoryThatCannotBeWrittenDoesNotStopTheCommand()
    {
        TestHome home;
        QVERIFY(QDir(home.dir()).mkpath("etc/console_history"));
        Console c(home);
        QVERIFY(c.command("echo still"));
        QCOMPARE(c.text(), c.prompt() + "echo still\nstill\n\n" + c.prompt());
        QVERIFY(prompts->asked.isEmpty());
    }

    void cdChangesTheFolderLaterCommandsRunIn()
    {
        TestHome home;
        QVERIFY(QDir(home.dir()).mkpath("a b/sub"));
        const QString sub = QDir::cleanPath(home.path("a b/sub"));
        Console c(home);
        c.internal(true);
        c.type("cd '" + home.path("a b") + "'");
        c.type("cd sub");
        QVERIFY(!c.run()->isRunning());
        QCOMPARE(c.lastLine(), consoleFolderText(sub, QDir::homePath()) + "> ");
        QVERIFY(c.command("pwd"));
        QVERIFY2(c.text().endsWith("> pwd\n" + sub + "\n\n" + c.prompt()), qPrintable(c.text()));
        // A program of its own runs there too.
        c.internal(false);
        QVERIFY(c.command("pwd"));
        QVERIFY(c.text().endsWith("pwd\n" + sub + "\n\n" + c.prompt()));
        c.type("cd -");
        QCOMPARE(c.console()->folder(), QDir::cleanPath(home.path("a b")));
    }

    void cdToAFolderThatIsNotThereKeepsTheFolder()
    {
        TestHome home;
        Console c(home);
        const QString before = c.console()->folder();
        c.type("cd nowhere-at-all");
        QVERIFY(c.text().contains("\ncd: no such folder: nowhere-at-all\n"));
        QCOMPARE(c.console()->folder(), before);
        c.internal(true);
        QVERIFY(c.command("pwd"));
        QVERIFY(c.text().endsWith("\n" + before + "\n\n" + c.prompt()));
        QVERIFY(prompts->asked.isEmpty());
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(ConsoleTest)
#include "tst_console.moc"
