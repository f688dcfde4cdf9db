#include "core/common/workers.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/editor/proptree.h"
#include "ui/editor/proptreecontroller.h"
#include "ui/shell/mainwindow.h"

#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

struct Window : FreshHome, MainWindowFixture
{
    // settings: "Section/Key=value" written before the window starts.
    explicit Window(const QStringList &settings = {})
        : MainWindowFixture(home, settings)
    {}
    void set(const QString &section, const QString &key, const QString &value) const
    {
        TIniFile(home.path("etc/quillforge.cfg")).WriteString(section, key, value);
    }
    TScriptEditor *open(const QString &name, const QString &text) const
    {
        home.writeFile(name, text.toUtf8());
        return openLoaded(home.path(name));
    }
    QTreeWidget *tree() const { return w->findChild<QTreeWidget *>("PropTree"); }
    QWidget *panel() const { return w->findChild<QWidget *>("pInspector"); }
    // The tree as text: roots flush left, entries indented.
    QStringList shown() const
    {
        QStringList out;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
            QTreeWidgetItem *root = tree()->topLevelItem(i);
            out << root->text(0);
            for (int j = 0; j < root->childCount(); ++j)
                out << "  " + root->child(j)->text(0);
        }
        return out;
    }
    QTreeWidgetItem *entry(const QString &text) const
    {
        const auto found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    void click(QTreeWidgetItem *item) const
    {
        tree()->scrollToItem(item);
        const QRect r = tree()->visualItemRect(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Text put in without a key, so nothing refreshes the tree by itself.
    static void insertQuietly(TScriptEditor *doc, int at, const QString &text)
    {
        QTextCursor c(doc->Editor->document());
        c.setPosition(at);
        c.insertText(text);
    }
};

} // namespace

class InspectorTest : public QObject
{
    Q_OBJECT
private slots:
    void opensWithRootsImagesAndEntries()
    {
        Window win;
        win.open("a.pl", "my ($x, @list) = (1);\nmy $Name = \"$x\";\nsub run {\n}\nsub stop{ }\n");
        QCOMPARE(win.shown(), (QStringList{"Variables", "  $x", "  $Name", "  @list",
                                           "Subroutines (local)", "  sub run", "  sub stop{"}));
        QTreeWidget *t = win.tree();
        QVERIFY(t->topLevelItem(0)->isExpanded());
        QVERIFY(t->topLevelItem(1)->isExpanded());
        const QIcon group = t->topLevelItem(0)->icon(0);
        const QIcon variable = t->topLevelItem(0)->child(0)->icon(0);
        const QIcon sub = t->topLevelItem(1)->child(0)->icon(0);
        QVERIFY(!group.isNull() && !variable.isNull() && !sub.isNull());
        QVERIFY(group.cacheKey() == t->topLevelItem(1)->icon(0).cacheKey());
        QVERIFY(variable.cacheKey() != sub.cacheKey());
        QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void aScriptWithAnEmptyFirstLineIsListed()
    {
        Window win;
        win.open("a.pl", "\nmy $x = 1;\nsub f {}\n");
        QCOMPARE(win.shown(), (QStringList{"Variables", "  $x", "Subroutines (local)", "  sub f"}));
    }

    void switchesChooseTheRoots()
    {
        Window win({"CodeInspector/Vars=0"});
        win.open("a.pl", "$x;\nsub f {}\n");
        QCOMPARE(win.shown(), (QStringList{"Subroutines (local)", "  sub f"}));
        // Read at every refresh: a new view of the source shows the new choice.
        win.set("CodeInspector", "Vars", "1");
        win.set("CodeInspector", "Subroutines", "0");
        win.w->SetView(ViewKind::vkSource);
        QCOMPARE(win.shown(), (QStringList{"Variables", "  $x"}));
    }

    void typingASigilListsTheTextBeforeIt()
    {
        Window win;
        TScriptEditor *doc = win.open("a.pl", "my $a = 1;\nz;\n");
        Window::insertQuietly(doc, 0, "$new; ");
        QVERIFY(!win.entry("$new"));
        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(doc->Editor->document()->toPlainText().indexOf("z;"));
        doc->Editor->setTextCursor(c);
        QTest::keyClick(doc->Editor, '$');
        // Refreshed on the key, from the text without the "$": "$z" is not there yet.
        QVERIFY(win.entry("$new"));
        QVERIFY(!win.entry("$z"));
        QVERIFY(doc->Editor->document()->toPlainText().contains("$z;"));

        Window::insertQuietly(doc, 0, "@arr; ");
        QTest::keyClick(doc->Editor, '@');
        QVERIFY(win.entry("@arr"));
        QVERIFY(win.entry("$z")); // the "$" typed before is in the text now
        // Other keys leave the tree alone.
        Window::insertQuietly(doc, 0, "$more; ");
        QTest::keyClicks(doc->Editor, "x%");
        QVERIFY(!win.entry("$more"));
    }

    void typingASigilDoesNothingWhenTheSettingIsOff()
    {
        Window win({"CodeInspector/UpdateOnTyping=0"});
        TScriptEditor *doc = win.open("a.pl", "my $a;\n");
        Window::insertQuietly(doc, 0, "$new; ");
        QTest::keyClick(doc->Editor, '$');
        QVERIFY(!win.entry("$new"));
    }

    void timerRefreshesAtTheSetInterval()
    {
        Window win({"CodeInspector/UpdateInterval=2000"});
        auto *timer = win.w->findChild<QTimer *>("Timer2");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 2000);
        TScriptEditor *doc = win.open("a.pl", "my $a;\n");
        Window::insertQuietly(doc, 0, "$new; ");
        QTRY_VERIFY(win.entry("$new"));

        win.set("CodeInspector", "UpdateIntervalActive", "0");
        win.w->ApplyOptions();
        QVERIFY(!timer->isActive());
    }

    void everySourceViewRefreshes()
    {
        Window win;
        win.open("a.pl", "$one;\n");
        TScriptEditor *b = win.open("b.pl", "$two;\n");
        QVERIFY(win.entry("$two"));
        auto *tabs = win.w->findChild<QTabBar *>("tabScriptSel");
        tabs->setCurrentIndex(1); // the first script opened ("Noname #1" is tab 0)
        QVERIFY(win.entry("$one"));
        QVERIFY(!win.entry("$two"));
        tabs->setCurrentIndex(2);
        Window::insertQuietly(b, 0, "$three; ");
        win.w->SetView(ViewKind::vkTasks);
        QVERIFY(!win.entry("$three"));
        win.w->SetView(ViewKind::vkSource);
        QVERIFY(win.entry("$three"));
    }

    void clickSelectsTheFirstOccurrenceFromTheVeryStart()
    {
        Window win;
        TScriptEditor *doc = win.open("a.pl", "$x = 1;\nSUB FOO;\nsub foo {\n}\n$x++;\n");
        win.click(win.entry("$x"));
        QCOMPARE(doc->Editor->textCursor().selectionStart(), 0);
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("$x"));
        win.click(win.entry("sub foo"));
        QCOMPARE(doc->Editor->textCursor().selectionStart(), 8);
        QCOMPARE(doc->Editor->textCursor().selectedText(), QStringLiteral("SUB FOO"));
        QVERIFY(doc->Editor->hasFocus());
        QVERIFY(win.prompts->asked.isEmpty());
    }

    void clickOnAGoneEntryOrARoot()
    {
        Window win;
        TScriptEditor *doc = win.open("a.pl", "my $gone = 1;\n");
        doc->Editor->selectAll();
        doc->Editor->textCursor().insertText("nothing here");
        win.click(win.entry("$gone"));
        QCOMPARE(win.prompts->messages(), QStringList{"Oops! Procedure not found, shame on me..."});
        QCOMPARE(win.prompts->asked.first().kind, Prompts::Kind::Information);

        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(3);
        doc->Editor->setTextCursor(c);
        win.click(win.entry("Variables"));
        QCOMPARE(win.prompts->asked.size(), 1);
        QCOMPARE(doc->Editor->textCursor().position(), 3);
    }

    void aNameAcrossALineBreakIsFoundToo()
    {
        Window win;
        TScriptEditor *doc = win.open("a.pl", "my $ok;\nprint $\nfoo;\n");
        QTreeWidgetItem *odd = nullptr;
        for (int i = 0; i < win.tree()->topLevelItem(0)->childCount(); ++i) {
            QTreeWidgetItem *it = win.tree()->topLevelItem(0)->child(i);
            if (CodeInspector::entryText(it) == "$\nfoo")
                odd = it;
        }
        QVERIFY(odd);
        QVERIFY2(!odd->text(0).contains('\n'), "one row per entry");
        win.click(odd);
        QCOMPARE(doc->Editor->textCursor().selectionStart(), 14);
        QCOMPARE(doc->Editor->textCursor().selectionEnd(), 19);
    }

    void manyEntriesAreCappedAndSaySo()
    {
        Window win;
        QString text;
        for (int i = 0; i < CodeInspector::kMaxEntriesShown + 250; ++i)
            text += QStringLiteral("$v%1;\n").arg(i);
        win.open("a.pl", text);
        QTreeWidgetItem *vars = win.tree()->topLevelItem(0);
        QCOMPARE(vars->childCount(), CodeInspector::kMaxEntriesShown + 1);
        QTreeWidgetItem *more = vars->child(vars->childCount() - 1);
        QCOMPARE(more->text(0), QStringLiteral("... 250 more not shown"));
        QVERIFY(CodeInspector::entryText(more).isEmpty());
        win.click(more);
        QVERIFY(win.prompts->asked.isEmpty());
    }

    void hugeNamesAreShortenedButFoundWhole()
    {
        Window win;
        const QString name = "$" + QString(100000, 'a');
        TScriptEditor *doc = win.open("a.pl", "x " + name + ";\n");
        QTreeWidgetItem *item = win.tree()->topLevelItem(0)->child(0);
        QCOMPARE(CodeInspector::entryText(item), name);
        QVERIFY(item->text(0).size() <= CodeInspector::kMaxTextShown + 1);
        win.click(item);
        QCOMPARE(doc->Editor->textCursor().selectionStart(), 2);
        QCOMPARE(doc->Editor->textCursor().selectedText().size(), name.size());
    }

    void aHiddenPanelCatchesUpWhenShown()
    {
        Window win;
        TScriptEditor *doc = win.open("a.pl", "$a;\n");
        win.w->findChild<QToolButton *>("SpeedButton3")->click();
        QVERIFY(win.panel()->isHidden());
        QCOMPARE(TIniFile(win.home.path("etc/quillforge.cfg"))
                         .ReadString("Config", "Visible_CodeInspector", "?"),
                 QStringLiteral("0"));
        Window::insertQuietly(doc, 0, "$later; ");
        win.w->SetView(ViewKind::vkSource);
        QVERIFY(!win.entry("$later"));
        win.panel()->show();
        QTRY_VERIFY(win.entry("$later"));
    }

    void closingTheLastScriptEmptiesTheTree()
    {
        Window win;
        win.open("a.pl", "$a;\n");
        while (!win.w->documents().all().empty())
            win.w->documents().closeCurrentNow();
        QTRY_COMPARE(win.tree()->topLevelItemCount(), 0);
    }

    // A script this large is laid out and scanned on worker threads.
    void aLargeScriptIsListedOnceLoaded()
    {
        Window win;
        QString text = "my $first;\n";
        while (text.size() < 2200 * 1024)
            text += QStringLiteral("# filler line to make the script large enough\n");
        text += "sub last_one {}\n";
        win.home.writeFile("big.pl", text.toUtf8());
        win.w->OpenDocument(win.home.path("big.pl"));
        QTRY_VERIFY(win.entry("sub last_one"));
        QVERIFY(win.entry("$first"));
        // The text handed over with the loaded script is followed from then on.
        QTextCursor c(win.w->CurrentDocument()->Editor->document());
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("$later;\n"));
        win.w->inspector().refresh();
        QTRY_VERIFY(win.entry("$later"));

        // A scan that ends after the user moved on to another script is not shown.
        win.w->inspector().refresh();
        win.open("small.pl", "$small;\n");
        workerPool()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(win.entry("$small"));
        QVERIFY(!win.entry("$first"));
    }

    void anUnchangedListKeepsTheTreeAsItIs()
    {
        Window win;
        QString text;
        for (int i = 0; i < 300; ++i)
            text += QStringLiteral("$v%1;\n").arg(i);
        win.open("a.pl", text);
        QTreeWidget *t = win.tree();
        t->resize(180, 200);
        QTreeWidgetItem *before = t->topLevelItem(0)->child(10);
        t->setCurrentItem(before);
        t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum() / 2);
        const int scrolled = t->verticalScrollBar()->value();
        QVERIFY(scrolled > 20);
        win.w->inspector().refresh();
        QCOMPARE(t->topLevelItem(0)->child(10), before);
        QCOMPARE(t->currentItem(), before);
        QCOMPARE(t->verticalScrollBar()->value(), scrolled);
    }
};

QTEST_MAIN(InspectorTest)
#include "tst_proptree.moc"
