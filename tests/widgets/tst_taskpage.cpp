#include "core/common/clock.h"
#include "core/common/errors.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/shell/mainwindow.h"
#include "ui/tasks/addtaskform.h"
#include "ui/tasks/taskpage.h"
#include "ui/tasks/todayview.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

const QDate kToday(2026, 12, 6);
const QString kEmptyFields = QStringLiteral(
        "Oops! At least one of the fields have not been filled out.");

const QByteArray kTwoDays = "[06.12.2026]\n"
                            "Buy milk=0|Bob|<Ann said:>\xC2\xB6line one\xC2\xB6line two\n"
                            "Call back=1|Eve|<Ann said:>\xC2\xB6"
                            "at noon\n"
                            "[07.12.2026]\n"
                            "Tomorrow=0|Cy|<Dee said:>\xC2\xB6later\n";

struct Started : MainWindowFixture
{
    TTaskPage *page = nullptr;
    TAddTaskForm *dialog = nullptr;

    explicit Started(const TestHome &home)
        : MainWindowFixture(home)
    {
        page = &w->tasks();
        dialog = page->AddTaskForm;
    }
    QString writeToday() const
    {
        return writeTodayPage(w->programDir(), w->settings(), page->taskCount());
    }
    QTableView *list() const { return page->TaskList; }
    int rows() const { return list()->model()->rowCount(); }
    QString cell(int row, int column) const
    {
        return list()->model()->index(row, column).data().toString();
    }
    QStringList diz() const
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r)
            out << cell(r, 1);
        return out;
    }
    void fill(const QString &from, const QString &forWhom, const QString &diz,
              const QString &text) const
    {
        dialog->edUser->setText(from);
        dialog->edFor->setText(forWhom);
        dialog->edDiz->setText(diz);
        dialog->TaskMemo->setPlainText(text);
    }
};

} // namespace

class TaskPageTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        prompts = ScriptedPrompts::install();
        TForm1::setWizardStepDelay(0);
        Clock::setFixed(QDateTime(kToday, QTime(9, 30)));
    }
    void cleanup() { Clock::setFixed(QDateTime()); }

    void pageFillsTheTaskSheetAndShowsTodayAtStart()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        auto *sheet = s.w->findChild<QWidget *>("TaskSheet");
        QVERIFY(sheet);
        QCOMPARE(sheet->findChild<QTableView *>("TaskList"), s.list());
        QVERIFY(sheet->findChild<QCalendarWidget *>("TaskDate"));
        QCOMPARE(s.page->TaskDate->selectedDate(), kToday);
        QCOMPARE(s.page->loadedDay(), kToday);

        QCOMPARE(s.rows(), 2);
        QCOMPARE(s.cell(0, 0), QStringLiteral("Bob"));
        QCOMPARE(s.cell(0, 1), QStringLiteral("Buy milk"));
        QCOMPARE(s.cell(0, 2), QString());
        QCOMPARE(s.list()->model()->index(0, 0).data(TTaskPage::CheckedRole).toBool(), false);
        QCOMPARE(s.list()->model()->index(1, 0).data(TTaskPage::CheckedRole).toBool(), true);
        // No check boxes on the rows.
        QVERIFY(!s.list()->model()->index(1, 0).data(Qt::CheckStateRole).isValid());

        QHeaderView *h = s.list()->horizontalHeader();
        QStringList headers;
        for (int c = 0; c < s.list()->model()->columnCount(); ++c)
            headers << s.list()->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"For", "Diz", "When"}));
        QCOMPARE(h->sectionSize(0), 100);
        QCOMPARE(h->sectionSize(1), 180);
        QVERIFY(s.list()->editTriggers() == QAbstractItemView::NoEditTriggers);
        QVERIFY(s.page->TaskMemo->isReadOnly());
        QCOMPARE(s.page->lFor->text(), QStringLiteral("<none>"));
        QCOMPARE(s.page->lDiz->text(), QStringLiteral("<none>"));

        s.w->findChild<QAction *>("vSetTasks")->trigger();
        QCOMPARE(s.w->findChild<QStackedWidget *>("Carry2")->currentWidget(), sheet);
    }

    void selectingATaskShowsItsWholeTextAndChoosingADayLoadsIt()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.list()->selectRow(0);
        QCOMPARE(s.page->TaskMemo->toPlainText(),
                 QStringLiteral("<Ann said:>\nline one\nline two"));
        QCOMPARE(s.page->lFor->text(), QStringLiteral(" Bob"));
        QCOMPARE(s.page->lDiz->text(), QStringLiteral(" Buy milk"));

        s.page->TaskDate->setSelectedDate(kToday.addDays(1));
        QCOMPARE(s.diz(), QStringList{"Tomorrow"});
        s.page->TaskDate->setSelectedDate(kToday.addDays(5));
        QCOMPARE(s.rows(), 0);
        // An empty day leaves the labels as they were.
        QCOMPARE(s.page->lFor->text(), QStringLiteral(" Bob"));
        QCOMPARE(s.page->lDiz->text(), QStringLiteral(" Buy milk"));
    }

    // 256 separators: a count kept in 8 bits would show the header line alone.
    void everyLineOfALongTaskIsShown()
    {
        const int lines = 256;
        TestHome home;
        QByteArray value = "0|Bob|<Ann said:>";
        for (int i = 1; i <= lines; ++i)
            value += "\xC2\xB6line " + QByteArray::number(i);
        home.writeFile("etc/tasks.dat", "[06.12.2026]\nLong=" + value + "\n");
        Started s(home);
        s.list()->selectRow(0);
        const QStringList shown = s.page->TaskMemo->toPlainText().split(u'\n');
        QCOMPARE(shown.size(), lines + 1);
        QCOMPARE(shown.first(), QStringLiteral("<Ann said:>"));
        QCOMPARE(shown.last(), QStringLiteral("line %1").arg(lines));

        s.page->SpeedButton6->click();
        QCOMPARE(s.dialog->TaskMemo->toPlainText().split(u'\n').size(), lines);
    }

    void aStateFlagThatIsNoNumberDoesNotStopLoading()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", "[06.12.2026]\nFirst=0|a|t\nBad=x1|b|t\nLast=3|c|t\n");
        Started s(home);
        QCOMPARE(s.diz(), (QStringList{"First", "Bad", "Last"}));
        QVERIFY(prompts->asked.isEmpty());
        QCOMPARE(s.list()->model()->index(1, 0).data(TTaskPage::CheckedRole).toBool(), false);
        QCOMPARE(s.list()->model()->index(2, 0).data(TTaskPage::CheckedRole).toBool(), true);
    }

    void addingStoresTheTaskAndShowsTheCalendarsDay()
    {
        TestHome home;
        Started s(home);
        s.page->SpeedButton5->click();
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.dialog->windowTitle(), QStringLiteral("Add task"));
        QVERIFY(s.dialog->Button1->isDefault());
        QCOMPARE(s.dialog->dtpWhen->date(), kToday);
        s.fill("Ann", "Bob", "Buy milk", "line one\nline two");
        s.dialog->Button1->click();

        QVERIFY(prompts->asked.isEmpty());
        QVERIFY(!s.dialog->isVisible());
        QCOMPARE(home.readFile("etc/tasks.dat"),
                 QByteArray("[06.12.2026]\n"
                            "Buy milk=0|Bob|<Ann said:>\xC2\xB6line one\xC2\xB6line two\n"));
        QCOMPARE(s.diz(), QStringList{"Buy milk"});

        // The dialog lives on: From and the date stay, the rest is emptied for the next task.
        s.dialog->dtpWhen->setDate(kToday.addDays(2));
        s.page->SpeedButton5->click();
        QCOMPARE(s.dialog->edUser->text(), QStringLiteral("Ann"));
        QCOMPARE(s.dialog->dtpWhen->date(), kToday.addDays(2));
        QVERIFY(s.dialog->edFor->text().isEmpty());
        QVERIFY(s.dialog->edDiz->text().isEmpty());
        QVERIFY(s.dialog->TaskMemo->toPlainText().isEmpty());

        // A task for another day does not appear until that day is chosen.
        s.fill("Ann", "Cy", "Later", "x");
        s.dialog->Button1->click();
        QCOMPARE(s.diz(), QStringList{"Buy milk"});
        s.page->TaskDate->setSelectedDate(kToday.addDays(2));
        QCOMPARE(s.diz(), QStringList{"Later"});
    }

    void refusedInputKeepsTheDialogOpenAndTheFileUnchanged_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("forWhom");
        QTest::addColumn<QString>("diz");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        // One case per rule; every variant of the rules is pinned by the core tests.
        const QString ok = QStringLiteral("text");
        QTest::newRow("no From") << ""
                                 << "Bob"
                                 << "d" << ok << kEmptyFields;
        QTest::newRow("no Text") << "Ann"
                                 << "Bob"
                                 << "d"
                                 << "" << kEmptyFields;
        QTest::newRow("Diz with =") << "Ann"
                                    << "Bob"
                                    << "a=b" << ok << "\"a=b\" cannot be stored";
        QTest::newRow("For with |") << "Ann"
                                    << "B|b"
                                    << "d" << ok << "\"For\" contains \"|\"";
        QTest::newRow("Text with pilcrow") << "Ann"
                                           << "Bob"
                                           << "d"
                                           << "a\u00B6b"
                                           << "\"Text\" contains";
    }
    void refusedInputKeepsTheDialogOpenAndTheFileUnchanged()
    {
        QFETCH(QString, from);
        QFETCH(QString, forWhom);
        QFETCH(QString, diz);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.page->SpeedButton5->click();
        s.fill(from, forWhom, diz, text);
        s.dialog->Button1->click();

        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked[0].kind, Prompts::Kind::Error);
        QVERIFY2(prompts->asked[0].text.startsWith("Oops!"), qPrintable(prompts->asked[0].text));
        QVERIFY2(prompts->asked[0].text.contains(message), qPrintable(prompts->asked[0].text));
        QCOMPARE(prompts->asked[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.dialog->TaskMemo->toPlainText(), text);
        QCOMPARE(home.readFile("etc/tasks.dat"), kTwoDays);
    }

    void editingDropsTheHeaderAndReplacesTheSameTask()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.page->SpeedButton5->click();
        s.dialog->edUser->setText("Someone");
        s.dialog->dtpWhen->setDate(kToday.addDays(9));

        s.list()->selectRow(0);
        s.page->SpeedButton6->click();
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.dialog->TaskMemo->toPlainText(), QStringLiteral("line one\nline two"));
        QCOMPARE(s.dialog->edFor->text(), QStringLiteral("Bob"));
        QCOMPARE(s.dialog->edDiz->text(), QStringLiteral("Buy milk"));
        QVERIFY(s.dialog->edUser->text().isEmpty());
        QCOMPARE(s.dialog->dtpWhen->date(), kToday);

        // From must be given again.
        s.dialog->Button1->click();
        QCOMPARE(prompts->messages(), QStringList{kEmptyFields});
        s.dialog->edUser->setText("Zed");
        s.dialog->TaskMemo->setPlainText("line one\nline two changed");
        s.dialog->Button1->click();
        QVERIFY(!s.dialog->isVisible());
        QCOMPARE(s.diz(), (QStringList{"Buy milk", "Call back"}));
        s.list()->selectRow(0);
        QCOMPARE(s.page->TaskMemo->toPlainText(),
                 QStringLiteral("<Zed said:>\nline one\nline two changed"));
    }

    void editingWithAnotherDizAddsATaskAndKeepsTheOld()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.list()->selectRow(1);
        s.page->SpeedButton6->click();
        s.dialog->edUser->setText("Ann");
        s.dialog->edDiz->setText("Call back twice");
        s.dialog->Button1->click();
        QCOMPARE(s.diz(), (QStringList{"Buy milk", "Call back", "Call back twice"}));
    }

    void removingAsksFirst()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.list()->selectRow(0);

        prompts->buttonAnswers = {QMessageBox::No};
        s.page->SpeedButton7->click();
        QCOMPARE(prompts->asked.size(), 1);
        QCOMPARE(prompts->asked[0].kind, Prompts::Kind::Confirmation);
        QCOMPARE(prompts->asked[0].text, QStringLiteral("Really remove entry \"Buy milk\" ?"));
        QCOMPARE(prompts->asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(home.readFile("etc/tasks.dat"), kTwoDays);
        QCOMPARE(s.rows(), 2);

        prompts->buttonAnswers = {QMessageBox::Yes};
        s.page->SpeedButton7->click();
        QCOMPARE(s.diz(), QStringList{"Call back"});
        QVERIFY(!home.readFile("etc/tasks.dat").contains("Buy milk"));
        QVERIFY(home.readFile("etc/tasks.dat").contains("Tomorrow="));
        // The neighbour takes the selection and is shown; with none left nothing is shown.
        QCOMPARE(s.page->lDiz->text(), QStringLiteral(" Call back"));
        QCOMPARE(s.page->TaskMemo->toPlainText(), QStringLiteral("<Ann said:>\nat noon"));
        prompts->buttonAnswers = {QMessageBox::Yes};
        s.page->SpeedButton7->click();
        QCOMPARE(s.rows(), 0);
        QCOMPARE(s.page->lFor->text(), QStringLiteral("<none>"));
        QCOMPARE(s.page->lDiz->text(), QStringLiteral("<none>"));
        QVERIFY(s.page->TaskMemo->toPlainText().isEmpty());
    }

    void editAndRemoveDoNothingWithoutASelection()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        Started s(home);
        s.page->SpeedButton6->click();
        s.page->SpeedButton7->click();
        QVERIFY(!s.dialog->isVisible());
        QVERIFY(prompts->asked.isEmpty());
        QCOMPARE(home.readFile("etc/tasks.dat"), kTwoDays);
    }

    void aFailedWriteShowsTheErrorAndKeepsTheDialogOpen()
    {
        TestHome home;
        Started s(home);
        // A folder where the file should be: the atomic replace cannot put the file there.
        QVERIFY(QDir().mkpath(home.path("etc/tasks.dat")));
        s.page->SpeedButton5->click();
        s.fill("Ann", "Bob", "d", "t");
        s.dialog->Button1->click();
        QCOMPARE(prompts->messages(),
                 QStringList{"Unable to write to " + home.path("etc/tasks.dat")});
        QVERIFY(s.dialog->isVisible());
        QCOMPARE(s.rows(), 0);
    }

    void todayPageCountsTheListedTasks()
    {
        TestHome home;
        home.writeFile("etc/tasks.dat", kTwoDays);
        home.writeFile("doc/today/index.html", "<b>###tasknum###</b> ###date###\n");
        Started s(home);
        const QString out = s.writeToday();
        QCOMPARE(home.readFile("doc/template.html"), QByteArray("<b>2</b> ###date###\r\n"));
        QCOMPARE(out, home.path("doc/template.html"));

        s.page->TaskDate->setSelectedDate(kToday.addDays(1));
        s.writeToday();
        QCOMPARE(home.readFile("doc/template.html"), QByteArray("<b>1</b> ###date###\r\n"));

        QFile::remove(home.path("doc/today/index.html"));
        QVERIFY_THROWS_EXCEPTION(IoError, s.writeToday());
    }

    void aMillionTasksOnOneDayLoadWithoutTrouble()
    {
        TestHome home;
        QByteArray bytes = "[06.12.2026]\n";
        bytes.reserve(40 << 20);
        for (int i = 0; i < 1000000; ++i)
            bytes += "T" + QByteArray::number(i) + "=0|F" + QByteArray::number(i)
                     + "|<A said:>\xC2\xB6x\n";
        home.writeFile("etc/tasks.dat", bytes);
        Started s(home);
        QCOMPARE(s.rows(), 1000000);
        s.page->LoadTasks(kToday);
        QCOMPARE(s.rows(), 1000000);
        s.list()->scrollToBottom();
        s.list()->selectRow(999999);
        QCOMPARE(s.page->lDiz->text(), QStringLiteral(" T999999"));
        QCOMPARE(s.page->TaskMemo->toPlainText(), QStringLiteral("<A said:>\nx"));
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(TaskPageTest)
#include "tst_taskpage.moc"
