#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/editor/findform.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

struct Window : FreshHome, MainWindowFixture
{
    Window()
        : MainWindowFixture(home)
    {}
    TScriptEditor *open(const QString &text) const
    {
        home.writeFile("a.pl", text.toUtf8());
        w->OpenDocument(home.path("a.pl"));
        return w->CurrentDocument();
    }
    QString panel(int i) const
    {
        return w->findChild<QLabel *>(QStringLiteral("sBarPanel%1").arg(i))->text();
    }
    QTimer *timer1() const { return get<QTimer>("Timer1"); }
    // One tick of the status timer, now.
    void tick() const { MainWindowFixture::tick("Timer1"); }
    static void place(TScriptEditor *doc, int anchor, int position)
    {
        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        doc->Editor->setTextCursor(c);
    }
    static QString text(TScriptEditor *doc) { return doc->Editor->toPlainText(); }
};

using Change = std::function<void(Window &, TScriptEditor *)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class EditorCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void caretPosition_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");
        // "ab\ncde\nf": line 1 starts at 3, line 2 at 7.
        QTest::newRow("start of the third line") << 7 << 7 << "Row: 2 Col: 0";
        QTest::newRow("selection: its start counts") << 8 << 4 << "Row: 1 Col: 1";
        QTest::newRow("selection made forward") << 4 << 8 << "Row: 1 Col: 1";
    }
    void caretPosition()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, shown);
        Window win;
        TScriptEditor *doc = win.open("ab\ncde\nf");
        Window::place(doc, anchor, position);
        win.tick();
        QCOMPARE(win.panel(0), shown);
    }

    void changeMarkOfNewAndLoadedScripts()
    {
        Window win;
        win.tick();
        QCOMPARE(win.panel(2), QStringLiteral("modified")); // the first empty script is new
        win.open("print 1;\n");
        win.tick();
        QCOMPARE(win.panel(2), QString());
        QTRY_COMPARE_WITH_TIMEOUT(win.panel(2), QString(), 300); // the running timer agrees
    }

    // Every way of changing the text clears the saved flag; undoing back to the loaded text
    // sets it again, and redoing clears it once more.
    void savedFlagFollowsTheText_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("paste") << Change([](Window &w, TScriptEditor *) {
            QGuiApplication::clipboard()->setText("pasted");
            w.trigger("btPaste");
        });
        QTest::newRow("paste from the menu") << Change([](Window &w, TScriptEditor *) {
            QGuiApplication::clipboard()->setText("pasted");
            w.trigger("Paste1");
        });
        QTest::newRow("cut") << Change([](Window &w, TScriptEditor *d) {
            Window::place(d, 0, 5);
            w.trigger("btCut");
        });
        QTest::newRow("delete command") << Change([](Window &w, TScriptEditor *d) {
            Window::place(d, 0, 5);
            w.trigger("Delete2");
        });
        QTest::newRow("Delete key") << Change(
                [](Window &, TScriptEditor *d) { QTest::keyClick(d->Editor, Qt::Key_Delete); });
        QTest::newRow("Backspace key") << Change([](Window &, TScriptEditor *d) {
            Window::place(d, 3, 3);
            QTest::keyClick(d->Editor, Qt::Key_Backspace);
        });
        QTest::newRow("typed character")
                << Change([](Window &, TScriptEditor *d) { QTest::keyClick(d->Editor, 'x'); });
        QTest::newRow("Enter") << Change(
                [](Window &, TScriptEditor *d) { QTest::keyClick(d->Editor, Qt::Key_Return); });
        QTest::newRow("insertion at the caret, as templates do")
                << Change([](Window &, TScriptEditor *d) {
                       d->Editor->textCursor().insertText("sub new {\n}\n");
                   });
    }
    void savedFlagFollowsTheText()
    {
        QFETCH(Change, change);
        Window win;
        TScriptEditor *doc = win.open("print 1;\n");
        const QString loaded = Window::text(doc);
        win.tick();
        QCOMPARE(win.panel(2), QString());
        QVERIFY(doc->saved());

        change(win, doc);
        QVERIFY(Window::text(doc) != loaded);
        QVERIFY(!doc->saved());
        win.tick();
        QCOMPARE(win.panel(2), QStringLiteral("modified"));

        win.trigger("btUndo");
        QCOMPARE(Window::text(doc), loaded);
        QVERIFY(doc->saved());
        win.tick();
        QCOMPARE(win.panel(2), QString());

        win.trigger("Redo1");
        QVERIFY(Window::text(doc) != loaded);
        QVERIFY(!doc->saved());
        win.tick();
        QCOMPARE(win.panel(2), QStringLiteral("modified"));
    }

    void keysThatChangeNothingKeepTheScriptSaved()
    {
        Window win;
        TScriptEditor *doc = win.open("print 1;\n");
        QTest::keyClick(doc->Editor, Qt::Key_Escape);
        QTest::keyClick(doc->Editor, Qt::Key_Right);
        win.trigger("btCopy");
        win.trigger("Selectall1");
        QVERIFY(doc->saved());
        // Replacing a text with the same text is still a change the user made.
        QGuiApplication::clipboard()->setText("p");
        Window::place(doc, 0, 1);
        win.trigger("btPaste");
        QCOMPARE(Window::text(doc), QStringLiteral("print 1;\n"));
        win.tick();
        QCOMPARE(win.panel(2), QStringLiteral("modified"));
    }

    void commandsActOnTheCurrentScript()
    {
        Window win;
        TScriptEditor *doc = win.open("hello world");
        Window::place(doc, 6, 11);
        win.trigger("Copy2");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("world"));
        win.trigger("Cut1");
        QCOMPARE(Window::text(doc), QStringLiteral("hello "));
        Window::place(doc, 0, 0);
        win.trigger("Paste2");
        QCOMPARE(Window::text(doc), QStringLiteral("worldhello "));
        win.trigger("Selectall2");
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("worldhello "));
        win.trigger("btDelete");
        QCOMPARE(Window::text(doc), QString());
        win.trigger("Undo1");
        QCOMPARE(Window::text(doc), QStringLiteral("worldhello "));
        win.trigger("Undo2");
        win.trigger("btUndo");
        QCOMPARE(Window::text(doc), QStringLiteral("hello world"));
        win.trigger("btRedo");
        QCOMPARE(Window::text(doc), QStringLiteral("hello "));

        // Only the script of the selected tab is touched.
        auto *tabs = win.w->findChild<QTabBar *>("tabScriptSel");
        tabs->setCurrentIndex(0);
        QVERIFY(win.w->CurrentDocument() != doc);
        win.trigger("btPaste");
        QCOMPARE(Window::text(win.w->CurrentDocument()), QStringLiteral("world"));
        QCOMPARE(Window::text(doc), QStringLiteral("hello "));
    }

    void gotoTopAndBottom()
    {
        Window win;
        TScriptEditor *doc = win.open("one\ntwo\nthree");
        Window::place(doc, 2, 6);
        win.w->findChild<QToolButton *>("SpeedButton9")->click();
        QCOMPARE(doc->Editor->textCursor().position(), 13);
        QVERIFY(!doc->Editor->textCursor().hasSelection());
        QVERIFY(doc->Editor->hasFocus());
        Window::place(doc, 2, 6);
        win.w->findChild<QToolButton *>("SpeedButton8")->click();
        QCOMPARE(doc->Editor->textCursor().position(), 0);
        QVERIFY(!doc->Editor->textCursor().hasSelection());
    }

    void typingShowsTheCaretAtOnce()
    {
        Window win;
        TScriptEditor *doc = win.open("ab\ncde\n");
        win.timer1()->stop(); // only the key hook may update the panel now
        Window::place(doc, 5, 5);
        QTest::keyClick(doc->Editor, 'x');
        // The hook runs before the character goes in.
        QCOMPARE(win.panel(0), QStringLiteral("Row: 1 Col: 2"));
        QTest::keyClick(doc->Editor, 'y');
        QCOMPARE(win.panel(0), QStringLiteral("Row: 1 Col: 3"));
    }

    void findShowsTheDialogWithoutAModalLoop()
    {
        Window win;
        win.open("x");
        auto *find = win.w->findChild<TFindForm *>("FindForm");
        QVERIFY(find);
        QVERIFY(!find->isVisible());
        for (const char *name : {"btFind", "Find1", "Find2"}) {
            QVERIFY(win.w->findChild<QAction *>(name)->isEnabled());
            find->hide();
            win.trigger(name);
            QVERIFY2(find->isVisible(), name);
            QVERIFY(!find->isModal());
        }
    }

    void replaceAllIsOneStepToUndoAndCounted()
    {
        Window win;
        const QString before = QStringLiteral("my $a = 1;\nmy $ab = 2;\nprint $a + $ab;\n");
        TScriptEditor *doc = win.open(before);
        win.trigger("Findandreplace1");
        win.get<QComboBox>("ReplaceFindCombo")->setEditText("$a");
        win.get<QCheckBox>("chkReplaceWord")->setChecked(true);
        win.get<QComboBox>("ReplaceTextCombo")->setEditText("$first");
        win.get<QPushButton>("btReplaceAll")->click();
        QCOMPARE(Window::text(doc),
                 QStringLiteral("my $first = 1;\nmy $ab = 2;\nprint $first + $ab;\n"));
        QCOMPARE(win.panel(4), QStringLiteral("Replaced 2 occurrences"));
        QVERIFY(!doc->saved());
        doc->Editor->undo();
        QCOMPARE(Window::text(doc), before);
        QVERIFY(doc->saved());
        QVERIFY(!doc->Editor->document()->isUndoAvailable());
        doc->Editor->redo();
        QCOMPARE(Window::text(doc),
                 QStringLiteral("my $first = 1;\nmy $ab = 2;\nprint $first + $ab;\n"));
    }

    // Each press replaces the match it selected before and selects the next.
    void replaceTakesWhatGroupsFound()
    {
        Window win;
        TScriptEditor *doc = win.open("x = 1;\ny = 22;\n");
        win.trigger("Findandreplace1");
        win.get<QComboBox>("ReplaceFindCombo")->setEditText("(\\w+) = (\\d+)");
        win.get<QCheckBox>("chkRegex")->setChecked(true);
        win.get<QComboBox>("ReplaceTextCombo")->setEditText("$2 => \\1");
        auto *replace = win.get<QPushButton>("btReplace");
        replace->click();
        QCOMPARE(Window::text(doc), QStringLiteral("x = 1;\ny = 22;\n"));
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("x = 1"));
        replace->click();
        QCOMPARE(Window::text(doc), QStringLiteral("1 => x;\ny = 22;\n"));
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("y = 22"));
        replace->click();
        QCOMPARE(Window::text(doc), QStringLiteral("1 => x;\n22 => y;\n"));
        QCOMPARE(win.prompts->messages(), QStringList{"No (further) Entry found."});
        doc->Editor->undo();
        QCOMPARE(Window::text(doc), QStringLiteral("1 => x;\ny = 22;\n"));
    }

    void findAndReplaceOpensTheReplacePage()
    {
        Window win;
        TScriptEditor *doc = win.open("abc");
        win.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        auto *form = win.get<TFindForm>("FindForm");
        auto *pages = win.get<QTabWidget>("PageControl1");
        QCOMPARE(win.get<QAction>("Findandreplace1")->shortcut(), QKeySequence("Ctrl+R"));
        QTest::keyClick(doc->Editor, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(form->isVisible());
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
        QVERIFY(pages->isTabVisible(pages->currentIndex()));
        win.trigger("Find1");
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
    }

    // F3 and Shift+F3 go on from the caret with what was searched last; the dialog stays shut.
    void findAgainWithoutTheDialog()
    {
        Window win;
        TScriptEditor *doc = win.open("ab x ab x ab");
        win.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        auto *form = win.get<TFindForm>("FindForm");
        ScriptEditorWidget *ed = doc->Editor;
        ed->setFocus();
        // Nothing searched yet: the dialog asks what to look for.
        QTest::keyClick(ed, Qt::Key_F3);
        QVERIFY(form->isVisible());
        win.get<QComboBox>("FindTextCombo")->setEditText("ab");
        win.get<QPushButton>("Button1")->click();
        win.get<QPushButton>("Button2")->click();
        QVERIFY(!form->isVisible());
        win.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        auto press = [&](Qt::KeyboardModifiers mods) {
            const int asked = int(win.prompts->asked.size());
            QTest::keyClick(ed, Qt::Key_F3, mods);
            return win.prompts->asked.size() > asked ? -1 : ed->textCursor().selectionStart();
        };
        QCOMPARE(ed->textCursor().selectionStart(), 0);
        QList<int> seen;
        for (int i = 0; i < 4; ++i)
            seen << press(Qt::NoModifier);
        for (int i = 0; i < 4; ++i)
            seen << press(Qt::ShiftModifier);
        // After "nothing further" the next search starts over at the top (the bottom).
        QCOMPARE(seen, (QList<int>{5, 10, -1, 0, -1, 10, 5, 0}));
        QCOMPARE(ed->textCursor().selectedText(), QStringLiteral("ab"));
        QVERIFY(!form->isVisible());
    }

    void theSelectionIsWhatToFind()
    {
        Window win;
        TScriptEditor *doc = win.open("my $needle = 1;\nprint $needle;\n");
        Window::place(doc, 3, 10);
        win.trigger("Find1");
        QCOMPARE(win.get<QComboBox>("FindTextCombo")->currentText(), QStringLiteral("$needle"));
        auto *replaceText = win.get<QComboBox>("ReplaceFindCombo");
        // Lines selected are where to replace, not what to find.
        Window::place(doc, 0, 20);
        win.trigger("Findandreplace1");
        QCOMPARE(replaceText->currentText(), QStringLiteral("$needle"));
        QVERIFY(win.get<QRadioButton>("radSelectedText")->isChecked());
        // As a pattern, the selected text is found as it stands.
        win.get<QCheckBox>("chkRegex")->setChecked(true);
        Window::place(doc, 3, 10);
        win.trigger("Findandreplace1");
        QCOMPARE(replaceText->currentText(), QStringLiteral("\\$needle"));
        QVERIFY(win.get<QRadioButton>("radEntireScope")->isChecked());
    }

    void shortcutsReachTheirCommands()
    {
        Window win;
        TScriptEditor *doc = win.open("abc");
        win.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        doc->Editor->setFocus();
        Window::place(doc, 3, 3);
        QTest::keyClick(doc->Editor, 'd');
        QTest::keyClick(doc->Editor, Qt::Key_U, Qt::AltModifier);
        QCOMPARE(Window::text(doc), QStringLiteral("abc"));
        QTest::keyClick(doc->Editor, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(Window::text(doc), QStringLiteral("abcd"));
        QTest::keyClick(doc->Editor, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("abcd"));
        QTest::keyClick(doc->Editor, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(win.w->findChild<TFindForm *>("FindForm")->isVisible());
    }

    void withNoScriptTheCommandsDoNothing()
    {
        Window win;
        while (!win.w->documents().all().empty())
            win.w->documents().closeCurrentNow();
        QGuiApplication::clipboard()->setText("kept");
        win.tick();
        const QString row = win.panel(0);
        for (const char *name : {"btCut", "Cut1", "Cut2", "btCopy", "Copy1", "btPaste", "Paste1",
                                 "btDelete", "Delete1", "btUndo", "Undo1", "btRedo", "Redo1",
                                 "Selectall1", "Selectall2", "btFind", "Find1", "Find2"})
            win.trigger(name);
        win.w->findChild<QToolButton *>("SpeedButton8")->click();
        win.w->findChild<QToolButton *>("SpeedButton9")->click();
        win.tick();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
        QVERIFY(!win.w->findChild<TFindForm *>("FindForm")->isVisible());
        QVERIFY(win.prompts->asked.isEmpty());
        QCOMPARE(win.panel(0), row);
        QVERIFY(win.w->documents().all().empty());
    }
};

QTEST_MAIN(EditorCommandsTest)
#include "tst_editorcommands.moc"
