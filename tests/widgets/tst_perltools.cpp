#include "core/settings/inifile.h"
#include "core/tools/toolrun.h"
#include "mainwindowfixture.h"
#include "ui/run/perltoolcommands.h"
#include "ui/shell/options.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextBlock>
#include <QtTest>

namespace {

ScriptedPrompts *prompts = nullptr;

const QByteArray kMessy = "use strict;use warnings;\n"
                          "my %h=(a=>1,b=>2);\n"
                          "foreach my $k(sort keys %h){print \"$k=$h{$k}\\n\";\n"
                          "if($k eq 'a'){print \"first\\n\"}}\n";

// What perltidy itself makes of a file, run the plain way in the file's folder.
QString perltidyOf(const QString &path)
{
    QProcess p;
    p.setWorkingDirectory(QFileInfo(path).absolutePath());
    p.start(QStringLiteral("perltidy"), {QStringLiteral("-st"), path});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Tools : MainWindowFixture
{
    using MainWindowFixture::MainWindowFixture;
    ScriptEditorWidget *editor() const { return w->CurrentDocument()->Editor; }
    QString text() const { return editor()->toPlainText(); }
    QString perlOut() const { return get<QPlainTextEdit>("PerlOut")->toPlainText(); }
    // Gives the command and waits until its tool has ended and its result is in.
    bool runTool(const char *command) const
    {
        QSignalSpy done(&w->perlTools(), &PerlToolCommands::done);
        trigger(command);
        return done.wait(30000);
    }
    void caretAt(int line, int column = 0) const
    {
        QTextCursor c = editor()->textCursor();
        c.setPosition(editor()->document()->findBlockByNumber(line).position() + column);
        editor()->setTextCursor(c);
    }
    QStringList outLines() const { return perlOut().split(u'\n', Qt::SkipEmptyParts); }
};

} // namespace

class PerlToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        prompts = ScriptedPrompts::install();
        if (QStandardPaths::findExecutable(QStringLiteral("perltidy")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("perlcritic")).isEmpty())
            QSKIP("perltidy and perlcritic are not installed (scripts/setup.sh installs them)");
        // A profile of the user's own must not change what the tools do here.
        m_home = std::make_unique<QTemporaryDir>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->path().toLocal8Bit());
    }
    void cleanup() { qputenv("HOME", m_oldHome); }

    void tidyFormatsTheWholeScriptAsOneUndoStepKeepingTheCaretLine()
    {
        TestHome home;
        home.writeFile("messy.pl", kMessy);
        Tools s(home);
        s.openLoaded(home.path("messy.pl"));
        s.caretAt(1, 3);
        QVERIFY(s.runTool("Perltidy1"));
        const QString expected = perltidyOf(home.path("messy.pl"));
        QVERIFY(expected.contains(QLatin1String("foreach my $k ( sort keys %h ) {")));
        QCOMPARE(s.text(), expected);
        QCOMPARE(s.editor()->document()->findBlock(s.editor()->textCursor().position()).blockNumber(),
                 1);
        QVERIFY(!s.w->CurrentDocument()->saved());
        s.editor()->undo();
        QCOMPARE(s.text(), QString::fromUtf8(kMessy));
        QVERIFY(!s.editor()->document()->isUndoAvailable());
        QVERIFY(prompts->asked.isEmpty());
    }

    void tidyOfASelectionChangesOnlyItsLines()
    {
        TestHome home;
        const QByteArray line2 = "if($x){my $y=2;print $y;}\n";
        home.writeFile("part.pl", "my $x=1;\n" + line2 + "my $z  =  3;");
        home.writeFile("line2.pl", line2);
        Tools s(home);
        s.openLoaded(home.path("part.pl"));
        // From inside the line to the start of the next: that line alone.
        QTextCursor c = s.editor()->textCursor();
        c.setPosition(12);
        c.setPosition(9 + int(line2.size()), QTextCursor::KeepAnchor);
        s.editor()->setTextCursor(c);
        QVERIFY(s.runTool("Perltidy1"));
        const QString tidied = perltidyOf(home.path("line2.pl"));
        QVERIFY(tidied != QString::fromUtf8(line2));
        QCOMPARE(s.text(), "my $x=1;\n" + tidied + "my $z  =  3;");
    }

    void theProfileOfTheScriptsFolderWinsAndANewScriptUsesTheHomeOne()
    {
        const QByteArray code = "if ($x) {\nfoo();\n}\n";
        QFile rc(m_home->filePath(".perltidyrc"));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write("-i=3\n");
        rc.close();
        TestHome home;
        home.writeFile("proj/.perltidyrc", "-i=2\n");
        home.writeFile("proj/a.pl", code);
        Tools s(home);
        s.openLoaded(home.path("proj/a.pl"));
        QVERIFY(s.runTool("Perltidy1"));
        QCOMPARE(s.text(), QStringLiteral("if ($x) {\n  foo();\n}\n"));

        s.trigger("btNew");
        s.editor()->insertPlainText(QString::fromUtf8(code));
        QVERIFY(s.runTool("Perltidy1"));
        QCOMPARE(s.text(), QStringLiteral("if ($x) {\n   foo();\n}\n"));
    }

    void aSyntaxErrorLeavesTheTextAndShowsWhereItIs()
    {
        TestHome home;
        const QByteArray broken = "my $x = (1;\nif ($x {\nprint 1;\n";
        home.writeFile("broken.pl", broken);
        Tools s(home);
        s.openLoaded(home.path("broken.pl"));
        QVERIFY(s.runTool("Perltidy1"));
        QCOMPARE(s.text(), QString::fromUtf8(broken));
        QVERIFY(s.w->CurrentDocument()->saved());
        QVERIFY(!s.editor()->document()->isUndoAvailable());
        const QRegularExpression located(QStringLiteral("at %1 line [1-3]\\.$")
                                                 .arg(QRegularExpression::escape(
                                                         home.path("broken.pl"))),
                                         QRegularExpression::MultilineOption);
        QVERIFY2(s.perlOut().contains(located), qPrintable(s.perlOut()));
    }

    void criticFindingsFollowTheSeveritySetInTheOptions()
    {
        TestHome home;
        home.writeFile("c.pl", "my $x = 1;\nprint \"$x\\n\";\nopen(FH, \"<x\");\n");
        home.writeFile("clean.pl", "use strict;\nuse warnings;\nprint 1;\n");
        Tools s(home);
        const QString file = home.path("c.pl");
        const QRegularExpression form(
                QStringLiteral("^\\[([1-5]) \\S+\\] .+ at %1 line ([0-9]+)\\.$")
                        .arg(QRegularExpression::escape(file)));
        auto severities = [&] {
            QList<int> found;
            for (const QString &line : s.outLines()) {
                const auto m = form.match(line);
                if (!m.hasMatch())
                    qWarning("not a finding: %s", qPrintable(line));
                found << (m.hasMatch() ? m.captured(1).toInt() : 0);
            }
            return found;
        };
        s.openLoaded(file);
        QVERIFY(s.runTool("Perlcritic1"));
        const QList<int> gravest = severities();
        QVERIFY(!gravest.isEmpty());
        QCOMPARE(gravest, QList<int>(gravest.size(), 5));
        // Each finding is a link, as a run's messages are: Enter on it goes to its line.
        const int findingLine = form.match(s.outLines().constFirst()).captured(2).toInt();
        s.caretAt(3);
        QVERIFY(findingLine != 4);
        auto *out = s.get<QPlainTextEdit>("PerlOut");
        out->moveCursor(QTextCursor::Start);
        QTest::keyClick(out, Qt::Key_Return);
        QTRY_COMPARE(s.editor()->textCursor().blockNumber() + 1, findingLine);

        TOptions *options = s->options();
        options->open(TOptions::Page::General);
        auto *box = options->findChild<QSpinBox *>("edCriticSeverity");
        QVERIFY(box);
        QCOMPARE(box->value(), 5);
        box->setValue(1);
        options->applySettings();
        options->hide();
        QCOMPARE(TIniFile(home.path("etc/quillforge.cfg")).ReadString("Config", "CriticSeverity", ""),
                 QStringLiteral("1"));
        QVERIFY(s.runTool("Perlcritic1"));
        const QList<int> all = severities();
        QVERIFY(!all.contains(0));
        QVERIFY(all.size() > gravest.size());
        QVERIFY(all.contains(1));

        s.openLoaded(home.path("clean.pl"));
        QVERIFY(s.runTool("Perlcritic1"));
        QVERIFY(!s.perlOut().contains(QLatin1String("source OK")));
        box->setValue(5);
        options->applySettings();
        QVERIFY(s.runTool("Perlcritic1"));
        QCOMPARE(s.perlOut(), home.path("clean.pl") + QStringLiteral(" source OK"));
    }

    void aMissingToolSaysHowToInstallIt()
    {
        TestHome home;
        home.writeFile("a.pl", kMessy);
        Tools s(home);
        s.openLoaded(home.path("a.pl"));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_home->path().toLocal8Bit());
        s.trigger("Perltidy1");
        s.trigger("Perlcritic1");
        qputenv("PATH", path);
        QCOMPARE(prompts->messages().size(), 2);
        QVERIFY(prompts->messages()[0].contains(QLatin1String("apt install perltidy")));
        QVERIFY(prompts->messages()[1].contains(QLatin1String("apt install libperl-critic-perl")));
        QVERIFY(!s->perlTools().isBusy());
        QCOMPARE(s.text(), QString::fromUtf8(kMessy));
    }

    void oneToolAtATimeAndEditsMadeMeanwhileAreKept()
    {
        TestHome home;
        home.writeFile("a.pl", kMessy);
        Tools s(home);
        s.openLoaded(home.path("a.pl"));
        QSignalSpy done(&s->perlTools(), &PerlToolCommands::done);
        s.trigger("Perltidy1");
        QVERIFY(s->perlTools().isBusy());
        // Asked whether to stop it; "No" lets it go on, and nothing else starts.
        s.trigger("Perlcritic1");
        QCOMPARE(prompts->messages(),
                 QStringList{PerlToolCommands::stillRunningQuestion("perltidy")});
        s.caretAt(0);
        s.editor()->insertPlainText(QStringLiteral("# mine\n"));
        QVERIFY(done.wait(30000));
        QCOMPARE(done.size(), 1);
        QCOMPARE(s.text(), "# mine\n" + QString::fromUtf8(kMessy));
        QCOMPARE(prompts->messages().last(), PerlToolCommands::changedMeanwhileMessage());
    }

    void aHungToolIsKilledAtItsTimeLimit()
    {
        ToolRun run;
        run.setTimeLimit(300);
        QSignalSpy finished(&run, &ToolRun::finished);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(run.start(QStringLiteral("sleep"), {QStringLiteral("30")}, QString(), QString()));
        QVERIFY(!run.start(QStringLiteral("true"), {}, QString(), QString()));
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(finished.at(0).at(0).value<ToolRun::Result>().ending, ToolRun::Ending::TimedOut);
        QVERIFY(!run.isRunning());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QByteArray m_oldHome;
};

QTEST_MAIN(PerlToolsTest)
#include "tst_perltools.moc"
