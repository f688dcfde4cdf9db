#include "core/common/clock.h"
#include "core/common/textfile.h"
#include "core/templates/placeholders.h"
#include "core/templates/templatefile.h"
#include "core/templates/templatelibrary.h"
#include "mainwindowfixture.h"
#include "ui/editor/highlighter.h"
#include "ui/templates/mantempform.h"
#include "ui/templates/templateform.h"
#include "ui/templates/templateicons.h"
#include "ui/templates/templatepalette.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 6), QTime(18, 51, 21));

QByteArray plt(const QString &name, const QString &code, const QString &icons = QString())
{
    return (QStringLiteral("[Info]\r\nName=") + name + QStringLiteral("\r\n") + icons
            + QStringLiteral("\r\n[Script]\r\n") + code)
            .toUtf8();
}

QImage imageOf(const QIcon &icon, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage fileImage(const QString &bmp)
{
    return loadIconPixmap(bmp).value_or(QPixmap()).toImage().convertToFormat(QImage::Format_ARGB32);
}

QStringList buttonNames(const TemplatePalette &p)
{
    QStringList names;
    for (const QToolButton *b : p.buttons())
        names << b->toolTip();
    return names;
}

struct Window
{
    FreshHome h;
    MainWindowFixture f;
    explicit Window(const QStringList &settings = {})
        : f(h.home, settings)
    {}
    TemplatePalette &palette() const { return f->templates(); }
    TTemplateForm &wizard() const { return *palette().wizard(); }
    TManTempForm &manager() const { return *palette().manager(); }
    QString lib(const QString &rel = QString()) const { return h.home.path("lib/" + rel); }
    // Shows a group on the palette that is not the first of the box.
    QString showSecondGroup() const
    {
        palette().groupBox()->setCurrentIndex(1);
        return palette().groupBox()->currentText();
    }
    // Runs the wizard from the group page to Finish with these fields.
    void runWizard(const QString &group, const QString &name, const QString &code) const
    {
        wizard().showWizard();
        wizard().Groups->setEditText(group);
        wizard().edIName->setText(name);
        wizard().edDisplayName->setText(name + QStringLiteral(" shown"));
        wizard().Memo->setPlainText(code);
        for (int i = 0; i < 5 && wizard().isVisible(); ++i)
            wizard().btNext->click();
    }
    QTreeWidgetItem *row(const QString &name) const
    {
        const auto rows = manager().lvTemps->findItems(name, Qt::MatchExactly);
        return rows.isEmpty() ? nullptr : rows.front();
    }
    void selectGroup(const QString &group) const
    {
        const auto items = manager().lvGroups->findItems(group, Qt::MatchFixedString);
        QVERIFY(!items.isEmpty());
        manager().lvGroups->setCurrentItem(items.front());
    }
};

class FailingCommit : public AtomicWriteSteps
{
public:
    bool commit(QSaveFile &) override { return false; }
};

// A group folder whose files cannot be removed: a read-only file system for root (who may
// remove anything from a folder without write permission), that folder for anyone else.
struct LockedGroup
{
    QByteArray folder;
    bool mounted = false;
    bool locked = false;

    LockedGroup(const QString &path, const QByteArray &templateFile)
        : folder(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        if (::geteuid() == 0) {
            if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k,mode=0755") != 0)
                return;
            mounted = true;
        }
        QFile f(path + QStringLiteral("/locked.plt"));
        if (!f.open(QIODevice::WriteOnly) || f.write(templateFile) != templateFile.size())
            return;
        f.close();
        locked = mounted ? ::mount("tmpfs", folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                                   "size=64k")
                                   == 0
                         : ::chmod(folder.constData(), 0555) == 0;
    }
    ~LockedGroup()
    {
        if (mounted)
            ::umount2(folder.constData(), MNT_DETACH);
        else
            ::chmod(folder.constData(), 0755);
    }
};

} // namespace

class TemplatesTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Clock::setFixed(kWhen);
        setPlaceholderUserName(QStringLiteral("Ada Lovelace"));
    }
    void cleanup()
    {
        Clock::setFixed(QDateTime());
        setPlaceholderUserName(QString());
        setAtomicWriteSteps(nullptr);
    }

    // --- the palette ---------------------------------------------------------------------

    void paletteShowsTheShippedGroupsWithTheirOwnIcons()
    {
        Window w;
        QStringList groups = w.palette().groups();
        groups.sort();
        QCOMPARE(groups, (QStringList{"Cgi", "Standard"}));
        QCOMPARE(w.palette().groupBox()->currentText(), QStringLiteral("Standard"));
        const QStringList files = ListTemplateFiles(w.lib("Standard/"), "*.plt");
        QVERIFY(files.size() >= 10);
        QStringList names;
        QStringList paths;
        for (const QString &f : files) {
            paths << w.lib("Standard/" + f);
            names << TemplateInfo::read(paths.back())->value("Name", QString());
        }
        QCOMPARE(w.palette().templatePaths(), paths);
        QCOMPARE(buttonNames(w.palette()), names);
        // Each shipped template brings its own pictures, hot and cold differing.
        for (int i = 0; i < files.size(); ++i) {
            TStruct_Template t;
            ReadTemplateInfo(paths[i], t);
            const QIcon icon = w.palette().buttons()[i]->icon();
            QCOMPARE(imageOf(icon), fileImage(w.lib(t.Icon + ".bmp")));
            QCOMPARE(imageOf(icon, QIcon::Active), fileImage(w.lib(t.IconFocused + ".bmp")));
            QVERIFY(imageOf(icon) != imageOf(icon, QIcon::Active));
        }
        w.palette().groupBox()->setCurrentText("Cgi");
        QVERIFY(buttonNames(w.palette()).contains("CGI header"));
    }

    void captionsFollowTheSettingAndHintsStay()
    {
        Window w({"Config/TemplateCaptions=0"});
        QVERIFY(!w.palette().buttons().isEmpty());
        for (const QToolButton *b : w.palette().buttons()) {
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
            QVERIFY(!b->toolTip().isEmpty());
        }
        TIniFile(w.h.home.path("etc/quillforge.cfg")).WriteString("Config", "TemplateCaptions", "1");
        w.f->ApplyOptions();
        QCOMPARE(w.palette().buttons().front()->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }

    void missingIconsFallBackToTheDefaultsThenToImageZero()
    {
        Window w;
        w.h.home.writeFile("lib/Icons/a.plt", plt("No such icon", "1;", "Icon=nothere\r\n"));
        w.h.home.writeFile("lib/Icons/b.plt", plt("No icon keys", "2;"));
        w.h.home.writeFile("lib/Icons/c.plt", plt("Not a bitmap", "3;", "Icon=broken\r\n"));
        w.h.home.writeFile("lib/broken.bmp", "this is text");
        w.palette().FillTemplatePalette("Icons");
        QCOMPARE(w.palette().buttons().size(), 3);
        for (const QToolButton *b : w.palette().buttons()) {
            QCOMPARE(imageOf(b->icon()), fileImage(w.lib("default_d.bmp")));
            QCOMPARE(imageOf(b->icon(), QIcon::Active), fileImage(w.lib("default_a.bmp")));
        }
        QFile::remove(w.lib("default_d.bmp"));
        w.palette().FillTemplatePalette("Icons");
        QCOMPARE(w.palette().imageCount(), 7); // nothing appended: every button shows image 0
        const QImage zero = builtinPaletteImages(w.lib()).front().toImage().convertToFormat(
                QImage::Format_ARGB32);
        for (const QToolButton *b : w.palette().buttons())
            QCOMPARE(imageOf(b->icon()), zero);
    }

    // The palette takes the room its buttons need, as far as the window has it, whichever
    // group it showed before.
    void thePaletteGrowsAndShrinksWithItsGroup()
    {
        Window w;
        QWidget *scroller = w.f.get("PageScroller1");
        QComboBox *box = w.palette().groupBox();
        for (int i = 0; i < 2; ++i)
            w.h.home.writeFile(QString("lib/Few/t%1.plt").arg(i), plt("Few", "1;"));
        w.palette().addGroup("Few");
        QHash<QString, int> first;
        for (const QString group : {"Standard", "Few", "Cgi", "Standard", "Few", "Standard"}) {
            box->setCurrentText(group);
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            if (group != QLatin1String("Standard"))
                QCOMPARE(scroller->width(), scroller->sizeHint().width()); // they fit
            if (!first.contains(group))
                first.insert(group, scroller->width());
            QCOMPARE(scroller->width(), first.value(group));
        }
    }

    void aLibraryOfOddFilesFillsWithWhatItCanRead()
    {
        Window w;
        w.h.home.writeFile("lib/Odd/noinfo.plt", "[Script]\r\nprint 1;\r\n");
        w.h.home.writeFile("lib/Odd/empty.plt", "");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char(i * 7));
        w.h.home.writeFile("lib/Odd/binary.plt", binary);
        w.h.home.writeFile("lib/Odd/long.plt", plt(QString(100000, u'n'), "x"));
        QDir().mkpath(w.lib("Odd/folder.plt"));
        w.palette().FillTemplatePalette("Odd");
        QCOMPARE(w.palette().buttons().size(), 4);
        QVERIFY(buttonNames(w.palette()).contains(QString(2047, u'n')));
        for (const QToolButton *b : w.palette().buttons())
            QVERIFY(b->sizeHint().width() < 400); // a long name is cut on the button
        QVERIFY(buttonNames(w.palette()).contains(QString()));
    }

    void clickInsertsTheExpandedCodeInPlaceOfTheSelectionAsOneStep()
    {
        Window w;
        w.h.home.writeFile("lib/Mine/t.plt",
                           plt("Header",
                               "# by !!!#user#!!!\r\n# on !!!#NOW#!!!\r\nmy $x = 1;\r\n"));
        w.palette().FillTemplatePalette("Mine");
        TScriptEditor *doc = w.f->CurrentDocument();
        doc->Editor->setPlainText("first\nlast\n");
        doc->setSaved(true);
        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(6);
        c.setPosition(10, QTextCursor::KeepAnchor); // "last"
        doc->Editor->setTextCursor(c);

        w.palette().buttons().front()->click();
        const QString inserted = QStringLiteral("# by Ada Lovelace\n# on %1 18:51:21\nmy $x = 1;\n")
                                         .arg(QLocale().toString(kWhen.date(),
                                                                 QLocale::ShortFormat));
        QCOMPARE(doc->Editor->toPlainText(), "first\n" + inserted + "\n");
        QCOMPARE(doc->Editor->textCursor().position(), 6 + int(inserted.size()));
        QVERIFY(!doc->saved());
        QCOMPARE(w.h.home.readFile("etc/template.tmp"),
                 QString(inserted).replace("\n", "\r\n").toUtf8());
        doc->Editor->undo();
        QCOMPARE(doc->Editor->toPlainText(), QStringLiteral("first\nlast\n"));
        QVERIFY(doc->saved());
    }

    void insertedCodeIsColouredFromTheInsertionPoint()
    {
        Window w;
        w.h.home.writeFile("lib/Mine/t.plt", plt("Sub", "sub name {\r\n    return 1;\r\n}\r\n"));
        w.palette().FillTemplatePalette("Mine");
        TScriptEditor *doc = w.f->CurrentDocument();
        doc->Editor->setPlainText("# start\n");
        doc->Highlighter->finish();
        QTextCursor c = doc->Editor->textCursor();
        c.movePosition(QTextCursor::End);
        doc->Editor->setTextCursor(c);
        w.palette().TemplateButtonClick(0);
        doc->Highlighter->finish();
        bool coloured = false;
        for (const PaintSpan &s : doc->Highlighter->spans())
            coloured = coloured || (s.start >= 8 && s.definition >= 0);
        QVERIFY(coloured);
    }

    void withoutAScriptOrATemplateNothingIsInserted()
    {
        Window w;
        TScriptEditor *doc = w.f->CurrentDocument();
        doc->Editor->setPlainText("kept");
        QFile::remove(w.palette().templatePaths().front());
        w.palette().TemplateButtonClick(0);
        QCOMPARE(doc->Editor->toPlainText(), QStringLiteral("kept"));
        w.f.docs().closeCurrentNow();
        QVERIFY(!w.f->CurrentDocument());
        w.palette().TemplateButtonClick(1);
        QVERIFY(!QFileInfo::exists(w.h.home.path("etc/template.tmp")));
        QVERIFY(w.h.prompts->messages().isEmpty());
    }

    // --- the wizard ----------------------------------------------------------------------

    void wizardPagesNextBackAndFinish()
    {
        Window w;
        w.f.trigger("Createnewcodetemplate1");
        TTemplateForm &t = w.wizard();
        QVERIFY(t.isVisible());
        QCOMPARE(t.windowTitle(), QStringLiteral("Create code template"));
        QCOMPARE(t.page(), 0);
        QVERIFY(!t.btBack->isEnabled());
        QCOMPARE(t.Groups->currentText(), QStringLiteral("Standard"));
        QCOMPARE(t.Groups->count(), w.palette().groups().size());
        for (int page = 1; page <= 4; ++page) {
            t.btNext->click();
            QCOMPARE(t.page(), page);
            QVERIFY(t.btBack->isEnabled());
        }
        QCOMPARE(t.btNext->text(), QStringLiteral("Finish"));
        t.btBack->click();
        QCOMPARE(t.page(), 3);
        QCOMPARE(t.btNext->text(), QStringLiteral("&Next >>"));
        for (int page = 2; page >= 0; --page)
            t.btBack->click();
        QCOMPARE(t.page(), 0);
        QVERIFY(!t.btBack->isEnabled());
        t.Button3->click();
        QVERIFY(!t.isVisible());
        QVERIFY(!QFileInfo::exists(w.lib("Standard/newtemplate.plt")));
        // The icon page offers every readable bitmap of lib/, by lower-case name.
        QVERIFY(!t.popFIcons->actions().isEmpty());
        QCOMPARE(t.popFIcons->actions().size(), t.popNIcons->actions().size());
        QCOMPARE(t.popFIcons->actions().front()->text(), QStringLiteral("cgi_a"));
    }

    void finishWritesTheFileThenShowsItInTheGroupTheBoxNames()
    {
        Window w;
        const QString group = w.showSecondGroup();
        w.runWizard(group, "mine", "print \"mine\\n\";\n\tindented");
        QVERIFY(!w.wizard().isVisible());
        const QString file = groupFolder(w.lib(), group) + "mine.plt";
        QCOMPARE(w.h.home.readFile(QDir(w.h.home.dir()).relativeFilePath(file)),
                 QByteArray("[Info]\r\nName=mine shown\r\nCopyRight=(c) Ostravine Quillforge "
                            "user\r\nVersion=1.0\r\nNotes=[none]\r\nIconFocused=default_a\r\n"
                            "Icon=default_d\r\n\r\n[Script]\r\nprint \"mine\\n\";\r\n"
                            "\tindented\r\n"));
        QCOMPARE(w.palette().groupBox()->currentText(), group);
        QVERIFY(w.palette().templatePaths().contains(file));
        QVERIFY(buttonNames(w.palette()).contains("mine shown"));
        for (const QString &p : w.palette().templatePaths())
            QVERIFY2(p.startsWith(groupFolder(w.lib(), group)), qPrintable(p));
    }

    void aNewGroupJoinsTheBoxAtOnce()
    {
        Window w;
        w.runWizard("snippets", "one", "1;");
        QVERIFY(QFileInfo::exists(w.lib("snippets/one.plt")));
        QVERIFY(w.palette().groups().contains("Snippets"));
        QCOMPARE(w.palette().groupBox()->currentText(), QStringLiteral("Standard"));
    }

    void emptyOrEscapingNamesAreRefusedOnTheirPage()
    {
        Window w;
        TTemplateForm &t = w.wizard();
        t.showWizard();
        for (const QString &bad : {QString(), QStringLiteral("../outside")}) {
            t.Groups->setEditText(bad);
            t.btNext->click();
            QCOMPARE(t.page(), 0);
            QVERIFY(w.h.prompts->messages().last().startsWith("Oops!"));
        }
        t.Groups->setEditText("Standard");
        t.btNext->click();
        t.btNext->click();
        QCOMPARE(t.page(), 2);
        const int asked = w.h.prompts->messages().size();
        t.edIName->clear();
        t.btNext->click();
        QCOMPARE(t.page(), 2);
        QCOMPARE(w.h.prompts->messages().size(), asked + 1);
        // Changed behind the pages' backs: Finish goes back to the page of the field.
        t.edIName->setText("fine");
        t.btNext->click();
        t.btNext->click();
        QCOMPARE(t.page(), 4);
        t.edIName->setText("a/b");
        t.btNext->click();
        QCOMPARE(t.page(), 2);
        QCOMPARE(t.btNext->text(), QStringLiteral("&Next >>"));
        QVERIFY(t.isVisible());
        QVERIFY(!QFileInfo::exists(w.lib("Standard/.plt")));
        QVERIFY(!QFileInfo::exists(w.lib("Standard/a")));
        QVERIFY(ListTemplateFiles(w.lib(), "*.plt").isEmpty());
    }

    void aFailedWriteKeepsTheWizardOpenWithWhatWasTyped()
    {
        Window w;
        const int buttons = w.palette().buttons().size();
        FailingCommit failing;
        setAtomicWriteSteps(&failing);
        w.runWizard("Standard", "lost", "precious code");
        QVERIFY(w.wizard().isVisible());
        QCOMPARE(w.wizard().page(), 4);
        QVERIFY(w.h.prompts->messages().last().contains("Unable to write to"));
        QCOMPARE(w.wizard().Memo->toPlainText(), QStringLiteral("precious code"));
        QCOMPARE(w.wizard().edIName->text(), QStringLiteral("lost"));
        QCOMPARE(w.palette().buttons().size(), buttons);
        setAtomicWriteSteps(nullptr);
        w.wizard().btNext->click();
        QVERIFY(!w.wizard().isVisible());
        QCOMPARE(readTemplateCode(w.lib("Standard/lost.plt")), QStringList{"precious code"});
    }

    void aUserIconIsCopiedIntoTheLibraryAndOfferedNextTime()
    {
        Window w;
        const QString mine = w.h.home.path("MyIcon.BMP");
        QVERIFY(QFile::copy(w.lib("hash_a.bmp"), mine));
        TTemplateForm &t = w.wizard();
        t.showWizard();
        QVERIFY(!t.ToolButton1->isEnabled());
        t.radFUser->setChecked(true);
        QVERIFY(t.ToolButton1->isEnabled() && !t.FBtn->isEnabled());
        w.h.prompts->fileAnswers.push_back(mine);
        t.findChild<QAction *>("Loadfromfile1")->trigger();
        QCOMPARE(w.h.prompts->asked.last().filter, QStringLiteral("Bitmaps 16x16 (*.bmp)"));
        QCOMPARE(imageOf(t.ToolButton1->icon()), fileImage(mine));
        t.radNAvail->setChecked(true);
        QAction *regex = nullptr;
        for (QAction *a : t.popNIcons->actions())
            regex = a->text() == "regex_d" ? a : regex;
        QVERIFY(regex);
        regex->trigger();
        w.runWizard("Standard", "iconic", "1;");
        const auto info = TemplateInfo::read(w.lib("Standard/iconic.plt"));
        QVERIFY(info);
        QCOMPARE(info->value("IconFocused", "-"), QStringLiteral("MyIcon"));
        QCOMPARE(info->value("Icon", "-"), QStringLiteral("regex_d"));
        QCOMPARE(w.h.home.readFile("lib/MyIcon.BMP"), w.h.home.readFile("MyIcon.BMP"));
        const int button = w.palette().templatePaths().indexOf(w.lib("Standard/iconic.plt"));
        QVERIFY(button >= 0);
        QCOMPARE(imageOf(w.palette().buttons()[button]->icon(), QIcon::Active), fileImage(mine));
        t.showWizard();
        int listed = 0;
        for (QMenu *m : {t.popFIcons, t.popNIcons}) {
            for (QAction *a : m->actions())
                listed += a->text() == "myicon" && imageOf(a->icon()) == fileImage(mine);
        }
        QCOMPARE(listed, 2);
        // A file that is no bitmap is refused when loaded, and the icon stays.
        w.h.prompts->fileAnswers.push_back(w.lib("Standard/iconic.plt"));
        t.findChild<QAction *>("Loadfromfile1")->trigger();
        QVERIFY(w.h.prompts->messages().last().contains("is not a bitmap"));
        QCOMPARE(imageOf(t.ToolButton1->icon()), fileImage(mine));
    }

    void editingRewritesTheSameFileWithItsCodeExactly()
    {
        Window w;
        const QString code = QString::fromUtf8("\tmy $s = \"caf\xc3\xa9 \xe2\x82\xac\";   \n"
                                               "my $nb = 'a\xc2\xa0"
                                               "b';\n\n  [Script]  \nend");
        TemplateFileValues v;
        v.Name = "Edited";
        v.CopyRight = "(c) someone";
        v.Version = "2.1";
        v.Notes = "kept";
        v.code = code.split('\n');
        const QString path = WriteTemplateFile(w.lib(), "Standard", "EditMe", v);
        w.palette().manager()->showManager();
        w.selectGroup("Standard");
        w.manager().lvTemps->setCurrentItem(w.row("Edited"));
        w.manager().SpeedButton4->click();
        TTemplateForm &t = w.wizard();
        QVERIFY(t.isVisible());
        QVERIFY(w.manager().isVisible());
        QCOMPARE(t.page(), 1);
        QVERIFY(t.btBack->isEnabled());
        QCOMPARE(t.Groups->currentText(), QStringLiteral("Standard"));
        QCOMPARE(t.edIName->text(), QStringLiteral("editme"));
        QCOMPARE(t.edDisplayName->text(), QStringLiteral("Edited"));
        QCOMPARE(t.edCopyright->text(), QStringLiteral("(c) someone"));
        QCOMPARE(t.edVersion->text(), QStringLiteral("2.1"));
        QCOMPARE(t.edNotes->text(), QStringLiteral("kept"));
        for (int i = 0; i < 4; ++i)
            t.btNext->click();
        QVERIFY(!t.isVisible());
        QCOMPARE(readTemplateCode(path), code.split('\n'));
        QCOMPARE(QDir(w.lib("Standard")).entryList({"editme.plt", "EditMe.plt"}, QDir::Files),
                 QStringList{"EditMe.plt"});
        QVERIFY(w.row("Edited")); // the manager's list follows
    }

    void theEditorsSelectionBecomesTheCode()
    {
        Window w;
        TScriptEditor *doc = w.f->CurrentDocument();
        doc->Editor->setPlainText("a\nsub x {\n  1;\n}\nb");
        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(2);
        c.setPosition(16, QTextCursor::KeepAnchor);
        doc->Editor->setTextCursor(c);
        w.f.trigger("CreateTemplatefromselection1");
        QVERIFY(w.wizard().isVisible());
        QCOMPARE(w.wizard().Memo->toPlainText(), QStringLiteral("sub x {\n  1;\n}"));
        w.wizard().Memo->setPlainText("typed");
        w.f.trigger("Createnewtemplatefromselection1");
        QCOMPARE(w.wizard().Memo->toPlainText(), QStringLiteral("typed"));
    }

    // --- the manager ---------------------------------------------------------------------

    void managerListsGroupsAndTemplatesWithTheirValues()
    {
        Window w;
        w.h.home.writeFile("lib/Standard/plain.plt",
                           "[Info]\r\nName=Plain\r\nVersion=3\r\n\r\n[Script]\r\n1;\r\n");
        w.f.trigger("Arrangetemplatepalette1");
        TManTempForm &m = w.manager();
        QVERIFY(m.isVisible());
        QCOMPARE(m.windowTitle(), QStringLiteral("Template palette"));
        QStringList listed;
        for (int i = 0; i < m.lvGroups->count(); ++i)
            listed << m.lvGroups->item(i)->text();
        QCOMPARE(listed, w.palette().groups());
        QCOMPARE(m.lvTemps->topLevelItemCount(), 0);
        w.selectGroup("Standard");
        QCOMPARE(m.lvTemps->topLevelItemCount(),
                 ListTemplateFiles(w.lib("Standard"), "*.plt").size());
        QTreeWidgetItem *plain = w.row("Plain");
        QVERIFY(plain);
        QCOMPARE(plain->text(1), w.lib("Standard/plain.plt"));
        QCOMPARE(plain->text(2), QStringLiteral("3"));
        QCOMPARE(plain->text(3), QStringLiteral("[?]"));
        QCOMPARE(plain->text(4), QStringLiteral("[?]"));
        QCOMPARE(imageOf(plain->icon(0)), fileImage(w.lib("default_a.bmp")));
        QCOMPARE(imageOf(w.row("Subroutine")->icon(0)), fileImage(w.lib("sub_a.bmp")));
        QVERIFY(!m.SpeedButton5->isEnabled() && !m.SpeedButton6->isEnabled());
    }

    void deletingATemplateAsksFirst()
    {
        Window w;
        w.h.home.writeFile("lib/Standard/gone.plt", plt("Gone", "1;"));
        w.manager().showManager();
        w.selectGroup("Standard");
        w.manager().lvTemps->setCurrentItem(w.row("Gone"));
        w.manager().SpeedButton3->click(); // answered No
        QVERIFY(QFileInfo::exists(w.lib("Standard/gone.plt")));
        QCOMPARE(w.h.prompts->asked.last().text,
                 QStringLiteral("Really delete template file \"%1\" ?")
                         .arg(w.lib("Standard/gone.plt")));
        w.h.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.manager().SpeedButton3->click();
        QVERIFY(!QFileInfo::exists(w.lib("Standard/gone.plt")));
        QVERIFY(!w.row("Gone"));
        QVERIFY(QFileInfo::exists(w.lib("default_d.bmp")));
    }

    void removingAGroupLeavesTheBoxAtOnce()
    {
        Window w;
        w.manager().showManager();
        w.selectGroup("Cgi");
        w.h.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.manager().SpeedButton1->click();
        QCOMPARE(w.h.prompts->asked.last().text,
                 QStringLiteral("Really delete folder \"Cgi\" and all its template files?"));
        QVERIFY(!QFileInfo::exists(w.lib("Cgi")));
        QVERIFY(w.manager().lvGroups->findItems("Cgi", Qt::MatchExactly).isEmpty());
        QVERIFY(!w.palette().groups().contains("Cgi"));
        QCOMPARE(w.palette().groupBox()->currentText(), QStringLiteral("Standard"));
    }

    void aGroupFolderWithOtherFilesStaysAndSaysSo()
    {
        Window w;
        w.h.home.writeFile("lib/Cgi/readme.txt", "not a template");
        w.manager().showManager();
        w.selectGroup("Cgi");
        w.h.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.manager().SpeedButton1->click();
        QVERIFY(ListTemplateFiles(w.lib("Cgi"), "*.plt").isEmpty());
        QVERIFY(QFileInfo::exists(w.lib("Cgi/readme.txt")));
        QCOMPARE(w.manager().lvGroups->findItems("Cgi", Qt::MatchExactly).size(), 1);
        QVERIFY(w.palette().groups().contains("Cgi"));
        QVERIFY(w.h.prompts->messages().last().contains("stays"));
    }

    void whatCannotBeRemovedStaysListedWithAMessage()
    {
        Window w;
        LockedGroup locked(w.lib("Locked"), plt("Locked in", "1;"));
        if (!locked.locked)
            QSKIP("no folder whose files cannot be removed can be made here");
        w.palette().addGroup("Locked");
        w.manager().showManager();
        w.selectGroup("Locked");
        QVERIFY(w.row("Locked in"));
        w.manager().lvTemps->setCurrentItem(w.row("Locked in"));
        w.h.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.manager().SpeedButton3->click();
        QVERIFY(w.row("Locked in"));
        QVERIFY(w.h.prompts->messages().last().contains("Unable to delete"));
        w.h.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.manager().SpeedButton1->click();
        QCOMPARE(w.manager().lvGroups->findItems("Locked", Qt::MatchExactly).size(), 1);
        QVERIFY(w.palette().groups().contains("Locked"));
        QVERIFY(w.h.prompts->messages().last().contains("could not be deleted"));
    }

    void newGroupMakesItsFolderAndJoinsTheBox()
    {
        Window w;
        w.manager().showManager();
        w.manager().SpeedButton2->click(); // cancelled
        QCOMPARE(w.h.prompts->asked.last().text, QStringLiteral("Enter a name for a new group."));
        const int groups = w.manager().lvGroups->count();
        QCOMPARE(groups, w.palette().groups().size());
        for (const QString &bad : {QString(), QStringLiteral("../escape")}) {
            w.h.prompts->fileAnswers.push_back(bad);
            w.manager().SpeedButton2->click();
            QVERIFY(w.h.prompts->messages().last().startsWith("Oops!"));
        }
        QCOMPARE(w.manager().lvGroups->count(), groups);
        QVERIFY(!QFileInfo::exists(w.h.home.path("escape")));
        w.h.prompts->fileAnswers.push_back("Snippets");
        w.manager().SpeedButton2->click();
        QVERIFY(QFileInfo(w.lib("Snippets")).isDir());
        QCOMPARE(w.manager().lvGroups->count(), groups + 1);
        QVERIFY(w.palette().groups().contains("Snippets"));
    }

    void closeShowsTheBoxsGroupAsItIsNow()
    {
        Window w;
        const QString group = w.showSecondGroup();
        w.manager().showManager();
        w.h.home.writeFile(QDir(w.h.home.dir()).relativeFilePath(groupFolder(w.lib(), group))
                                   + "/late.plt",
                           plt("Late", "1;"));
        w.manager().Button1->click();
        QVERIFY(!w.manager().isVisible());
        QCOMPARE(w.palette().groupBox()->currentText(), group);
        QVERIFY(buttonNames(w.palette()).contains("Late"));
    }
};

QTEST_MAIN(TemplatesTest)
#include "tst_templates.moc"
