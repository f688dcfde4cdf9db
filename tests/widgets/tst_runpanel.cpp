#include "core/run/browserrules.h"
#include "core/run/outputkeeper.h"
#include "core/run/runner.h"
#include "runsupport.h"
#include "ui/run/panelrun.h"
#include "ui/run/runcommands.h"
#include "ui/run/runform.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

#include <csignal>

namespace {

const QString kDoh = QStringLiteral("Doh! Perl could not be run, most probably I was not able to "
                                    "detect where or if Perl has been "
                                    "installed on this system. Please enter Edit|Options|Files & "
                                    "Directories to enter the path of "
                                    "Perl.\nImportant: Perl itself and maybe I dislike Perl to be "
                                    "installed into a directory path "
                                    "that contains blanks, this can cause inpredictable errors.");

struct Panel : RunWindow
{
    using RunWindow::RunWindow;
    QComboBox *field(const char *name) const { return form()->findChild<QComboBox *>(name); }
    bool checked(const char *name) const
    {
        return form()->findChild<QCheckBox *>(name)->isChecked();
    }
    // What the run wrote, without the line after it that says how it ended.
    QString written() const
    {
        const QString all = perlOut();
        const QString &tail = run()->endingTail();
        return all.endsWith(tail) ? all.chopped(tail.size()) : all;
    }
};

} // namespace

class RunPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        prompts = ScriptedPrompts::install();
        if (RunWindow::perl().isEmpty())
            QSKIP("perl is not on PATH");
    }

    void whatAScriptWritesFollowsTheHeader_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hello") << QByteArray("print 'Hello';") << "Hello";
        QTest::newRow("standard error merged in the order written") << QByteArray(
                "$| = 1; print \"out1\\n\"; print STDERR \"err1\\n\"; print \"out2\\n\";"
                " warn \"err2\\n\"; die \"dead\\n\";") << "out1\nerr1\nout2\nerr2\ndead\n";
        QTest::newRow("zero bytes shown, CR LF one break")
                << QByteArray("print \"a\\0b\\r\\nc\\0\";") << "a\u2400b\nc\u2400";
        QTest::newRow("input is at its end")
                << QByteArray("my $l = <STDIN>; print defined $l ? 'got' : 'eof';") << "eof";
    }

    void whatAScriptWritesFollowsTheHeader()
    {
        QFETCH(QByteArray, code);
        QFETCH(QString, shown);
        TestHome home;
        Panel s(home);
        s.start(writeScript(home, "script.pl", code));
        QVERIFY(!s.form()->isVisible());
        QVERIFY(s.waitForEnd());
        QCOMPARE(s.written(), outputHeader() + shown);
        QVERIFY(prompts->asked.isEmpty());
    }

    void outputArrivesWhileTheScriptRuns()
    {
        // Longer than the three seconds a run once had; the window stays responsive.
        TestHome home;
        Panel s(home);
        s.start(writeScript(home, "slow.pl",
                            "$| = 1; print \"before\\n\"; select(undef, undef, undef, 3.3);"
                            " print \"after\\n\";"));
        QTRY_COMPARE_WITH_TIMEOUT(s.perlOut(), outputHeader() + QStringLiteral("before\n"), 2000);
        QVERIFY(s.run()->isRunning());
        QVERIFY(s.get<QAction>("btStopRun")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(s.written(), outputHeader() + QStringLiteral("before\nafter\n"),
                                  8000);
        QVERIFY(s.waitForEnd());
        QVERIFY(!s.get<QAction>("btStopRun")->isEnabled());
    }

    // The end of a flood is where a script says what went wrong: past the limit the panel keeps
    // the beginning and the end, whole lines, and one line between them counts the rest.
    void aFloodKeepsItsBeginningAndItsEnd()
    {
        TestHome home;
        Panel s(home);
        const int count = 340000; // lines of 100 characters: more than the panel keeps
        s.start(writeScript(home, "huge.pl", "printf qq(%099d\\n), $_ for 1 .. 340000;"));
        QVERIFY(s.waitForEnd(60000));
        const QString text = s.written();
        const QStringList lines = text.split(u'\n');
        auto number = [](qint64 n) {
            return QStringLiteral("%1").arg(n, 99, 10, QLatin1Char('0'));
        };
        QCOMPARE(lines.first(), outputHeader() + number(1));
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines.at(lines.size() - 2), number(count));

        const qsizetype noteAt = lines.indexOf(QRegularExpression(
                QStringLiteral("^\u2026 \\d+ lines \\(\\d+ bytes\\) left out \u2026$")));
        QVERIFY(noteAt > 0);
        const qint64 lastBefore = lines.at(noteAt - 1).toLongLong();
        const qint64 firstAfter = lines.at(noteAt + 1).toLongLong();
        // Every line up to the note and from it to the end, in order.
        QCOMPARE(lastBefore, noteAt);
        QCOMPARE(lines.size() - 2 - noteAt, count - firstAfter + 1);
        QCOMPARE(lines.at((noteAt + lines.size()) / 2).toLongLong(),
                 firstAfter + (lines.size() - noteAt) / 2 - 1);
        const qint64 leftOut = firstAfter - lastBefore - 1;
        QVERIFY(leftOut > 0);
        QCOMPARE(lines.at(noteAt), OutputKeeper::note(leftOut, leftOut * 100));
    }

    void thePanelFollowsOutputToItsEnd()
    {
        TestHome home;
        Panel s(home);
        QPlainTextEdit *panel = s.get<QPlainTextEdit>("PerlOut");
        QScrollBar *bar = panel->verticalScrollBar();
        // Lines wider than the panel; a pause halfway, in which the window gets narrower and
        // each line takes more rows than before.
        s.start(writeScript(home, "wide.pl",
                            "$| = 1; print 'x' x 200, qq( $_\\n) for 1 .. 300;\n"
                            "sleep 1; print 'y' x 200, qq( $_\\n) for 1 .. 300;\n"));
        QTRY_VERIFY(s.perlOut().contains(QStringLiteral(" 300\n")));
        QVERIFY(s.run()->isRunning());
        s->resize(s->width() - 150, s->height());
        QVERIFY(s.waitForEnd());
        QTRY_COMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->maximum() > 0);
        // The last lines are what the panel shows.
        const QTextBlock shown = panel->cursorForPosition(panel->viewport()->rect().center()).block();
        QVERIFY2(shown.blockNumber() > panel->document()->blockCount() - 10,
                 qPrintable(shown.text().right(20)));

        // Scrolled up by the user, the panel stays where it is while output comes.
        s.start(writeScript(home, "more.pl",
                            "$| = 1; print qq(line $_\\n) for 1 .. 100; sleep 1;"
                            " print qq(later $_\\n) for 1 .. 100;\n"));
        QTRY_VERIFY(s.perlOut().contains(QStringLiteral("line 100\n")));
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QVERIFY(s.waitForEnd());
        QCOMPARE(bar->value(), 0);
    }

    // Stopped while the end is being trimmed: what is shown still reads as beginning, note and
    // end, each whole and in order.
    void aFloodStoppedPastTheLimitStaysInOrder()
    {
        TestHome home;
        Panel s(home);
        s.start(writeScript(home, "endless.pl", "printf qq(%099d\\n), ++$n while 1;"));
        const QRegularExpression
                note(QStringLiteral("^\u2026 \\d+ lines \\(\\d+ bytes\\) left out \u2026$"),
                     QRegularExpression::MultilineOption);
        QTRY_VERIFY_WITH_TIMEOUT(s.perlOut().contains(note), 20000);
        s.run()->stop();
        QVERIFY(s.waitForEnd());
        QStringList lines = s.written().split(u'\n');
        QCOMPARE(lines.last(), PanelRun::stoppedNote());
        // What follows the last whole line: a line cut short by the stop, the notes.
        while (lines.last().size() != 99 || !lines.last().startsWith(u'0'))
            lines.removeLast();
        const qsizetype noteAt = lines.indexOf(note);
        QVERIFY(noteAt > 0);
        QCOMPARE(lines.first(),
                 outputHeader() + QStringLiteral("%1").arg(1, 99, 10, QLatin1Char('0')));
        lines.first().remove(0, outputHeader().size());
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (i == noteAt || i == noteAt + 1)
                continue;
            QCOMPARE(lines.at(i).toLongLong(), lines.at(i - 1).toLongLong() + 1);
        }
        const qint64 leftOut = lines.at(noteAt + 1).toLongLong() - lines.at(noteAt - 1).toLongLong()
                               - 1;
        QCOMPARE(lines.at(noteAt), OutputKeeper::note(leftOut, leftOut * 100));
    }

    void theThreeCommandsPrepareTheDialog()
    {
        TestHome home;
        home.writeFile("etc/runsettings.cfg", "[Strict]\n-wL=1\n");
        Panel s(home);
        TIniFile(home.path("etc/quillforge.cfg")).WriteString("Config", "LastRunSetting", "Strict");
        const QString script = writeScript(home, "warn.pl", "my $x; print $x + 1, \"\\n\";");
        s->OpenDocument(script);

        s.trigger("Syntaxcheck1");
        QVERIFY(s.form()->isVisible());
        QVERIFY(s.checked("chkSynCheck"));
        QVERIFY(!s.checked("chkDebug"));
        QCOMPARE(s.form()->height(), s.form()->collapsedHeight());
        QCOMPARE(s.field("edScript")->currentText(), script);
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QCOMPARE(s.written(), outputHeader() + script + QStringLiteral(" syntax OK\n"));

        // The current scheme's switches reach perl: -w warns.
        s.trigger("btRun");
        QVERIFY(!s.checked("chkSynCheck"));
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QVERIFY(s.perlOut().contains(QLatin1String("Use of uninitialized value")));
        QVERIFY(s.written().endsWith(QLatin1String("1\n")));

        s.trigger("Debug1");
        QVERIFY(s.checked("chkDebug"));
        QVERIFY(!s.checked("chkSynCheck"));
        QCOMPARE(s.form()->height(), s.form()->expandedHeight());
        // The debugger reads its commands from the panel's input, not from a terminal; the
        // end of that input quits it.
        s.pressRun();
        QTRY_VERIFY_WITH_TIMEOUT(s.perlOut().endsWith(QLatin1String("  DB<1> ")), 5000);
        QVERIFY(s.run()->isInputOpen());
        s.run()->closeInput();
        QVERIFY(s.waitForEnd());
        QVERIFY(s.perlOut().contains(QLatin1String("Loading DB routines")));
        QVERIFY(!s.perlOut().contains(QChar(0x1b)));
    }

    void cancellingLeavesThePanelEmpty()
    {
        TestHome home;
        Panel s(home);
        QCOMPARE(s.perlOut(), Platform::localHttpAddress() + QStringLiteral("/cgi-bin >"));
        s->OpenDocument(writeScript(home, "a.pl", "print 1;"));
        s.trigger("Run1");
        QVERIFY(s.form()->isVisible());
        QCOMPARE(s.perlOut(), QString());
        QTest::mouseClick(s.form()->findChild<QPushButton *>("btCancel"), Qt::LeftButton);
        QVERIFY(!s.form()->isVisible());
        QTest::qWait(50);
        QCOMPARE(s.perlOut(), QString());
    }

    void commandsThatCannotStartGiveTheDohBox_data()
    {
        QTest::addColumn<QString>("interpreter");
        QTest::addColumn<QString>("script");
        QTest::newRow("missing interpreter") << "/nonexistent/perl"
                                             << "a.pl";
        QTest::newRow("a directory as interpreter") << "/usr"
                                                    << "a.pl";
        QTest::newRow("empty command line") << ""
                                            << "";
    }

    void commandsThatCannotStartGiveTheDohBox()
    {
        QFETCH(QString, interpreter);
        QFETCH(QString, script);
        TestHome home;
        Panel s(home);
        s->OpenDocument(writeScript(home, "a.pl", "print 1;"));
        s.trigger("Run1");
        s.field("edInterpreter")->setEditText(interpreter);
        s.field("edScript")->setEditText(script);
        s.pressRun();
        QTRY_COMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Error);
        QCOMPARE(prompts->asked.at(0).text, kDoh);
        QCOMPARE(prompts->asked.at(0).buttons, QMessageBox::Ok);
        QCOMPARE(s.perlOut(), QString());
        QVERIFY(!s.run()->isRunning());
    }

    void aMissingScriptIsPerlsOwnMessage()
    {
        TestHome home;
        Panel s(home);
        s->OpenDocument(writeScript(home, "a.pl", "print 1;"));
        s.trigger("Run1");
        s.field("edScript")->setEditText(home.path("gone.pl"));
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(s.perlOut().startsWith(outputHeader() + QStringLiteral("Can't open perl script")));
    }

    void aScriptRunsUnderItsOwnNameWhateverItHolds()
    {
        TestHome home;
        Panel s(home);
        s->OpenDocument(writeScript(home, "plain.pl", "print 1;"));
        for (const char *name : {"quoted\".pl", "line\nbreak.pl"}) {
            const QString script = writeScript(home, QString::fromUtf8(name), "print \"ran $0\";");
            s.trigger("Run1");
            s.field("edScript")->setEditText(script);
            s.pressRun();
            QVERIFY(s.waitForEnd());
            QCOMPARE(s.written(), outputHeader() + QStringLiteral("ran ") + script);
        }
        QVERIFY(prompts->asked.isEmpty());
    }

    void stopEndsTheScriptAndWhatItStarted()
    {
        TestHome home;
        Panel s(home);
        QAction *stop = s.get<QAction>("btStopRun");
        QVERIFY(!stop->isEnabled());
        QCOMPARE(stop->shortcut(), QKeySequence(QStringLiteral("Shift+F9")));
        for (QAction *a : s->findChildren<QAction *>())
            QVERIFY2(a == stop || a->shortcut() != stop->shortcut(), qPrintable(a->objectName()));

        s.start(writeScript(home, "forever.pl",
                            "$| = 1; my $pid = fork; if (!$pid) { sleep 60; exit }"
                            " print \"child $pid\\n\"; sleep 60;"));
        QTRY_VERIFY(s.perlOut().contains(u'\n'));
        const qint64 child = s.perlOut().section(u' ', -1).trimmed().toLongLong();
        QVERIFY(child > 0);
        QVERIFY(stop->isEnabled());
        // The button on the panel's header.
        auto *button = s.get<QWidget>("pPerlHeader")->findChild<QToolButton *>("btStopRun");
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(s.waitForEnd(3000));
        // The note first, then how long the run went.
        QVERIFY(s.written().endsWith(QLatin1Char('\n') + PanelRun::stoppedNote()));
        QVERIFY(s.run()->endingTail().startsWith(QLatin1String("\n--- stopped after ")));
        QTRY_VERIFY_WITH_TIMEOUT(processGone(child), 2000);
        QVERIFY(!stop->isEnabled());
    }

    void aNewRunWhileOneIsGoingAsksFirst()
    {
        TestHome home;
        Panel s(home);
        s.start(writeScript(home, "long.pl", "$| = 1; print \"$$\\n\"; sleep 60;"));
        QTRY_VERIFY(s.perlOut().contains(u'\n'));
        const QString running = s.perlOut();
        const qint64 pid = running.mid(outputHeader().size()).trimmed().toLongLong();
        QVERIFY(pid > 0);

        // No: nothing happens, the script goes on.
        prompts->buttonAnswers = {QMessageBox::No};
        s.trigger("Syntaxcheck1");
        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Confirmation);
        QCOMPARE(prompts->asked.at(0).text,
                 QStringLiteral(
                         "A script is still running in the Perl output panel. Stop it now?"));
        QCOMPARE(prompts->asked.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(!s.form()->isVisible());
        QVERIFY(s.run()->isRunning());
        QCOMPARE(s.perlOut(), running);

        // Yes: it ends before the dialog opens, and the panel says so.
        prompts->buttonAnswers = {QMessageBox::Yes};
        s.trigger("Run1");
        QVERIFY(!s.run()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 2000);
        QVERIFY(s.form()->isVisible());
        QCOMPARE(s.perlOut(), PanelRun::stoppedNote());

        s.field("edScript")->setEditText(writeScript(home, "next.pl", "print 'next';"));
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QCOMPARE(s.written(), outputHeader() + QStringLiteral("next"));
        QCOMPARE(prompts->asked.size(), 2);
    }

    void autoSaveModes()
    {
        TestHome home;
        const QString script = writeScript(home, "s.pl", "print 1;\n");
        auto edit = [](RunWindow &s) {
            s->CurrentDocument()->Editor->moveCursor(QTextCursor::End);
            s->CurrentDocument()->Editor->insertPlainText("print 2;\n");
        };
        {
            Panel s(home, 0); // nothing is saved
            s->OpenDocument(script);
            edit(s);
            s.trigger("Run1");
            QCOMPARE(s.field("edScript")->currentText(), script);
            QCOMPARE(home.readFile("s.pl"), QByteArray("print 1;\n"));
            QVERIFY(!s->CurrentDocument()->saved());
        }
        {
            Panel s(home, 1); // saved as the Save command does
            s->OpenDocument(script);
            const QDateTime before = QFileInfo(script).lastModified();
            QTest::qWait(20);
            s.trigger("Run1");
            QCOMPARE(QFileInfo(script).lastModified(), before); // unchanged: not written
            s.form()->hide();
            edit(s);
            s.trigger("Run1");
            QCOMPARE(home.readFile("s.pl"), QByteArray("print 1;\nprint 2;\n"));
            QVERIFY(s->CurrentDocument()->saved());
            QCOMPARE(s.field("edScript")->currentText(), script);
        }
        {
            Panel s(home, 1); // a new script asks for its name, and the dialog takes it
            s->documents().open(QString());
            s->CurrentDocument()->Editor->insertPlainText("print 3;\n");
            prompts->fileAnswers = {home.path("named.pl")};
            s.trigger("Run1");
            QCOMPARE(prompts->asked.value(0).what, QStringLiteral("saveFile"));
            QCOMPARE(home.readFile("named.pl"), QByteArray("print 3;\n"));
            QCOMPARE(s.field("edScript")->currentText(), home.path("named.pl"));
        }
        {
            TIniFile(home.path("etc/quillforge.cfg"))
                    .WriteString("Config", "Run_AutoSaveAs", home.path("scratch.pl"));
            Panel s(home, 2); // a copy; the script keeps its path and its changes
            s->OpenDocument(script);
            edit(s);
            s.trigger("Run1");
            QCOMPARE(home.readFile("scratch.pl"), QByteArray("print 1;\nprint 2;\nprint 2;\n"));
            QCOMPARE(home.readFile("s.pl"), QByteArray("print 1;\nprint 2;\n"));
            QVERIFY(!s->CurrentDocument()->saved());
            QCOMPARE(s->CurrentDocument()->FileName, script);
            QCOMPARE(s.field("edScript")->currentText(), home.path("scratch.pl"));
        }
        {
            Panel s(home, 7); // an unknown mode leaves the field alone
            s->OpenDocument(script);
            s.trigger("Run1");
            s.form()->hide();
            s.field("edScript")->setEditText("kept.pl");
            s.trigger("Run1");
            QCOMPARE(s.field("edScript")->currentText(), QStringLiteral("kept.pl"));
        }
    }

    void theAutoSaveCopyDefaultsToTheHomeFolder()
    {
        TestHome home;
        Panel s(home, 2);
        const TIniFile settings(home.path("etc/quillforge.cfg"));
        QVERIFY(settings.ReadString("Config", "Run_AutoSaveAs", "").isEmpty());
        qputenv("HOME", home.dir().toUtf8());
        s->OpenDocument(writeScript(home, "s.pl", "print 4;\n"));
        s.trigger("Run1");
        QCOMPARE(s.field("edScript")->currentText(), Platform::defaultRunAutoSaveAs());
        QCOMPARE(home.readFile("test.pl"), QByteArray("print 4;\n"));
    }

    void runCommandsNeedAScript()
    {
        TestHome home;
        Panel s(home);
        const char *commands[] = {"Run1",          "btRun",  "Syntaxcheck1",
                                  "btSyntaxCheck", "Debug1", "btDebug"};
        for (const char *c : commands)
            QVERIFY2(s.get<QAction>(c)->isEnabled(), c);
        s->documents().closeCurrentNow();
        QTRY_VERIFY(!s.get<QAction>("Run1")->isEnabled());
        for (const char *c : commands)
            QVERIFY2(!s.get<QAction>(c)->isEnabled(), c);
        s->documents().open(QString());
        QTRY_VERIFY(s.get<QAction>("Run1")->isEnabled());
        for (const char *c : commands)
            QVERIFY2(s.get<QAction>(c)->isEnabled(), c);
        QCOMPARE(s.get<QAction>("Run1")->shortcut(), QKeySequence(Qt::Key_F9));
        QCOMPARE(s.get<QAction>("Syntaxcheck1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F9));
    }

    // The panel's last line says how the run ended; the page of the output leaves it out.
    void eachRunEndsWithHowItEnded()
    {
        TestHome home;
        Panel s(home);
        s.start(writeScript(home, "three.pl", "print \"<p>x</p>\\n\"; exit 3;"));
        QVERIFY(s.waitForEnd());
        const QRegularExpression exited(
                QStringLiteral("\\n--- exit status 3, \\d+\\.\\d\\d s ---$"));
        QVERIFY2(exited.match(s.perlOut()).hasMatch(), qPrintable(s.perlOut()));
        QCOMPARE(s.written(), outputHeader() + QStringLiteral("<p>x</p>\n"));
        // Only the page is looked at here, not the browser showing it.
        QObject::disconnect(&s->runs(), &RunCommands::browseRequested, nullptr, nullptr);
        s->runs().showOutputAsPage();
        QCOMPARE(home.readFile("etc/prev.html"),
                 BrowserRules::previewPage(outputHeader() + QStringLiteral("<p>x</p>\n")));

        // Output without a line break of its own gets one before the line.
        s.start(writeScript(home, "segv.pl", "print 'partial'; kill 'SEGV', $$; sleep 5;"));
        QVERIFY(s.waitForEnd());
        const QRegularExpression crashed(
                QStringLiteral("^%1partial\\n--- ended by signal %2 \\(.+\\), \\d+\\.\\d\\d s ---$")
                        .arg(QRegularExpression::escape(outputHeader()))
                        .arg(SIGSEGV));
        QVERIFY2(crashed.match(s.perlOut()).hasMatch(), qPrintable(s.perlOut()));
        QVERIFY(prompts->asked.isEmpty());
    }

    // The options' check box decides where the next run goes, and shows what it stored.
    void theRunFolderSettingReachesTheNextRun()
    {
        TestHome home;
        Panel s(home);
        writeScript(home, "project/helper.pl", "sub helper { 'helped' } 1;");
        const QString script = writeScript(home, "project/main.pl",
                                           "require './helper.pl'; print helper();");
        s.start(script);
        QVERIFY(s.waitForEnd());
        QCOMPARE(s.written(), outputHeader() + QStringLiteral("helped"));

        TOptions *options = s->options();
        options->open(TOptions::Page::General);
        auto *box = options->findChild<QCheckBox *>("chkRunInScriptFolder");
        QVERIFY(box);
        QVERIFY(box->isChecked());
        box->click();
        options->applySettings();
        options->hide();
        QCOMPARE(TIniFile(home.path("etc/quillforge.cfg"))
                         .ReadString("Config", "RunInScriptFolder", "unset"),
                 QStringLiteral("0"));
        s.trigger("Run1");
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QVERIFY2(s.written().contains(QLatin1String("Can't locate ./helper.pl")),
                 qPrintable(s.perlOut()));

        options->open(TOptions::Page::General);
        QVERIFY(!box->isChecked());
        box->click();
        options->applySettings();
        options->hide();
        s.trigger("Run1");
        s.pressRun();
        QVERIFY(s.waitForEnd());
        QCOMPARE(s.written(), outputHeader() + QStringLiteral("helped"));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(RunPanelTest)
#include "tst_runpanel.moc"
