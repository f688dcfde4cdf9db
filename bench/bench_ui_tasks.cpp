// LoadTasks on the task page itself: reading the day and handing the rows to the list.
#include "core/settings/inifile.h"
#include "ui/tasks/taskpage.h"
#include "uimain.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDate kDay(2026, 6, 15);

// About 5 MB: `tasks` tasks on kDay among ordinary days before and after it.
QByteArray tasksFile(int tasks)
{
    const QByteArray text = "<Ann said:>\xC2\xB6" + QByteArray(180, 'x');
    QByteArray out;
    auto day = [&](const QDate &d, int n, const char *key) {
        out += '[' + d.toString(QStringLiteral("dd.MM.yyyy")).toUtf8() + "]\n";
        for (int i = 0; i < n; ++i)
            out += key + QByteArray::number(i) + "=0|Bob|" + text + '\n';
    };
    for (QDate d = kDay.addDays(-90); d < kDay; d = d.addDays(1))
        day(d, 80, "Errand ");
    day(kDay, tasks, "Task ");
    for (QDate d = kDay.addDays(1); out.size() < (5 << 20); d = d.addDays(1))
        day(d, 80, "Errand ");
    return out;
}

// LoadTasks of kDay on a shown task page, over a tasks file with these bytes.
void loadTasksOnPage(benchmark::State &state, const QByteArray &bytes)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/tasks.dat");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    TIniFile file(path);
    QWidget sheet;
    auto *page = new TTaskPage(file, &sheet);
    sheet.resize(900, 600);
    sheet.show();
    for (auto _ : state) {
        page->LoadTasks(kDay);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = page->taskCount();
    state.counters["file_MB"] = double(bytes.size()) / (1 << 20);
}

void BM_UiLoadTasks(benchmark::State &state)
{
    loadTasksOnPage(state, tasksFile(int(state.range(0))));
}
BENCHMARK(BM_UiLoadTasks)->Arg(10000)->Unit(benchmark::kMillisecond);

// A million short tasks on one day.
void BM_UiLoadMillionTasks(benchmark::State &state)
{
    QByteArray bytes = '[' + kDay.toString(QStringLiteral("dd.MM.yyyy")).toUtf8() + "]\n";
    for (int i = 0; i < 1'000'000; ++i)
        bytes += "T" + QByteArray::number(i) + "=0|F" + QByteArray::number(i)
                 + "|<A said:>\xC2\xB6x\n";
    loadTasksOnPage(state, bytes);
}
BENCHMARK(BM_UiLoadMillionTasks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
