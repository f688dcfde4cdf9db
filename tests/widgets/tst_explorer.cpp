#include "recordinglauncher.h"
#include "testsupport.h"
#include "ui/tools/explorer.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

struct Explorer
{
    QTemporaryDir dir;
    ScriptedPrompts *prompts = ScriptedPrompts::install();
    RecordingLauncher desktop;
    QStringList &launched = desktop.calls;
    QStringList scripts;
    QWidget window;
    ExplorerPanel panel{[this](const QString &p) { scripts << p; }, &window};
    QListView *list = window.findChild<QListView *>("lsFiles");

    Explorer()
    {
        for (const char *name : {"a.pl", "b.cgi", "c.txt", "Makefile", "d.pm"}) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
        }
        QDir(dir.path()).mkdir("sub");
        window.show();
        showFolder(dir.path());
    }

    // Waits until the list shows the folder with the current mask.
    void showFolder(const QString &folder)
    {
        QSignalSpy listed(&panel, &ExplorerPanel::listed);
        panel.setFolder(folder);
        QVERIFY(listed.count() > 0 || listed.wait(5000));
    }
    void mask(const QString &m)
    {
        QSignalSpy listed(&panel, &ExplorerPanel::listed);
        panel.setMask(m);
        QVERIFY(listed.count() > 0 || listed.wait(5000));
    }
    QStringList names() const
    {
        QStringList n;
        QAbstractItemModel *m = list->model();
        for (int r = 0; r < m->rowCount(list->rootIndex()); ++r)
            n << m->index(r, 0, list->rootIndex()).data().toString();
        n.sort();
        return n;
    }
    QModelIndex entry(const QString &name) const
    {
        QAbstractItemModel *m = list->model();
        for (int r = 0; r < m->rowCount(list->rootIndex()); ++r) {
            const QModelIndex i = m->index(r, 0, list->rootIndex());
            if (i.data().toString() == name)
                return i;
        }
        return {};
    }
    void select(const QString &name) const
    {
        list->setCurrentIndex(entry(name));
        list->selectionModel()->select(entry(name), QItemSelectionModel::ClearAndSelect);
    }
    QString caption() const { return window.findChild<QToolButton *>("btMask")->text(); }
};

} // namespace

class ExplorerTest : public QObject
{
    Q_OBJECT
private slots:
    void masksFilterTheList()
    {
        Explorer e;
        QCOMPARE(e.caption(), QStringLiteral("*.*"));
        QCOMPARE(e.names(),
                 (QStringList{"..", "Makefile", "a.pl", "b.cgi", "c.txt", "d.pm", "sub"}));
        e.mask("*.pl");
        QCOMPARE(e.caption(), QStringLiteral("*.pl"));
        QCOMPARE(e.names(), (QStringList{"..", "a.pl", "sub"}));
        e.mask("*.pl *.pm *.t *.cgi");
        QCOMPARE(e.names(), (QStringList{"..", "a.pl", "b.cgi", "d.pm", "sub"}));
        QVERIFY(ExplorerPanel::masks().contains("*.pl *.pm *.t *.cgi"));
    }

    void otherMaskTakesAnyTextAndCancelKeepsTheOld()
    {
        Explorer e;
        e.mask("*.txt");
        e.prompts->fileAnswers = {}; // Cancel
        e.panel.askForMask();
        QCOMPARE(e.caption(), QStringLiteral("*.txt"));
        QCOMPARE(e.prompts->asked.size(), 1);
        QCOMPARE(e.prompts->asked[0].what, QStringLiteral("input"));
        QCOMPARE(e.prompts->asked[0].text, QStringLiteral("Please set a filter (form: *.*)"));
        e.prompts->fileAnswers = {"Make[ weird"};
        QSignalSpy listed(&e.panel, &ExplorerPanel::listed);
        e.panel.askForMask();
        QCOMPARE(e.caption(), QStringLiteral("Make[ weird"));
        QCOMPARE(e.panel.mask(), QStringLiteral("Make[ weird"));
        QVERIFY(listed.count() > 0 || listed.wait(5000));
        QCOMPARE(e.names(), (QStringList{"..", "sub"}));
        QFile(e.dir.filePath("Make[ weird")).open(QIODevice::WriteOnly);
        e.mask("Make[*");
        QCOMPARE(e.names(), (QStringList{"..", "Make[ weird", "sub"}));
    }

    void openActionsGoToTheDesktop()
    {
        Explorer e;
        // Nothing selected: nothing is started.
        e.panel.openSelected();
        e.panel.openSelectedWithEditor();
        e.panel.openSelectedWithWordProcessor();
        e.panel.loadSelectedInEditor();
        QVERIFY(e.launched.isEmpty());
        QVERIFY(e.scripts.isEmpty());

        const QString a = e.dir.filePath("a.pl");
        e.select("a.pl");
        QCOMPARE(e.panel.selectedFile(), a);
        e.panel.openSelected();
        QCOMPARE(e.launched.last(), "open " + a);
        e.panel.openSelectedWithEditor();
        QVERIFY(e.launched.last().endsWith(" " + a));
        e.panel.openSelectedWithWordProcessor();
        QVERIFY(e.launched.last().endsWith(" " + a));
        e.panel.loadSelectedInEditor();
        QCOMPARE(e.scripts, QStringList{a});

        // A folder is not loaded as a script; a double-click shows it.
        e.select("sub");
        e.panel.loadSelectedInEditor();
        QCOMPARE(e.scripts.size(), 1);
        QSignalSpy listed(&e.panel, &ExplorerPanel::listed);
        emit e.list->doubleClicked(e.entry("sub"));
        QCOMPARE(e.panel.folder(), QDir::cleanPath(e.dir.filePath("sub")));
        QVERIFY(listed.count() > 0 || listed.wait(5000));
        QCOMPARE(e.names(), QStringList{".."});
    }

    void vanishedFileIsTold()
    {
        Explorer e;
        const QModelIndex c = e.entry("c.txt");
        QFile::remove(e.dir.filePath("c.txt"));
        const int before = e.launched.size();
        emit e.list->doubleClicked(c);
        QCOMPARE(e.prompts->messages(), QStringList{"Could not open file."});
        QCOMPARE(e.launched.size(), before);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ExplorerTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_explorer.moc"
