#include "core/settings/inifile.h"
#include "testsupport.h"
#include "ui/run/schemepage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QByteArray kSchemes
        = "[Default]\n-wL=1\n-TU=0\n-UU=0\n-vL=0\n-SU=0\n-hL=0\nCustom=-w\nUseCustom=0\n"
          "[Web]\n-wL=1\n-TU=1\n-UU=0\n-vL=0\n-SU=0\n-hL=1\nCustom=-T -Mstrict\nUseCustom=1\n"
          "[Temporary]\n-vL=1\n";

struct Page
{
    TestHome home;
    TIniFile settings{home.path("etc/quillforge.cfg")};
    TIniFile schemes{home.path("etc/runsettings.cfg")};
    std::unique_ptr<TSchemePage> page;

    explicit Page(const QString &last)
    {
        home.writeFile("etc/runsettings.cfg", kSchemes);
        settings.WriteString("Config", "LastRunSetting", last);
        page = std::make_unique<TSchemePage>(&settings, &schemes);
        page->LoadSchemeList();
    }
    template<typename T>
    T *get(const char *name) const
    {
        T *w = page->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    QComboBox *selector() const { return get<QComboBox>("edRunOptions"); }
    QString last() const { return settings.ReadString("Config", "LastRunSetting", "<missing>"); }
    // The six boxes as letters, in their fixed order.
    QString switches() const
    {
        QString s;
        for (const char *n : {"chkWL", "chkTU", "chkUU", "chkVL", "chkSU", "chkHL"})
            s += get<QCheckBox>(n)->isChecked() ? QLatin1Char(n[3]) : QLatin1Char('-');
        return s;
    }
    void choose(int index) const
    {
        selector()->setCurrentIndex(index);
        emit selector()->activated(index);
    }
    void click(const char *button) const
    {
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
    }
};

} // namespace

class SchemePageTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void loadingListsTheFileAndShowsTheCurrentScheme()
    {
        Page p(QStringLiteral("web"));
        QStringList names;
        for (int i = 0; i < p.selector()->count(); ++i)
            names << p.selector()->itemText(i);
        QCOMPARE(names, (QStringList{"Default", "Web", "Temporary"}));
        QCOMPARE(p.selector()->currentText(), QStringLiteral("Web"));
        QCOMPARE(p.last(), QStringLiteral("Web"));
        QCOMPARE(p.switches(), QStringLiteral("WT---H"));
        QCOMPARE(p.get<QLineEdit>("edCustomParams")->text(), QStringLiteral("-T -Mstrict"));
        QVERIFY(p.page->customMode());
    }

    void aCurrentNameThatIsNoSchemeSelectsNothingAndIsCleared()
    {
        Page p(QStringLiteral("Gone"));
        QCOMPARE(p.selector()->currentIndex(), -1);
        QCOMPARE(p.last(), QString());
        // What a missing scheme reads as: everything off, "-wT", switch mode.
        QCOMPARE(p.switches(), QStringLiteral("------"));
        QCOMPARE(p.get<QLineEdit>("edCustomParams")->text(), QStringLiteral("-wT"));
        QVERIFY(!p.page->customMode());
    }

    void selectingMakesTheSchemeCurrentAtOnce()
    {
        Page p(QStringLiteral("Web"));
        p.choose(2);
        QCOMPARE(p.last(), QStringLiteral("Temporary"));
        QCOMPARE(p.switches(), QStringLiteral("---V--"));
        QCOMPARE(p.get<QLineEdit>("edCustomParams")->text(), QStringLiteral("-wT"));
        QVERIFY(p.get<QRadioButton>("chkCheckParams")->isChecked());
        p.choose(1);
        QVERIFY(p.get<QRadioButton>("chkCustomParams")->isChecked());
    }

    void theEnablingRuleFollowsTheRadioPair()
    {
        Page p(QStringLiteral("Default"));
        auto check = [&p](bool custom) {
            for (const char *n : {"chkWL", "chkTU", "chkUU", "chkVL", "chkSU", "chkHL"})
                QCOMPARE(p.get<QCheckBox>(n)->isEnabled(), !custom);
            QCOMPARE(p.get<QGroupBox>("grpCheckParams")->isEnabled(), !custom);
            QCOMPARE(p.get<QGroupBox>("grpCustomParams")->isEnabled(), custom);
            QLineEdit *field = p.get<QLineEdit>("edCustomParams");
            QCOMPARE(field->isEnabled(), custom);
            const QPalette::ColorRole paint = custom ? QPalette::Base : QPalette::Button;
            const auto group = field->isEnabled() ? QPalette::Active : QPalette::Disabled;
            QCOMPARE(field->palette().color(group, QPalette::Base),
                     p.page->palette().color(QPalette::Active, paint));
        };
        check(false);
        p.get<QRadioButton>("chkCustomParams")->click();
        check(true);
        p.get<QRadioButton>("chkCheckParams")->click();
        check(false);
        p.choose(1); // Web is stored in custom mode
        check(true);
    }

    void addingWritesAllEightKeysAndMakesTheSchemeCurrent()
    {
        Page p(QStringLiteral("Default"));
        p.get<QCheckBox>("chkTU")->setChecked(true);
        p.get<QLineEdit>("edCustomParams")->setText("-wT");
        prompts->fileAnswers = {"New one"};
        p.click("SpeedButton4");
        QCOMPARE(prompts->asked.value(0).what, QStringLiteral("input"));
        QCOMPARE(prompts->asked.value(0).text,
                 QStringLiteral("Please enter a name for the new scheme."));
        QVERIFY(p.home.readFile("etc/runsettings.cfg")
                        .endsWith("[New one]\n-wL=1\n-TU=1\n-UU=0\n-vL=0\n-SU=0\n-hL=0\n"
                                  "Custom=-wT\nUseCustom=0\n"));
        QCOMPARE(p.last(), QStringLiteral("New one"));
        QCOMPARE(p.selector()->currentText(), QStringLiteral("New one"));
        QCOMPARE(p.selector()->count(), 4);

        // Cancel adds nothing.
        const QByteArray before = p.home.readFile("etc/runsettings.cfg");
        p.click("SpeedButton4");
        QCOMPARE(p.home.readFile("etc/runsettings.cfg"), before);
    }

    void savingAnExistingNameOverwritesItKeyByKey()
    {
        Page p(QStringLiteral("Web"));
        p.get<QRadioButton>("chkCheckParams")->click();
        p.get<QCheckBox>("chkHL")->setChecked(false);
        p.page->SaveScheme(p.selector()->currentText()); // what Accept does
        QCOMPARE(p.selector()->count(), 3);
        QCOMPARE(p.last(), QStringLiteral("Web"));
        TIniFile &s = p.schemes;
        QVERIFY(!s.ReadBool("Web", "-hL", true));
        QVERIFY(!s.ReadBool("Web", "UseCustom", true));
        QCOMPARE(s.ReadString("Web", "Custom", ""), QStringLiteral("-T -Mstrict"));
    }

    void namesTheFileCannotHoldAreRefusedWithAMessage()
    {
        Page p(QStringLiteral("Default"));
        const QByteArray before = p.home.readFile("etc/runsettings.cfg");
        prompts->fileAnswers = {"a]b", ""};
        p.click("SpeedButton4");
        p.click("SpeedButton4");
        const QStringList shown = prompts->messages();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.at(0).startsWith(QLatin1String("Oops! The name \"a]b\" cannot be stored.")));
        QVERIFY(shown.at(1).startsWith(QLatin1String("Oops!")));
        QCOMPARE(p.home.readFile("etc/runsettings.cfg"), before);
        QCOMPARE(p.last(), QStringLiteral("Default"));
    }

    void theDefaultSchemeCannotBeDeleted()
    {
        Page p(QStringLiteral("Default"));
        const QByteArray before = p.home.readFile("etc/runsettings.cfg");
        p.click("SpeedButton9");
        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Error);
        QCOMPARE(prompts->asked.at(0).text,
                 QStringLiteral("Oops! You cannot remove the default scheme."));
        QCOMPARE(p.home.readFile("etc/runsettings.cfg"), before);
        QCOMPARE(p.selector()->count(), 3);
    }

    void deletingAsksAndThenMakesTheFirstSchemeCurrent()
    {
        Page p(QStringLiteral("Web"));
        const QByteArray before = p.home.readFile("etc/runsettings.cfg");
        prompts->buttonAnswers = {QMessageBox::No, QMessageBox::Yes};
        p.click("SpeedButton9");
        QCOMPARE(prompts->asked.at(0).kind, Prompts::Kind::Confirmation);
        QCOMPARE(prompts->asked.at(0).text, QStringLiteral("Really delete scheme \"Web\" now?"));
        QCOMPARE(prompts->asked.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(p.home.readFile("etc/runsettings.cfg"), before);
        QCOMPARE(p.last(), QStringLiteral("Web"));

        p.click("SpeedButton9");
        QVERIFY(!p.schemes.SectionExists("Web"));
        QCOMPARE(p.selector()->count(), 2);
        QCOMPARE(p.selector()->currentIndex(), 0);
        QCOMPARE(p.last(), QStringLiteral("Default"));
        QCOMPARE(p.switches(), QStringLiteral("W-----"));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(SchemePageTest)
#include "tst_schemepage.moc"
