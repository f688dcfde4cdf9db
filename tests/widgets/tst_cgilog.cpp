// The CGI log under the browser: it shows what the server appends to its logs from the moment
// it is told to follow them, without waiting for the window.
#include "testsupport.h"
#include "ui/run/cgilog.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void append(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(bytes);
}

} // namespace

class CgiLogTest : public QObject
{
    Q_OBJECT
private slots:
    void showsWhatIsAppendedSinceTheStart()
    {
        QTemporaryDir dir;
        const QString errors = dir.path() + "/cgi-error.log";
        const QString access = dir.path() + "/access.log";
        append(errors, "from an earlier server\n");
        CgiLogPanel panel;
        panel.setCurrentWidget(panel.requests());
        panel.follow(errors, access);
        // A character split between two writes.
        append(errors, "Can't locate Foo.pm \xE2\x80");
        append(errors, "\x94 in @INC at x.pl line 3.\n");
        QTRY_COMPARE(panel.errors()->toPlainText(),
                     QString::fromUtf8(
                             "Can't locate Foo.pm \xE2\x80\x94 in @INC at x.pl line 3.\n"));
        QCOMPARE(panel.currentWidget(), panel.errors());

        // A request line shows once it is whole.
        append(access, "09:00:01\tGET /cgi-bin/a.pl HTTP/1.1\t200\t12\ttext/plain\t-\t-\t-\t-\t-\n"
                       "09:00:02\tGET /cgi-bin/b.pl HTT");
        QTRY_VERIFY(panel.requests()->toPlainText().contains("a.pl HTTP/1.1  ->  200 OK"));
        QTest::qWait(400);
        QVERIFY(!panel.requests()->toPlainText().contains("b.pl"));
        append(access, "P/1.1\t404\t-\t-\t-\t-\t-\t-\t-\nnot a request line\n");
        QTRY_VERIFY(panel.requests()->toPlainText().contains(
                "09:00:02  GET /cgi-bin/b.pl HTTP/1.1  ->  404 Not Found\nnot a request line\n"));

        // Followed anew, the view starts empty again.
        panel.follow(errors, access);
        QCOMPARE(panel.errors()->toPlainText(), QString());
        append(errors, "later\n");
        QTRY_COMPARE(panel.errors()->toPlainText(), QStringLiteral("later\n"));
        panel.stop();
        append(errors, "after the stop\n");
        QTest::qWait(400);
        QCOMPARE(panel.errors()->toPlainText(), QStringLiteral("later\n"));
    }
};

QTEST_MAIN(CgiLogTest)
#include "tst_cgilog.moc"
