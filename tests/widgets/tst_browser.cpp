// The real browser (Qt WebEngine): pages cannot reach past the pseudo-links, and a CGI script
// runs through the local web server into the browser.
#include "core/settings/programdir.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/run/browser.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

namespace {

struct Started : MainWindowFixture
{
    explicit Started(const TestHome &home)
        : MainWindowFixture(home)
    {}
    BrowserPage *browser() const { return w->findChild<BrowserPage *>(); }
    QString caption() const { return w->findChild<QLabel *>("CapPanel")->text(); }
    QString page() const
    {
        return w->findChild<QStackedWidget *>("Carry2")->currentWidget()->objectName();
    }

    // Shows an address and waits until the browser has loaded it.
    bool show(const QString &address) const
    {
        QSignalSpy loaded(browser(), &BrowserPage::loadFinished);
        w->SetView(ViewKind::vkBrowse, address);
        // A cancelled navigation before may still report its failure.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            if (!loaded.isEmpty() && loaded.last().first().toBool()
                && url() == QUrl::fromLocalFile(address))
                return true;
            loaded.wait(200);
        }
        return false;
    }
    // A click in the middle of the page's top area, where the test pages put their link.
    void clickPage() const
    {
        QWidget *ie = w->findChild<QWidget *>("IE");
        QWidget *target = ie->focusProxy() ? ie->focusProxy() : ie;
        QTest::qWait(300); // the first frame must be painted before it takes clicks
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(60, 40));
    }
    QUrl url() const { return browser()->engine()->url(); }
};

QByteArray linkPage(const char *href, const char *extra = "")
{
    return QByteArray("<!DOCTYPE html><html><head><title>t</title></head><body style='margin:0'>"
                      "<a id='l' href='")
           + href + "' "
           + extra + "style='display:block;width:400px;height:200px;background:#cce'>link</a></body></html>";
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot);
}

// Stands in for the desktop: what a page hands over to be opened by another program.
class DesktopHandler : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

class BrowserTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void linksInAPageReachNothingButTheViews()
    {
        TestHome home;
        home.writeFile("p/tasks.html", linkPage("cmd:tasks"));
        home.writeFile("p/capital.html", linkPage("cmd:Help"));
        home.writeFile("p/mail.html", linkPage("mailto:someone@example.org"));
        home.writeFile("p/other.html", linkPage("otherapp://run?x=1"));
        home.writeFile("p/popup.html", linkPage("second.html", "target='_blank'"));
        home.writeFile("p/second.html",
                       "<html><head><title>second</title></head><body>2</body></html>");
        home.writeFile("p/fetch.html", linkPage("data.bin", "download"));
        home.writeFile("p/data.bin", QByteArray(64, 'x'));
        DesktopHandler desktop;
        for (const char *scheme : {"mailto", "otherapp", "cmd", "file", "http"})
            QDesktopServices::setUrlHandler(scheme, &desktop, "open");
        const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        const QStringList downloadsBefore = filesIn(downloads);
        Started s(home);
        QVERIFY(!s->findChild<QWidget *>("IE"));

        QVERIFY(s.show(home.path("p/tasks.html")));
        s.clickPage();
        QTRY_COMPARE_WITH_TIMEOUT(s.page(), QStringLiteral("TaskSheet"), 10000);
        QCOMPARE(s.url(), QUrl::fromLocalFile(home.path("p/tasks.html")));

        for (const char *name : {"p/capital.html", "p/mail.html", "p/other.html", "p/fetch.html"}) {
            QVERIFY(s.show(home.path(name)));
            const QString caption = s.caption();
            s.clickPage();
            QTest::qWait(1500);
            QCOMPARE(s.url(), QUrl::fromLocalFile(home.path(name)));
            QCOMPARE(s.page(), QStringLiteral("IESheet"));
            QCOMPARE(s.caption(), caption);
        }
        QCOMPARE(filesIn(downloads), downloadsBefore);
        QCOMPARE(desktop.opened, QList<QUrl>());
        for (const char *scheme : {"mailto", "otherapp", "cmd", "file", "http"})
            QDesktopServices::unsetUrlHandler(scheme);

        // A link asking for a new window opens in the same browser.
        QVERIFY(s.show(home.path("p/popup.html")));
        s.clickPage();
        QTRY_COMPARE_WITH_TIMEOUT(s.url(), QUrl::fromLocalFile(home.path("p/second.html")), 10000);
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(), [](QWidget *w) { return w->isVisible(); }),
                 1);
        QVERIFY(prompts->asked.isEmpty());
    }

    void helpPagesLinkBackIntoTheProgram()
    {
        TestHome home;
        Started s(home);
        QSignalSpy loaded(s.browser(), &BrowserPage::loadFinished);
        s->findChild<QAction *>("vSetHelp")->trigger();
        QVERIFY(loaded.wait(20000));
        QCOMPARE(s.browser()->engine()->title(), QStringLiteral("Quillforge help"));
        QCOMPARE(s.browser()->addressBox()->currentText(), home.path("doc/help/index.html"));
        // Every help page names the program's pseudo-links it relies on.
        for (const QString &f : QDir(home.path("doc/help")).entryList({"*.html"})) {
            const QByteArray text = home.readFile("doc/help/" + f);
            QVERIFY2(text.contains("href=\"cmd:editor\""), qPrintable(f));
            QVERIFY2(text.contains("href=\"index.html\""), qPrintable(f));
        }
    }

    void cgiScriptRunsThroughTheLocalWebServer()
    {
        if (Platform::findWebServerProgram().isEmpty())
            QSKIP("lighttpd is not installed");
        if (Platform::localPortAnswers(8080))
            QSKIP("something else already serves 127.0.0.1:8080");
        TestHome home;
        ensureProgramData(home.dir(), QStringLiteral(QF_SHIPPED_DATA),
                          {Platform::webServerLauncherName()});
        home.writeFile("cgi-bin/hello.pl",
                       "#!/usr/bin/perl\nprint \"Content-Type: text/html\\r\\n\\r\\n\";\n"
                       "print \"<html><head><title>Hello from CGI</title></head><body>\", 6 * 7, "
                       "\"</body></html>\\n\";\n");
        Started s(home);
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        QVERIFY(button->isChecked());
        QVERIFY(prompts->asked.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Platform::localPortAnswers(8080), 10000);

        QSignalSpy loaded(s.browser(), &BrowserPage::loadFinished);
        QComboBox *edURL = s.browser()->addressBox();
        edURL->setEditText("http://127.0.0.1:8080/cgi-bin/hello.pl");
        QTest::keyClick(edURL->lineEdit(), Qt::Key_Return);
        QVERIFY(loaded.wait(20000));
        QTRY_COMPARE_WITH_TIMEOUT(s.browser()->engine()->title(), QStringLiteral("Hello from CGI"),
                                  5000);
        QCOMPARE(s.caption(), QStringLiteral("hello.pl"));

        // A second press finds it running and says so.
        button->trigger();
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains("already running"));

        const QString runDir = qEnvironmentVariable("XDG_RUNTIME_DIR",
                                                    qEnvironmentVariable("TMPDIR", "/tmp"))
                               + QStringLiteral("/quillforge-webserver-%1").arg(::getuid());
        QFile pid(runDir + "/lighttpd.pid");
        QVERIFY(pid.open(QIODevice::ReadOnly));
        QProcess::execute("kill", {QString::fromLatin1(pid.readAll().trimmed())});
        QTRY_VERIFY_WITH_TIMEOUT(!Platform::localPortAnswers(8080), 5000);
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

// Qt WebEngine, loaded after the application exists, needs the shared graphics context that
// the program's own entry asks for.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    BrowserTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_browser.moc"
