#include "core/editor/longlines.h"
#include "core/settings/inifile.h"
#include "mainwindowfixture.h"
#include "testsupport.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/rowbreaks.h"
#include "ui/shell/options.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTextBlock>
#include <QtTest>

// Indentation, comments, bracket partners, line numbers and the caret's line in the script
// editor, and the editing options reaching every open editor.
namespace {

struct Window : FreshHome, MainWindowFixture
{
    Window()
        : MainWindowFixture(home)
    {}
    ScriptEditorWidget *open(const QString &text, const QString &name = "a.pl") const
    {
        home.writeFile(name, text.toUtf8());
        ScriptEditorWidget *ed = openLoaded(home.path(name))->Editor;
        ed->setFocus();
        return ed;
    }
    static void place(ScriptEditorWidget *ed, int anchor, int position)
    {
        QTextCursor c = ed->textCursor();
        c.setPosition(anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        ed->setTextCursor(c);
    }
    static QString text(ScriptEditorWidget *ed) { return RowBreaks::text(ed->document()); }
    // The room left of the text, where the line numbers go.
    static int margin(ScriptEditorWidget *ed)
    {
        return ed->viewport()->x() - ed->contentsRect().left();
    }
    static QList<int> marked(ScriptEditorWidget *ed)
    {
        QList<int> at;
        for (const QTextEdit::ExtraSelection &s : ed->extraSelections())
            at << s.cursor.selectionStart();
        return at;
    }
};

// A line long enough to be shown in rows.
QString longLine()
{
    QString line;
    while (line.size() < 3 * LongLines::kLongLine)
        line += QStringLiteral("$x{a} = [1, 2]; ");
    return line;
}

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT
private slots:
    void enterKeepsTheIndentationAndOpensALevelAfterABrace()
    {
        Window win;
        const QString code = QStringLiteral("sub f {\n    my $x = 1;\n}\n");
        ScriptEditorWidget *ed = win.open(code);
        Window::place(ed, 7, 7);
        QTest::keyClick(ed, Qt::Key_Return);
        QTest::keyClick(ed, 'x');
        QCOMPARE(Window::text(ed), QStringLiteral("sub f {\n\tx\n    my $x = 1;\n}\n"));
        ed->undo();
        ed->undo();
        QCOMPARE(Window::text(ed), code); // the break and its indentation are one step
        Window::place(ed, 22, 22);
        QTest::keyClick(ed, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(Window::text(ed), QStringLiteral("sub f {\n    my $x = 1;\n    \n}\n"));
        ed->setIndentStyle(Indent::Style{2, true});
        Window::place(ed, 7, 7);
        QTest::keyClick(ed, Qt::Key_Return);
        QVERIFY(Window::text(ed).startsWith(QStringLiteral("sub f {\n  \n")));

        // A script holding a line shown in rows breaks its lines the same way.
        const QString line = longLine();
        ScriptEditorWidget *rows = win.open(QStringLiteral("  if (1) {\n") + line + u'\n', "b.pl");
        QVERIFY(RowBreaks::mayHold(rows->document()));
        Window::place(rows, 10, 10);
        QTest::keyClick(rows, Qt::Key_Return);
        QCOMPARE(Window::text(rows), QStringLiteral("  if (1) {\n  \t\n") + line + u'\n');
        const int inLine = 2 * LongLines::kLongLine;
        Window::place(rows, 15 + inLine, 15 + inLine);
        QTest::keyClick(rows, Qt::Key_Return);
        QCOMPARE(Window::text(rows), QStringLiteral("  if (1) {\n  \t\n") + line.left(inLine)
                                             + u'\n' + line.mid(inLine) + u'\n');
    }

    void tabAndShiftTabMoveTheSelectedLinesInOneStep()
    {
        Window win;
        const QString code = QStringLiteral("a;\n  b;\nc;\n");
        ScriptEditorWidget *ed = win.open(code);
        Window::place(ed, 1, 8); // into "a;" to the start of "c;": "c;" stays
        QTest::keyClick(ed, Qt::Key_Tab);
        const QString indented = QStringLiteral("\ta;\n\t  b;\nc;\n");
        QCOMPARE(Window::text(ed), indented);
        ed->undo();
        QCOMPARE(Window::text(ed), code);
        ed->redo();
        QCOMPARE(Window::text(ed), indented);

        Window::place(ed, 0, 9); // the whole of both lines, which stay selected
        QTest::keyClick(ed, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Window::text(ed), code);
        QCOMPARE(ed->textCursor().selectedText(), QStringLiteral("a;\u2029  b;"));
        QTest::keyClick(ed, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Window::text(ed), QStringLiteral("a;\nb;\nc;\n"));
        ed->undo();
        QCOMPARE(Window::text(ed), code);

        // Without a selection across lines Tab types; with blanks up to the next stop.
        ed->setIndentStyle(Indent::Style{4, true});
        Window::place(ed, 1, 1);
        QTest::keyClick(ed, Qt::Key_Tab);
        QCOMPARE(Window::text(ed), QStringLiteral("a   ;\n  b;\nc;\n"));
    }

    void commentsGoOnAndOffForTheSelectedLinesInOneStep()
    {
        Window win;
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        const QString code = QStringLiteral("my $x;\n\n  print $x;\nexit;\n# note\n");
        ScriptEditorWidget *ed = win.open(code);
        Window::place(ed, 2, 12);
        QTest::keyClick(ed, Qt::Key_Slash, Qt::ControlModifier);
        const QString commented = QStringLiteral("#my $x;\n\n#  print $x;\nexit;\n# note\n");
        QCOMPARE(Window::text(ed), commented);
        // Coloured as the comment it now is.
        ScriptHighlighter *h = win->CurrentDocument()->Highlighter;
        h->finish();
        const auto colour = [h](int pos) {
            return h->rangesFor(pos, pos + 1).value(0).format.foreground().color();
        };
        QCOMPARE(colour(4), colour(28));
        win.trigger("Commentlines1");
        QCOMPARE(Window::text(ed), code);
        ed->undo();
        QCOMPARE(Window::text(ed), commented);
        ed->undo();
        QCOMPARE(Window::text(ed), code);
        // Without a selection: the caret's line alone.
        Window::place(ed, 22, 22);
        win.trigger("Commentlines1");
        QCOMPARE(Window::text(ed), QStringLiteral("my $x;\n\n  print $x;\n#exit;\n# note\n"));
    }

    void theBracketAtTheCaretShowsItsPartnerAcrossLines()
    {
        Window win;
        ScriptEditorWidget *ed = win.open(QStringLiteral("sub f {\n  g(1);\n}\n"));
        Window::place(ed, 6, 6);
        QCOMPARE(Window::marked(ed), QList<int>({6, 16}));
        Window::place(ed, 17, 17);
        QCOMPARE(Window::marked(ed), QList<int>({16, 6}));
        Window::place(ed, 12, 12);
        QCOMPARE(Window::marked(ed), QList<int>({11, 13}));
        // An edit that leaves the caret where it is: the partner goes, the bracket is unmatched.
        Window::place(ed, 6, 6);
        QTextCursor c(ed->document());
        c.setPosition(16);
        c.deleteChar();
        QCoreApplication::processEvents();
        QCOMPARE(Window::marked(ed), QList<int>({6}));
        ed->setBracketsShown(false);
        QVERIFY(ed->extraSelections().isEmpty());

        // In a line shown in rows, a bracket whose place a row break takes is found as well.
        QString line(3 * LongLines::kLongLine, u'a');
        const int rowBreak = LongLines::rowBreaks(line)[5];
        line[rowBreak] = u')';
        line[rowBreak - 50] = u'(';
        QCOMPARE(LongLines::rowBreaks(line)[5], rowBreak);
        ScriptEditorWidget *rows = win.open(line + u'\n', "b.pl");
        Window::place(rows, rowBreak - 50, rowBreak - 50);
        QCOMPARE(Window::marked(rows), QList<int>({rowBreak - 50, rowBreak}));
    }

    // The number column counts lines: a line of many rows takes no more room than a short one.
    void lineNumbersCountLinesNotRows()
    {
        Window win;
        ScriptEditorWidget *shortLines = win.open(QStringLiteral("a;\nb;\n"));
        QString huge;
        while (huge.size() < 30 * LongLines::kLongLine)
            huge += longLine();
        ScriptEditorWidget *rows = win.open(QStringLiteral("a;\n") + huge + u'\n', "b.pl");
        QVERIFY(rows->document()->blockCount() > 1000);
        QVERIFY(Window::margin(shortLines) > 0);
        QCOMPARE(Window::margin(rows), Window::margin(shortLines));
        QCOMPARE(rows->lineOf(rows->document()->characterCount() - 1), 2);
    }

    // The caret's line has a background of its own, over all of its rows on screen.
    void theCaretsLineStandsOut()
    {
        Window win;
        ScriptEditorWidget *ed = win.open(QStringLiteral("x;\n") + longLine() + u'\n');
        // The commonest colour along the top of a row: what the text stands on.
        const auto background = [ed](int blockNumber) {
            const QImage shot = ed->viewport()->grab().toImage();
            const QRect r = ed->cursorRect(
                    QTextCursor(ed->document()->findBlockByNumber(blockNumber)));
            QHash<QRgb, int> seen;
            for (int x = 0; x < shot.width(); ++x)
                ++seen[shot.pixel(x, r.top() + 1)];
            return std::max_element(seen.begin(), seen.end()).key();
        };
        Window::place(ed, 500, 500); // in the fifth or sixth row of the long line
        const QRgb caretLine = background(1);
        QCOMPARE(background(3), caretLine);
        QVERIFY(background(0) != caretLine);
        ed->setCurrentLineShown(false);
        QCOMPARE(background(3), background(0));
    }

    void acceptedOptionsReachEveryOpenEditor()
    {
        Window win;
        ScriptEditorWidget *a = win.open(QStringLiteral("a;\n"));
        ScriptEditorWidget *b = win.open(QStringLiteral("(b);\n"), "b.pl");
        const qreal blank = QFontMetricsF(a->font()).horizontalAdvance(u' ');
        QVERIFY(Window::margin(a) > 0);
        QCOMPARE(a->tabStopDistance(), 4 * blank);
        TOptions *options = win->options();
        options->open(TOptions::Page::Editor);
        options->findChild<QCheckBox *>("chkLineNumbers")->setChecked(false);
        options->findChild<QSpinBox *>("edTabWidth")->setValue(8);
        options->findChild<QCheckBox *>("chkTabSpaces")->setChecked(true);
        options->findChild<QCheckBox *>("chkBracketMatch")->setChecked(false);
        options->applySettings();
        for (ScriptEditorWidget *ed : {a, b}) {
            QCOMPARE(Window::margin(ed), 0);
            QCOMPARE(ed->tabStopDistance(), 8 * blank);
            QVERIFY(ed->indentStyle().spaces);
        }
        Window::place(b, 0, 0);
        QTest::keyClick(b, Qt::Key_Tab);
        QCOMPARE(Window::text(b), QStringLiteral("        (b);\n"));
        Window::place(b, 8, 8);
        QVERIFY(Window::marked(b).isEmpty());
        TIniFile ini(win.home.path("etc/quillforge.cfg"));
        QCOMPARE(ini.ReadString("Editor", "LineNumbers", ""), QStringLiteral("0"));
        QCOMPARE(ini.ReadString("Editor", "TabWidth", ""), QStringLiteral("8"));
        // A script opened later starts the same way.
        QCOMPARE(Window::margin(win.open(QStringLiteral("c;\n"), "c.pl")), 0);
    }
};

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"
