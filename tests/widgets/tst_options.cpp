#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/editor/colorpage.h"
#include "ui/run/runcommands.h"
#include "ui/run/runform.h"
#include "ui/run/schemepage.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/options.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

const QString kCfg = QStringLiteral("etc/quillforge.cfg");

struct Started : MainWindowFixture
{
    explicit Started(const TestHome &home)
        : MainWindowFixture(home)
    {}
    TOptions *dlg() const { return w->options(); }
    template<typename T>
    T *get(const char *name) const
    {
        // The dialog first: the main window has its own SpeedButton1..10.
        T *c = dlg()->findChild<T *>(QLatin1String(name));
        if (!c)
            c = w->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no widget %s", name);
        return c;
    }
    QString page() const { return get<QTabWidget>("OpPages")->currentWidget()->objectName(); }
    void showOptions() const { dlg()->open(TOptions::Page::General); }
};

} // namespace

class OptionsTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void intervalsAreShownInWholeUnitsAndStoredInMilliseconds()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteInteger("Config", "AutoSaveInterval", 90000);
        ini.WriteInteger("CodeInspector", "UpdateInterval", 61500);
        Started s(home);
        s.showOptions();
        QCOMPARE(s.get<QSpinBox>("edAutoSaveInterval")->value(), 1);
        QCOMPARE(s.get<QSpinBox>("edUpdateInterval")->value(), 61);
        s.get<QSpinBox>("edAutoSaveInterval")->setValue(5);
        s.get<QSpinBox>("edUpdateInterval")->setValue(-2); // any integer is taken
        s.dlg()->applySettings();
        QCOMPARE(ini.ReadInteger("Config", "AutoSaveInterval", 0), 300000);
        QCOMPARE(ini.ReadInteger("CodeInspector", "UpdateInterval", 0), -2000);
    }

    void acceptWritesEveryFieldAndTheMainWindowFollows()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        auto *bars = s.get<QListWidget>("lvVisibleBars");
        bars->item(0)->setCheckState(Qt::Unchecked);
        bars->item(1)->setCheckState(Qt::Unchecked);
        s.get<QLineEdit>("edPerlLoc")->setText("/opt/perl/bin/perl");
        s.get<QComboBox>("cbView")->setCurrentIndex(0);
        s.get<QCheckBox>("chkView")->click(); // hide the link bar
        s.dlg()->applySettings();
        TIniFile ini(home.path(kCfg));
        // The menu bar stays whatever the list shows: without it the options are out of reach.
        QCOMPARE(ini.ReadString("Config", "Visible_Sym_FileMenu", ""), QStringLiteral("1"));
        QCOMPARE(ini.ReadString("Config", "Visible_Sym_Standard", ""), QStringLiteral("0"));
        QCOMPARE(ini.ReadString("Config", "Visible_LinkBar", ""), QStringLiteral("0"));
        QCOMPARE(ini.ReadString("Files_Directories", "Perl", ""),
                 QStringLiteral("/opt/perl/bin/perl"));
        QCOMPARE(ini.ReadString("Config", "Run_AutoSave", ""), QStringLiteral("1"));
        QVERIFY(s.get<QToolBar>("ToolBar1")->isHidden());
        QVERIFY(!s.get<QToolBar>("FileMenu")->isHidden());
        QVERIFY(s.get<QWidget>("pLinkBar")->isHidden());
    }

    // Accept on a file that holds only the drive: each field shows its reader's default and
    // the keys arrive in the order of the dialog's writes.
    void acceptOnAnEmptyFileStoresTheDefaultsInOrder()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        s.dlg()->applySettings();
        TIniFile ini(home.path(kCfg));
        QStringList pairs;
        ini.ReadSection("Config", pairs);
        for (QString &k : pairs)
            k += u'=' + ini.ReadString("Config", k, "<none>");
        const QStringList expected = {"HD_ID=" + Platform::driveIdentity(home.dir()),
                                      "RecentCount=8",
                                      "RunWebServer=0",
                                      "InitialView=0",
                                      "OpenLast=1",
                                      "SyntaxHighlighting=1",
                                      "HighlightOnNewLine=1",
                                      "HighlightOnKeyStroke=0",
                                      "Visible_LinkBar=1",
                                      "Visible_Explorer=1",
                                      "Visible_CodeInspector=1",
                                      "Visible_PerlOut=1",
                                      "Visible_Console=1",
                                      "Visible_TipOfDay=1",
                                      "Visible_Sym_FileMenu=1",
                                      "Visible_Sym_Standard=1",
                                      "Visible_Sym_Templates=1",
                                      "Visible_Sym_HTML=1",
                                      "TemplateCaptions=1",
                                      "Run_AutoSaveAs=" + Platform::defaultRunAutoSaveAs(),
                                      "Run_AutoSave=1",
                                      "AutoSave=0",
                                      "AutoSaveInterval=0",
                                      "Cmd=" + Platform::defaultCommandInterpreter(),
                                      "RunInScriptFolder=1",
                                      "CriticSeverity=5"};
        QCOMPARE(pairs, expected);
        QStringList files;
        ini.ReadSection("Files_Directories", files);
        QCOMPARE(files, QStringList({"Perl", "WebServer", "cgi-bin", "LocalHost"}));
        QCOMPARE(ini.ReadString("Files_Directories", "cgi-bin", ""),
                 QDir::cleanPath(home.dir()) + "/cgi-bin");
        QCOMPARE(ini.ReadString("Files_Directories", "LocalHost", ""), Platform::localHttpAddress());
        // The shipped launcher, which "Run webserver" can start; a bare lighttpd cannot.
        QCOMPARE(ini.ReadString("Files_Directories", "WebServer", ""),
                 QDir::cleanPath(home.dir()) + u'/' + Platform::webServerLauncherName());
        QStringList inspector;
        ini.ReadSection("CodeInspector", inspector);
        QCOMPARE(inspector, QStringList({"Vars", "Subroutines", "UpdateOnTyping",
                                         "UpdateIntervalActive", "UpdateInterval"}));
        QCOMPARE(ini.ReadInteger("CodeInspector", "UpdateInterval", 0), 60000);
    }

    void cancelWritesNothingButKeepsTheEditedField()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteInteger("Config", "RecentCount", 8);
        Started s(home);
        s.showOptions();
        s.get<QSpinBox>("edRecentCount")->setValue(3);
        s.dlg()->cancel();
        QVERIFY(!s.dlg()->isVisible());
        QCOMPARE(ini.ReadInteger("Config", "RecentCount", 0), 8);
        s.showOptions();
        QCOMPARE(s.get<QSpinBox>("edRecentCount")->value(), 3);
        s.dlg()->okay(); // Okay closes and accepts
        QVERIFY(!s.dlg()->isVisible());
        QCOMPARE(ini.ReadInteger("Config", "RecentCount", 0), 3);
    }

    void welcomeFlagIsWrittenOnEveryLaterAccept()
    {
        TestHome home;
        Started s(home);
        TIniFile ini(home.path(kCfg));
        s.showOptions();
        s.dlg()->applySettings();
        QVERIFY(!ini.ReadString("Config", "HD_ID", "").isEmpty());
        s.get<QCheckBox>("chkWelcome")->setChecked(true);
        s.dlg()->applySettings();
        QCOMPARE(ini.ReadString("Config", "HD_ID", "x"), QString());
        QVERIFY(ini.ReadBool("Config", "Welcome", false));
        ini.WriteString("Config", "HD_ID", "1234-5678");
        ini.WriteBool("Config", "Welcome", false);
        s.dlg()->applySettings();
        QCOMPARE(ini.ReadString("Config", "HD_ID", "x"), QString());
        QVERIFY(ini.ReadBool("Config", "Welcome", false));
    }

    void removingRecentAddressesDeletesExactlyTheSelected()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteString("RecentURLs", "k1", "http://a/?x=1");
        ini.WriteString("RecentURLs", "k2", "http://b/");
        ini.WriteString("RecentURLs", "k3", "http://c/");
        ini.WriteString("RecentURLs", "k4", "http://d/");
        Started s(home);
        s.showOptions();
        auto *list = s.get<QListWidget>("lbURLRecents");
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), QStringLiteral("http://a/?x")); // cut at the second "="
        s.dlg()->removeRecentAddresses(); // nothing selected: nothing happens
        QCOMPARE(list->count(), 4);
        for (int i : {0, 1, 3})
            list->item(i)->setSelected(true);
        s.dlg()->removeRecentAddresses();
        QStringList keys;
        ini.ReadSection("RecentURLs", keys);
        QCOMPARE(keys, QStringList{"k3"});
        QCOMPARE(list->count(), 1);
    }

    void clearingRecentListTellsTheUser()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteString("Recent", "20261201", home.path("a.pl"));
        Started s(home);
        s.showOptions();
        s.dlg()->clearRecentFiles();
        QVERIFY(!ini.SectionExists("Recent"));
        QCOMPARE(prompts->messages(), QStringList{"Recent list has been cleared."});
    }

    void folderBrowserCancelKeepsTheField()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        auto *cgi = s.get<QLineEdit>("edCGIHomeLoc");
        cgi->setText("/srv/cgi");
        s.get<QToolButton>("SpeedButton3")->click(); // no answer queued: cancelled
        QCOMPARE(cgi->text(), QStringLiteral("/srv/cgi"));
        prompts->fileAnswers.push_back("/var/www/cgi-bin");
        s.get<QToolButton>("SpeedButton3")->click();
        QCOMPARE(cgi->text(), QStringLiteral("/var/www/cgi-bin"));
        QCOMPARE(prompts->asked.back().what, QStringLiteral("folder"));
    }

    void layoutPreviewArrangesTheBottomStrip()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        auto *cb = s.get<QComboBox>("cbView");
        auto *chk = s.get<QCheckBox>("chkView");
        cb->setCurrentIndex(4); // Console
        QVERIFY(chk->isChecked());
        chk->click();
        QVERIFY(s.get<QWidget>("pVConsole2")->isHidden());
        QCOMPARE(s.get<QWidget>("pVConsole2")->maximumWidth(), 56);
        QVERIFY(!s.get<QWidget>("Panel7")->isHidden());
        cb->setCurrentIndex(3); // Perl output
        chk->click();
        QVERIFY(s.get<QWidget>("Panel7")->isHidden());
        // Nothing is written before Accept.
        QCOMPARE(TIniFile(home.path(kCfg)).ReadString("Config", "Visible_PerlOut", "unset"),
                 QStringLiteral("unset"));
    }

    void everyWayInSelectsItsPage()
    {
        TestHome home;
        Started s(home);
        s.get<QAction>("Options_View")->trigger();
        QCOMPARE(s.page(), QStringLiteral("tabView"));
        s.get<QAction>("Options1")->trigger();
        QCOMPARE(s.page(), QStringLiteral("tabGeneral"));
        s.get<QAction>("Addeditremovelinks1")->trigger();
        QCOMPARE(s.page(), QStringLiteral("tabCustomLinks"));
        auto *runOptions = s.w->findChild<TRunForm *>()->findChild<QPushButton *>("btOptions");
        QVERIFY(runOptions->isEnabled());
        runOptions->click();
        QCOMPARE(s.page(), QStringLiteral("tabCompiler"));
        emit s.dlg()->schemePage()->fileOptionsRequested();
        QCOMPARE(s.page(), QStringLiteral("tabFiles"));
        QVERIFY(s.dlg()->isVisible());
    }

    // Colour definitions: every edit reaches the file at once.
    void scopeChangeRenamesTheKey()
    {
        TestHome home;
        home.writeFile("etc/editorcolors.def", "[Words]\n0foo=Courier New|10|32768|0|1|0|0\n");
        Started s(home);
        s.showOptions();
        auto *items = s.get<QListWidget>("ItemList");
        QCOMPARE(items->count(), 1);
        QCOMPARE(items->item(0)->text(), QStringLiteral("foo"));
        items->setCurrentRow(0);
        s.w->findChild<TColorPage *>()->ItemListClick();
        QCOMPARE(s.get<QToolButton>("btItalic2")->isChecked(), true);
        s.get<QComboBox>("ScopeCombo")->setCurrentIndex(2);
        s.w->findChild<TColorPage *>()->ScopeComboChange();
        TIniFile defs(home.path("etc/editorcolors.def"));
        QStringList keys;
        defs.ReadSection("Words", keys);
        QCOMPARE(keys, QStringList{"2foo"});
        // Colour and styles survive; only the scope moved.
        QVERIFY(defs.ReadString("Words", "2foo", "").contains("|32768|0|1|0|0"));
    }

    void newGroupAndDefinitionLeaveNoTraceUntilStyled()
    {
        TestHome home;
        home.writeFile("etc/editorcolors.def", "[Words]\n0foo=Courier New|10|255|1|0|0|0\n");
        Started s(home);
        s.showOptions();
        auto *page = s.w->findChild<TColorPage *>();
        prompts->fileAnswers = {"Empty", "bar"};
        page->btNewDefGrpClick();
        QCOMPARE(s.get<QComboBox>("SecSel")->currentText(), QStringLiteral("Empty"));
        page->btNewDefClick();
        QCOMPARE(s.get<QListWidget>("ItemList")->count(), 1);
        s.dlg()->cancel();
        s.showOptions();
        QCOMPARE(s.get<QComboBox>("SecSel")->count(), 1);
        QVERIFY(!home.readFile("etc/editorcolors.def").contains("bar"));
    }

    void groupAndDefinitionNamesTheFileCannotHoldAreRefused()
    {
        TestHome home;
        home.writeFile("etc/editorcolors.def", "[Words]\n0foo=Courier New|10|255|1|0|0|0\n");
        Started s(home);
        s.showOptions();
        auto *page = s.w->findChild<TColorPage *>();
        prompts->fileAnswers = {"a=b", "[odd", "x=y"};
        page->btNewDefGrpClick();
        page->btNewDefGrpClick();
        page->btNewDefClick();
        QCOMPARE(prompts->messages().size(), 3);
        QVERIFY(prompts->messages().at(0).contains("cannot be stored"));
        QCOMPARE(s.get<QComboBox>("SecSel")->count(), 1);
        QCOMPARE(s.get<QListWidget>("ItemList")->count(), 1);
    }

    // What the reader cannot use is told once, when the page shows the file; the page shows
    // and paints the defaults, and a face it does not know by that name is still shown.
    void unusableFieldsAreToldOnceAndShownWithDefaults()
    {
        TestHome home;
        home.writeFile("etc/editorcolors.def", "[W]\n0foo=Courier New|big|red|0|0|0|0\n"
                                               "0bar=No Such Font Anywhere|9|0|0|0|0|0\n");
        Started s(home);
        s.showOptions();
        QTRY_COMPARE(prompts->messages().size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Warning);
        QVERIFY(prompts->messages().at(0).contains(
                "[W] 0foo: not a usable number: size \"big\", colour \"red\""));
        auto *page = s.w->findChild<TColorPage *>();
        auto *items = s.get<QListWidget>("ItemList");
        items->setCurrentRow(0);
        page->ItemListClick();
        QCOMPARE(s.get<QComboBox>("SizeCombo2")->currentText(), QStringLiteral("8"));
        items->setCurrentRow(1);
        page->ItemListClick();
        QCOMPARE(s.get<QComboBox>("FontCombo2")->currentText(),
                 QStringLiteral("No Such Font Anywhere"));

        s.dlg()->cancel();
        s.showOptions();
        QTest::qWait(20);
        QCOMPARE(prompts->messages().size(), 1);
    }

    // "Courier New" is painted by a substitute here: the page shows and keeps the name, never
    // writes an empty face, repairs one, and previews the shipped definitions.
    void aSubstitutedFaceIsShownKeptAndPreviewed()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        auto *page = s.w->findChild<TColorPage *>();
        auto *face = s.get<QComboBox>("FontCombo2");
        QCOMPARE(face->currentText(), QStringLiteral("Courier New"));
        QCOMPARE(s.get<QComboBox>("FontCombo")->currentText(), QStringLiteral("Courier New"));
        QCOMPARE(s.get<QComboBox>("SecSel")->currentText(), QStringLiteral("Array last index"));
        auto *items = s.get<QListWidget>("ItemList");
        items->setCurrentRow(0);
        page->ItemListClick();
        s.get<QToolButton>("btItalic2")->click();
        TIniFile defs(home.path("etc/editorcolors.def"));
        QCOMPARE(defs.ReadString("Array last index", "0$#", ""),
                 QStringLiteral("Courier New|10|6270975|1|1|0|0"));
        auto *preview = s.get<QLabel>("RTFPrev2");
        QTRY_VERIFY(preview->font().italic());
        QCOMPARE(preview->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(preview->palette().color(QPalette::WindowText), QColor(0xFF, 0xAF, 0x5F));
        QCOMPARE(preview->palette().color(QPalette::Window),
                 s.get<QLabel>("RTFPrev")->palette().color(QPalette::Window));

        defs.WriteString("Array last index", "0$#", "|10|6270975|1|0|0|0");
        page->ItemListClick();
        QCOMPARE(face->currentText(), QStringLiteral("Courier New"));
        s.get<QToolButton>("btBold2")->click();
        QCOMPARE(defs.ReadString("Array last index", "0$#", ""),
                 QStringLiteral("Courier New|10|6270975|0|0|0|0"));
    }

    // Enter in the face or size box takes what was typed; the dialog stays open.
    void enterInTheFontBoxesKeepsTheDialogOpen()
    {
        TestHome home;
        Started s(home);
        s.showOptions();
        auto *page = s.w->findChild<TColorPage *>();
        auto *items = s.get<QListWidget>("ItemList");
        items->setCurrentRow(0);
        page->ItemListClick();
        TIniFile defs(home.path("etc/editorcolors.def"));
        auto *face = s.get<QComboBox>("FontCombo2");
        face->lineEdit()->selectAll();
        QTest::keyClicks(face->lineEdit(), "liberation mono");
        QCOMPARE(defs.ReadString("Array last index", "0$#", ""),
                 QStringLiteral("Courier New|10|6270975|1|0|0|0"));
        QTest::keyClick(face->lineEdit(), Qt::Key_Return);
        QVERIFY(s.dlg()->isVisible());
        QCOMPARE(face->currentText(), QStringLiteral("Liberation Mono"));
        QCOMPARE(defs.ReadString("Array last index", "0$#", ""),
                 QStringLiteral("Liberation Mono|10|6270975|1|0|0|0"));
        for (const char *box : {"FontCombo", "SizeCombo2", "FontSize"}) {
            QTest::keyClick(s.get<QComboBox>(box), Qt::Key_Enter);
            QVERIFY2(s.dlg()->isVisible(), box);
        }
        QVERIFY(prompts->asked.isEmpty());
    }

    // Custom links.
    void linksWithBadFieldsLoadWithoutAnErrorBox()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteString("CustomLinks", "One", "/bin/true||/bin/true|0");
        ini.WriteString("CustomLinks", "Broken", "/bin/ls|-l|/bin/ls");
        ini.WriteString("CustomLinks", "Missing icon", "/bin/ls||/no/such/file.ico|x");
        ini.WriteString("CustomLinks", "Last", "/bin/false||/bin/false|1");
        Started s(home);
        QVERIFY(prompts->messages().isEmpty());
        QCOMPARE(s.get<QListWidget>("lvCustomLinks")->count(), 4);
        QCOMPARE(s.get<QListWidget>("lvLinks")->count(), 4);
        QVERIFY(!s.get<QListWidget>("lvCustomLinks")->item(2)->icon().isNull());
    }

    // Linux programs have no extension: the program picker lists every file, in Qt's syntax.
    void browseDialogsGetFiltersQtCanRead()
    {
        TestHome home;
        TIniFile(home.path(kCfg)).WriteString("CustomLinks", "Editor", "/usr/bin/vi||");
        Started s(home);
        s.dlg()->open(TOptions::Page::CustomLinks);
        QListWidget *links = s.get<QListWidget>("lvLinks");
        QCOMPARE(links->count(), 1);
        links->setCurrentRow(0);
        s.dlg()->showSelectedLink();
        s.get<QToolButton>("btOpenLinkProg")->click();
        QVERIFY(!prompts->asked.isEmpty());
        QCOMPARE(prompts->asked.last().what, QStringLiteral("openFile"));
        QCOMPARE(prompts->asked.last().filter, QStringLiteral("Executeables (*);;All files (*)"));
        const qsizetype before = prompts->asked.size();
        s.get<QToolButton>("btOpenLinkIcon")->click();
        QCOMPARE(prompts->asked.size(), before + 1);
        QVERIFY(!prompts->asked.last().filter.contains(u'|'));
        QVERIFY(prompts->asked.last().filter.contains(QLatin1String("*.ico")));
    }

    void createStoreAndRemoveALink()
    {
        TestHome home;
        Started s(home);
        s.get<QAction>("Addeditremovelinks1")->trigger();
        auto *links = s.get<QListWidget>("lvLinks");
        prompts->fileAnswers = {"bad=name", "Tool"};
        s.dlg()->createLink();
        QCOMPARE(links->count(), 0);
        QCOMPARE(prompts->messages().size(), 1);
        s.dlg()->createLink();
        QCOMPARE(links->currentItem()->text(), QStringLiteral("Tool"));
        QVERIFY(!s.get<QLineEdit>("edLinkProg")->isEnabled());
        s.dlg()->showSelectedLink();
        QVERIFY(s.get<QLineEdit>("edLinkProg")->isEnabled());
        s.get<QLineEdit>("edLinkProg")->setText("/usr/bin/env");
        s.get<QLineEdit>("edLinkParams")->setText("-i \"A B\"");
        s.get<QLineEdit>("edLinkIcon")->setText("/usr/lib/libx.so,4");
        s.dlg()->updateLink();
        TIniFile ini(home.path(kCfg));
        QCOMPARE(ini.ReadString("CustomLinks", "Tool", ""),
                 QStringLiteral("/usr/bin/env|-i \"A B\"|/usr/lib/libx.so|4"));
        QVERIFY(!s.get<QPushButton>("btUpdateLink")->isEnabled());
        // The link bar shows it only after Accept.
        QCOMPARE(s.get<QListWidget>("lvCustomLinks")->count(), 0);
        s.dlg()->applySettings();
        QCOMPARE(s.get<QListWidget>("lvCustomLinks")->count(), 1);

        links->setCurrentRow(0);
        prompts->buttonAnswers.push_back(QMessageBox::No);
        s.dlg()->removeLink();
        QCOMPARE(prompts->messages().last(), QStringLiteral("Delete link \"Tool\" now?"));
        QCOMPARE(links->count(), 1);
        prompts->buttonAnswers.push_back(QMessageBox::Yes);
        s.dlg()->removeLink();
        QCOMPARE(links->count(), 0);
        QVERIFY(!ini.SectionExists("CustomLinks")
                || ini.ReadString("CustomLinks", "Tool", "gone") == "gone");
    }

    // The file would give the value back without its blanks, so the page refuses it and says so.
    void aLinkThatWouldReadBackDifferentlyIsRefused()
    {
        TestHome home;
        Started s(home);
        s.get<QAction>("Addeditremovelinks1")->trigger();
        prompts->fileAnswers = {"Tool"};
        s.dlg()->createLink();
        s.dlg()->showSelectedLink();
        s.get<QLineEdit>("edLinkProg")->setText(" /usr/bin/env");
        s.dlg()->updateLink();
        QCOMPARE(prompts->messages(),
                 QStringList{TIniFile::valueProblem(QStringLiteral(" /usr/bin/env||,"))});
        QVERIFY(prompts->messages().first().contains("blank"));
        TIniFile ini(home.path(kCfg));
        QCOMPARE(ini.ReadString("CustomLinks", "Tool", "none"), QStringLiteral("none"));
        QVERIFY(s.get<QPushButton>("btUpdateLink")->isEnabled());
    }

    void anUnstoredLinkVanishesOnReload()
    {
        TestHome home;
        TIniFile ini(home.path(kCfg));
        ini.WriteString("CustomLinks", "Kept", "/bin/true||/bin/true|0");
        Started s(home);
        prompts->fileAnswers = {"Draft", ""};
        s.dlg()->createLink();
        auto *links = s.get<QListWidget>("lvLinks");
        QCOMPARE(links->count(), 2);
        links->setCurrentRow(0);
        s.dlg()->showSelectedLink();
        s.dlg()->updateLink(); // storing another link reloads the list
        QCOMPARE(links->count(), 1);
        QCOMPARE(links->item(0)->text(), QStringLiteral("Kept"));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
