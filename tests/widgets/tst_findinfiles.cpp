#include "mainwindowfixture.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

struct Window : FreshHome, MainWindowFixture
{
    QTemporaryDir tree;

    Window()
        : MainWindowFixture(home)
    {}

    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(tree.filePath(relative)).absolutePath());
        QFile f(tree.filePath(relative));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QListView *list() const { return get<QListView>("lbFindResults"); }
    QString caption() const { return get<QLabel>("lbFindResultsCaption")->text(); }
    QString progress() const { return get<QLabel>("lbFindProgress")->text(); }
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            out << list()->model()->index(r, 0).data().toString();
        return out;
    }
    // "Find in f&iles", the text typed and Enter pressed, in folder.
    void find(const QString &text, const QString &folder) const
    {
        trigger("Findinfiles1");
        QVERIFY(get<QWidget>("FindInFilesPage")->isVisible());
        get<QLineEdit>("edFolder")->setText(QDir::toNativeSeparators(folder));
        auto *combo = get<QComboBox>("FilesTextCombo");
        combo->setEditText(text);
        QTest::keyClick(combo, Qt::Key_Return);
    }
    bool searching() const { return get<QPushButton>("btStopFind")->isEnabled(); }
    void waitForEnd() const { QTRY_VERIFY_WITH_TIMEOUT(!searching(), 30000); }
    // The caret's line and column, from 1, as the file counts them.
    static QPair<int, int> caret(TScriptEditor *doc)
    {
        const RowBreaks::LinePosition p = doc->Editor->linePosition(
                doc->Editor->textCursor().position());
        return {p.row + 1, p.column + 1};
    }
};

} // namespace

class FindInFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void listsTheHitsAndOpensTheFileAtTheLine()
    {
        Window w;
        QByteArray small;
        for (int i = 1; i <= 600; ++i)
            small += i == 300 ? "my $target = 1;\n" : "print 'filler';\n";
        w.write("a.pl", small);
        // So large that it loads in the background, with a line shown in rows before the hit.
        w.write("sub/big.pm",
                "# big\n" + QByteArray(300000, 'x').replace(50, 1, " ") + "\n\n    target();\n");
        w.write("notes.txt", "target\n");
        w.write("b.t", "nothing\n");

        // The folder offered is the current script's.
        w.openLoaded(w.tree.filePath("b.t"));
        w.trigger("Findinfiles1");
        auto *pages = w.get<QTabWidget>("PageControl1");
        QVERIFY(pages->isVisible());
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
        QCOMPARE(QDir(QDir::fromNativeSeparators(w.get<QLineEdit>("edFolder")->text())),
                 QDir(w.tree.path()));

        w.find("TARGET", w.tree.path());
        QVERIFY(w.get<QWidget>("FindResults")->isVisible());
        w.waitForEnd();
        QCOMPARE(w.rows(), QStringList({"a.pl:300: my $target = 1;",
                                        QDir::toNativeSeparators("sub/big.pm:4: target();")}));
        QCOMPARE(w.caption(), QStringLiteral("2 matches in 2 files"));
        QVERIFY(w.progress().startsWith("Done: 3 files searched, 2 matches"));

        auto activate = [&](int row) {
            w.list()->setFocus();
            w.list()->setCurrentIndex(w.list()->model()->index(row, 0));
            QTest::keyClick(w.list(), Qt::Key_Return);
        };
        activate(0);
        TScriptEditor *a = w->CurrentDocument();
        QCOMPARE(a->FileName, w.tree.filePath("a.pl"));
        QCOMPARE(Window::caret(a), qMakePair(300, 5));
        // Scrolled to the line.
        QVERIFY(a->Editor->viewport()->rect().contains(a->Editor->cursorRect()));

        activate(1);
        TScriptEditor *big = w->CurrentDocument();
        QCOMPARE(big->FileName, w.tree.filePath("sub/big.pm"));
        QTRY_VERIFY_WITH_TIMEOUT(!big->Editor->isLoading(), 30000);
        QCOMPARE(Window::caret(big), qMakePair(4, 5));

        // A script already open is shown again, not opened a second time.
        const int tabs = w.docs().tabBar()->count();
        activate(0);
        QCOMPARE(w->CurrentDocument(), a);
        QCOMPARE(w.docs().tabBar()->count(), tabs);
    }

    void stopAndANewSearchLeaveOnlyTheNewHits()
    {
        Window w;
        for (int d = 0; d < 40; ++d) {
            for (int f = 0; f < 50; ++f)
                w.write(QStringLiteral("d%1/f%2.pl").arg(d).arg(f), "hit();\nhit();\n");
        }
        w.find("hit", w.tree.path());
        // The search runs beside the window: after the key, the window is back and says so.
        QVERIFY(w.searching());
        QVERIFY(w.caption().startsWith(QStringLiteral("Searching\u2026")));
        QTest::mouseClick(w.get<QPushButton>("btStopFind"), Qt::LeftButton);
        w.waitForEnd();
        QVERIFY2(w.caption().startsWith("Stopped: "), qPrintable(w.caption()));
        QVERIFY2(w.progress().startsWith("Stopped: "), qPrintable(w.progress()));
        const qsizetype searched = w.progress().section(' ', 1, 1).remove(',').toLongLong();
        QVERIFY2(searched < 2000, qPrintable(w.progress()));
        QCOMPARE(w.rows().size(), 2 * w.caption().section(" in ", 1).section(' ', 0, 0).toInt());

        // A search started while another runs replaces it: none of the first one's hits stay.
        w.find("hit", w.tree.path());
        w.find("hit", w.tree.filePath("d7"));
        w.waitForEnd();
        QCOMPARE(w.caption(), QStringLiteral("100 matches in 50 files"));
        QCOMPARE(w.rows().size(), 100);
        QCOMPARE(w.rows().first(), QStringLiteral("f0.pl:1: hit();"));
    }
};

QTEST_MAIN(FindInFilesTest)
#include "tst_findinfiles.moc"
