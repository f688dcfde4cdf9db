#include "core/common/clock.h"
#include "recordinglauncher.h"
#include "testsupport.h"
#include "ui/tools/bugform.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

namespace {

struct Wizard
{
    TestHome home;
    ScriptedPrompts *prompts = ScriptedPrompts::install();
    RecordingLauncher desktop;
    TBugForm form;

    Wizard()
    {
        form.setReportPath(home.path("Quillforge Bugreport.rtf"));
        form.open();
    }
    template<typename T>
    T *get(const char *name) const
    {
        T *c = form.findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    void press(const char *b) const { get<QPushButton>(b)->click(); }
    QString report() const { return get<QTextEdit>("BugRF")->toPlainText(); }
};

} // namespace

class BugFormTest : public QObject
{
    Q_OBJECT
private slots:
    void reportFollowsTheFormAfterBack()
    {
        Wizard w;
        w.get<QComboBox>("edNameB")->setEditText("Ann");
        w.get<QComboBox>("edBugDiz")->setEditText("short words");
        w.get<QRadioButton>("radOften")->setChecked(true);
        w.press("btOkay");
        QCOMPARE(w.get<QStackedWidget>("Pages")->currentIndex(), 1);
        QCOMPARE(w.get<QPushButton>("btOkay")->text(), QStringLiteral("&Okay"));
        QVERIFY(w.get<QPushButton>("btBack")->isEnabled());
        QVERIFY(w.report().contains("\t\tAnn\n"));
        QVERIFY(w.report().contains("\t\toften / always"));
        QVERIFY(w.report().contains("\t\t[N/A]")); // the empty mail address
        QVERIFY(!w.report().contains("short words"));
        // The title is bold, 14 points.
        QTextCursor c(w.get<QTextEdit>("BugRF")->document());
        c.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(c.charFormat().fontPointSize(), 14.0);

        w.press("btBack");
        QCOMPARE(w.get<QStackedWidget>("Pages")->currentIndex(), 0);
        QVERIFY(!w.get<QPushButton>("btBack")->isEnabled());
        QCOMPARE(w.get<QPushButton>("btOkay")->text(), QStringLiteral("&Next"));
        w.get<QComboBox>("edNameB")->setEditText("Bob");
        w.press("btOkay");
        QVERIFY(w.report().contains("\t\tBob\n"));
        QVERIFY(!w.report().contains("Ann"));
    }

    void okaySavesRtfAndOpensTheMailClient()
    {
        Wizard w;
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        w.get<QComboBox>("edNameB")->setEditText("Ann");
        w.press("btOkay");
        Clock::setFixed(QDateTime(QDate(2025, 1, 1), QTime(1, 1, 1)));
        w.press("btOkay");
        Clock::setFixed(QDateTime());
        const QByteArray rtf = w.home.readFile("Quillforge Bugreport.rtf");
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.contains("\\tab \\tab Ann\\par"));
        // The file holds the report as shown, with the date of its fill.
        QVERIFY(rtf.contains(
                QLocale::system().toString(QDate(2024, 3, 5), QLocale::ShortFormat).toLatin1()));
        QCOMPARE(w.prompts->messages().size(), 1);
        QVERIFY(w.prompts->messages()[0].contains(w.home.path("Quillforge Bugreport.rtf")));
        QCOMPARE(w.desktop.calls, QStringList{"open mailto:" + bugReportSupportAddress()});
        QVERIFY(w.form.isVisible());
    }

    void unwritableReportIsAnError()
    {
        Wizard w;
        w.form.setReportPath(w.home.path("missing/folder/r.rtf"));
        w.press("btOkay");
        w.press("btOkay");
        QCOMPARE(w.prompts->asked.size(), 1);
        QCOMPARE(w.prompts->asked[0].kind, Prompts::Kind::Error);
        QVERIFY(w.desktop.calls.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BugFormTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_bugform.moc"
