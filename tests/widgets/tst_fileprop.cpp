#include "mainwindowfixture.h"
#include "ui/tools/filepropform.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

struct Props
{
    FreshHome fresh;
    MainWindowFixture w{fresh.home};
    TFilePropForm *form = w.get<TFilePropForm>("FilePropForm");

    template<typename T = QLabel>
    T *get(const char *name) const
    {
        T *c = form->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    QString text(const char *label) const { return get(label)->text(); }
    void press(const char *button) const { get<QPushButton>(button)->click(); }
};

} // namespace

class FilePropTest : public QObject
{
    Q_OBJECT
private slots:
    void showsFileAndScriptFacts()
    {
        Props p;
        const QString path = p.fresh.home.path("form.pl");
        p.fresh.home.writeFile("form.pl", "print 1;\nprint 2;\nprint 3;\n");
        TScriptEditor *doc = p.w.openLoaded(path);
        doc->Editor->insertPlainText("# changed\n");
        p.w.trigger("Properties2");
        QVERIFY(p.form->isVisible());
        QCOMPARE(p.text("lFileName"), QStringLiteral("form.pl"));
        QCOMPARE(p.text("lLocation"), p.fresh.home.path("").chopped(1));
        QVERIFY(p.text("lSize").contains("27 bytes"));
        QVERIFY(p.text("lSize").contains(" kb"));
        QVERIFY(!p.text("lKind").isEmpty());
        QVERIFY(!p.text("lEdited").isEmpty());
        QCOMPARE(p.text("lSaved"), QStringLiteral("no"));
        QCOMPARE(p.text("lLines"), QStringLiteral("5"));
        QCOMPARE(p.text("lBackup"), QStringLiteral("[no known backup created]"));
        QVERIFY(!p.get<QCheckBox>("chkReadOnly")->isChecked());
        QVERIFY(!p.get<QCheckBox>("chkSystem")->isEnabled());

        // An existing backup is named.
        p.press("Button2");
        p.fresh.home.writeFile("form.pl~", "old");
        p.w.trigger("btProperties");
        QCOMPARE(p.text("lBackup"), QStringLiteral("form.pl~"));
    }

    void backupAsksBeforeReplacing()
    {
        Props p;
        const QString path = p.fresh.home.path("b.pl");
        p.fresh.home.writeFile("b.pl", "one\r\n");
        TScriptEditor *doc = p.w.openLoaded(path);
        doc->Editor->selectAll();
        doc->Editor->insertPlainText("two\nlines");
        p.w.trigger("Properties1");
        p.press("Button3");
        // Written the way Save writes the script: its own line ends.
        QCOMPARE(p.fresh.home.readFile("b.pl~"), QByteArray("two\r\nlines"));
        QCOMPARE(p.text("lBackup"), QStringLiteral("b.pl~"));
        QCOMPARE(p.fresh.prompts->messages(), QStringList{"The Backup has been created."});

        // The second time asks; No keeps the first backup.
        doc->Editor->insertPlainText("!");
        p.fresh.prompts->buttonAnswers = {QMessageBox::No};
        p.press("Button3");
        QCOMPARE(p.fresh.prompts->asked.size(), 2);
        QCOMPARE(p.fresh.prompts->asked[1].kind, Prompts::Kind::Confirmation);
        QVERIFY(p.fresh.prompts->asked[1].text.contains("\"b.pl~\""));
        QCOMPARE(p.fresh.home.readFile("b.pl~"), QByteArray("two\r\nlines"));
        p.fresh.prompts->buttonAnswers = {QMessageBox::Yes};
        p.press("Button3");
        QCOMPARE(p.fresh.home.readFile("b.pl~"), QByteArray("two\r\nlines!"));
        QCOMPARE(p.fresh.prompts->messages().last(),
                 QStringLiteral("The Backup has been created."));
    }

    void okayAppliesAttributesAndHtml()
    {
        Props p;
        const QString path = p.fresh.home.path("c.pl");
        p.fresh.home.writeFile("c.pl", "1;\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
        TScriptEditor *doc = p.w.openLoaded(path);
        p.w.trigger("Properties3");
        QVERIFY(p.get<QCheckBox>("chkReadOnly")->isChecked());
        p.get<QCheckBox>("chkReadOnly")->setChecked(false);
        p.get<QLineEdit>("edHTMLFile")->setText("http://127.0.0.1:8080/form.html");
        p.get<QCheckBox>("chkHTMLUpdate")->setChecked(false);
        p.press("Button1");
        QVERIFY(!p.form->isVisible());
        const QFile::Permissions perms = QFile::permissions(path);
        QVERIFY(perms & QFile::WriteOwner);
        QVERIFY(perms & QFile::ReadGroup); // other bits kept
        QCOMPARE(doc->HTMLFile, QStringLiteral("http://127.0.0.1:8080/form.html"));
        QVERIFY(!doc->HTMLUpdate);

        // Cancel applies nothing.
        p.w.trigger("Properties3");
        p.get<QLineEdit>("edHTMLFile")->clear();
        p.get<QCheckBox>("chkReadOnly")->setChecked(true);
        p.press("Button2");
        QCOMPARE(doc->HTMLFile, QStringLiteral("http://127.0.0.1:8080/form.html"));
        QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
    }

    void noScriptOrNoFileDoesNothing()
    {
        Props p;
        // A new script: no file, so no backup and no attributes.
        p.w.trigger("Properties2");
        QVERIFY(p.form->isVisible());
        p.press("Button3");
        QVERIFY2(p.fresh.prompts->asked.isEmpty(),
                 qPrintable(p.fresh.prompts->messages().join("|")));
        const QString noname = p.w->CurrentDocument()->FileName;
        QVERIFY(!QFile::exists(noname + "~"));
        QVERIFY(!QFile::exists(p.fresh.home.path(noname + "~")));
        p.get<QLineEdit>("edHTMLFile")->setText("x.html");
        p.press("Button1");
        QCOMPARE(p.w->CurrentDocument()->HTMLFile, QStringLiteral("x.html"));

        // The script closed while the dialog was up: Okay and Create touch nothing.
        p.w.trigger("Properties2");
        p.w.docs().closeCurrentNow();
        QVERIFY(!p.w->CurrentDocument());
        p.press("Button3");
        p.press("Button1");
        QVERIFY(p.fresh.prompts->asked.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FilePropTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_fileprop.moc"
