#include "core/settings/inifile.h"
#include "testsupport.h"
#include "ui/tools/linkbar.h"

#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QtTest>

class CustomLinksTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { ScriptedPrompts::install(); }

    void startsTheProgramInItsFolderWithSplitParameters()
    {
        TestHome home;
        home.writeFile("bin/args.sh", "#!/bin/sh\npwd > \"$1\"\nprintf '%s\\n' \"$2\" >> \"$1\"\n");
        QFile::setPermissions(home.path("bin/args.sh"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        const QString out = home.path("out.txt");
        ini.WriteString("CustomLinks", "Probe",
                        home.path("bin/args.sh") + "|\"" + out + "\" \"two words\"||0");
        QVERIFY(LinkBar::startLink(ini, "probe")); // names compare without case
        QTRY_VERIFY_WITH_TIMEOUT(QFile(out).size() > 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(home.readFile("out.txt")).split('\n').value(1),
                                  QStringLiteral("two words"), 5000);
        const QString folder = QString::fromUtf8(home.readFile("out.txt")).split('\n').value(0);
        QCOMPARE(QFileInfo(folder).canonicalFilePath(),
                 QFileInfo(home.path("bin")).canonicalFilePath());
    }

    void aLinkWithoutProgramStartsNothing()
    {
        TestHome home;
        TIniFile ini(home.path("etc/quillforge.cfg"));
        QVERIFY(!LinkBar::startLink(ini, "absent"));
    }

    void loadingReplacesTheListAndFallsBackToAGenericIcon()
    {
        TestHome home;
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteString("CustomLinks", "A", "/bin/true||/no/such/icon|0");
        ini.WriteString("CustomLinks", "B", "/bin/true||" + home.dir() + "|oops");
        QListWidget view;
        view.addItem("stale");
        LinkBar::LoadCustomLinks(&view, ini);
        QCOMPARE(view.count(), 2);
        QCOMPARE(view.item(0)->text(), QStringLiteral("A"));
        QVERIFY(!view.item(0)->icon().isNull());
        QCOMPARE(view.item(1)->data(Qt::UserRole).toInt(), 0);
    }

    // A picture as icon file is the picture on the link's button, not the icon of its type.
    void aPictureIsTheLinksIcon()
    {
        TestHome home;
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(QColor(200, 30, 40));
        QVERIFY(picture.save(home.path("pic.png")));
        TIniFile ini(home.path("etc/quillforge.cfg"));
        ini.WriteString("CustomLinks", "Pictures", home.dir() + "||" + home.path("pic.png") + "|0");
        QListWidget view;
        LinkBar::LoadCustomLinks(&view, ini);
        QCOMPARE(view.count(), 1);
        const QImage shown = view.item(0)->icon().pixmap(32, 32).toImage();
        QCOMPARE(shown.pixelColor(16, 16), QColor(200, 30, 40));
    }
};

QTEST_MAIN(CustomLinksTest)
#include "tst_customlinks.moc"
