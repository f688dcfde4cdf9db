#include "testsupport.h"
#include "ui/tools/unixconvform.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Wizard
{
    ScriptedPrompts *prompts = ScriptedPrompts::install();
    TUNIXConvForm form;

    template<typename T = QWidget>
    T *get(const char *name) const
    {
        T *c = form.findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    int page() const { return get<QStackedWidget>("PC")->currentIndex(); }
    QString next() const { return get<QPushButton>("btNext")->text(); }
    void pressNext() const { get<QPushButton>("btNext")->click(); }
    // Presses "Convert" and waits until the worker is done.
    bool convert() const
    {
        QSignalSpy done(&form, &TUNIXConvForm::conversionDone);
        pressNext();
        return done.count() == 1 || done.wait(5000);
    }
};

} // namespace

class UnixConvTest : public QObject
{
    Q_OBJECT
private slots:
    void browsingFillsThePaths()
    {
        Wizard w;
        w.prompts->fileAnswers = {"/tmp/src.pl", "/tmp/dest.pl"};
        w.get<QToolButton>("SpeedButton1")->click();
        QCOMPARE(w.get<QLineEdit>("edSrc")->text(), QStringLiteral("/tmp/src.pl"));
        QCOMPARE(w.get<QLineEdit>("edDest")->text(), QStringLiteral("/tmp/src.pl"));
        w.get<QToolButton>("SpeedButton2")->click();
        QCOMPARE(w.get<QLineEdit>("edSrc")->text(), QStringLiteral("/tmp/src.pl"));
        QCOMPARE(w.get<QLineEdit>("edDest")->text(), QStringLiteral("/tmp/dest.pl"));
        QCOMPARE(w.prompts->asked[0].what, QStringLiteral("openFile"));
        QCOMPARE(w.prompts->asked[1].what, QStringLiteral("saveFile"));
        // Cancelled browsing keeps the paths.
        w.get<QToolButton>("SpeedButton1")->click();
        QCOMPARE(w.get<QLineEdit>("edDest")->text(), QStringLiteral("/tmp/dest.pl"));
    }

    void pagesConvertAndConvertAgainAfterBack()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("a.pl");
        writeBytes(src, "a\r\nb\rc\n");
        Wizard w;
        w.form.open();
        QCOMPARE(w.page(), 0);
        QVERIFY(!w.get<QPushButton>("btBack")->isEnabled());
        QCOMPARE(w.next(), QStringLiteral("&Next >>"));
        w.pressNext();
        QCOMPARE(w.next(), QStringLiteral("&Next >>"));
        QVERIFY(w.get<QPushButton>("btBack")->isEnabled());
        w.get<QLineEdit>("edSrc")->setText(src);
        w.get<QLineEdit>("edDest")->setText(src);
        w.pressNext();
        QCOMPARE(w.page(), 2);
        QCOMPARE(w.next(), QStringLiteral("Convert"));
        QVERIFY(w.convert());
        QCOMPARE(w.page(), 3);
        QCOMPARE(w.next(), QStringLiteral("Close"));
        QCOMPARE(readBytes(src), QByteArray("a\nb\rc\n"));
        QVERIFY(w.get<QLabel>("Label12")->text().contains("1 line break"));
        QVERIFY(w.prompts->asked.isEmpty());

        // Back to page 2, the other way round, and convert again.
        w.get<QPushButton>("btBack")->click();
        QCOMPARE(w.page(), 2);
        QCOMPARE(w.next(), QStringLiteral("&Next >>"));
        w.get<QPushButton>("btBack")->click();
        w.get<QPushButton>("btBack")->click();
        QCOMPARE(w.page(), 0);
        QVERIFY(!w.get<QPushButton>("btBack")->isEnabled());
        w.get<QRadioButton>("radUNIX2Win")->setChecked(true);
        w.pressNext();
        w.pressNext();
        QVERIFY(w.convert());
        QCOMPARE(readBytes(src), QByteArray("a\r\nb\rc\r\n"));
        // "Close" hides the wizard; showing it again starts on page 0 with the paths kept.
        w.pressNext();
        QVERIFY(!w.form.isVisible());
        w.form.open();
        QCOMPARE(w.page(), 0);
        QCOMPARE(w.get<QLineEdit>("edSrc")->text(), src);
    }

    void errorsAreToldAndCancelTouchesNothing()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("a.pl");
        Wizard w;
        w.form.open();
        w.get<QLineEdit>("edSrc")->setText(src); // missing
        w.get<QLineEdit>("edDest")->setText(src);
        w.pressNext();
        w.pressNext();
        QVERIFY(w.convert());
        QCOMPARE(w.prompts->messages().size(), 1);
        QVERIFY(w.prompts->messages()[0].startsWith("Oops!"));
        QCOMPARE(w.prompts->asked[0].kind, Prompts::Kind::Error);
        QVERIFY(!QFile::exists(src));

        writeBytes(src, "x\r\n");
        w.form.open();
        w.pressNext();
        w.pressNext();
        w.get<QPushButton>("Button3")->click();
        QVERIFY(!w.form.isVisible());
        QCOMPARE(readBytes(src), QByteArray("x\r\n"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    UnixConvTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_unixconv.moc"
