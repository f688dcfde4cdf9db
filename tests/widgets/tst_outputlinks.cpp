#include "runsupport.h"
#include "ui/editor/linenumberarea.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/console.h"
#include "ui/run/outputdecor.h"
#include "ui/run/panelrun.h"
#include "ui/run/runcommands.h"
#include "ui/run/runform.h"
#include "ui/shell/documenttabs.h"
#include "ui/shell/mainwindow.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

namespace {

struct Output : RunWindow
{
    using RunWindow::RunWindow;
    QPlainTextEdit *panel() const { return get<QPlainTextEdit>("PerlOut"); }
    TScriptEditor *current() const { return docs().current(); }
    int caretLine() const
    {
        return current()->Editor->lineOf(current()->Editor->textCursor().position()) + 1;
    }
};

// The line of the panel that holds text, and the link's href on it ("" if none).
QTextBlock lineWith(QPlainTextEdit *panel, const QString &text)
{
    for (QTextBlock b = panel->document()->begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(text))
            return b;
    }
    return {};
}

QString hrefAt(const QTextBlock &block, int column)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.position() <= block.position() + column
            && block.position() + column < f.position() + f.length())
            return f.charFormat().isAnchor() ? f.charFormat().anchorHref() : QString();
    }
    return {};
}

QTextCharFormat formatAt(QPlainTextEdit *panel, int position)
{
    QTextCursor c(panel->document());
    c.setPosition(position + 1); // the format of the character before
    return c.charFormat();
}

// Where in the panel's viewport the character at position is.
QPoint pointAt(QPlainTextEdit *panel, int position)
{
    QTextCursor c(panel->document());
    c.setPosition(position);
    return panel->cursorRect(c).center() + QPoint(2, 0);
}

} // namespace

class OutputLinksTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ScriptedPrompts::install();
        if (RunWindow::perl().isEmpty())
            QSKIP("perl is not on PATH");
    }

    void enterOnAnErrorLineOpensTheScriptThere()
    {
        TestHome home;
        Output s(home);
        const QString other = writeScript(home, "other.pl", "1;\n");
        const QString script = writeScript(home, "my scripts/fail.pl",
                                           "use strict;\nprint \"out\\n\";\n\ndie \"boom\";\n");
        s.start(script);
        QVERIFY(s.waitForEnd());
        const QTextBlock error = lineWith(s.panel(), QStringLiteral("boom at "));
        QVERIFY2(error.isValid(), qPrintable(s.perlOut()));
        QCOMPARE(hrefAt(error, 0), QString()); // "boom" is no part of it
        QVERIFY(!hrefAt(error, int(error.text().indexOf(script))).isEmpty());
        QVERIFY(hrefAt(lineWith(s.panel(), QStringLiteral("out")), 0).isEmpty());

        // Elsewhere first, then Enter on the line in the read-only panel.
        s->OpenDocument(other);
        QCOMPARE(s.current()->FileName, other);
        QTextCursor c(error);
        c.movePosition(QTextCursor::EndOfBlock);
        s.panel()->setTextCursor(c);
        s.panel()->setFocus();
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(s.current()->FileName, script);
        QCOMPARE(s.caretLine(), 4);

        // A line without a link leaves the documents alone.
        s->OpenDocument(other);
        s.panel()->setTextCursor(QTextCursor(lineWith(s.panel(), QStringLiteral("out"))));
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(s.current()->FileName, other);

        // The keyboard alone reaches the line: Ctrl+End, Ctrl+Home, then down to it.
        s.panel()->setFocus();
        QTest::keyClick(s.panel(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(s.panel()->textCursor().position(), s.panel()->document()->characterCount() - 1);
        QTest::keyClick(s.panel(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(s.panel()->textCursor().position(), 0);
        QCOMPARE(s.panel()->verticalScrollBar()->value(), 0);
        while (s.panel()->textCursor().block() != error
               && s.panel()->textCursor().block().next().isValid())
            QTest::keyClick(s.panel(), Qt::Key_Down);
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(s.current()->FileName, script);
        QCOMPARE(s.caretLine(), 4);
    }

    // Run as a copy (the settings' third way), the script's messages and the debugger name the
    // copy; their places are the script's, new and unsaved as it is, not a tab of the copy.
    void placesInARunOfACopyAreTheScripts()
    {
        TestHome home;
        const QString copy = home.path("run copy.pl");
        Output s(home, 2, {"Config/Run_AutoSaveAs=" + copy});
        const QString other = writeScript(home, "other.pl", "1;\n");
        ScriptEditorWidget *script = s.current()->Editor;
        script->setPlainText(QStringLiteral("use strict;\nprint \"out\\n\";\n\ndie \"boom\";\n"));
        s.trigger("Run1");
        s.pressRun();
        QVERIFY(s.waitForEnd());
        const QTextBlock error = lineWith(s.panel(), QStringLiteral("boom at "));
        QVERIFY2(error.text().contains(copy), qPrintable(s.perlOut()));

        s->OpenDocument(other);
        const int tabs = int(s.docs().all().size());
        s.panel()->setTextCursor(QTextCursor(error));
        s.panel()->setFocus();
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(s.current()->Editor, script);
        QCOMPARE(s.caretLine(), 4);
        QCOMPARE(int(s.docs().all().size()), tabs);

        // The debugger's stops show in the script too.
        s.trigger("Debug1");
        s.pressRun();
        QTRY_VERIFY(s.perlOut().endsWith(QLatin1String("  DB<1> ")));
        QCOMPARE(script->debuggerLine(), 2); // the first statement that runs
        s.run()->stop();
        QVERIFY(s.waitForEnd());
    }

    void aClickFollowsALinkADragDoesNot()
    {
        TestHome home;
        Output s(home);
        const QString other = writeScript(home, "other.pl", "1;\n");
        const QString script = writeScript(home, "warns.pl", "\n\nwarn 'w';\n");
        s.start(script);
        QVERIFY(s.waitForEnd());
        const QTextBlock warning = lineWith(s.panel(), QStringLiteral("w at "));
        QVERIFY2(warning.isValid(), qPrintable(s.perlOut()));
        const int at = warning.position() + int(warning.text().indexOf(script)) + 3;
        QWidget *view = s.panel()->viewport();

        // Opening a script may move the panel: the link's place is taken afterwards. The drag
        // stays on the line, as a drag out of the panel would scroll it.
        s->OpenDocument(other);
        QPoint p = pointAt(s.panel(), at);
        QVERIFY(!s.panel()->anchorAt(p).isEmpty());
        const QPoint dragEnd = p + QPoint(3 * QApplication::startDragDistance(), 0);
        QTest::mousePress(view, Qt::LeftButton, {}, p);
        QTest::mouseMove(view, dragEnd);
        QTest::mouseRelease(view, Qt::LeftButton, {}, dragEnd);
        QCOMPARE(s.current()->FileName, other);

        p = pointAt(s.panel(), at);
        QTest::mouseClick(view, Qt::LeftButton, {}, p);
        QCOMPARE(s.current()->FileName, script);
        QCOMPARE(s.caretLine(), 3);
    }

    void aRelativeNameCountsFromTheScriptsFolder()
    {
        TestHome home;
        Output s(home);
        writeScript(home, "project/helper.pl", "sub helper {\n  die 'helpless';\n}\n1;\n");
        const QString script = writeScript(home, "project/main.pl",
                                           "require './helper.pl';\nhelper();\n");
        s.start(script);
        QVERIFY(s.waitForEnd());
        const QTextBlock error = lineWith(s.panel(), QStringLiteral("helpless at ./helper.pl"));
        QVERIFY2(error.isValid(), qPrintable(s.perlOut()));
        s.panel()->setTextCursor(QTextCursor(error));
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(QFileInfo(s.current()->FileName).canonicalFilePath(),
                 QFileInfo(home.path("project/helper.pl")).canonicalFilePath());
        QCOMPARE(s.caretLine(), 2);
    }

    void theConsolesLinksCountFromItsFolder()
    {
        TestHome home;
        Output s(home);
        writeScript(home, "tools/t.pl", "\nwarn 'from the console';\n");
        QPlainTextEdit *console = s.get<QPlainTextEdit>("Console");
        auto type = [&](const QString &line) {
            console->setFocus();
            console->moveCursor(QTextCursor::End);
            QTest::keyClicks(console, line);
            QTest::keyClick(console, Qt::Key_Return);
            QVERIFY(s.waitForEnd(PanelRun::of(console)));
        };
        type(QStringLiteral("cd ") + home.path("tools"));
        type(s.perl() + QStringLiteral(" t.pl"));
        const QTextBlock warning = lineWith(console, QStringLiteral("console at t.pl line 2"));
        QVERIFY2(warning.isValid(), qPrintable(console->toPlainText()));
        const int at = warning.position() + int(warning.text().indexOf(u"t.pl")) + 1;
        QTest::mouseClick(console->viewport(), Qt::LeftButton, {}, pointAt(console, at));
        QVERIFY(s.current());
        QCOMPARE(s.current()->FileName, home.path("tools/t.pl"));
        QCOMPARE(s.caretLine(), 2);
    }

    void coloursShowAndTheEscapesNeverReachTheText()
    {
        TestHome home;
        Output s(home);
        // The escape of "green" arrives in two writes, a moment apart.
        const QString script = writeScript(
                home, "colours.pl",
                "$| = 1; print \"\\e[31mred\\e[0m plain \\e[1;44mbold\\e[0m \\e[3\";\n"
                "select(undef, undef, undef, 0.3); print \"2mgreen\\e[0m\\e]0;title\\a\\n\";\n");
        s.start(script);
        QVERIFY(s.waitForEnd());
        const QString text = s.perlOut();
        QVERIFY2(text.contains(QStringLiteral("red plain bold green\n")), qPrintable(text));
        QVERIFY(!text.contains(QChar(0x1b)));
        const int red = int(text.indexOf(QStringLiteral("red plain")));
        QCOMPARE(formatAt(s.panel(), red).foreground().color(), QColor(205, 0, 0));
        QVERIFY(formatAt(s.panel(), red + 4).foreground().style() == Qt::NoBrush);
        const QTextCharFormat bold = formatAt(s.panel(), red + 10);
        QCOMPARE(bold.fontWeight(), int(QFont::Bold));
        QCOMPARE(bold.background().color(), QColor(0, 0, 238));
        QCOMPARE(formatAt(s.panel(), red + 15).foreground().color(), QColor(0, 205, 0));
        QVERIFY(formatAt(s.panel(), red + 15).background().style() == Qt::NoBrush);

        // The page of the output holds no escapes either (the page, not the browser showing it).
        QObject::disconnect(&s->runs(), &RunCommands::browseRequested, nullptr, nullptr);
        s->runs().showOutputAsPage();
        const QByteArray page = home.readFile("etc/prev.html");
        QVERIFY(page.contains("red plain bold green"));
        QVERIFY(!page.contains('\x1b'));
    }

    void theEndOfAFloodKeepsItsColoursAndLinks()
    {
        TestHome home;
        Output s(home);
        // A flood, then lines that keep coming for a while, then the end.
        const QString script
                = writeScript(home, "flood.pl",
                              "$| = 1; print \"\\e[34m\", 'x' x 99, \"\\e[0m\\n\" for 1 .. 40000;\n"
                              "for (1 .. 100) { print \"\\e[32mtick $_\\e[0m at $0 line 2.\\n\";"
                              " select(undef, undef, undef, 0.03) }\n"
                              "print \"\\e[32mlast\\e[0m\\n\";\ndie 'at the end';\n");
        s.start(script);
        PanelRun *run = PanelRun::of(s.panel());
        // What the panel shows gets its colours and links while output still comes.
        auto shownTickDecorated = [&] {
            const QTextBlock last = s.panel()->document()->lastBlock().previous();
            return last.text().startsWith(QStringLiteral("tick"))
                   && formatAt(s.panel(), last.position()).foreground().color() == QColor(0, 205, 0)
                   && !hrefAt(last, int(last.text().indexOf(QStringLiteral(" line")))).isEmpty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(shownTickDecorated() || !run->isRunning(), 20000);
        QVERIFY2(run->isRunning(), "the script ended before a line of it was seen decorated");
        QVERIFY(s.waitForEnd());

        // Then all of the end that stays.
        QTRY_VERIFY_WITH_TIMEOUT(!run->decorating(), 10000);
        const QString text = s.perlOut();
        QVERIFY(text.size() < 40000 * 100); // the middle was left out
        QVERIFY(!text.contains(QChar(0x1b)));
        const int last = int(text.lastIndexOf(QStringLiteral("\nlast\n"))) + 1;
        QVERIFY(last > 0);
        QCOMPARE(formatAt(s.panel(), last).foreground().color(), QColor(0, 205, 0));
        const QTextBlock firstKept = lineWith(s.panel(), QStringLiteral(") left out")).next();
        QVERIFY(firstKept.text().startsWith(QStringLiteral("xxx")));
        QCOMPARE(formatAt(s.panel(), firstKept.position()).foreground().color(), QColor(0, 0, 238));
        const QTextBlock tick = lineWith(s.panel(), QStringLiteral("tick 1 at"));
        QVERIFY(tick.isValid());
        QCOMPARE(hrefAt(tick, int(tick.text().indexOf(QStringLiteral(" line")))),
                 OutputDecor::href(script, 2));
        QCOMPARE(formatAt(s.panel(), tick.position() - 2).foreground().color(), QColor(0, 0, 238));
        const QTextBlock error = lineWith(s.panel(), QStringLiteral("at the end at "));
        QVERIFY(error.isValid());
        QCOMPARE(formatAt(s.panel(), error.position()).foreground().style(), Qt::NoBrush);
        s.panel()->setTextCursor(QTextCursor(error));
        QTest::keyClick(s.panel(), Qt::Key_Return);
        QCOMPARE(s.current()->FileName, script);
        QCOMPARE(s.caretLine(), 4);
    }

    void everyKeptLineOfAFloodHasItsColourAndLinkInPlace()
    {
        TestHome home;
        Output s(home);
        // Each line red at "warning" and a link at its end; more than the panel keeps.
        const QString script = writeScript(home, "marked.pl",
                                           "printf qq(\\e[31mwarning\\e[0m: %-36s at %s line "
                                           "%d.\\n), 'x' x 36, $0, $_ for 1 .. 50000;\n");
        s.start(script);
        QVERIFY(s.waitForEnd(60000));
        QTRY_VERIFY_WITH_TIMEOUT(!PanelRun::of(s.panel())->decorating(), 20000);
        QVERIFY(lineWith(s.panel(), QStringLiteral(") left out")).isValid());
        int lines = 0;
        for (QTextBlock b = s.panel()->document()->begin(); b.isValid(); b = b.next()) {
            if (!b.text().startsWith(QStringLiteral("warning")))
                continue;
            ++lines;
            const int number = int(b.text().section(u' ', -1).chopped(1).toInt());
            QString red;
            QString linked;
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.charFormat().foreground().color() == QColor(205, 0, 0))
                    red += f.text();
                if (f.charFormat().isAnchor()) {
                    QCOMPARE(f.charFormat().anchorHref(), OutputDecor::href(script, number));
                    linked += f.text();
                }
            }
            QCOMPARE(red, QStringLiteral("warning"));
            QCOMPARE(linked, script + QStringLiteral(" line ") + QString::number(number));
        }
        QVERIFY2(lines > 25000, qPrintable(QString::number(lines)));
    }

    void aSyntaxCheckMarksItsLinesUntilTheNextCheck()
    {
        TestHome home;
        Output s(home);
        const QString script = writeScript(home, "check.pl",
                                           "use strict;\n\n$x = 1;\nprint 1;\n$y = 2;\n");
        s.start(script, "Syntaxcheck1");
        QVERIFY(s.waitForEnd());
        LineNumberArea *gutter = s.current()->Editor->lineNumberArea();
        QCOMPARE(gutter->marks().keys(), (QList<int>{3, 5}));
        QVERIFY(gutter->marks().value(3).contains(QStringLiteral("Global symbol \"$x\"")));
        QVERIFY(!gutter->marks().value(3).contains(QStringLiteral("$y")));

        // A run is no check: the marks stay.
        s.start(script);
        QVERIFY(s.waitForEnd());
        QCOMPARE(gutter->marks().size(), 2);

        home.writeFile("check.pl", "use strict;\n\nmy $x = 1;\nprint 1;\n");
        s.start(script, "Syntaxcheck1");
        QVERIFY(s.waitForEnd());
        QVERIFY2(s.perlOut().contains(QStringLiteral("syntax OK")), qPrintable(s.perlOut()));
        QVERIFY(gutter->marks().isEmpty());
    }
};

QTEST_MAIN(OutputLinksTest)
#include "tst_outputlinks.moc"
