#include "core/run/runner.h"
#include "core/settings/inifile.h"
#include "recordinglauncher.h"
#include "testsupport.h"
#include "ui/run/panelrun.h"
#include "ui/tools/aboutform.h"
#include "ui/tools/blinkylabel.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

namespace {

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

bool waitForRun(QPlainTextEdit *memo)
{
    PanelRun *run = PanelRun::of(memo);
    return QTest::qWaitFor([run] { return !run->isRunning(); }, 10000);
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<RecordingLauncher> m_desktop;

private slots:
    void init() { m_desktop = std::make_unique<RecordingLauncher>(); }
    void cleanup() { m_desktop.reset(); }

    void linkLabelOpensMailOrAddress()
    {
        TBlinkyLabel mail(QStringLiteral("write us"));
        mail.setURL(QStringLiteral("someone@example.org"));
        QCOMPARE(mail.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(mail.font().underline());
        mail.show();
        click(&mail);
        TBlinkyLabel web;
        web.setCaptionAsURL(true);
        web.setURL(QStringLiteral("https://example.org/a?b=c"));
        QCOMPARE(web.text(), QStringLiteral("https://example.org/a?b=c"));
        web.show();
        click(&web);
        QCOMPARE(m_desktop->calls, (QStringList{"open mailto:someone@example.org",
                                                "open https://example.org/a?b=c"}));

        // Without an address the label is plain and a click opens nothing.
        web.setURL(QString());
        QVERIFY(!web.font().underline());
        QCOMPARE(web.cursor().shape(), Qt::ArrowCursor);
        click(&web);
        QCOMPARE(m_desktop->calls.size(), 2);
    }

    void blinkingTogglesAndStopsRestored()
    {
        TBlinkyLabel l(QStringLiteral("Blink"));
        QPalette p = l.palette();
        p.setColor(QPalette::WindowText, Qt::darkGreen);
        l.setPalette(p);
        l.setBlinkRate(10);
        l.setBlinkMode(TBlinkyLabel::BlinkMode::blSwitchColors);
        l.setFontColor2(Qt::blue);
        l.setBlink(true);
        QVERIFY(QTest::qWaitFor([&] { return l.blinkedOff(); }, 2000));
        QCOMPARE(l.palette().color(QPalette::WindowText), QColor(Qt::blue));
        QVERIFY(QTest::qWaitFor([&] { return !l.blinkedOff(); }, 2000));
        QCOMPARE(l.palette().color(QPalette::WindowText), QColor(Qt::darkGreen));
        QVERIFY(QTest::qWaitFor([&] { return l.blinkedOff(); }, 2000));
        l.setBlink(false);
        QVERIFY(!l.blinkedOff());
        QCOMPARE(l.palette().color(QPalette::WindowText), QColor(Qt::darkGreen));
        QTest::qWait(50);
        QVERIFY(!l.blinkedOff());
    }

    void perlPageShowsEachOutputOnce()
    {
        TestHome home;
        TIniFile settings(home.path("etc/quillforge.cfg"));
        settings.WriteString("Files_Directories", "Perl", "perl");
        ScriptedPrompts *prompts = ScriptedPrompts::install();
        TAboutForm about(settings);
        about.open();
        auto *pages = about.findChild<QTabWidget *>("PageControl1");
        auto *memo1 = about.findChild<QPlainTextEdit *>("Memo1");
        auto *memo2 = about.findChild<QPlainTextEdit *>("Memo2");
        QCOMPARE(pages->currentIndex(), 0);
        for (int round = 0; round < 2; ++round) {
            pages->setCurrentIndex(1);
            QVERIFY(waitForRun(memo1));
            QVERIFY(waitForRun(memo2));
            const QString v = memo1->toPlainText();
            const QString details = memo2->toPlainText();
            QVERIFY2(v.startsWith(outputHeader()), qPrintable(v.left(80)));
            QVERIFY(details.startsWith(outputHeader()));
            QCOMPARE(v.count("This is perl"), 1);
            QCOMPARE(details.count("Summary of my perl"), 1);
            pages->setCurrentIndex(0);
        }
        QVERIFY(prompts->asked.isEmpty());
        // Showing again starts on the first page.
        about.open();
        pages->setCurrentIndex(1);
        about.open();
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(waitForRun(memo1) && waitForRun(memo2));

        // The picture opens the product's web address.
        click(about.findChild<QWidget *>("Image4"));
        QCOMPARE(m_desktop->calls, QStringList{"open " + TAboutForm::webAddress()});
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    AboutTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_about.moc"
