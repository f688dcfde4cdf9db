#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/shell/setdefform.h"
#include "ui/shell/welcome.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QString kLeavingQuestion = QStringLiteral(
        "You did not have saved some basic settings. However, Quillforge will run, but it is "
        "recommended to do these few options now. To do this, just click \"No\" and then "
        "\"Settings\" in the dialog.\n\nReally quit this dialog without saving?");

const QStringList kConfigKeys = {"RecentCount",
                                 "RunWebServer",
                                 "InitialView",
                                 "OpenLast",
                                 "SyntaxHighlighting",
                                 "HighlightOnNewLine",
                                 "HighlightOnKeyStroke",
                                 "Visible_LinkBar",
                                 "Visible_Explorer",
                                 "Visible_CodeInspector",
                                 "Visible_PerlOut",
                                 "Visible_Console",
                                 "Visible_TipOfDay",
                                 "Visible_Sym_FileMenu",
                                 "Visible_Sym_Standard",
                                 "Visible_Sym_Templates",
                                 "Visible_Sym_HTML",
                                 "TemplateCaptions",
                                 "LastRunSetting",
                                 "Run_AutoSaveAs",
                                 "Run_AutoSave",
                                 "AutoSave",
                                 "AutoSaveInterval",
                                 "Cmd",
                                 "HD_ID",
                                 "Welcome"};

// A wizard over its own program folder, with the settings file not yet there.
struct Fixture
{
    TestHome home;
    std::unique_ptr<TIniFile> ini;
    std::unique_ptr<TWelcome> w;

    Fixture()
    {
        QFile::remove(cfgPath());
        ini = std::make_unique<TIniFile>(cfgPath());
        w = std::make_unique<TWelcome>(ini.get(), home.dir());
        w->setResetStepDelay(0);
    }
    QString cfgPath() const { return home.path(QStringLiteral("etc/quillforge.cfg")); }
    QByteArray cfg() const { return home.readFile(QStringLiteral("etc/quillforge.cfg")); }
    QByteArray marksOnly() const
    {
        return "[Config]\nHD_ID=" + Platform::driveIdentity(home.dir()).toLatin1()
               + "\nWelcome=0\n";
    }

    template<typename T = QAbstractButton>
    T *get(const char *name) const
    {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    void click(const char *name) const { get(name)->click(); }
    QString page() const
    {
        const auto *carry = get<QStackedWidget>("pcMain")->currentWidget();
        return carry->findChild<QStackedWidget *>()->currentWidget()->objectName();
    }
    QStringList captions() const
    {
        return {get("btWelcome")->text(), get("btConfig")->text(), get("btInfo")->text()};
    }
    void nextTo(const QString &target) const
    {
        for (int i = 0; i < 10 && page() != target; ++i)
            click("btNext");
    }
};

// The test process runs as root on some machines, and root writes into read-only folders.
// Then a plain file takes the folder's place, which refuses writes to anyone.
void makeEtcUnwritable(const TestHome &home)
{
    const QString etc = home.path(QStringLiteral("etc"));
    QFile::setPermissions(etc,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    QFile probe(etc + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return;
    probe.close();
    probe.remove();
    QVERIFY(QDir().rename(etc, etc + QStringLiteral(".away")));
    QFile blocker(etc);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
}

void restoreEtc(const TestHome &home)
{
    const QString etc = home.path(QStringLiteral("etc"));
    if (QFileInfo(etc).isFile()) {
        QFile::remove(etc);
        QVERIFY(QDir().rename(etc + QStringLiteral(".away"), etc));
    }
    QFile::setPermissions(etc, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TstWelcome : public QObject
{
    Q_OBJECT

    ScriptedPrompts *prompts = nullptr;

private slots:
    void init() { prompts = ScriptedPrompts::install(); }
    void cleanup() { Prompts::install(nullptr); }

    void opensOnFirstPageWithFieldsFilled()
    {
        Fixture f;
        f.w->show();
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Welcome"));
        QCOMPARE(f.w->size(), QSize(498, 412));
        QCOMPARE(f.w->minimumSize(), f.w->maximumSize());
        QCOMPARE(f.page(), QStringLiteral("tabWelcome1"));
        QCOMPARE(f.captions(), QStringList({"\u2022 Welcome", "Config", "Info"}));
        QVERIFY(!f.get("Button2")->isEnabled());
        QCOMPARE(f.get("btNext")->text(), QStringLiteral("&Next >>"));
        QVERIFY(!f.get<QCheckBox>("chkWebSrv")->isChecked());

        // Stored as 0x00BBGGRR: red is the low byte.
        QCOMPARE(f.get<QWidget>("Panel2")->palette().color(QPalette::Window), QColor(0, 0, 215));

        const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
        QCOMPARE(f.get<QLineEdit>("edPerl")->text(),
                 perl.isEmpty() ? QStringLiteral("/usr/bin/perl") : perl);
        QCOMPARE(f.get<QLineEdit>("edWebSrv")->text(),
                 f.home.dir() + Platform::webServerLauncherName());
        QVERIFY(!f.cfg().size());
    }

    void nextWalksEveryPageInOrder()
    {
        Fixture f;
        f.w->show();
        QStringList pages, nextCaptions;
        for (int i = 0; i < 9; ++i) {
            pages << f.page();
            nextCaptions << f.get("btNext")->text();
            QVERIFY(!f.get("Button2")->isEnabled());
            if (i < 8)
                f.click("btNext");
        }
        QCOMPARE(pages, QStringList({"tabWelcome1", "tabWelcome2", "tabWelcome3", "tabWelcome4",
                                     "tabPerl", "tabWebServer", "tabDef", "tabInfo1", "tabInfo2"}));
        QStringList expected(8, QStringLiteral("&Next >>"));
        expected << QStringLiteral("&Okay");
        QCOMPARE(nextCaptions, expected);
        QCOMPARE(f.captions(), QStringList({"Welcome", "Settings", "\u2022 Information"}));

        // Crossing into the settings section marks it too.
        Fixture g;
        g.w->show();
        g.nextTo(QStringLiteral("tabPerl"));
        QCOMPARE(g.captions(), QStringList({"Welcome", "\u2022 Settings", "Information"}));

        // "&Okay" stays once given, also after jumping back.
        f.click("btWelcome");
        QCOMPARE(f.page(), QStringLiteral("tabWelcome1"));
        QCOMPARE(f.get("btNext")->text(), QStringLiteral("&Okay"));
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(f.w->isVisible());
    }

    void sectionButtonsShowFirstPage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("welcome") << "btWelcome"
                                 << "tabWelcome1"
                                 << QStringList({"\u2022 Welcome", "Settings", "Information"});
        QTest::newRow("config") << "btConfig"
                                << "tabPerl"
                                << QStringList({"Welcome", "\u2022 Settings", "Information"});
        QTest::newRow("info") << "btInfo"
                              << "tabInfo1"
                              << QStringList({"Welcome", "Settings", "\u2022 Information"});
    }

    void sectionButtonsShowFirstPage()
    {
        QFETCH(QString, button);
        QFETCH(QString, first);
        QFETCH(QStringList, captions);
        Fixture f;
        f.w->show();
        f.nextTo(QStringLiteral("tabWebServer"));
        const QByteArray name = button.toLatin1();
        f.click(name.constData());
        QCOMPARE(f.page(), first);
        QCOMPARE(f.captions(), captions);
        // From the section's second page back to its first.
        f.click("btNext");
        QVERIFY(f.page() != first);
        f.click(name.constData());
        QCOMPARE(f.page(), first);
        QCOMPARE(f.get<QToolButton>(name.constData())->cursor().shape(), Qt::PointingHandCursor);
    }

    void leavingUnsavedAsks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        for (const char *how : {"cancel", "lastNext", "escape"}) {
            QTest::addRow("%s, No", how) << how << int(QMessageBox::No) << false;
            QTest::addRow("%s, Yes", how) << how << int(QMessageBox::Yes) << true;
        }
    }

    void leavingUnsavedAsks()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Fixture f;
        f.w->show();
        prompts->buttonAnswers.push_back(QMessageBox::StandardButton(answer));
        if (how == QLatin1String("cancel")) {
            f.click("Button1");
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(f.w.get(), Qt::Key_Escape);
        } else {
            f.nextTo(QStringLiteral("tabInfo2"));
            f.click("btNext");
        }

        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked[0].kind, Prompts::Kind::Warning);
        QCOMPARE(prompts->asked[0].text, kLeavingQuestion);
        QCOMPARE(prompts->asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.w->isVisible(), !closes);
        if (closes) {
            QCOMPARE(f.w->result(), int(QDialog::Accepted));
            QCOMPARE(f.cfg(), f.marksOnly());
            QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{4}-[0-9A-F]{4}$"))
                            .match(f.ini->ReadString("Config", "HD_ID", QString()))
                            .hasMatch());
        } else {
            QVERIFY(!QFile::exists(f.cfgPath()));
        }
    }

    void savedThenLeavingWritesEverythingWithoutQuestion_data()
    {
        QTest::addColumn<bool>("viaLastPage");
        QTest::newRow("cancel") << false;
        QTest::newRow("okay on last page") << true;
    }

    void savedThenLeavingWritesEverythingWithoutQuestion()
    {
        QFETCH(bool, viaLastPage);
        Fixture f;
        f.home.writeFile("etc/quillforge.cfg", "[Recent]\n06.12.2026 18:51:21=/home/a/x.pl\n"
                                               "[Mine]\nKeep=1\n[CustomLinks]\nLink0=a|b\n");
        f.w->show();
        f.nextTo(QStringLiteral("tabWebServer"));
        f.get<QLineEdit>("edPerl")->setText(QStringLiteral("/opt/perl 5/bin/perl"));
        f.get<QLineEdit>("edWebSrv")->setText(QStringLiteral("/srv/web/launch"));
        f.get<QCheckBox>("chkWebSrv")->setChecked(true);
        f.click("btNext");
        QCOMPARE(f.page(), QStringLiteral("tabDef"));

        f.click("btSave");
        QVERIFY(f.w->settingsSaved());
        QCOMPARE(f.page(), QStringLiteral("tabDef"));
        QVERIFY(f.w->isVisible());
        QVERIFY(f.get("btSave")->isEnabled());
        QVERIFY(f.w->findChildren<TSetDefForm *>().isEmpty());
        QCOMPARE(f.ini->ReadString("Config", "HD_ID", "unset"), QString());

        if (viaLastPage)
            f.nextTo(QStringLiteral("tabInfo2"));
        f.click(viaLastPage ? "btNext" : "Button1");
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(!f.w->isVisible());
        QCOMPARE(f.w->result(), int(QDialog::Accepted));

        QStringList sections, keys;
        f.ini->ReadSections(sections);
        QCOMPARE(sections, QStringList({"Mine", "Config", "CodeInspector", "Files_Directories"}));
        f.ini->ReadSection("Config", keys);
        QCOMPARE(keys, kConfigKeys);
        QCOMPARE(f.ini->ReadString("Config", "HD_ID", QString()),
                 Platform::driveIdentity(f.home.dir()));
        QCOMPARE(f.ini->ReadString("Config", "Welcome", QString()), QStringLiteral("0"));
        QCOMPARE(f.ini->ReadString("Config", "RunWebServer", QString()), QStringLiteral("1"));
        QCOMPARE(f.ini->ReadString("Config", "Cmd", QString()),
                 Platform::defaultCommandInterpreter());
        f.ini->ReadSection("CodeInspector", keys);
        QCOMPARE(keys.size(), 5);
        QStringList locations;
        f.ini->ReadSectionValues("Files_Directories", locations);
        QCOMPARE(locations, QStringList({"Perl=/opt/perl 5/bin/perl", "WebServer=/srv/web/launch",
                                         "LocalHost=" + Platform::localHttpAddress() + "/cgi-bin"}));
        QCOMPARE(f.ini->ReadString("Mine", "Keep", QString()), QStringLiteral("1"));
    }

    void closeBoxWritesMarksAndRejects()
    {
        Fixture f;
        QTimer::singleShot(0, f.w.get(), [&f] { f.w->close(); });
        QCOMPARE(f.w->exec(), int(QDialog::Rejected));
        QVERIFY(prompts->asked.isEmpty());
        QCOMPARE(f.cfg(), f.marksOnly());
    }

    // Leaving while the reset runs waits for its end; closing at once would let the reset
    // overwrite HD_ID with an empty text and bring the wizard back at every start.
    void leavingDuringResetWaitsForIt_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }

    void leavingDuringResetWaitsForIt()
    {
        QFETCH(bool, closeBox);
        Fixture f;
        f.w->setResetStepDelay(4);
        f.w->show();
        f.nextTo(QStringLiteral("tabDef"));
        bool fired = false;
        QTimer::singleShot(30, f.w.get(), [&] {
            fired = true;
            QVERIFY(!f.w->findChildren<TSetDefForm *>().isEmpty()); // still resetting
            if (closeBox)
                f.w->close();
            else
                f.click("Button1");
        });
        f.click("btSave");
        QVERIFY(fired);
        QVERIFY(f.w->settingsSaved());
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(!f.w->isVisible());
        QCOMPARE(f.w->result(), int(closeBox ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(f.ini->ReadString("Config", "HD_ID", QString()),
                 Platform::driveIdentity(f.home.dir()));
        QStringList keys;
        f.ini->ReadSection("Files_Directories", keys);
        QCOMPARE(keys.size(), 4);
    }

    void refusedWriteDuringSaveKeepsWizardUsable()
    {
        Fixture f;
        f.w->show();
        f.nextTo(QStringLiteral("tabDef"));
        makeEtcUnwritable(f.home);
        f.click("btSave");
        restoreEtc(f.home);

        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked[0].kind, Prompts::Kind::Error);
        QCOMPARE(prompts->asked[0].text, "Unable to write to " + f.cfgPath());
        QVERIFY(!f.w->settingsSaved());
        QVERIFY(f.w->isVisible());
        QVERIFY(f.get("btSave")->isEnabled());
        QVERIFY(f.w->findChildren<TSetDefForm *>().isEmpty());
        QVERIFY(!QFile::exists(f.cfgPath()));

        // Once the folder takes files again, the same wizard saves and leaves quietly.
        f.click("btSave");
        QVERIFY(f.w->settingsSaved());
        f.click("Button1");
        QCOMPARE(prompts->asked.size(), 1);
        QVERIFY(!f.w->isVisible());
    }

    void refusedWriteOnCloseIsShownAndStillCloses()
    {
        Fixture f;
        f.w->show();
        makeEtcUnwritable(f.home);
        prompts->buttonAnswers.push_back(QMessageBox::Yes);
        f.click("Button1");
        restoreEtc(f.home);
        QCOMPARE(prompts->messages(),
                 QStringList({kLeavingQuestion, "Unable to write to " + f.cfgPath()}));
        QCOMPARE(prompts->asked[1].kind, Prompts::Kind::Error);
        QVERIFY(!f.w->isVisible());
        QCOMPARE(f.w->result(), int(QDialog::Accepted));
    }

    void progressWindowShowsEachStepBeforeItsWrite()
    {
        TestHome home;
        QFile::remove(home.path("etc/quillforge.cfg"));
        TIniFile ini(home.path("etc/quillforge.cfg"));
        TSetDefForm form;
        QCOMPARE(form.size(), QSize(347, 52));
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form.currentLabel(), QStringLiteral("[...]"));
        QVERIFY(form.findChild<QLabel *>("lSet"));
        bool boldWait = false;
        for (const QLabel *l : form.findChildren<QLabel *>())
            boldWait |= l->text() == QLatin1String("Please wait...") && l->font().bold();
        QVERIFY(boldWait);

        form.setValues("/usr/bin/perl", "/srv/launch", false);
        form.setStepDelay(30); // long enough for the poll to see every step on a busy machine
        form.show();
        QStringList seen;
        bool locationsEarly = false;
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, &form, [&] {
            const QString label = form.currentLabel();
            if (!seen.isEmpty() && seen.last() == label)
                return;
            seen << label;
            if (label == QLatin1String("setting locations..."))
                locationsEarly = ini.SectionExists("Files_Directories");
        });
        poll.start();
        QVERIFY(form.WriteDefaults(ini));
        poll.stop();

        QCOMPARE(form.currentLabel(), QStringLiteral("finishing..."));
        QVERIFY(!locationsEarly);
        seen.removeAll(QStringLiteral("finishing..."));
        QCOMPARE(seen.size(), 35); // 36 waited steps, two of them share a label
        QCOMPARE(seen.first(), QStringLiteral("recent files max count"));
        QCOMPARE(seen.last(), QStringLiteral("setting locations..."));
        QCOMPARE(ini.ReadString("Config", "RunWebServer", QString()), QStringLiteral("0"));
        QCOMPARE(ini.ReadString("Files_Directories", "WebServer", QString()),
                 QStringLiteral("/srv/launch"));
    }

    // Every caption and text must be readable in full at the wizard's fixed size.
    void nothingIsClipped()
    {
        Fixture f;
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        for (int i = 0; i < 9; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QString page = f.page();
            const QRect client = f.w->rect();
            for (QWidget *c : f.w->findChildren<QWidget *>()) {
                if (!c->isVisible())
                    continue;
                const QRect inDialog(c->mapTo(f.w.get(), QPoint(0, 0)), c->size());
                QVERIFY2(client.contains(inDialog), qPrintable(page + ": " + c->objectName()));
                QString what = page + ": " + c->metaObject()->className() + " ";
                if (auto *l = qobject_cast<QLabel *>(c)) {
                    what += l->text().left(40);
                    if (l->wordWrap())
                        QVERIFY2(l->height() >= l->heightForWidth(l->width()), qPrintable(what));
                    else
                        QVERIFY2(l->width() >= l->sizeHint().width()
                                         && l->height() >= l->sizeHint().height(),
                                 qPrintable(what));
                } else if (auto *b = qobject_cast<QAbstractButton *>(c)) {
                    what += b->text();
                    QVERIFY2(b->width() >= b->minimumSizeHint().width()
                                     && b->height() >= b->minimumSizeHint().height(),
                             qPrintable(what));
                }
            }
            if (i < 8)
                f.click("btNext");
        }
    }

    void detectPerlNamesTheInterpreterOnPath()
    {
        QCOMPARE(DetectPerl(), QStandardPaths::findExecutable(QStringLiteral("perl")));
    }
};

QTEST_MAIN(TstWelcome)
#include "tst_welcome.moc"
