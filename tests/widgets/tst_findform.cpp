#include "testsupport.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/findform.h"
#include "ui/editor/highlighter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

namespace {

// The dialog over one editor, as the main window wires it.
struct Finder
{
    QPlainTextEdit editor;
    QPlainTextEdit *current = &editor;
    TFindForm form{[this] {
        return current;
    }};

    explicit Finder(const QString &text)
    {
        editor.setPlainText(text);
        form.show();
    }
    // Presses "&Okay" and returns where the selection went, or -1 when nothing was found.
    int next(const QString &what)
    {
        form.FindTextCombo->setEditText(what);
        const int before = count();
        form.Button1->click();
        if (count() > before)
            return -1;
        const QTextCursor c = editor.textCursor();
        if (c.selectedText().compare(what, Qt::CaseInsensitive) != 0)
            return -2; // selected something else: never right
        return c.selectionStart();
    }
    QList<int> sequence(const QString &what, int presses)
    {
        QList<int> out;
        for (int i = 0; i < presses; ++i)
            out << next(what);
        return out;
    }
    int count() const { return prompts->messages().size(); }
    ScriptedPrompts *prompts = ScriptedPrompts::install();
};

} // namespace

class FindFormTest : public QObject
{
    Q_OBJECT
private slots:
    void staysOpenWithoutAModalLoopAndOnTop()
    {
        Finder f("x");
        QVERIFY(!f.form.isModal());
        QVERIFY(f.form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        auto *pages = f.form.findChild<QTabWidget *>("PageControl1");
        QVERIFY(pages->isTabVisible(0) && pages->isTabVisible(1) && pages->isTabVisible(2));
    }

    void forwardFindsEveryOccurrenceThenStartsOver_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QList<int>>("positions");
        // -1: "No (further) Entry found."; the press after it starts from the top again.
        QTest::newRow("match at the very first character") << "abc abc"
                                                           << "abc" << QList<int>{0, 4, -1, 0};
        QTest::newRow("matches right after each other") << "ababab"
                                                        << "ab" << QList<int>{0, 2, 4, -1, 0};
        QTest::newRow("overlapping occurrences count once") << "aaaa"
                                                            << "aa" << QList<int>{0, 2, -1, 0};
        QTest::newRow("across lines") << "x\nab\nab"
                                      << "ab" << QList<int>{2, 5, -1, 2};
        QTest::newRow("any letter case") << "Ab aB"
                                         << "ab" << QList<int>{0, 3, -1};
        QTest::newRow("not there") << "abc"
                                   << "zz" << QList<int>{-1, -1};
    }
    void forwardFindsEveryOccurrenceThenStartsOver()
    {
        QFETCH(QString, text);
        QFETCH(QString, what);
        QFETCH(QList<int>, positions);
        Finder f(text);
        QCOMPARE(f.sequence(what, int(positions.size())), positions);
    }

    void backwardFindsEveryOccurrenceFromTheEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("match at the very end and the very start")
                << "abc abc"
                << "abc" << QList<int>{4, 0, -1, 4};
        QTest::newRow("matches right after each other") << "ababab"
                                                        << "ab" << QList<int>{4, 2, 0, -1, 4};
        QTest::newRow("overlapping occurrences count once") << "aaaa"
                                                            << "aa" << QList<int>{2, 0, -1};
        QTest::newRow("across lines") << "ab\nab\nx"
                                      << "ab" << QList<int>{3, 0, -1};
    }
    void backwardFindsEveryOccurrenceFromTheEnd()
    {
        QFETCH(QString, text);
        QFETCH(QString, what);
        QFETCH(QList<int>, positions);
        Finder f(text);
        f.form.chkBack->setChecked(true);
        QCOMPARE(f.sequence(what, int(positions.size())), positions);
    }

    void turningAroundSearchesFromThePreviousMatch()
    {
        Finder f("ab ab ab ab");
        QCOMPARE(f.sequence("ab", 3), (QList<int>{0, 3, 6}));
        f.form.chkBack->setChecked(true);
        QCOMPARE(f.sequence("ab", 3), (QList<int>{3, 0, -1}));
    }

    void fromTheCursor()
    {
        Finder f("ab ab ab ab ab");
        f.form.chkFromCursor->setChecked(true);
        QTextCursor c = f.editor.textCursor();
        c.setPosition(6);
        f.editor.setTextCursor(c);
        QCOMPARE(f.sequence("ab", 4), (QList<int>{6, 9, 12, -1}));
        // After "nothing further" the origin is the caret again: still at the last match.
        c.setPosition(4);
        f.editor.setTextCursor(c);
        f.form.chkBack->setChecked(true);
        QCOMPARE(f.sequence("ab", 3), (QList<int>{0, -1, 0}));

        // A caret moved by the user since the previous match is where the next search starts.
        f.form.RadioButton1->setChecked(true);
        QCOMPARE(f.next("ab"), 3);
        c.setPosition(10);
        f.editor.setTextCursor(c);
        QCOMPARE(f.next("ab"), 12);
    }

    void showingAgainStartsOverFromTheOrigin()
    {
        Finder f("ab ab ab");
        QCOMPARE(f.sequence("ab", 2), (QList<int>{0, 3}));
        f.form.hide();
        f.form.show();
        QCOMPARE(f.next("ab"), 0);
        // Another origin chosen: starting over too.
        QCOMPARE(f.next("ab"), 3);
        f.form.chkFromCursor->setChecked(true);
        f.form.RadioButton4->setChecked(true);
        QCOMPARE(f.next("ab"), 0);
    }

    void anotherScriptStartsOver()
    {
        Finder f("ab ab");
        QCOMPARE(f.sequence("ab", 2), (QList<int>{0, 3}));
        QPlainTextEdit other;
        other.setPlainText("ab ab");
        f.current = &other;
        f.form.Button1->click();
        QCOMPARE(other.textCursor().selectionStart(), 0);
        QCOMPARE(f.count(), 0);
    }

    void options()
    {
        Finder f("Foo foo food foo1 foo");
        f.form.CheckCase->setChecked(true);
        QCOMPARE(f.sequence("foo", 5), (QList<int>{4, 8, 13, 18, -1}));
        f.form.CheckWord->setChecked(true);
        QCOMPARE(f.sequence("foo", 3), (QList<int>{4, 18, -1}));
        f.form.CheckCase->setChecked(false);
        QCOMPARE(f.sequence("foo", 4), (QList<int>{0, 4, 18, -1}));
        // In Perl an underscore is part of a name.
        Finder g("foo_x foo");
        g.form.CheckWord->setChecked(true);
        QCOMPARE(g.sequence("foo", 2), (QList<int>{6, -1}));
        g.form.chkBack->setChecked(true);
        QCOMPARE(g.sequence("foo", 2), (QList<int>{6, -1}));
    }

    void theMessageIsAnInformationWithOk()
    {
        Finder f("abc");
        QCOMPARE(f.next("zz"), -1);
        QCOMPARE(f.prompts->asked.size(), 1);
        const auto &a = f.prompts->asked.first();
        QCOMPARE(a.text, QStringLiteral("No (further) Entry found."));
        QCOMPARE(a.kind, Prompts::Kind::Information);
        QCOMPARE(a.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void historyHoldsEachTextOnce()
    {
        Finder f("abc ABC xyz");
        f.next("abc");
        f.next("ABC");
        f.next("xyz");
        f.next("abc");
        QCOMPARE(f.form.FindTextCombo->count(), 2);
        QCOMPARE(f.form.FindTextCombo->itemText(0), QStringLiteral("abc"));
        QCOMPARE(f.form.FindTextCombo->itemText(1), QStringLiteral("xyz"));
    }

    void closeCheckBoxHidesOnlyAfterASuccess()
    {
        Finder f("abc");
        f.form.chkClose->setChecked(true);
        QCOMPARE(f.next("zz"), -1);
        QVERIFY(f.form.isVisible());
        QCOMPARE(f.next("b"), 1);
        QVERIFY(!f.form.isVisible());
    }

    void closeButtonAndEscapeHide()
    {
        Finder f("abc");
        f.form.Button2->click();
        QVERIFY(!f.form.isVisible());
        f.form.show();
        QTest::keyClick(&f.form, Qt::Key_Escape);
        QVERIFY(!f.form.isVisible());
        f.form.show();
        f.form.close();
        QVERIFY(!f.form.isVisible());
    }

    void enterPressesOkay()
    {
        Finder f("xx abc");
        f.form.FindTextCombo->setEditText("abc");
        QTest::keyClick(f.form.FindTextCombo, Qt::Key_Return);
        QCOMPARE(f.editor.textCursor().selectionStart(), 3);
        QCOMPARE(f.editor.textCursor().selectedText(), QStringLiteral("abc"));
    }

    // The history's completer must not turn a typed "PRINT" into the remembered "print".
    void typedTextIsSearchedAsTypedWhateverTheHistory()
    {
        Finder f("print PRINT");
        f.form.CheckCase->setChecked(true);
        QCOMPARE(f.next("print"), 0);
        QLineEdit *typed = f.form.FindTextCombo->lineEdit();
        typed->clear();
        QTest::keyClicks(typed, "PRINT");
        QTest::keyClick(typed, Qt::Key_Return);
        QCOMPARE(f.form.FindTextCombo->currentText(), QStringLiteral("PRINT"));
        QCOMPARE(f.editor.textCursor().selectedText(), QStringLiteral("PRINT"));
        QCOMPARE(f.editor.textCursor().selectionStart(), 6);
    }

    void withoutAScriptNothingHappens()
    {
        Finder f("abc");
        f.current = nullptr;
        f.form.FindTextCombo->setEditText("abc");
        f.form.Button1->click();
        QCOMPARE(f.count(), 0);
        QVERIFY(!f.editor.textCursor().hasSelection());
    }

    void regularExpressionsFindInBothDirections()
    {
        Finder f("a1 b22\nc333");
        f.form.CheckRegex->setChecked(true);
        auto found = [&f](const QString &pattern, int presses) {
            f.form.FindTextCombo->setEditText(pattern);
            QList<std::pair<int, int>> out;
            for (int i = 0; i < presses; ++i) {
                const int before = f.count();
                f.form.Button1->click();
                const QTextCursor c = f.editor.textCursor();
                out << (f.count() > before ? std::make_pair(-1, 0)
                                           : std::make_pair(c.selectionStart(), c.selectionEnd()));
            }
            return out;
        };
        using Found = QList<std::pair<int, int>>;
        QCOMPARE(found("\\d+", 4), (Found{{1, 2}, {4, 6}, {8, 11}, {-1, 0}}));
        f.form.chkBack->setChecked(true);
        QCOMPARE(found("\\d+", 4), (Found{{8, 11}, {4, 6}, {1, 2}, {-1, 0}}));
        // Empty matches are found one after another, never the same one again.
        QCOMPARE(found("^", 3), (Found{{7, 7}, {0, 0}, {-1, 0}}));
        f.form.RadioButton1->setChecked(true);
        QCOMPARE(found("^", 3), (Found{{0, 0}, {7, 7}, {-1, 0}}));
    }

    void aBadPatternIsAnErrorAndChangesNothing()
    {
        Finder f("my ($x) = @_;");
        f.form.setPage(TFindForm::Page::Replace);
        f.form.chkRegex->setChecked(true);
        f.form.ReplaceFindCombo->setEditText("my ($x");
        f.form.ReplaceTextCombo->setEditText("y");
        for (QPushButton *b : {f.form.btReplace, f.form.btReplaceAll, f.form.Button1})
            b->click();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("my ($x) = @_;"));
        QCOMPARE(f.prompts->asked.size(), 3);
        const auto &a = f.prompts->asked.first();
        QCOMPARE(a.kind, Prompts::Kind::Error);
        QVERIFY2(a.text.startsWith("Oops! The regular expression cannot be used: "),
                 qPrintable(a.text));
        // As text it is found.
        f.form.chkRegex->setChecked(false);
        f.form.btReplaceAll->click();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("y) = @_;"));
    }

    void replaceAllInTheSelectedLinesOnly()
    {
        Finder f("a\nb\nc\nd\n");
        QSignalSpy said(&f.form, &TFindForm::statusMessage);
        QTextCursor c = f.editor.textCursor();
        c.setPosition(2);
        c.setPosition(6, QTextCursor::KeepAnchor); // "b\nc\n"
        f.editor.setTextCursor(c);
        f.form.hide();
        f.form.setPage(TFindForm::Page::Replace);
        f.form.show(); // lines selected: the scope is the selection
        QVERIFY(f.form.radSelectedText->isChecked());
        f.form.chkRegex->setChecked(true);
        f.form.ReplaceFindCombo->setEditText("^");
        f.form.ReplaceTextCombo->setEditText("# ");
        f.form.btReplaceAll->click();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("a\n# b\n# c\nd\n"));
        QCOMPARE(f.editor.textCursor().selectedText(), QStringLiteral("# b\u2029# c\u2029"));
        QCOMPARE(said.size(), 1);
        QCOMPARE(said.first().first().toString(), QStringLiteral("Replaced 2 occurrences"));
        // Again on the selection that grew: lines are found, not the text put in.
        f.form.ReplaceTextCombo->setEditText("$&-");
        f.form.btReplaceAll->click();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("a\n-# b\n-# c\nd\n"));
        f.editor.undo();
        f.editor.undo();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("a\nb\nc\nd\n"));
    }

    // Replacing empty matches one by one moves on, as s///g does.
    void replaceOneByOneMovesPastEmptyMatches()
    {
        Finder f("ab\ncd");
        f.form.setPage(TFindForm::Page::Replace);
        f.form.chkRegex->setChecked(true);
        f.form.ReplaceFindCombo->setEditText("x*");
        f.form.ReplaceTextCombo->setEditText("-");
        for (int i = 0; i < 6 && f.count() == 0; ++i)
            f.form.btReplace->click();
        QCOMPARE(f.editor.toPlainText(), QStringLiteral("-a-b-\n-c-d-"));
        QCOMPARE(f.prompts->messages(), QStringList{"No (further) Entry found."});
    }

    void bothPagesAskForTheSame()
    {
        Finder f("abc");
        f.form.FindTextCombo->setEditText("b");
        f.form.CheckCase->setChecked(true);
        f.form.Button1->click();
        f.form.setPage(TFindForm::Page::Replace);
        QCOMPARE(f.form.ReplaceFindCombo->currentText(), QStringLiteral("b"));
        QVERIFY(f.form.chkReplaceCase->isChecked());
        QCOMPARE(f.form.ReplaceFindCombo->count(), 1); // one history
        f.form.ReplaceFindCombo->setEditText("c");
        f.form.chkRegex->setChecked(true);
        f.form.setPage(TFindForm::Page::Find);
        QCOMPARE(f.form.FindTextCombo->currentText(), QStringLiteral("c"));
        QVERIFY(f.form.CheckRegex->isChecked());
    }

    void theEditedTextIsSearchedAsItIsNow()
    {
        Finder f("ab ab");
        QCOMPARE(f.next("ab"), 0);
        f.editor.setPlainText("ab");
        // The previous match lies past what is left: nothing further, then from the top.
        QCOMPARE(f.sequence("ab", 2), (QList<int>{-1, 0}));
    }
};

// The copy of the text the searches read must follow every kind of change exactly.
class DocumentTextTest : public QObject
{
    Q_OBJECT
private slots:
    void followsEveryChange()
    {
        QPlainTextEdit editor;
        editor.setPlainText("first line\nsecond line\nthird");
        DocumentText texts;
        // Raw: a non-breaking space stays one, as the editor holds it.
        auto truth = [&] {
            return editor.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
        };
        QCOMPARE(texts.of(editor.document()), truth());
        QRandomGenerator rng(7);
        const QStringList pieces = {"x", "\n", "abc\ndef", "", "  ", "\u00e9\u00a0"};
        for (int round = 0; round < 400; ++round) {
            const int length = editor.document()->characterCount() - 1;
            QTextCursor c(editor.document());
            const int a = int(rng.bounded(length + 1));
            const int b = int(rng.bounded(length + 1));
            switch (rng.bounded(6)) {
            case 0: // insert or replace
                c.setPosition(a);
                c.setPosition(b, QTextCursor::KeepAnchor);
                c.insertText(pieces[int(rng.bounded(pieces.size()))]);
                break;
            case 1:
                c.setPosition(a);
                c.setPosition(b, QTextCursor::KeepAnchor);
                c.removeSelectedText();
                break;
            case 2:
                editor.undo();
                break;
            case 3:
                editor.redo();
                break;
            case 4: // colours change no text, but report a change all the same
                editor.document()->markContentsDirty(std::min(a, b), std::abs(a - b));
                break;
            case 5:
                if (rng.bounded(20) == 0)
                    editor.setPlainText(QString("new\ntext ").repeated(int(rng.bounded(5))));
                break;
            }
            // Not every change is looked at: several may pile up between two searches.
            if (rng.bounded(3) == 0)
                QCOMPARE(texts.of(editor.document()), truth());
        }
        QCOMPARE(texts.of(editor.document()), truth());

        // Another document (a large script's text arrives in one of its own).
        QPlainTextEdit other;
        other.setPlainText("other\ntext");
        QCOMPARE(texts.of(other.document()), QStringLiteral("other\ntext"));
        QTextCursor(editor.document()).insertText("gone? ");
        QCOMPARE(texts.of(editor.document()), truth());
    }

    // The highlighter's copy is read when it is in step; one of another length is not trusted.
    void aMirrorInStepIsReadInsteadOfACopy()
    {
        QPlainTextEdit editor;
        editor.setPlainText("abc\ndef");
        ScriptHighlighter h(editor.document(), &editor);
        const QString stale = QStringLiteral("stale");
        const QString *offered = &h.mirrorText();
        DocumentText texts;
        texts.setMirrorSource(
                [&](QTextDocument *d) { return d == editor.document() ? offered : nullptr; });
        QCOMPARE(&texts.of(editor.document()), &h.mirrorText());
        QTextCursor(editor.document()).insertText("x\ny");
        editor.undo();
        editor.redo();
        QCOMPARE(texts.of(editor.document()), QStringLiteral("x\nyabc\ndef"));
        offered = &stale;
        QCOMPARE(texts.of(editor.document()), QStringLiteral("x\nyabc\ndef"));
        QTextCursor(editor.document()).insertText("z");
        QCOMPARE(texts.of(editor.document()), QStringLiteral("zx\nyabc\ndef"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FindFormTest find;
    DocumentTextTest texts;
    return QTest::qExec(&find, argc, argv) | QTest::qExec(&texts, argc, argv);
}
#include "tst_findform.moc"
