#include "core/common/clock.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/common/application.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/proptree.h"
#include "ui/editor/proptreecontroller.h"
#include "ui/run/runcommands.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/welcome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>

namespace {

// A program folder whose first-run check already passed.
void markKnownMachine(const TestHome &home)
{
    TIniFile ini(home.path("etc/quillforge.cfg"));
    ini.WriteString("Config", "HD_ID", Platform::driveIdentity(home.dir()));
}

struct Started : MainWindowFixture
{
    explicit Started(const TestHome &home)
        : MainWindowFixture(home, {}, Start::AsTheFolderIs)
    {}
    QTabBar *tabs() const { return get<QTabBar>("tabScriptSel"); }
    QString pathCap() const { return get<QLabel>("PathCap")->text(); }
};

QString writeScript(const TestHome &home, const QString &name, const QByteArray &bytes)
{
    home.writeFile(name, bytes);
    return home.path(name);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        prompts = ScriptedPrompts::install();
        TForm1::setWizardStepDelay(0);
    }

    void firstStartShowsTheWizardThenOneNewScript()
    {
        TestHome home;
        QFile::remove(home.path("etc/quillforge.cfg"));
        bool wizardSeen = false;
        prompts->dialogAnswers.push_back([&](QDialog &d) {
            wizardSeen = qobject_cast<TWelcome *>(&d) && d.isVisible();
            d.close(); // the close box
            return d.result();
        });
        Started s(home);
        QVERIFY(wizardSeen);
        QCOMPARE(s.titles(), QStringList{"Noname #1"});
        TIniFile ini(home.path("etc/quillforge.cfg"));
        QCOMPARE(ini.ReadString("Config", "HD_ID", ""), Platform::driveIdentity(home.dir()));

        // The second start on the same machine goes straight to the main window.
        prompts->asked.clear();
        Started again(home);
        for (const auto &a : prompts->asked)
            QVERIFY2(a.what != "modal", qPrintable(a.text));
    }

    void newScriptsAreNumberedWithoutReuse()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        s.trigger("btNew");
        QCOMPARE(s.titles(), (QStringList{"Noname #1", "Noname #2"}));
        s->documents().closeCurrentNow();
        s.trigger("btNew");
        QCOMPARE(s.titles(), (QStringList{"Noname #1", "Noname #3"}));
        QCOMPARE(s.pathCap(), QStringLiteral(" Noname #3"));
    }

    void closingTheMiddleTabSelectsTheLast()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        s.trigger("btNew");
        s.trigger("btNew");
        s.tabs()->setCurrentIndex(1);
        QCOMPARE(s->CurrentDocument()->FileName, QStringLiteral("Noname #2"));
        s->documents().closeCurrentNow();
        QCOMPARE(s.tabs()->currentIndex(), 1);
        QCOMPARE(s->CurrentDocument()->FileName, QStringLiteral("Noname #3"));
        s->documents().closeCurrentNow();
        s->documents().closeCurrentNow();
        QVERIFY(!s->CurrentDocument());
        QCOMPARE(s.pathCap(), QString());
    }

    void openingTracksRecentFilesAndLastOpened()
    {
        TestHome home;
        markKnownMachine(home);
        TIniFile(home.path("etc/quillforge.cfg")).WriteInteger("Config", "RecentCount", 3);
        QStringList files;
        for (int i = 0; i < 4; ++i)
            files << writeScript(home, QStringLiteral("s%1.pl").arg(i), "print 1;\n");
        Started s(home);
        QDateTime t(QDate(2026, 12, 6), QTime(10, 0, 0));
        for (const QString &f : files) {
            Clock::setFixed(t);
            t = t.addSecs(1);
            s->OpenDocument(f);
        }
        Clock::setFixed({});
        QCOMPARE(s->documents().recentFiles(), files.mid(1));
        auto *menu = s->findChild<QMenu *>("popRecent");
        auto listed = [menu] {
            QStringList paths;
            for (const QAction *a : menu->actions())
                paths << a->data().toString();
            return paths;
        };
        QCOMPARE(listed(), files.mid(1));
        // A file that is gone is left out of the menu.
        QFile::remove(files[1]);
        s->documents().rebuildRecentMenu();
        QCOMPARE(listed(), files.mid(2));
        TIniFile ini(home.path("etc/quillforge.cfg"));
        QCOMPARE(ini.ReadString("SRecent", "LastOpened", ""), files.last());
        QCOMPARE(s.tabs()->tabText(s.tabs()->currentIndex()), QStringLiteral("s3.pl"));
        QVERIFY(s->CurrentDocument()->saved());

        // The same file twice: one tab, one entry; selecting its tab is no new opening.
        s->OpenDocument(files.last());
        QCOMPARE(s->documents().all().size(), size_t(5));
        QCOMPARE(s->documents().recentFiles(), files.mid(1));

        // Two files opened within one second are both remembered and listed.
        ini.WriteInteger("Config", "RecentCount", 8);
        const QString x = writeScript(home, "x.pl", "1;\n");
        const QString y = writeScript(home, "y.pl", "1;\n");
        Clock::setFixed(t);
        s->OpenDocument(x);
        s->OpenDocument(y);
        Clock::setFixed({});
        const auto lastTwo = [](const QStringList &l) {
            return l.mid(l.size() - 2);
        };
        QCOMPARE(lastTwo(s->documents().recentFiles()), (QStringList{x, y}));
        QCOMPARE(lastTwo(listed()), (QStringList{x, y}));
    }

    void openDialogRemembersItsFolder()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "dir/x.pl", "1;\n");
        Started s(home);
        prompts->fileAnswers.push_back(f);
        s.trigger("btOpen");
        // Before anything was opened the dialog starts at home and lists Perl's own files.
        QCOMPARE(prompts->asked.last().dir, QDir::homePath());
        const QString perlFilter = prompts->asked.last().filter.section(";;", 0, 0);
        for (const char *pattern : {"*.pl", "*.pm", "*.t", "*.pod", "*.psgi", "*.cgi"})
            QVERIFY2(perlFilter.contains(QLatin1String(pattern)), pattern);
        QCOMPARE(s->CurrentDocument()->FileName, f);
        QCOMPARE(TIniFile(home.path("etc/quillforge.cfg")).ReadString("SRecent", "Perls", ""),
                 home.path("dir/"));
        prompts->fileAnswers.push_back(QString());
        s.trigger("btOpen");
        QCOMPARE(prompts->asked.last().dir, home.path("dir"));
    }

    void unreadableScriptGivesAnErrorAndNoTab()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "locked.pl", "secret\n");
        QFile::setPermissions(f, QFileDevice::Permissions());
        if (QFile(f).open(QIODevice::ReadOnly))
            QSKIP("running as a user who can read everything");
        Started s(home);
        prompts->fileAnswers.push_back(f);
        s.trigger("btOpen");
        QCOMPARE(s->documents().all().size(), size_t(1));
        QCOMPARE(prompts->messages().size(), 1);
        QVERIFY(prompts->messages().first().contains("locked.pl"));
    }

    void scriptsSaveBackByteForByte()
    {
        TestHome home;
        markKnownMachine(home);
        const QByteArray odd("#!perl\r\nmy $x = \"\xe9\0\xa0\";\r\n\r\n", 26);
        const QString f = writeScript(home, "odd.pl", odd);
        Started s(home);
        s->OpenDocument(f);
        TScriptEditor *d = s->CurrentDocument();
        QVERIFY(d->saved());
        QTest::keyClicks(d->Editor, "z");
        QVERIFY(!d->saved());
        d->Editor->undo();
        QVERIFY2(d->saved(), "undoing back to the loaded text counts as saved");
        d->Editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(d->Editor, "1;");
        s.trigger("btSave");
        QCOMPARE(home.readFile("odd.pl"), odd + "1;");
        QVERIFY(d->saved());
    }

    void largeScriptsLoadWithoutFreezingTheWindow()
    {
        TestHome home;
        markKnownMachine(home);
        QByteArray big;
        for (int i = 0; big.size() < 600 * 1024; ++i)
            big += "my $line" + QByteArray::number(i) + " = \"\xc3\xa9\";\r\n";
        const QString f = writeScript(home, "big.pl", big);
        Started s(home);
        s->OpenDocument(f);
        TScriptEditor *d = s->CurrentDocument();
        QVERIFY(d->Editor->isLoading());
        QVERIFY(d->Editor->isReadOnly());
        QVERIFY(d->saved());
        // Saving under another name meanwhile must not write a half-loaded text.
        prompts->fileAnswers.push_back(home.path("copy.pl"));
        s.trigger("Saveas1");
        QVERIFY(!QFile::exists(home.path("copy.pl")));
        QVERIFY(prompts->messages().last().contains("still being loaded"));

        // Its beginning is shown meanwhile, and where the user puts the caret is kept.
        const QString preview = d->Editor->toPlainText();
        QVERIFY(preview.startsWith("my $line0 = \"\u00e9\";\nmy $line1"));
        // Nothing changes it meanwhile, not even the commands that work on a selection.
        d->Editor->selectAll();
        for (const char *command : {"btDelete", "btCut", "btPaste", "btUndo"})
            s.trigger(command);
        QCOMPARE(d->Editor->toPlainText(), preview);
        QVERIFY(d->saved());
        QTextCursor caret = d->Editor->textCursor();
        caret.setPosition(30);
        d->Editor->setTextCursor(caret);

        QSignalSpy loaded(d->Editor, &ScriptEditorWidget::textLoaded);
        QVERIFY(loaded.wait(10000));
        QVERIFY(d->Editor->toPlainText().startsWith(preview));
        QVERIFY(d->Editor->toPlainText().size() > preview.size());
        QCOMPARE(d->Editor->textCursor().position(), 30);
        QVERIFY(!d->Editor->isReadOnly());
        QVERIFY(d->saved());
        QVERIFY(!d->Editor->document()->isUndoAvailable());
        QVERIFY(d->Editor->document()->defaultFont().bold());
        // Colouring starts from the text that arrived with the document and stays in step.
        QCOMPARE(d->Highlighter->mirrorText(), DocumentText::plainText(d->Editor->document()));
        QTextCursor end(d->Editor->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("# more\n"));
        QCOMPARE(d->Highlighter->mirrorText(), DocumentText::plainText(d->Editor->document()));
        d->Editor->undo();
        prompts->fileAnswers.push_back(home.path("copy.pl"));
        s.trigger("Saveas1");
        QCOMPARE(home.readFile("copy.pl"), big);

        // Closing a tab while its text is still being laid out is safe.
        s->OpenDocument(f);
        s->documents().closeCurrentNow();
        QTest::qWait(1500);
        QCOMPARE(s->documents().all().size(), size_t(2));
    }

    void saveAsAsksBeforeReplacingAndRenamesTheTab()
    {
        TestHome home;
        markKnownMachine(home);
        const QString target = writeScript(home, "test.pl", "old\n");
        Started s(home);
        QTest::keyClicks(s->CurrentDocument()->Editor, "new");
        prompts->fileAnswers.push_back(target);
        prompts->buttonAnswers.push_back(QMessageBox::No);
        s.trigger("Saveas1");
        QCOMPARE(home.readFile("test.pl"), QByteArray("old\n"));
        QVERIFY(!s->CurrentDocument()->saved());
        QVERIFY(prompts->messages().last().contains("already exists"));

        prompts->fileAnswers.push_back(target);
        prompts->buttonAnswers.push_back(QMessageBox::Yes);
        s.trigger("Saveas1");
        QCOMPARE(home.readFile("test.pl"), QByteArray("new"));
        QCOMPARE(s.tabs()->tabText(0), QStringLiteral("test"));
        QCOMPARE(s.pathCap(), u' ' + target);
        // Save as does not count as an opening.
        QCOMPARE(TIniFile(home.path("etc/quillforge.cfg")).ReadString("SRecent", "LastOpened", ""),
                 QString());
    }

    void failedSaveKeepsTheScriptUnsaved()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        QTest::keyClicks(s->CurrentDocument()->Editor, "print 1;");
        prompts->fileAnswers.push_back(home.path("no-such-folder/x.pl"));
        s.trigger("btSave");
        QVERIFY(!s->CurrentDocument()->saved());
        QVERIFY(prompts->messages().last().startsWith("Unable to write to "));
        QCOMPARE(s->CurrentDocument()->FileName, QStringLiteral("Noname #1"));
    }

    void closeQuestions()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        QTest::keyClicks(s->CurrentDocument()->Editor, "x");
        s.trigger("Close1"); // a single character closes without asking
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(s->documents().all().empty());

        s.trigger("btNew");
        QTest::keyClicks(s->CurrentDocument()->Editor, "print 2;");
        prompts->buttonAnswers.push_back(QMessageBox::Cancel);
        s.trigger("Close1");
        QCOMPARE(prompts->messages().last(),
                 QStringLiteral("Document \"Noname #2\".\nSave it now?"));
        QCOMPARE(s->documents().all().size(), size_t(1));
        prompts->buttonAnswers.push_back(QMessageBox::No);
        s.trigger("Close1");
        QVERIFY(s->documents().all().empty());
    }

    void closingTheWindowAsksAboutEachUnsavedScript()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "a.pl", "1;\n");
        Started s(home);
        QTest::keyClicks(s->CurrentDocument()->Editor, "first");
        s->OpenDocument(f);
        QTest::keyClicks(s->CurrentDocument()->Editor, "second ");
        s.trigger("btNew");

        prompts->buttonAnswers = {QMessageBox::No, QMessageBox::Cancel};
        QVERIFY(!s->close());
        QCOMPARE(prompts->messages().size(), 2);
        QCOMPARE(prompts->messages()[1],
                 QStringLiteral(
                         "The file \"%1\" has not been saved yet. Do you want to save it now?")
                         .arg(f));
        QCOMPARE(s->documents().all().size(), size_t(3));

        prompts->asked.clear();
        prompts->buttonAnswers = {QMessageBox::No, QMessageBox::No};
        QVERIFY(s->close());
        QCOMPARE(prompts->messages().size(), 2);
        QCOMPARE(home.readFile("a.pl"), QByteArray("1;\n"));

        s->show();
        prompts->asked.clear();
        prompts->buttonAnswers = {QMessageBox::No, QMessageBox::Yes};
        QVERIFY(s->close());
        QCOMPARE(home.readFile("a.pl"), QByteArray("second 1;\n"));
    }

    void startViewOpensTheLastFile()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "last.pl", "1;\n");
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteInteger("Config", "InitialView", 0);
        ini.WriteBool("Config", "OpenLast", true);
        ini.WriteString("SRecent", "LastOpened", f);
        Started s(home);
        QCOMPARE(s.titles(), (QStringList{"Noname #1", f}));
        QCOMPARE(s->CurrentDocument()->FileName, f);
        QCOMPARE(s->findChild<QStackedWidget *>("Carry2")->currentWidget()->objectName(),
                 QStringLiteral("CodeSheet"));
        QCOMPARE(s->findChild<QLabel *>("CapPanel")->text(), QStringLiteral("Source code"));
    }

    void panelsFollowTheSettings()
    {
        TestHome home;
        markKnownMachine(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteBool("Config", "Visible_Console", true);
        ini.WriteBool("Config", "Visible_PerlOut", false);
        ini.WriteBool("Config", "Visible_Explorer", false);
        ini.WriteBool("Config", "Visible_Sym_HTML", false);
        Started s(home);
        auto visible = [&](const char *n) {
            return s->findChild<QWidget *>(n)->isVisible();
        };
        QVERIFY(visible("pConsole"));
        QVERIFY(!visible("pPerl"));
        QVERIFY(visible("pPC"));
        QVERIFY(!visible("pExplorer"));
        QVERIFY(!visible("ToolBar3"));
        QVERIFY(visible("ToolBar1"));

        ini.WriteBool("Config", "Visible_Console", false);
        s->ApplyOptions();
        QVERIFY(!visible("pPC"));

        ini.WriteBool("Config", "Visible_PerlOut", true);
        s->ApplyOptions();
        QVERIFY(visible("pPC"));
        s->findChild<QToolButton *>("SpeedButton10")->click();
        QVERIFY(!visible("pPC"));
        QCOMPARE(ini.ReadString("Config", "Visible_PerlOut", ""), QStringLiteral("0"));
        QCOMPARE(ini.ReadString("Config", "Visible_Console", ""), QStringLiteral("0"));
        s->findChild<QToolButton *>("SpeedButton3")->click();
        QVERIFY(!visible("pInspector"));
        QCOMPARE(ini.ReadString("Config", "Visible_CodeInspector", ""), QStringLiteral("0"));
        s->findChild<QToolButton *>("SpeedButton4")->click();
        QVERIFY(!visible("pTips"));
        QCOMPARE(ini.ReadString("Config", "Visible_TipOfDay", "none"), QStringLiteral("none"));
    }

    void consoleKeepsItsWidthBesideThePerlOutput()
    {
        TestHome home;
        markKnownMachine(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteBool("Config", "Visible_Console", true);
        ini.WriteBool("Config", "Visible_PerlOut", true);
        Started s(home);
        s->resize(1600, 900);
        auto *console = s.get<QWidget>("pConsole");
        auto *perl = s.get<QWidget>("pPerl");
        QTRY_VERIFY(console->isVisible() && perl->isVisible());
        const int docked = console->width();
        QVERIFY(docked < perl->width());
        const int perlBefore = perl->width();
        s->resize(s->width() + 400, s->height());
        QTRY_VERIFY(perl->width() > perlBefore);
        QCOMPARE(console->width(), docked);
    }

    void aRunBringsBackTheClosedPerlOutput()
    {
        TestHome home;
        markKnownMachine(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteBool("Config", "Visible_Console", true);
        Started s(home);
        s.get<QToolButton>("SpeedButton10")->click();
        QVERIFY(!s.get<QWidget>("pPC")->isVisible());
        s->runs().runInPerlOut(Command(QStringLiteral("/bin/sh"), {"-c", "echo back"}));
        QVERIFY(s.get<QWidget>("pPC")->isVisible());
        QVERIFY(s.get<QWidget>("pPerl")->isVisible());
        // The console stays closed: only the output has something to show.
        QVERIFY(!s.get<QWidget>("pConsole")->isVisible());
        QCOMPARE(ini.ReadString("Config", "Visible_PerlOut", ""), QStringLiteral("1"));
        QCOMPARE(ini.ReadString("Config", "Visible_Console", ""), QStringLiteral("0"));
        QTRY_VERIFY(s.get<QPlainTextEdit>("PerlOut")->toPlainText().contains("back"));
    }

    void unwritableSettingsGiveAnErrorAndTheProgramGoesOn()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        // A folder in the file's place refuses the write for any user, root included.
        const QString cfg = home.path("etc/quillforge.cfg");
        QFile::remove(cfg);
        QDir().mkpath(cfg);
        // The trim wizard has a "SpeedButton1" of its own.
        s.get<QWidget>("pExplorer")->findChild<QToolButton *>("SpeedButton1")->click();
        QCOMPARE(prompts->messages(), QStringList{QStringLiteral("Unable to write to ") + cfg});
        QVERIFY(!s->findChild<QWidget *>("pExplorer")->isVisible());
        s.trigger("btNew");
        QCOMPARE(s->documents().all().size(), size_t(2));
    }

    void garbageSettingsStartWithDefaults()
    {
        TestHome home;
        QByteArray junk(1 << 20, '\xff');
        junk += QByteArray("\n[Config]\nInitialView=\x00\x01\nRecentCount=lots\n[Recent]\n=\n");
        home.writeFile("etc/quillforge.cfg", junk);
        markKnownMachine(home);
        Started s(home);
        QCOMPARE(s.titles(), QStringList{"Noname #1"});
        QVERIFY(s->findChild<QWidget *>("pExplorer")->isVisible());
    }

    void periodicSaveWritesOnlyScriptsThatHaveAFile()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "kept.pl", "1;\n");
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteBool("Config", "AutoSave", true);
        ini.WriteInteger("Config", "AutoSaveInterval", 7);
        Started s(home);
        auto *timer = s->findChild<QTimer *>("AutoSaveTimer");
        QVERIFY(timer->isActive());
        // A new script is left alone: nothing asks where to save it.
        QTest::keyClicks(s->CurrentDocument()->Editor, "1;");
        s.tick("AutoSaveTimer");
        s.tick("AutoSaveTimer");
        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(!s->CurrentDocument()->saved());

        TScriptEditor *d = s.openLoaded(f);
        d->Editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(d->Editor, "2;");
        s.tick("AutoSaveTimer");
        QCOMPARE(home.readFile("kept.pl"), QByteArray("1;\n2;"));
        QVERIFY(d->saved());
        QVERIFY(prompts->asked.isEmpty());
    }

    // A period of 0 would rescan without pause; it is raised as the save period is.
    void inspectorRefreshPeriodHasALowerBound()
    {
        TestHome home;
        markKnownMachine(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteInteger("CodeInspector", "UpdateInterval", 0);
        Started s(home);
        QVERIFY(s.get<QTimer>("Timer2")->isActive());
        const quint64 before = s->inspector().inspector()->refreshes;
        QTest::qWait(300);
        QVERIFY(s->inspector().inspector()->refreshes - before < 3);
    }

    void statusLineShowsWholePositionsAndForgetsAClosedScript()
    {
        TestHome home;
        markKnownMachine(home);
        QByteArray text;
        for (int i = 0; i < 12400; ++i)
            text += "my $line" + QByteArray::number(i)
                    + " = 'a line long enough for a column far to the right of it';\n";
        const QString f = writeScript(home, "long.pl", text);
        Started s(home);
        TScriptEditor *d = s.openLoaded(f);
        QTextCursor c(d->Editor->document()->findBlockByNumber(12345));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 67);
        d->Editor->setTextCursor(c);
        s.tick("Timer1");
        auto *position = s.get<QLabel>("sBarPanel0");
        QCOMPARE(position->text(), QStringLiteral("Row: 12345 Col: 67"));
        QTRY_VERIFY(position->contentsRect().width()
                    >= position->fontMetrics().horizontalAdvance(position->text()));

        QTest::keyClicks(d->Editor, "x");
        s.tick("Timer1");
        auto *modified = s.get<QLabel>("sBarPanel2");
        QCOMPARE(modified->text(), QStringLiteral("modified"));
        prompts->buttonAnswers = {QMessageBox::No, QMessageBox::No};
        s.trigger("Close1");
        s.trigger("Close1");
        QVERIFY(s->documents().all().empty());
        s.tick("Timer1");
        QCOMPARE(modified->text(), QString());
        QCOMPARE(position->text(), QString());
    }

    void viewMenusOfferEveryView()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        QMenu *viewMenu = nullptr;
        for (QAction *a : s.get<QMenuBar>("MainMenu1")->actions()) {
            if (a->text() == QLatin1String("&View"))
                viewMenu = a->menu();
        }
        QVERIFY(viewMenu);
        for (QMenu *menu : {viewMenu, s.get<QMenu>("popView")}) {
            const QList<QAction *> items = menu->actions();
            for (const char *view :
                 {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "vSetHelp", "Options_View"})
                QVERIFY2(items.contains(s.get<QAction>(view)), view);
        }
    }

    // Without an icon theme some buttons show their captions; the last ones must still be there,
    // also with a larger font.
    void standardBarKeepsItsLastButtonsAtDesktopWidth_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.35;
    }
    void standardBarKeepsItsLastButtonsAtDesktopWidth()
    {
        QFETCH(qreal, fontScale);
        TestHome home;
        markKnownMachine(home);
        const QString theme = QIcon::themeName();
        const QFont font = QApplication::font();
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() * fontScale);
        QApplication::setFont(larger);
        QIcon::setThemeName(QStringLiteral("no-such-theme"));
        Started s(home);
        QIcon::setThemeName(theme);
        s->resize(1280, 800);
        auto *bar = s.get<QToolBar>("ToolBar1");
        auto reachable = [&](const char *name) {
            auto *b = s.get<QToolButton>(name);
            const QRect inBar(b->mapTo(bar, QPoint(0, 0)), b->size());
            return b->isVisible() && bar->rect().contains(inBar)
                   && s->rect().contains(QRect(bar->mapTo(s.w.get(), QPoint(0, 0)), bar->size()));
        };
        const bool fits = QTest::qWaitFor(
                [&] { return reachable("btHelp") && reachable("btWebServ"); });
        QApplication::setFont(font);
        QVERIFY(fits);
        QCOMPARE(s.get<QToolButton>("btHelp")->toolTip(), QStringLiteral("Help"));
        QCOMPARE(s.get<QToolButton>("btWebServ")->toolTip(), QStringLiteral("Run webserver"));
    }

    void whatIsNoFileIsRefusedWithAWord()
    {
        TestHome home;
        markKnownMachine(home);
        const QString fifo = home.path("pipe.pl");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QDir().mkpath(home.path("folder.pl"));
        Started s(home);
        QStringList paths{fifo, home.path("folder.pl")};
        for (const char *device : {"/dev/zero", "/dev/urandom"}) {
            if (QFileInfo::exists(QLatin1String(device)))
                paths << QLatin1String(device);
        }
        for (const QString &p : paths) {
            prompts->asked.clear();
            guarded([&] { s->OpenDocument(p); }); // as the command line opens files
            QCOMPARE(prompts->messages().size(), 1);
            QVERIFY2(prompts->messages().first().contains('"' + p + '"'), qPrintable(p));
            QCOMPARE(prompts->asked.first().kind, Prompts::Kind::Error);
            QCOMPARE(s.titles(), QStringList{"Noname #1"});
        }
        prompts->asked.clear();
        prompts->fileAnswers.push_back(fifo);
        s.trigger("btOpen");
        QCOMPARE(prompts->messages().size(), 1);
        QCOMPARE(s.titles(), QStringList{"Noname #1"});
    }

    void leftoversOfABrokenSaveAreToldAndKept()
    {
        TestHome home;
        markKnownMachine(home);
        const QString f = writeScript(home, "a.pl", "1;\n");
        const QStringList leftovers{writeScript(home, "a.pl.Kq3ZpX", "1;\n2;\n"),
                                    writeScript(home, "a.pl.bdEfgh", "")};
        const QStringList others{writeScript(home, "a.pl.bak", "0;\n"),
                                 writeScript(home, "a.pl.Kq3ZpXY", ""),
                                 writeScript(home, "b.pl.Kq3ZpX", "")};
        Started s(home);
        s->OpenDocument(f);
        QCOMPARE(prompts->messages().size(), 1);
        QCOMPARE(prompts->asked.first().kind, Prompts::Kind::Warning);
        const QString told = prompts->messages().first();
        QVERIFY(told.contains('"' + f + '"'));
        for (const QString &l : leftovers)
            QVERIFY2(told.contains(l) && QFile::exists(l), qPrintable(l));
        for (const QString &o : others)
            QVERIFY2(!told.contains(o), qPrintable(o));
        QCOMPARE(s->CurrentDocument()->FileName, f);

        // A script without such rests opens without a word.
        prompts->asked.clear();
        s->OpenDocument(writeScript(home, "c.pl", "1;\n"));
        QVERIFY(prompts->asked.isEmpty());
    }

    void altASelectsAllInTheEditor()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        s->activateWindow();
        ScriptEditorWidget *ed = s->CurrentDocument()->Editor;
        ed->setFocus();
        QTest::keyClicks(ed, "abc def");
        QTest::keyClick(ed, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(ed->textCursor().selectedText(), QStringLiteral("abc def"));
    }

    void unbuiltCommandsAreDisabledButPresent()
    {
        TestHome home;
        markKnownMachine(home);
        Started s(home);
        const std::pair<const char *, const char *> commands[] = {{"btNew", "Ctrl+N"},
                                                                  {"btOpen", "Ctrl+O"},
                                                                  {"btSave", "Ctrl+S"},
                                                                  {"Saveas1", "Ctrl+Shift+S"},
                                                                  {"Properties1", "Ctrl+I"},
                                                                  {"Close1", "Ctrl+F4"},
                                                                  {"Cut1", "Ctrl+X"},
                                                                  {"Delete1", "Ctrl+Del"},
                                                                  {"Undo1", "Alt+U"},
                                                                  {"Redo1", "Alt+R"},
                                                                  {"Find1", "Ctrl+F"},
                                                                  {"Run1", "F9"},
                                                                  {"Syntaxcheck1", "Ctrl+F9"},
                                                                  {"vSetCode", "Ctrl+Alt+S"},
                                                                  {"vSetToday", "Ctrl+Alt+O"},
                                                                  {"vSetHelp", "F1"},
                                                                  {"Actualizecodecolors1", "F5"},
                                                                  {"About1", "Alt+A"}};
        for (const auto &[name, keys] : commands) {
            auto *a = s->findChild<QAction *>(name);
            QVERIFY2(a, name);
            QCOMPARE(a->shortcut(), QKeySequence(QLatin1String(keys)));
        }
        QVERIFY(!s->findChild<QAction *>("Reportabug1")->isVisible());
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
