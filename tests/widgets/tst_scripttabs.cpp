#include "mainwindowfixture.h"
#include "testsupport.h"

#include <QAction>
#include <QFile>
#include <QTabBar>
#include <QtTest>

namespace {

struct Window : FreshHome, MainWindowFixture
{
    Window()
        : MainWindowFixture(home)
    {
        w->activateWindow();
    }
    QTabBar *tabs() const { return get<QTabBar>("tabScriptSel"); }
    QString tab(int i) const { return tabs()->tabText(i); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        home.writeFile(name, bytes);
        return home.path(name);
    }
    ScriptEditorWidget *editor() const { return w->CurrentDocument()->Editor; }
    // The caret's line and column as perl counts them, both from 1.
    std::pair<int, int> caret() const
    {
        const auto at = editor()->linePosition(editor()->textCursor().position());
        return {at.row + 1, at.column + 1};
    }
    // A key pressed where the user types.
    void key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) const
    {
        editor()->setFocus();
        QTest::keyClick(editor(), Qt::Key(key), mods);
    }
};

// Lines "line 1" … "line n", line longLine (if any) far longer than the editor shows in one row.
QByteArray numberedLines(int n, int longLine = 0)
{
    QByteArray text;
    for (int i = 1; i <= n; ++i) {
        text += "line " + QByteArray::number(i);
        if (i == longLine)
            text += ' ' + QByteArray(25000, 'x') + " end";
        text += '\n';
    }
    return text;
}

} // namespace

class ScriptTabsTest : public QObject
{
    Q_OBJECT
private slots:
    void tabsMarkUnsavedTextBothWays()
    {
        Window win;
        QCOMPARE(win.tab(0), QStringLiteral("Noname #1")); // nothing typed, nothing to lose
        win.key(Qt::Key_X);
        QCOMPARE(win.tab(0), QStringLiteral("*Noname #1"));

        win.w->OpenDocument(win.write("a.pl", "1;\n"));
        QCOMPARE(win.tab(1), QStringLiteral("a.pl"));
        win.key(Qt::Key_Z);
        QCOMPARE(win.tab(1), QStringLiteral("*a.pl"));
        win.editor()->undo();
        QCOMPARE(win.tab(1), QStringLiteral("a.pl"));
        win.key(Qt::Key_Y);
        win.trigger("btSave");
        QCOMPARE(win.tab(1), QStringLiteral("a.pl"));
        QCOMPARE(win.tab(0), QStringLiteral("*Noname #1")); // the other tab keeps its mark

        // A script saved under a new name is marked again at the next change.
        win.tabs()->setCurrentIndex(0);
        win.prompts->fileAnswers.push_back(win.home.path("b.pl"));
        win.trigger("Saveas1");
        QCOMPARE(win.tab(0), QStringLiteral("b"));
        win.key(Qt::Key_Space);
        QCOMPARE(win.tab(0), QStringLiteral("*b"));
    }

    // An "&" in a tab's text would make Alt and the next letter a key of the tab strip and take
    // it from the command that has it.
    void aFileNameDoesNotTakeACommandsKey()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        win.w->OpenDocument(win.write("m&u.pl", "1;\n"));
        win.key(Qt::Key_Q);
        win.key(Qt::Key_U, Qt::AltModifier); // Undo
        QCOMPARE(win.editor()->toPlainText(), QStringLiteral("1;\n"));
    }

    void aFileOpenAlreadyOnlyGetsItsTabSelected()
    {
        Window win;
        const QString a = win.write("dir/a.pl", "1;\n");
        QVERIFY(QFile::link(a, win.home.path("link.pl")));
        win.w->OpenDocument(a);
        win.key(Qt::Key_X);
        win.trigger("btNew");
        for (const QString &same :
             {a, win.home.path("dir/../dir/./a.pl"), win.home.path("link.pl")}) {
            win.tabs()->setCurrentIndex(2);
            win.w->OpenDocument(same);
            QCOMPARE(win.w->documents().all().size(), size_t(3));
            QCOMPARE(win.tabs()->currentIndex(), 1);
            // What was typed into it stays: nothing is read again.
            QCOMPARE(win.editor()->toPlainText(), QStringLiteral("x1;\n"));
        }
        win.prompts->fileAnswers.push_back(a); // from the Open dialog too
        win.trigger("btOpen");
        QCOMPARE(win.w->documents().all().size(), size_t(3));
    }

    void keysGoThroughTheTabsFromTheEditor()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        win.w->OpenDocument(win.write("a.pl", "1;\n"));
        win.w->OpenDocument(win.write("b.pl", "2;\n"));
        const auto ctrl = Qt::ControlModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> steps[] = {
                {Qt::Key_Tab, ctrl, 0}, // from the last round to the first
                {Qt::Key_PageDown, ctrl, 1},
                {Qt::Key_PageUp, ctrl, 0},
                {Qt::Key_PageUp, ctrl, 2},
                {Qt::Key_Backtab, ctrl | Qt::ShiftModifier, 1}, // what X sends for Shift+Tab
        };
        for (const auto &[key, mods, tab] : steps) {
            win.key(key, mods);
            QCOMPARE(win.tabs()->currentIndex(), tab);
            QCOMPARE(win.w->focusWidget(), win.editor());
            QCOMPARE(win.editor()->toPlainText(), (QStringList{"", "1;\n", "2;\n"}[tab]));
        }
    }

    void goToLineCountsLinesAsPerlDoes()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        // Line 3 is shown in many rows; the lines after it keep their numbers.
        win.openLoaded(win.write("a.pl", numberedLines(10, 3)));
        QVERIFY(win.editor()->document()->blockCount() > 20);
        win.prompts->fileAnswers = {QStringLiteral("5:3"), QStringLiteral("3:25004"),
                                    QStringLiteral("1000"), QStringLiteral("9:99")};
        win.key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(win.prompts->asked.last().what, QStringLiteral("input"));
        QVERIFY(win.prompts->asked.last().text.contains(QStringLiteral("1\u201310")));
        QCOMPARE(win.caret(), std::pair(5, 3));
        QCOMPARE(win.w->focusWidget(), win.editor());

        win.trigger("Gotoline1");
        QCOMPARE(win.caret(), std::pair(3, 25004));
        win.trigger("Gotoline1");
        QCOMPARE(win.caret(), std::pair(10, 1)); // past the end: the last line
        win.trigger("Gotoline1");
        QCOMPARE(win.caret(), std::pair(9, 7)); // past a line's end: its end

        win.prompts->fileAnswers = {QStringLiteral("five")};
        win.trigger("Gotoline1");
        QVERIFY(win.prompts->messages().last().contains("\"five\""));
        QCOMPARE(win.caret(), std::pair(9, 7));
    }

    void openAtGoesToTheLineOnceTheTextIsThere()
    {
        Window win;
        const QString big = win.write("big.pl", numberedLines(40000));
        win.w->documents().openAt(big, 30000, 4);
        ScriptEditorWidget *ed = win.editor();
        QVERIFY(ed->isLoading());
        QSignalSpy loaded(ed, &ScriptEditorWidget::textLoaded);
        QVERIFY(loaded.wait(10000));
        QCOMPARE(win.caret(), std::pair(30000, 4));

        // Open already: its tab is selected and the caret moves.
        win.trigger("btNew");
        win.w->documents().openAt(big, 12);
        QCOMPARE(win.editor(), ed);
        QCOMPARE(win.caret(), std::pair(12, 1));
    }

    void desktopKeysWorkBesideTheProgramsOwn()
    {
        Window win;
        QVERIFY(QTest::qWaitForWindowActive(win.w.get()));
        QTest::keyClicks(win.editor(), "abc def");
        win.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(win.editor()->textCursor().selectedText(), QStringLiteral("abc def"));

        // Undo and redo act once in the editor, and reach it from elsewhere in the window.
        win.editor()->moveCursor(QTextCursor::Start);
        win.key(Qt::Key_X);
        win.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(win.editor()->toPlainText(), QStringLiteral("abc def"));
        win.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(win.editor()->toPlainText(), QStringLiteral("xabc def"));
        win.tabs()->setFocus();
        QTest::keyClick(win.tabs(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(win.editor()->toPlainText(), QStringLiteral("abc def"));
        QTest::keyClick(win.tabs(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(win.editor()->toPlainText(), QStringLiteral("xabc def"));
        QTest::keyClick(win.tabs(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(win.editor()->textCursor().selectedText(), QStringLiteral("xabc def"));

        win.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(win.prompts->asked.last().what, QStringLiteral("saveFile"));
        win.prompts->buttonAnswers = {QMessageBox::No};
        win.key(Qt::Key_W, Qt::ControlModifier);
        QVERIFY(win.prompts->messages().last().startsWith("Document \"Noname #1\"."));
        QVERIFY(win.w->documents().all().empty());
        QTest::keyClick(win.w.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!win.w->isVisible());
    }

    // Two commands on one key make the key do nothing at all.
    void noTwoCommandsShareAKey()
    {
        Window win;
        QHash<QKeySequence, QString> owner;
        QStringList clashes;
        for (const QAction *a : win.w->findChildren<QAction *>()) {
            // Dialogs have keys of their own.
            const auto *parent = qobject_cast<const QWidget *>(a->parent());
            if (!parent || parent->window() != win.w.get()
                || a->shortcutContext() == Qt::WidgetShortcut)
                continue;
            for (const QKeySequence &key : a->shortcuts()) {
                if (owner.contains(key))
                    clashes << key.toString() + ": " + owner[key] + ", " + a->objectName();
                owner.insert(key, a->objectName());
            }
        }
        QVERIFY(owner.contains(QKeySequence(QStringLiteral("Ctrl+A"))));
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(u'\n')));
    }
};

QTEST_MAIN(ScriptTabsTest)
#include "tst_scripttabs.moc"
