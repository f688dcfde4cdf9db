// The central page's views, the browser page and the preview, with a recording browser in
// place of Qt WebEngine (tst_browser drives the real one).
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/run/browser.h"
#include "ui/run/codeprev.h"
#include "ui/run/openurl.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// Follows every navigation at once, asking the page's check first as the real control does.
class RecordingEngine : public BrowserEngine
{
public:
    RecordingEngine(QWidget *parent, const Handlers *handlers)
        : m_handlers(*handlers)
    {
        m_widget = new QWidget(parent);
        m_widget->setObjectName(QStringLiteral("IE"));
        m_widget->setFocusPolicy(Qt::StrongFocus);
        s_last = this;
    }
    ~RecordingEngine() override { s_last = nullptr; }

    // A link followed inside the page.
    bool follow(const QUrl &url)
    {
        if (m_handlers.beforeNavigate && !m_handlers.beforeNavigate(url))
            return false;
        loads << url;
        m_url = url;
        m_handlers.navigateComplete(url);
        m_handlers.loadFinished(true);
        return true;
    }

    QWidget *widget() override { return m_widget; }
    void navigate(const QUrl &url) override { follow(url); }
    bool canGoBack() const override { return false; }
    bool canGoForward() const override { return false; }
    void goBack() override {}
    void goForward() override {}
    void reload() override { ++reloads; }
    void stop() override {}
    QUrl url() const override { return m_url; }
    QString title() const override { return {}; }

    const Handlers m_handlers;
    QList<QUrl> loads;
    int reloads = 0;
    static RecordingEngine *s_last;

private:
    QWidget *m_widget = nullptr;
    QUrl m_url;
};
RecordingEngine *RecordingEngine::s_last = nullptr;

struct Started : MainWindowFixture
{
    explicit Started(const TestHome &home, int initialView = 0)
        : MainWindowFixture(home, {QStringLiteral("Config/InitialView=%1").arg(initialView)})
    {}
    QString caption() const { return w->findChild<QLabel *>("CapPanel")->text(); }
    QString page() const
    {
        return w->findChild<QStackedWidget *>("Carry2")->currentWidget()->objectName();
    }
    bool fileMenuEnabled() const { return w->findChild<QToolBar *>("FileMenu")->isEnabled(); }
    QComboBox *edURL() const { return w->findChild<QComboBox *>("edURL"); }
    QString status() const { return w->findChild<QLabel *>("sBarPanel4")->text(); }
    bool checked(const char *name) const { return w->findChild<QAction *>(name)->isChecked(); }
    RecordingEngine *ie() const { return RecordingEngine::s_last; }
    QStringList loads() const
    {
        QStringList out;
        if (ie()) {
            for (const QUrl &u : ie()->loads)
                out << (u.isLocalFile() ? u.toLocalFile() : u.toString());
        }
        return out;
    }
    void typeAddress(const QString &text) const
    {
        edURL()->setEditText(text);
        QTest::keyClick(edURL()->lineEdit(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
};

// Answers the next open-address dialog: Okay with text, or Cancel when text is null.
void answerOpenUrl(ScriptedPrompts *prompts, const QString &text, QStringList *listShown = nullptr)
{
    prompts->dialogAnswers.push_back([text, listShown](QDialog &d) {
        auto *dlg = qobject_cast<TOpenURL *>(&d);
        if (!dlg)
            return int(QDialog::Rejected);
        if (listShown) {
            for (int i = 0; i < dlg->urlEdit()->count(); ++i)
                *listShown << dlg->urlEdit()->itemText(i);
        }
        if (text.isNull()) {
            dlg->findChild<QPushButton *>("btCancel")->click();
        } else {
            dlg->urlEdit()->setEditText(text);
            dlg->findChild<QPushButton *>("btOkay")->click();
        }
        return dlg->result();
    });
}

} // namespace

class ViewsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        BrowserPage::setEngineFactory([](QWidget *parent, const BrowserEngine::Handlers *h) {
            return new RecordingEngine(parent, h);
        });
    }
    void init() { prompts = ScriptedPrompts::install(); }

    void startInTheCodeViewCreatesNoBrowser()
    {
        TestHome home;
        Started s(home);
        QCOMPARE(s.page(), QStringLiteral("CodeSheet"));
        QCOMPARE(s.caption(), QStringLiteral("Source code"));
        QVERIFY(!s->findChild<QWidget *>("IE"));
        QVERIFY(s->findChild<QToolBar *>("ToolBar5"));
        QCOMPARE(s.edURL()->currentText(), QStringLiteral("/"));
        s.trigger("vSetHelp");
        QVERIFY(s->findChild<QWidget *>("IE"));
    }

    void everyViewShowsItsPageAndCaption()
    {
        TestHome home;
        home.writeFile("doc/today/index.html", "<p>###tasknum### tasks</p>\n");
        Started s(home);
        struct Case
        {
            const char *action;
            const char *page;
            const char *caption;
            const char *load;
        };
        const Case cases[] = {
                {"vSetHelp", "IESheet", "Help", "doc/help/index.html"},
                {"vSetTasks", "TaskSheet", "Tasks", nullptr},
                {"vSetToday", "IESheet", "Quillforge Today", "doc/template.html"},
                {"vSetCode", "CodeSheet", "Source code", nullptr},
                {"btHelp", "IESheet", "Help", "doc/help/index.html"},
                {"Contents1", "IESheet", "Help", "doc/help/index.html"},
        };
        for (const Case &c : cases) {
            const int before = s.loads().size();
            s.trigger(c.action);
            QCOMPARE(s.page(), QLatin1String(c.page));
            QCOMPARE(s.caption(), QLatin1String(c.caption));
            QVERIFY(s.fileMenuEnabled());
            if (c.load)
                QCOMPARE(s.loads().mid(before), QStringList{home.path(c.load)});
            else
                QCOMPARE(s.loads().size(), before);
        }
        QVERIFY(s.checked("vSetHelp"));
        QVERIFY(home.readFile("doc/template.html").startsWith("<p>0 tasks</p>\r\n"));

        s->SetView(ViewKind::vkBrowse, home.path("doc/help/editing.html"));
        QCOMPARE(s.page(), QStringLiteral("IESheet"));
        QCOMPARE(s.caption(), QStringLiteral("editing.html"));
        QCOMPARE(s.loads().last(), home.path("doc/help/editing.html"));
        QVERIFY(!s.checked("vSetHelp")); // an address belongs to no view command
        QVERIFY(s->findChild<QWidget *>("IE")->hasFocus() || !s->isActiveWindow());
    }

    void todayWithoutItsTemplateSaysSoAndStays()
    {
        TestHome home;
        QFile::remove(home.path("doc/today/index.html"));
        Started s(home);
        s.trigger("vSetToday");
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains("doc/today/index.html"));
        QCOMPARE(s.page(), QStringLiteral("CodeSheet"));
        QCOMPARE(s.caption(), QStringLiteral("Source code"));
    }

    void sourceAndHtmlViewsNeedAScript()
    {
        TestHome home;
        Started s(home);
        s.trigger("vSetTasks");
        s->documents().closeCurrentNow();
        QVERIFY(!s->CurrentDocument());
        s.trigger("vSetHTML");
        s.trigger("vSetCode");
        QCOMPARE(s.page(), QStringLiteral("TaskSheet"));
        QCOMPARE(s.caption(), QStringLiteral("Tasks"));
        QVERIFY(s.fileMenuEnabled());
        QVERIFY(prompts->asked.isEmpty());

        // A file named for the source view is opened first.
        home.writeFile("a.pl", "print 1;\n");
        s->SetView(ViewKind::vkSource, home.path("a.pl"));
        QCOMPARE(s.page(), QStringLiteral("CodeSheet"));
        QCOMPARE(s->CurrentDocument()->FileName, home.path("a.pl"));
    }

    void pseudoLinksSwitchViewsAndNeverLoad()
    {
        TestHome home;
        Started s(home);
        s.trigger("vSetHelp");
        const int loaded = s.loads().size();

        QVERIFY(!s.ie()->follow(QUrl("cmd:Help")));
        QTest::qWait(20);
        QCOMPARE(s.caption(), QStringLiteral("Help"));

        s.trigger("vSetCode");
        s.ie()->follow(QUrl("cmd:help"));
        QTRY_COMPARE(s.caption(), QStringLiteral("Help"));

        QVERIFY(!s.ie()->follow(QUrl("cmd:tasks:more")));
        QTRY_COMPARE(s.page(), QStringLiteral("TaskSheet"));

        s.ie()->follow(QUrl("cmd:perlref"));
        QTRY_COMPARE(s.caption(), QStringLiteral("CPAN Perl reference"));
        QVERIFY(s.loads().last().endsWith("doc/perlref/index.html"));

        QVERIFY(!s.ie()->follow(QUrl("cmd:format")));
        QVERIFY(!s.ie()->follow(QUrl("http://127.0.0.1:8080/?x=cmd:help")));
        QTest::qWait(20);
        QCOMPARE(s.caption(), QStringLiteral("CPAN Perl reference"));
        // Three loads: the help page once more and the reference; no pseudo-link got through.
        QCOMPARE(s.loads().size(), loaded + 2);
        for (const QString &l : s.loads())
            QVERIFY2(!l.contains("cmd:"), qPrintable(l));
    }

    void editorLinkOpensTheLastScriptWhenItExists()
    {
        TestHome home;
        Started s(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteString("SRecent", "LastOpened", home.path("gone.pl"));
        s.trigger("vSetHelp");
        s.ie()->follow(QUrl("cmd:editor"));
        QTRY_COMPARE(s.page(), QStringLiteral("CodeSheet"));
        QCOMPARE(s->documents().all().size(), size_t(1));

        home.writeFile("last.pl", "1;\n");
        ini.WriteString("SRecent", "LastOpened", home.path("last.pl"));
        s.trigger("vSetHelp");
        s.ie()->follow(QUrl("cmd:editor"));
        QTRY_COMPARE(s->documents().all().size(), size_t(2));
        QCOMPARE(s->CurrentDocument()->FileName, home.path("last.pl"));
        QCOMPARE(s.caption(), QStringLiteral("Source code"));
    }

    void addressBoxBrowsesAndKeepsItsList()
    {
        TestHome home;
        home.writeFile("site/out.html", "<p>out</p>");
        Started s(home);
        s.typeAddress(home.path("site/out.html"));
        QCOMPARE(s.page(), QStringLiteral("IESheet"));
        QCOMPARE(s.caption(), QStringLiteral("out.html"));
        QCOMPARE(s.loads(), QStringList{home.path("site/out.html")});

        s.typeAddress(home.path("site/Prev.HTML"));
        QCOMPARE(s.caption(), QStringLiteral("Perl's output preview"));
        s.typeAddress(home.path("site/"));
        QCOMPARE(s.caption(), QString());
        s.typeAddress("www.example.org/page 2.html");
        QCOMPARE(s.loads().last(), QStringLiteral("http://www.example.org/page 2.html"));

        const int loaded = s.loads().size();
        s.typeAddress("cmd:tasks");
        QTest::qWait(20);
        QCOMPARE(s.loads().size(), loaded);
        QCOMPARE(s.page(), QStringLiteral("IESheet"));
        s.typeAddress(home.path("SITE/OUT.HTML").replace(home.dir(), home.dir()));

        QStringList items;
        for (int i = 0; i < s.edURL()->count(); ++i)
            items << s.edURL()->itemText(i);
        QCOMPARE(items.count("cmd:tasks"), 1);
        QCOMPARE(items.filter("out.html", Qt::CaseInsensitive).size(), 1);
        QCOMPARE(items.first(), home.path("site/out.html"));

        // Choosing an entry of the list loads it and leaves page and caption alone.
        s.trigger("vSetTasks");
        emit s.edURL()->activated(0);
        QCOMPARE(s.loads().last(), home.path("site/out.html"));
        QCOMPARE(s.page(), QStringLiteral("TaskSheet"));
        QCOMPARE(s.caption(), QStringLiteral("Tasks"));
    }

    void browserReportsGoToTheStatusBar()
    {
        TestHome home;
        Started s(home);
        s.trigger("vSetHelp");
        const BrowserEngine::Handlers &h = s.ie()->m_handlers;
        h.progressChange(30, 100);
        QCOMPARE(s.status(), QStringLiteral("Loading 30 of 100 kb"));
        h.progressChange(30, 0);
        QCOMPARE(s.status(), QStringLiteral("Finished."));
        h.progressChange(30, 100);
        h.progressChange(-1, 100);
        QCOMPARE(s.status(), QStringLiteral("Finished."));
        h.statusTextChange("file:///x/y.html");
        QCOMPARE(s.status(), QStringLiteral("file:///x/y.html"));
        // Back with no earlier page: the control's complaint, and the view stays.
        s->findChild<QToolButton *>("ToolButton15")->click();
        QCOMPARE(prompts->messages().size(), 1);
        QCOMPARE(s.caption(), QStringLiteral("Help"));
    }

    void htmlViewAsksForTheAddressUntilOneIsGiven()
    {
        TestHome home;
        Started s(home);
        s.trigger("vSetHelp");
        const int loaded = s.loads().size();
        s.trigger("vSetCode");

        answerOpenUrl(prompts, QString()); // Cancel
        s.trigger("vSetHTML");
        QCOMPARE(s.page(), QStringLiteral("IESheet"));
        QCOMPARE(s.caption(), QStringLiteral("HTML"));
        QVERIFY(!s.fileMenuEnabled());
        QCOMPARE(s.loads().size(), loaded);
        QVERIFY(s->CurrentDocument()->HTMLFile.isEmpty());

        answerOpenUrl(prompts, home.path("form.html"));
        s.trigger("vSetHTML");
        QCOMPARE(s->CurrentDocument()->HTMLFile, home.path("form.html"));
        QVERIFY(s->CurrentDocument()->HTMLGiven);
        QCOMPARE(s.loads().last(), home.path("form.html"));

        // Given now: no more questions; without reloading only the shown page is refreshed.
        s.trigger("vSetCode");
        QVERIFY(s.fileMenuEnabled());
        s.trigger("vSetHTML");
        QCOMPARE(s.loads().size(), loaded + 2);
        s->CurrentDocument()->HTMLUpdate = false;
        s.trigger("vSetHTML");
        QCOMPARE(s.loads().size(), loaded + 2);
        QCOMPARE(s.ie()->reloads, 1);
    }

    void setOtherHtmlFileChoosesWithoutSwitching()
    {
        TestHome home;
        Started s(home);
        QCOMPARE(s->findChild<QAction *>("SetotherHTMLfile1")->shortcut(), QKeySequence("Ctrl+H"));
        answerOpenUrl(prompts, "http://127.0.0.1:8080/form.html");
        s.trigger("SetotherHTMLfile1");
        QCOMPARE(s->CurrentDocument()->HTMLFile, QStringLiteral("http://127.0.0.1:8080/form.html"));
        QVERIFY(!s->CurrentDocument()->HTMLGiven);
        QCOMPARE(s.page(), QStringLiteral("CodeSheet"));

        s.trigger("vSetHTML"); // no dialog: one would block here
        QCOMPARE(s.loads().last(), QStringLiteral("http://127.0.0.1:8080/form.html"));

        answerOpenUrl(prompts, QString());
        s.trigger("SetHTMLfile2");
        QCOMPARE(s->CurrentDocument()->HTMLFile, QStringLiteral("http://127.0.0.1:8080/form.html"));

        s->documents().closeCurrentNow();
        s.trigger("SetotherHTMLfile3");
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().startsWith("Doh!"));
    }

    void openUrlListIsStoredOnceEach()
    {
        TestHome home;
        TIniFile ini(home.path("etc/quillforge.cfg"));
        home.writeFile("etc/quillforge.cfg", "[RecentURLs]\nURL0=http://a/\nURL4=/tmp/"
                                             "b.html\nnonsense\nURL9=HTTP://A/\nURL2=\n");
        Started s(home);
        QStringList shown;
        answerOpenUrl(prompts, QString(), &shown);
        s.trigger("SetotherHTMLfile1");
        QCOMPARE(shown, QStringList({"http://a/", "/tmp/b.html"}));
        QCOMPARE(ini.ReadString("RecentURLs", "URL9", ""),
                 QStringLiteral("HTTP://A/")); // Cancel stores nothing

        shown.clear();
        answerOpenUrl(prompts, "http://c/", &shown);
        s.trigger("SetotherHTMLfile1");
        QCOMPARE(shown, QStringList({"http://a/", "/tmp/b.html"}));
        QStringList keys;
        ini.ReadSection("RecentURLs", keys);
        QCOMPARE(keys, QStringList({"URL0", "URL1", "URL2"}));
        QCOMPARE(ini.ReadString("RecentURLs", "URL2", ""), QStringLiteral("http://c/"));

        shown.clear();
        answerOpenUrl(prompts, "HTTP://C/", &shown);
        s.trigger("SetotherHTMLfile1");
        QCOMPARE(shown, QStringList({"http://a/", "/tmp/b.html", "http://c/"}));
        keys.clear();
        ini.ReadSection("RecentURLs", keys);
        QCOMPARE(keys.size(), 3);
        // The dialog keeps the last text between showings.
        auto *dlg = s->findChild<TOpenURL *>();
        QCOMPARE(dlg->urlEdit()->currentText(), QStringLiteral("HTTP://C/"));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("URL"));
    }

    void previewSavesTheOutputAndShowsIt()
    {
        TestHome home;
        Started s(home);
        auto *out = s->findChild<QPlainTextEdit *>("PerlOut");
        auto *button = s->findChild<QToolButton *>("btHTMLPrev");
        QVERIFY(button->isEnabled());
        out->setPlainText("<!-- perl -w x.pl -->\nContent-Type: text/html\n\n<h1>Hi</h1>");
        button->click();
        QCOMPARE(
                home.readFile("etc/prev.html"),
                QByteArray(
                        "<!-- perl -w x.pl -->\r\nContent-Type: text/html\r\n\r\n<h1>Hi</h1>\r\n"));
        QCOMPARE(s.caption(), QStringLiteral("Perl's output preview"));
        QCOMPARE(s.loads().last(), home.path("etc/prev.html"));

        out->clear();
        button->click();
        QCOMPARE(home.readFile("etc/prev.html"), QByteArray());
        QCOMPARE(s.loads().size(), 2);

        // A preview that cannot be written says so and leaves the view alone.
        s.trigger("vSetCode");
        QFile::remove(home.path("etc/prev.html"));
        QDir().mkpath(home.path("etc/prev.html/blocked"));
        button->click();
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains(home.path("etc/prev.html")));
        QCOMPARE(s.caption(), QStringLiteral("Source code"));
    }

    void overviewDrawsEveryOutputLine()
    {
        TestHome home;
        Started s(home);
        auto *out = s->findChild<QPlainTextEdit *>("PerlOut");
        QStringList lines;
        for (int i = 0; i < 30; ++i)
            lines << QStringLiteral("line %1 ").arg(i).repeated(i % 7 + 1);
        out->setPlainText(lines.join('\n'));
        QWidget *header = s->findChild<QWidget *>("pPerlHeader");
        QTest::mouseClick(header, Qt::LeftButton);
        auto *prev = s->findChild<TCodePrevForm *>();
        QVERIFY(prev);
        QTRY_VERIFY(prev->isVisible());
        QCOMPARE(prev->lines(), lines);
        const QFontMetrics fm(TCodePrevForm::drawingFont());
        int widest = 0;
        for (const QString &l : lines)
            widest = qMax(widest, fm.horizontalAdvance(l));
        auto *image = prev->findChild<QWidget *>("Image1");
        QVERIFY(image->width() >= widest + 2);
        QVERIFY(image->height() >= 10 * lines.size());
        prev->findChild<QToolButton *>("Panel3")->click();
        QTRY_VERIFY(!prev->isVisible());
        QCOMPARE(s->findChildren<TCodePrevForm *>().size(), 1);
    }

    // Wide output beside a console: placed just above the panel, the window would reach past
    // the screen's right edge, and its close button with it.
    void overviewStaysOnTheScreen()
    {
        TestHome home;
        MainWindowFixture s(home, {"Config/InitialView=0", "Config/Visible_Console=1"});
        auto *out = s.get<QPlainTextEdit>("PerlOut");
        out->setPlainText(QStringLiteral("a wide line of output ").repeated(40) + "\nend");
        QTest::mouseClick(s.get<QWidget>("pPerlHeader"), Qt::LeftButton);
        auto *prev = s->findChild<TCodePrevForm *>();
        QTRY_VERIFY(prev && prev->isVisible());
        const QRect screen = prev->screen()->availableGeometry();
        QVERIFY2(screen.contains(prev->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(prev->frameGeometry().x())
                                    .arg(prev->frameGeometry().y())
                                    .arg(prev->frameGeometry().width())
                                    .arg(prev->frameGeometry().height())));
    }

    void webServerButtonReportsAMissingProgram()
    {
        TestHome home;
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteString("Files_Directories", "WebServer", home.path("no server/start"));
        Started s(home);
        QAction *button = s->findChild<QAction *>("btWebServ");
        button->trigger();
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains("\"" + home.path("no server/start") + "\""));
        QCOMPARE(prompts->asked.first().kind, Prompts::Kind::Error);
        QVERIFY(!button->isChecked());
    }

    void webServerStartsOnceAtStartUpWhenAsked()
    {
        TestHome home;
        TIniFile ini(home.path("etc/quillforge.cfg"));
        const QString marker = home.path("started");
        home.writeFile("srv/run",
                       QStringLiteral("#!/bin/sh\necho x >> '%1'\n").arg(marker).toUtf8());
        QFile::setPermissions(home.path("srv/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ini.WriteString("Files_Directories", "WebServer", home.path("srv/run"));
        ini.WriteBool("Config", "RunWebServer", true);
        Started s(home);
        QVERIFY(s->findChild<QAction *>("btWebServ")->isChecked());
        QTRY_COMPARE(home.readFile("started"), QByteArray("x\n"));
        QTest::qWait(100);
        QCOMPARE(home.readFile("started"), QByteArray("x\n"));
        QVERIFY(prompts->asked.isEmpty());
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(ViewsTest)
#include "tst_views.moc"
