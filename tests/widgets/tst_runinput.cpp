#include "core/run/runner.h"
#include "core/settings/inifile.h"
#include "runsupport.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/outputdecor.h"
#include "ui/run/panelrun.h"
#include "ui/run/runform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QtTest>

namespace {

struct Session : RunWindow
{
    using RunWindow::RunWindow;
    QLineEdit *line() const { return get<QLineEdit>("edRunInput"); }
    QCheckBox *keep() const { return get<QCheckBox>("chkKeepInput"); }
    // Puts text into the input line, as typing (or pasting) would, and presses Enter.
    void type(const QString &text) const
    {
        line()->insert(text);
        QTest::keyClick(line(), Qt::Key_Return);
    }
    bool waitFor(const QString &text, int ms = 5000) const
    {
        QElapsedTimer t;
        t.start();
        while (!perlOut().contains(text) && t.elapsed() < ms)
            QTest::qWait(10);
        return perlOut().contains(text);
    }
};

} // namespace

class RunInputTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        prompts = ScriptedPrompts::install();
        if (RunWindow::perl().isEmpty())
            QSKIP("perl is not on PATH");
    }

    void aDebuggerSessionIsTypedAndAnswered()
    {
        TestHome home;
        Session s(home);
        QCOMPARE(s.line()->accessibleName(), QStringLiteral("Script input"));
        QVERIFY(!s.line()->isEnabled());
        QVERIFY(!s.keep()->isChecked());
        s.start(writeScript(home, "calc.pl", "my $x = 6;\nmy $y = $x * 7;\nprint \"y=$y\\n\";\n"),
                "Debug1");
        // The prompt has no line break after it and shows all the same.
        QVERIFY(s.waitFor(QStringLiteral("main::(%1:1):").arg(home.path("calc.pl"))));
        QTRY_VERIFY(s.perlOut().endsWith(QLatin1String("  DB<1> ")));
        QVERIFY(s.line()->isEnabled());
        QVERIFY(s.line()->hasFocus());
        // The script shows where the debugger waits; the typing stays with the debugger.
        ScriptEditorWidget *calc = s.w->CurrentDocument()->Editor;
        QCOMPARE(calc->debuggerLine(), 1);

        // Another script in front: the next stop brings the debugged one back, its line marked
        // and the caret on it.
        s.w->OpenDocument(writeScript(home, "other.pl", "1;\n"));
        QVERIFY(s.w->CurrentDocument()->Editor != calc);
        s.type(QStringLiteral("n"));
        QVERIFY(s.line()->text().isEmpty());
        QVERIFY(s.waitFor(QStringLiteral("  DB<1> n\nmain::(%1:2):").arg(home.path("calc.pl"))));
        QTRY_COMPARE(s.w->CurrentDocument()->Editor, calc);
        QCOMPARE(calc->debuggerLine(), 2);
        QCOMPARE(calc->lineOf(calc->textCursor().position()), 1);
        // The line the debugger stands on is a link to it.
        QStringList links;
        QTextDocument *out = s.get<QPlainTextEdit>("PerlOut")->document();
        for (QTextBlock b = out->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor())
                    links << it.fragment().charFormat().anchorHref();
            }
        }
        QCOMPARE(links, (QStringList{OutputDecor::href(home.path("calc.pl"), 1),
                                     OutputDecor::href(home.path("calc.pl"), 2)}));
        s.type(QStringLiteral("p $x"));
        QVERIFY(s.waitFor(QStringLiteral("  DB<1> p $x\n6\n  DB<2> ")));
        QCOMPARE(calc->debuggerLine(), 2);
        // Up and Down walk the lines sent; one sent again is answered again.
        s.line()->insert(QStringLiteral("half"));
        QTest::keyClick(s.line(), Qt::Key_Up);
        QCOMPARE(s.line()->text(), QStringLiteral("p $x"));
        QTest::keyClick(s.line(), Qt::Key_Up);
        QCOMPARE(s.line()->text(), QStringLiteral("n"));
        QTest::keyClick(s.line(), Qt::Key_Down);
        QTest::keyClick(s.line(), Qt::Key_Down);
        QCOMPARE(s.line()->text(), QStringLiteral("half"));
        s.line()->clear();
        QTest::keyClick(s.line(), Qt::Key_Up);
        QTest::keyClick(s.line(), Qt::Key_Return);
        QVERIFY(s.waitFor(QStringLiteral("  DB<2> p $x\n6\n  DB<3> ")));
        s.type(QStringLiteral("c"));
        QVERIFY(s.waitFor(QStringLiteral("y=42\n")));
        QVERIFY(s.run()->isRunning());
        s.type(QStringLiteral("q"));
        QVERIFY(s.waitForEnd());
        QVERIFY(s.perlOut().contains(QLatin1String("DB<3> q\n")));
        QVERIFY(s.perlOut().endsWith(s.run()->endingTail()));
        QVERIFY(s.run()->endingTail().contains(QLatin1String("exit status 0")));
        QVERIFY(!s.line()->isEnabled());
        QCOMPARE(calc->debuggerLine(), 0);
        QVERIFY(prompts->asked.isEmpty());
    }

    void runsKeepTheirInputOpenOnlyWhenAsked()
    {
        const QByteArray echo = "$| = 1; print \"ready\\n\";\n"
                                "while (my $l = <STDIN>) { print 'got ', $l }\n"
                                "print \"eof\\n\";\n";
        TestHome home;
        {
            Session s(home);
            // Off: the script finds its input at its end and never waits.
            s.start(writeScript(home, "echo.pl", echo), "Run1");
            QVERIFY(s.waitForEnd());
            QVERIFY(s.perlOut().contains(QLatin1String("ready\neof\n")));
            QVERIFY(!s.line()->isEnabled());

            s.keep()->setChecked(true);
            QCOMPARE(TIniFile(home.path("etc/quillforge.cfg"))
                             .ReadString("Config", "KeepInputOpen", "unset"),
                     QStringLiteral("1"));
            s.start(home.path("echo.pl"), "Run1");
            QVERIFY(s.waitFor(QStringLiteral("ready\n")));
            QTRY_VERIFY(s.line()->isEnabled());
            s.type(QStringLiteral("first"));
            QVERIFY(s.waitFor(QStringLiteral("ready\nfirst\ngot first\n")));
            s.type(QStringLiteral("zweite \u00fc"));
            QVERIFY2(s.waitFor(QStringLiteral("got first\nzweite \u00fc\ngot zweite \u00fc\n")),
                     qPrintable(s.perlOut()));
            // Ctrl+D ends the input; what stands in the line goes first, as on a terminal.
            QTest::keyClicks(s.line(), QStringLiteral("last"));
            QTest::keyClick(s.line(), Qt::Key_D, Qt::ControlModifier);
            QVERIFY(s.waitForEnd());
            QVERIFY(s.perlOut().contains(QLatin1String("lastgot lasteof\n")));
            QVERIFY(!s.line()->isEnabled());
            QVERIFY(s.line()->text().isEmpty());
        }
        // The choice is there at the next start.
        Session again(home);
        QVERIFY(again.keep()->isChecked());
    }

    void aDebuggerThatIsNotInstalledIsNamed()
    {
        TestHome home;
        Session s(home);
        s->OpenDocument(writeScript(home, "x.pl", "require Devel::QfNoSuchThing;"));
        s.trigger("Debug1");
        s.form()->findChild<QRadioButton *>("radDebugOther")->setChecked(true);
        s.form()->findChild<QLineEdit *>("edDebugger")->setText(QStringLiteral("QfNoSuchThing"));
        QTest::mouseClick(s.form()->findChild<QPushButton *>("btRun"), Qt::LeftButton);
        QVERIFY(s.waitForEnd());
        QVERIFY(s.perlOut().contains(QLatin1String("Can't locate Devel/QfNoSuchThing.pm")));
        QCOMPARE(prompts->asked.size(), 1);
        QVERIFY(prompts->asked.at(0).text.contains(QLatin1String("Devel::QfNoSuchThing")));

        // A script that fails the same way of its own accord is not the debugger's fault.
        prompts->asked.clear();
        s.trigger("Run1");
        QTest::mouseClick(s.form()->findChild<QPushButton *>("btRun"), Qt::LeftButton);
        QVERIFY(s.waitForEnd());
        QVERIFY(prompts->asked.isEmpty());
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(RunInputTest)
#include "tst_runinput.moc"
