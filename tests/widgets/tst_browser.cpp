// The real browser (Qt WebEngine): pages cannot reach past the pseudo-links, the local server
// and local pages, nor read local files, and a CGI script runs through the local web server
// into the browser.
#include "core/run/webserver.h"
#include "core/settings/programdir.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/run/browser.h"
#include "ui/run/cgilog.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

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
        const QUrl want = address.startsWith("http") ? QUrl(address) : QUrl::fromLocalFile(address);
        QSignalSpy loaded(browser(), &BrowserPage::loadFinished);
        w->SetView(ViewKind::vkBrowse, address);
        // A cancelled navigation before may still report its failure.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            if (!loaded.isEmpty() && loaded.last().first().toBool() && url() == want)
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

// A page whose top area, where clickPage() clicks, is filled by element (class "big").
QByteArray pageWith(const QByteArray &element)
{
    return "<!DOCTYPE html><html><head><title>t</title><style>body{margin:0} "
           ".big{display:block;width:400px;height:200px}</style></head><body>"
           + element + "</body></html>";
}

// Reads other local files by script and puts what it got in the title.
QByteArray readingPage(const QString &secretFile)
{
    const QByteArray url = QUrl::fromLocalFile(secretFile).toEncoded();
    return "<!DOCTYPE html><html><head><title>t</title></head><body>"
           "<iframe id='f' src='"
           + url
           + "'></iframe><script>"
             "var got = [];"
             "function done(t) { got.push(t); if (got.length == 2) document.title = got.join(' '); "
             "}"
             "var x = new XMLHttpRequest();"
             "x.onload = function() { done('xhr:' + x.responseText); };"
             "x.onerror = function() { done('xhr-blocked'); };"
             "try { x.open('GET', '"
           + url
           + "'); x.send(); } catch (e) { done('xhr-blocked'); }"
             "document.getElementById('f').onload = function() {"
             "  try { done('frame:' + this.contentDocument.body.innerText); }"
             "  catch (e) { done('frame-blocked'); } };"
             "</script></body></html>";
}

// What the stand-in for xdg-open (first on PATH, see main) was asked to open.
QString &xdgOpenLog()
{
    static QString path;
    return path;
}
QStringList xdgOpened()
{
    QFile f(xdgOpenLog());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
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

// Why the shipped web server cannot be tried here, or empty.
QString whyNoLocalServer()
{
    if (Platform::findWebServerProgram().isEmpty())
        return QStringLiteral("lighttpd is not installed");
    if (Platform::localPortAnswers(8080))
        return QStringLiteral("something else already serves 127.0.0.1:8080");
    return {};
}

// A program folder with the shipped launcher of the web server.
void shipServerLauncher(const TestHome &home)
{
    ensureProgramData(home.dir(), QStringLiteral(QF_SHIPPED_DATA),
                      {Platform::webServerLauncherName()});
}

// The server outlives the program: ended here, and waited for.
void stopServer(const TestHome &home)
{
    QFile pid(WebServer::runDir(home.dir()) + "/lighttpd.pid");
    if (pid.open(QIODevice::ReadOnly))
        QProcess::execute("kill", {QString::fromLatin1(pid.readAll().trimmed())});
    QElapsedTimer t;
    t.start();
    while (Platform::localPortAnswers(8080) && t.elapsed() < 5000)
        QTest::qWait(50);
}

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

    // Every way a page has to hand an address to another program: a link with a target, a
    // script opening a window, a form, a frame, a script moving the page, a download.
    void noWayOutOfAPageReachesTheDesktop()
    {
        TestHome home;
        const QByteArray button = "<button class='big' type='submit'>x</button>";
        const QList<std::pair<const char *, QByteArray>> pages = {
                {"p/blank.html", linkPage("xqfaudit://blank", "target='_blank' ")},
                {"p/blankmail.html", linkPage("mailto:a@example.org", "target='_blank' ")},
                {"p/blankremote.html", linkPage("http://www.example.org/", "target='_blank' ")},
                {"p/open.html",
                 linkPage("#", "onclick=\"window.open('xqfaudit://open'); return false\" ")},
                {"p/form.html",
                 pageWith("<form action='xqfaudit://form' target='_blank'>" + button + "</form>")},
                {"p/form2.html", pageWith("<form action='xqfaudit://form2'>" + button + "</form>")},
                {"p/frame.html", pageWith("<iframe src='xqfaudit://frame'></iframe>")},
                {"p/script.html", pageWith("<script>setTimeout(function() { location.href = "
                                           "'xqfaudit://script'; }, 100);</script>")},
                {"p/download.html", linkPage("data.bin", "download target='_blank' ")},
        };
        for (const auto &[name, bytes] : pages)
            home.writeFile(name, bytes);
        home.writeFile("p/data.bin", QByteArray(64, 'x'));
        DesktopHandler desktop;
        const QStringList schemes = {"xqfaudit", "mailto", "http", "https", "file"};
        // Only a desktop platform runs xdg-open; the offscreen one just asks the handlers.
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            for (const QString &scheme : schemes)
                QDesktopServices::setUrlHandler(scheme, &desktop, "open");
        }
        const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        const QStringList downloadsBefore = filesIn(downloads);
        const QStringList openedBefore = xdgOpened();
        Started s(home);
        for (const auto &[name, bytes] : pages) {
            QVERIFY2(s.show(home.path(name)), name);
            s.clickPage();
            QTest::qWait(1500);
            QVERIFY2(s.url() == QUrl::fromLocalFile(home.path(name)), name);
            QCOMPARE(s.page(), QStringLiteral("IESheet"));
            QCOMPARE(desktop.opened, QList<QUrl>());
            QCOMPARE(xdgOpened(), openedBefore);
        }
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(filesIn(downloads), downloadsBefore);
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(), [](QWidget *w) { return w->isVisible(); }),
                 1);
        QVERIFY(prompts->asked.isEmpty());
    }

    // A local page, the preview of a script's output among them, reads no other file; the
    // program's own pages still show their style sheets and pictures.
    void localPagesReadNoOtherFiles()
    {
        TestHome home;
        home.writeFile("secret/key.txt", "s3cret");
        home.writeFile("doc/help/look.css", "body { color: rgb(1, 2, 3); }");
        home.writeFile("doc/help/pic.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='8' "
                                           "height='8'><rect width='8' height='8'/></svg>");
        home.writeFile("doc/help/look.html",
                       "<!DOCTYPE html><html><head><title>t</title>"
                       "<link rel='stylesheet' href='look.css'></head><body>"
                       "<img src='pic.svg' onload=\"document.title = getComputedStyle("
                       "document.body).color + (this.width == 8 ? ' image' : ' none')\" "
                       "onerror=\"document.title = 'no image'\"></body></html>");
        home.writeFile("p/read.html", readingPage(home.path("secret/key.txt")));
        home.writeFile("etc/prev.html", readingPage(home.path("secret/key.txt")));
        Started s(home);
        for (const char *page : {"p/read.html", "etc/prev.html"}) {
            QVERIFY2(s.show(home.path(page)), page);
            QTRY_VERIFY_WITH_TIMEOUT(s.browser()->engine()->title() != QLatin1String("t"), 10000);
            QCOMPARE(s.browser()->engine()->title(), QStringLiteral("xhr-blocked frame-blocked"));
        }
        QVERIFY(s.show(home.path("doc/help/look.html")));
        QTRY_COMPARE_WITH_TIMEOUT(s.browser()->engine()->title(),
                                  QStringLiteral("rgb(1, 2, 3) image"), 10000);
    }

    // The browser's buttons show a picture or their name, and tell a screen reader what they do.
    void browserButtonsAreNamed()
    {
        TestHome home;
        Started s(home);
        const QList<QToolButton *> buttons
                = s.get<QToolBar>("ToolBar5")
                          ->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
        QStringList names;
        for (QToolButton *b : buttons) {
            if (b->objectName().startsWith("qt_"))
                continue; // the bar's own extension arrow
            names << b->accessibleName();
            QVERIFY2(!b->icon().isNull() || b->toolButtonStyle() == Qt::ToolButtonTextOnly,
                     qPrintable(b->objectName()));
        }
        QCOMPARE(names, QStringList({"Back", "Next", "Stop", "Refresh", "Home", "Find",
                                     "Go to this address"}));
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
        if (const QString why = whyNoLocalServer(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestHome home;
        shipServerLauncher(home);
        home.writeFile("cgi-bin/hello.pl",
                       "#!/usr/bin/perl\nprint \"Content-Type: text/html\\r\\n\\r\\n\";\n"
                       "print \"<html><head><title>Hello from CGI</title></head><body>\", 6 * 7, "
                       "\"</body></html>\\n\";\n");
        home.writeFile("cgi-bin/ways.pl",
                       "#!/usr/bin/perl\nprint \"Content-Type: text/html\\r\\n\\r\\n\";\n"
                       "print <<'END';\n"
                               + linkPage("xqfaudit://cgi", "target='_blank' ") + "\nEND\n");
        DesktopHandler desktop;
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QDesktopServices::setUrlHandler("xqfaudit", &desktop, "open");
        Started s(home);
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        QVERIFY(button->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(Platform::localPortAnswers(8080), 10000);
        QTest::qWait(500); // a failed start would have said so by now
        QCOMPARE(prompts->messages(), QStringList());

        QSignalSpy loaded(s.browser(), &BrowserPage::loadFinished);
        QComboBox *edURL = s.browser()->addressBox();
        edURL->setEditText("http://127.0.0.1:8080/cgi-bin/hello.pl");
        QTest::keyClick(edURL->lineEdit(), Qt::Key_Return);
        QVERIFY(loaded.wait(20000));
        QTRY_COMPARE_WITH_TIMEOUT(s.browser()->engine()->title(), QStringLiteral("Hello from CGI"),
                                  5000);
        QCOMPARE(s.caption(), QStringLiteral("hello.pl"));

        // A page served from this machine reaches no other program either.
        const QStringList openedBefore = xdgOpened();
        QVERIFY(s.show("http://127.0.0.1:8080/cgi-bin/ways.pl"));
        s.clickPage();
        QTest::qWait(1500);
        QCOMPARE(s.url(), QUrl("http://127.0.0.1:8080/cgi-bin/ways.pl"));
        QCOMPARE(xdgOpened(), openedBefore);
        QCOMPARE(desktop.opened, QList<QUrl>());
        QDesktopServices::unsetUrlHandler("xqfaudit");

        // A second press finds it running and says so.
        button->trigger();
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains("already running"));

        QVERIFY(QFile::exists(WebServer::runDir(home.dir()) + "/lighttpd.pid"));
        stopServer(home);
        QTRY_VERIFY_WITH_TIMEOUT(!Platform::localPortAnswers(8080), 5000);
    }

    // A taint-mode script runs, and when one dies the reason and the 500 are under the page.
    void aCgiThatDiesSaysWhyUnderThePage()
    {
        if (const QString why = whyNoLocalServer(); !why.isEmpty())
            QSKIP(qPrintable(why));
        TestHome home;
        shipServerLauncher(home);
        home.writeFile("cgi-bin/tainted.pl",
                       "#!/usr/bin/perl -wT\nprint \"Content-Type: text/html\\r\\n\\r\\n\";\n"
                       "print \"<html><head><title>taint ${^TAINT}</title></head></html>\\n\";\n");
        home.writeFile("cgi-bin/dies.pl", "#!/usr/bin/perl -w -T\nuse strict;\n"
                                          "die \"No database at /tmp/none.db\\n\";\n");
        // What the server wrote before this start is not shown.
        home.writeFile("etc/webserver/cgi-error.log", "an old complaint\n");
        Started s(home);
        auto *panel = s->findChild<CgiLogPanel *>("CgiLog");
        QVERIFY(panel);
        QCOMPARE(panel->accessibleName(), QStringLiteral("CGI log"));
        QVERIFY(panel->isHidden());
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        // The server outlives the program: it is ended here, whatever the checks find.
        const auto stop = qScopeGuard([&home] { stopServer(home); });
        QTRY_VERIFY_WITH_TIMEOUT(Platform::localPortAnswers(8080), 10000);

        QVERIFY(s.show("http://127.0.0.1:8080/cgi-bin/tainted.pl"));
        QVERIFY(panel->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(s.browser()->engine()->title(), QStringLiteral("taint 1"), 5000);
        // lighttpd writes its request log about once a second.
        QTRY_VERIFY_WITH_TIMEOUT(panel->requests()->toPlainText().contains(
                                         "GET /cgi-bin/tainted.pl HTTP/1.1  ->  200 OK"),
                                 10000);
        QVERIFY(panel->requests()->toPlainText().contains("answer Content-Type: text/html"));
        QCOMPARE(panel->errors()->toPlainText(), QString());

        s.browser()->navigate("http://127.0.0.1:8080/cgi-bin/dies.pl");
        QTRY_COMPARE_WITH_TIMEOUT(panel->errors()->toPlainText(),
                                  QStringLiteral("No database at /tmp/none.db\n"), 10000);
        QCOMPARE(panel->currentWidget(), panel->errors());
        QTRY_VERIFY_WITH_TIMEOUT(panel->requests()->toPlainText().contains(
                                         "GET /cgi-bin/dies.pl HTTP/1.1  ->  500 Internal "
                                         "Server Error"),
                                 10000);
        QCOMPARE(prompts->messages(), QStringList());
    }

    // What a bare lighttpd does without a configuration: print why and end at once.
    void aServerThatEndsAtOnceSaysWhatItPrinted()
    {
        TestHome home;
        home.writeFile("srv/lighttpd", "#!/bin/sh\necho 'No configuration available. Try using "
                                       "-f option.' >&2\nexit 255\n");
        QFile::setPermissions(home.path("srv/lighttpd"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TIniFile(home.path("etc/quillforge.cfg"))
                .WriteString("Files_Directories", "WebServer", home.path("srv/lighttpd"));
        Started s(home);
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        QVERIFY(button->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(prompts->messages().size(), 1, 5000);
        QCOMPARE(prompts->asked.first().kind, Prompts::Kind::Error);
        const QString message = prompts->messages().first();
        QVERIFY2(message.contains("\"" + home.path("srv/lighttpd") + "\""), qPrintable(message));
        QVERIFY2(message.contains("No configuration available. Try using -f option."),
                 qPrintable(message));
        QVERIFY(!button->isChecked());
    }

    // A CGI folder whose name would close the configuration's quotes and add a listener on
    // every interface.
    void aCgiFolderThatWouldRewriteTheServerIsRefused()
    {
        if (Platform::findWebServerProgram().isEmpty())
            QSKIP("lighttpd is not installed");
        if (Platform::localPortAnswers(8080) || Platform::localPortAnswers(8089))
            QSKIP("something else already serves 127.0.0.1:8080 or 8089");
        TestHome home;
        shipServerLauncher(home);
        const QString cgi = home.path("x\") $SERVER[\"socket\"] == \"0.0.0.0:8089\" { } #");
        QVERIFY(QDir().mkpath(cgi));
        TIniFile(home.path("etc/quillforge.cfg")).WriteString("Files_Directories", "cgi-bin", cgi);
        Started s(home);
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        QTest::qWait(1500);
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY2(prompts->messages().first().contains("The CGI folder \"" + cgi + "\""),
                 qPrintable(prompts->messages().first()));
        QVERIFY(!button->isChecked());
        QVERIFY(!Platform::localPortAnswers(8089));
        QVERIFY(!Platform::localPortAnswers(8080));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

// Qt WebEngine, loaded after the application exists, needs the shared graphics context that
// the program's own entry asks for.
int main(int argc, char **argv)
{
    // The desktop's opener, replaced by one that only writes down what it was given.
    QTemporaryDir bin;
    xdgOpenLog() = bin.path() + "/opened";
    QFile opener(bin.path() + "/xdg-open");
    if (!opener.open(QIODevice::WriteOnly))
        return 1;
    opener.write("#!/bin/sh\necho \"$*\" >> '" + xdgOpenLog().toUtf8() + "'\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    BrowserTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_browser.moc"
