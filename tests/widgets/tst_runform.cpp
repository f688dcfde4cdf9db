#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "testsupport.h"
#include "ui/run/runform.h"
#include "ui/run/schemepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

// Records the folder and filter each file dialog was opened with.
class FilterPrompts : public ScriptedPrompts
{
public:
    QStringList filters;
    QStringList dirs;
    QString openFile(QWidget *p, const QString &title, const QString &dir,
                     const QString &filter) override
    {
        filters << filter;
        dirs << dir;
        return ScriptedPrompts::openFile(p, title, dir, filter);
    }
};

struct Dialog
{
    TestHome home;
    TIniFile settings{home.path("etc/quillforge.cfg")};
    TIniFile schemes{home.path("etc/runsettings.cfg")};
    std::unique_ptr<TRunForm> form;

    Dialog()
    {
        settings.WriteString("Files_Directories", "Perl", "perl.exe");
        form = std::make_unique<TRunForm>(&settings, &schemes);
    }
    template<typename T>
    T *get(const char *name) const
    {
        T *w = form->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    void setText(const char *combo, const QString &text) const
    {
        get<QComboBox>(combo)->setEditText(text);
    }
    // Presses Run and returns the command handed on, as shown, or "<none>".
    QString run() const
    {
        const Command c = runCommand();
        return c.program == QLatin1String("<none>") ? c.program : c.display();
    }
    Command runCommand() const
    {
        QSignalSpy spy(form.get(), &TRunForm::runRequested);
        QTest::mouseClick(get<QPushButton>("btRun"), Qt::LeftButton);
        return spy.size() == 1 ? spy.at(0).at(0).value<Command>() : Command{"<none>", {}};
    }
    // The part of the dialog that the user can see of a child.
    bool shows(QWidget *w) const
    {
        const QRect r(w->mapTo(form.get(), QPoint(0, 0)), w->size());
        return form->rect().contains(r);
    }
};

} // namespace

class RunFormTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void commandLinePerChoice_data()
    {
        QTest::addColumn<QByteArray>("scheme"); // the scheme's section body, "" for none
        QTest::addColumn<bool>("custom");       // the options page's radio pair
        QTest::addColumn<QString>("choices");   // s = syntax check, d = -d, n = -d:DProf
        QTest::addColumn<QString>("interpreter");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("expected");

        const QByteArray wT = "-wL=1\n-TU=1\n-UU=0\n-vL=0\n-SU=0\n-hL=0\nCustom=-wT\nUseCustom=0\n";
        const QString form = QStringLiteral(" C:\\web\\form.pl ");
        auto row = [](const char *name, const QByteArray &scheme, bool custom, const char *choices,
                      const char *params, const QString &expected, const char *exe = "perl.exe") {
            QTest::newRow(name) << scheme << custom << QString::fromLatin1(choices)
                                << QString::fromLatin1(exe) << QString::fromLatin1(params)
                                << expected;
        };
        row("w and T, plain run", wT, false, "", "", "perl.exe -wT" + form);
        row("syntax check", wT, false, "s", "", "perl.exe -wT  -c" + form);
        row("standard debugger", wT, false, "d", "", "perl.exe -wT  -d" + form);
        row("named debugger", wT, false, "n", "", "perl.exe -wT  -d:DProf" + form);
        row("syntax check and debugger", wT, false, "sd", "", "perl.exe -wT  -c  -d" + form);
        row("no switch, syntax check", "-wL=0\n", false, "s", "", "perl.exe -c" + form);
        row("custom text", "-wL=1\nCustom=-w -Mstrict\nUseCustom=1\n", true, "", "",
            "perl.exe -w -Mstrict" + form);
        row("parameters", "-wL=1\n", false, "", "a b", "perl.exe -w C:\\web\\form.pl a b");
        row("keys in any order, 2 is on, yes is off", "-hL=1\n-TU=yes\n-wL=2\n", false, "", "",
            "perl.exe -wh" + form);
        row("UseCustom in the file does not decide the mode", "-wL=1\nCustom=-X\nUseCustom=1\n",
            false, "", "", "perl.exe -w" + form);
        row("current scheme missing from the file", QByteArray(), false, "", "", "perl.exe" + form);
        row("interpreter path with a blank", "-wL=1\n", false, "", "",
            "\"/opt/my perl/perl\" -w" + form, "/opt/my perl/perl");
    }

    void commandLinePerChoice()
    {
        QFETCH(QByteArray, scheme);
        QFETCH(bool, custom);
        QFETCH(QString, choices);
        QFETCH(QString, interpreter);
        QFETCH(QString, params);
        QFETCH(QString, expected);

        Dialog d;
        d.home.writeFile("etc/runsettings.cfg", "[Other]\n-vL=1\n[Web]\n" + scheme);
        d.settings.WriteString("Config", "LastRunSetting", scheme.isEmpty() ? "Gone" : "web");
        d.form->setCustomModeSource([custom] { return custom; });
        d.setText("edInterpreter", interpreter);
        d.setText("edScript", QStringLiteral("C:\\web\\form.pl"));
        d.setText("edParams", params);
        d.get<QCheckBox>("chkSynCheck")->setChecked(choices.contains(u's'));
        d.get<QCheckBox>("chkDebug")->setChecked(choices.contains(u'd') || choices.contains(u'n'));
        const bool named = choices.contains(u'n');
        d.get<QRadioButton>(named ? "radDebugOther" : "radDebugDef")->setChecked(true);
        d.get<QLineEdit>("edDebugger")->setText(QStringLiteral("DProf"));
        QCOMPARE(d.run(), expected);
    }

    void debuggerChoicesOnlyCountWithDebugging()
    {
        Dialog d;
        d.settings.WriteString("Config", "LastRunSetting", "");
        d.setText("edScript", "x.pl");
        d.get<QRadioButton>("radDebugOther")->setChecked(true);
        d.get<QLineEdit>("edDebugger")->setText("Trace");
        QCOMPARE(d.run(), QStringLiteral("perl.exe x.pl "));
        d.get<QCheckBox>("chkDebug")->setChecked(true);
        QCOMPARE(d.run(), QStringLiteral("perl.exe -d:Trace x.pl "));
        // The two radio buttons exclude each other: exactly one debug switch.
        d.get<QRadioButton>("radDebugDef")->setChecked(true);
        QVERIFY(!d.get<QRadioButton>("radDebugOther")->isChecked());
        QCOMPARE(d.run(), QStringLiteral("perl.exe -d x.pl "));
        // A named debugger without a name is perl's own as well: nothing to fail to load.
        d.get<QRadioButton>("radDebugOther")->setChecked(true);
        d.get<QLineEdit>("edDebugger")->clear();
        QCOMPARE(d.run(), QStringLiteral("perl.exe -d x.pl "));
        // Debug runs ask for the input line, plain runs do not.
        QVERIFY(d.runCommand().keepInputOpen);
        d.get<QCheckBox>("chkDebug")->setChecked(false);
        QVERIFY(!d.runCommand().keepInputOpen);
    }

    void theSchemeIsReadAtTheMomentOfRunning()
    {
        Dialog d;
        d.settings.WriteString("Config", "LastRunSetting", "Default");
        d.setText("edScript", "x.pl");
        QCOMPARE(d.run(), QStringLiteral("perl.exe -w x.pl ")); // the shipped Default
        d.schemes.WriteBool("Default", "-TU", true);
        QCOMPARE(d.run(), QStringLiteral("perl.exe -wT x.pl "));
        d.settings.WriteString("Config", "LastRunSetting", "CGI (taint checks)");
        d.schemes.WriteBool("CGI (taint checks)", "-wL", false);
        QCOMPARE(d.run(), QStringLiteral("perl.exe -T x.pl "));
    }

    void theModeFollowsTheOptionsPage()
    {
        Dialog d;
        d.home.writeFile("etc/runsettings.cfg",
                         "[Default]\n-wL=1\nCustom=-W -Mdiagnostics\nUseCustom=1\n");
        d.settings.WriteString("Config", "LastRunSetting", "Default");
        TSchemePage page(&d.settings, &d.schemes);
        d.form->setCustomModeSource([&page] { return page.customMode(); });
        d.setText("edScript", "x.pl");
        // Until the page has loaded the scheme it shows "Use these settings".
        QCOMPARE(d.run(), QStringLiteral("perl.exe -w x.pl "));
        page.LoadSchemeList();
        QCOMPARE(d.run(), QStringLiteral("perl.exe -W -Mdiagnostics x.pl "));
        // A click on the page counts, accepted or not.
        page.findChild<QRadioButton *>("chkCheckParams")->click();
        QCOMPARE(d.run(), QStringLiteral("perl.exe -w x.pl "));
    }

    void runAndCancelHideTheDialogAndFieldsKeepTheirValues()
    {
        Dialog d;
        d.form->show();
        d.setText("edScript", "/tmp/a.pl");
        d.setText("edParams", "one two");
        d.get<QCheckBox>("chkSynCheck")->setChecked(true);
        QVERIFY(d.run() != QLatin1String("<none>"));
        QVERIFY(!d.form->isVisible());
        d.form->show();
        QTest::mouseClick(d.get<QPushButton>("btCancel"), Qt::LeftButton);
        QVERIFY(!d.form->isVisible());
        d.form->show();
        QTest::keyClick(d.form.get(), Qt::Key_Escape);
        QVERIFY(!d.form->isVisible());
        QCOMPARE(d.get<QComboBox>("edScript")->currentText(), QStringLiteral("/tmp/a.pl"));
        QCOMPARE(d.get<QComboBox>("edParams")->currentText(), QStringLiteral("one two"));
        QVERIFY(d.get<QCheckBox>("chkSynCheck")->isChecked());
    }

    void enterInAFieldRunsAndTheListsStayEmpty()
    {
        Dialog d;
        d.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.form.get()));
        QComboBox *params = d.get<QComboBox>("edParams");
        params->setFocus();
        QSignalSpy spy(d.form.get(), &TRunForm::runRequested);
        QTest::keyClicks(params, "-x");
        QTest::keyClick(params, Qt::Key_Return);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<Command>().arguments.last(), QStringLiteral("-x"));
        for (const char *name : {"edInterpreter", "edScript", "edParams"})
            QCOMPARE(d.get<QComboBox>(name)->count(), 0);
    }

    // A click moves the keyboard focus to Run; the dialog is then hidden and the owner takes
    // the keyboard. Shown again, Enter in a field must still run and never open the options.
    void enterRunsAgainAfterRunWasClicked()
    {
        Dialog d;
        QWidget owner;
        TRunForm form(&d.settings, &d.schemes, &owner);
        owner.show();
        QPushButton *options = form.optionsButton();
        options->setEnabled(true);
        QSignalSpy optionsClicked(options, &QPushButton::clicked);
        QSignalSpy runs(&form, &TRunForm::runRequested);
        form.findChild<QComboBox *>("edScript")->setEditText("x.pl");
        for (int round = 1; round <= 2; ++round) {
            form.show();
            form.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &form);
            if (round == 1) {
                QTest::mouseClick(form.findChild<QPushButton *>("btRun"), Qt::LeftButton);
            } else {
                QComboBox *params = form.findChild<QComboBox *>("edParams");
                QTest::mouseClick(params->lineEdit(), Qt::LeftButton);
                QTest::keyClicks(params->lineEdit(), "-v");
                QTest::keyClick(params->lineEdit(), Qt::Key_Return);
            }
            QCOMPARE(runs.size(), round);
            QVERIFY(!form.isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), &owner);
        }
        QCOMPARE(optionsClicked.size(), 0);
        QVERIFY(form.findChild<QPushButton *>("btRun")->isDefault());
    }

    void theScriptFieldIsOneWordThatNoOneSplits()
    {
        Dialog d;
        d.settings.WriteString("Config", "LastRunSetting", "");
        d.form->show();
        const QString name = QStringLiteral("/srv/say \"hi\"\nthere.pl");
        d.setText("edScript", name);
        d.setText("edParams", "one \"two three\"");
        const Command c = d.runCommand();
        QCOMPARE(c.program, QStringLiteral("perl.exe"));
        QCOMPARE(c.arguments, (QStringList{name, "one", "two three"}));
        QVERIFY(prompts->asked.isEmpty());

        // A NUL can reach no program: the dialog says so and stays open to mend the field.
        d.form->show();
        d.setText("edScript", QStringLiteral("/srv/a") + QChar(0) + QStringLiteral("b.pl"));
        QCOMPARE(d.run(), QStringLiteral("<none>"));
        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Error);
        QVERIFY(prompts->asked.at(0).text.contains(QStringLiteral("\"/srv/a\u2400b.pl\"")));
        QVERIFY(d.form->isVisible());
    }

    void heights()
    {
        Dialog d;
        TRunForm &f = *d.form;
        QGroupBox *debug = d.get<QGroupBox>("GroupBox1");
        QVERIFY(f.collapsedHeight() >= TRunForm::kCollapsedHeight);
        QVERIFY(f.expandedHeight() >= TRunForm::kExpandedHeight);
        QCOMPARE(f.height(), f.collapsedHeight());
        // Collapsed: everything above the debug options fits, the debug options are below.
        QVERIFY(d.shows(d.get<QCheckBox>("chkSynCheck")));
        QVERIFY(d.shows(d.get<QPushButton>("btCancel")));
        QVERIFY(debug->mapTo(&f, QPoint(0, 0)).y() >= f.height());

        QTest::mouseClick(d.get<QToolButton>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(f.height(), f.expandedHeight());
        QVERIFY(d.shows(debug));
        QVERIFY(d.shows(d.get<QWidget>("Label6")));
        QVERIFY(d.shows(d.get<QWidget>("BlinkyLabel1")));

        f.prepare(TRunForm::Purpose::Run);
        QCOMPARE(f.height(), f.collapsedHeight());
        QVERIFY(!d.get<QCheckBox>("chkSynCheck")->isChecked());
        QVERIFY(!d.get<QCheckBox>("chkDebug")->isChecked());
        f.prepare(TRunForm::Purpose::SyntaxCheck);
        QCOMPARE(f.height(), f.collapsedHeight());
        QVERIFY(d.get<QCheckBox>("chkSynCheck")->isChecked());
        QVERIFY(!d.get<QCheckBox>("chkDebug")->isChecked());
        f.prepare(TRunForm::Purpose::Debug);
        QCOMPARE(f.height(), f.expandedHeight());
        QVERIFY(!d.get<QCheckBox>("chkSynCheck")->isChecked());
        QVERIFY(d.get<QCheckBox>("chkDebug")->isChecked());
    }

    void fileButtonsUseTheOpenDialog()
    {
        auto owned = std::make_unique<FilterPrompts>();
        FilterPrompts *files = owned.get();
        Prompts::install(std::move(owned));
        Dialog d;
        d.setText("edScript", "/srv/web/form.pl");
        files->fileAnswers = {"/usr/local/bin/perl", ""};
        QTest::mouseClick(d.get<QToolButton>("SpeedButton1"), Qt::LeftButton);
        QCOMPARE(d.get<QComboBox>("edInterpreter")->currentText(),
                 QStringLiteral("/usr/local/bin/perl"));
        QTest::mouseClick(d.get<QToolButton>("SpeedButton2"), Qt::LeftButton);
        QCOMPARE(d.get<QComboBox>("edScript")->currentText(), QStringLiteral("/srv/web/form.pl"));
        QCOMPARE(files->dirs.value(1), QStringLiteral("/srv/web"));
        QCOMPARE(files->filters.size(), 2);
        for (const QString &filter : files->filters) {
            QCOMPARE(filter.split(QStringLiteral(";;")),
                     (QStringList{"Perl scripts (*.pl *.cgi)", "Pascal / Delphi units (*.pas)",
                                  "All files (*)", "Exfiles (*.exe)"}));
        }
    }

    void theInterpreterComesFromTheSettingsAtCreation()
    {
        TestHome home;
        TIniFile settings(home.path("etc/quillforge.cfg"));
        TIniFile schemes(home.path("etc/runsettings.cfg"));
        TRunForm detected(&settings, &schemes);
        QCOMPARE(detected.findChild<QComboBox *>("edInterpreter")->currentText(), DetectPerl());
        settings.WriteString("Files_Directories", "Perl", "/opt/perl/bin/perl");
        TRunForm configured(&settings, &schemes);
        QCOMPARE(configured.findChild<QComboBox *>("edInterpreter")->currentText(),
                 QStringLiteral("/opt/perl/bin/perl"));
    }

    void aDialogOfItsOwnerThatNeverBlocks()
    {
        TestHome home;
        TIniFile settings(home.path("etc/quillforge.cfg"));
        TIniFile schemes(home.path("etc/runsettings.cfg"));
        QWidget owner;
        auto *f = new TRunForm(&settings, &schemes, &owner);
        QVERIFY(f->isWindow());
        QCOMPARE(f->parentWidget(), &owner);
        QVERIFY(!f->isModal());
        QCOMPARE(f->windowTitle(), QStringLiteral("Run / Syntax check / debug"));
        QVERIFY(!f->findChild<QPushButton *>("btOptions")->isEnabled());
        QCOMPARE(f->findChild<QPushButton *>("btOptions")->toolTip(),
                 QStringLiteral("Set Perl start parameters (e.g. -wT)"));
        // No module name at first: perl's own debugger, which every perl has.
        QCOMPARE(f->findChild<QLineEdit *>("edDebugger")->text(), QString());
        QVERIFY(f->findChild<QRadioButton *>("radDebugDef")->isChecked());
        // Bold captions, plain options.
        QVERIFY(f->findChild<QLabel *>("Label1")->font().bold());
        QVERIFY(f->findChild<QGroupBox *>("GroupBox1")->font().bold());
        for (const char *n : {"chkDebug", "radDebugDef", "radDebugOther", "edDebugger"})
            QVERIFY2(!f->findChild<QWidget *>(n)->font().bold(), n);
        const QString link = f->findChild<QLabel *>("BlinkyLabel1")->text();
        QVERIFY(link.contains(TRunForm::perlSiteAddress()));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(RunFormTest)
#include "tst_runform.moc"
