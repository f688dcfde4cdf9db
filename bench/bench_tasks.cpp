// Loading a day of the tasks file, and writing the Today page from the shipped template.
#include "core/common/textfile.h"
#include "core/settings/inifile.h"
#include "core/tasks/taskstore.h"
#include "core/tasks/todaypage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDate kBusyDay(2026, 6, 15);

// A tasks file of about `bytes` bytes: a year of ordinary days around one day with
// `busyTasks` tasks, in the order a user would have filed them.
QString makeTasksFile(const QString &dir, int busyTasks, qint64 bytes)
{
    const QString path = dir + QStringLiteral("/tasks.dat");
    const QByteArray text = "<Ann said:>\xC2\xB6" + QByteArray(60, 'x') + "\xC2\xB6"
                            + QByteArray(80, 'y') + "\xC2\xB6" + QByteArray(40, 'z');
    QByteArray busy = '[' + Tasks::sectionName(kBusyDay).toUtf8() + "]\n";
    for (int i = 0; i < busyTasks; ++i)
        busy += "Task number " + QByteArray::number(i) + "=0|Bob|" + text + '\n';

    QByteArray out;
    out.reserve(bytes + busy.size());
    bool busyWritten = false;
    for (QDate day(2026, 1, 1); !busyWritten || out.size() < bytes; day = day.addDays(1)) {
        if (day == kBusyDay) {
            out += busy;
            busyWritten = true;
            continue;
        }
        out += '[' + Tasks::sectionName(day).toUtf8() + "]\n";
        for (int i = 0; i < 40; ++i)
            out += "Errand " + QByteArray::number(i) + "=0|Eve|" + text + '\n';
    }
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(out);
    return path;
}

void BM_LoadTasksDay(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeTasksFile(dir.path(), int(state.range(0)), state.range(1));
    TIniFile file(path);
    TaskStore store(file);
    qsizetype rows = 0;
    for (auto _ : state) {
        const QVector<TaskRow> r = store.load(kBusyDay);
        rows = r.size();
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["rows"] = double(rows);
    state.counters["file_MB"] = double(QFile(path).size()) / (1 << 20);
    if (rows != state.range(0))
        state.SkipWithError("wrong number of rows");
}
BENCHMARK(BM_LoadTasksDay)
        ->Args({10000, 5 << 20})
        ->Args({100, 5 << 20})
        ->Unit(benchmark::kMillisecond);

// What selecting a row costs: the value of one key, read from the file.
void BM_TaskValue(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeTasksFile(dir.path(), 10000, 5 << 20);
    TIniFile file(path);
    TaskStore store(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.value(kBusyDay, QStringLiteral("Task number 9999")));
}
BENCHMARK(BM_TaskValue)->Unit(benchmark::kMillisecond);

// The settings object's way, one whole-file read per key, for comparison on a smaller day.
void BM_LoadTasksDayKeyByKey(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeTasksFile(dir.path(), int(state.range(0)), 5 << 20);
    TIniFile file(path);
    const QString section = Tasks::sectionName(kBusyDay);
    for (auto _ : state) {
        QStringList keys;
        file.ReadSection(section, keys);
        for (const QString &k : keys)
            benchmark::DoNotOptimize(file.ReadString(section, k, Tasks::missingValue()));
    }
}
BENCHMARK(BM_LoadTasksDayKeyByKey)->Arg(20)->Unit(benchmark::kMillisecond);

// Read the shipped template, replace the markers, write doc/template.html.
void BM_TodayPage(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString templ = QStringLiteral(QF_SHIPPED_DATA "/doc/today/index.html");
    const QString out = dir.path() + QStringLiteral("/template.html");
    const TodayValues values{12, QDate(2026, 12, 6), QStringLiteral("/home/ann/perl/report.pl")};
    for (auto _ : state) {
        const QString page = buildTodayPage(readTextFile(templ).text, values);
        writeFileAtomically(out, page.toUtf8());
    }
    if (!QFile::exists(out))
        state.SkipWithError("no page written");
}
BENCHMARK(BM_TodayPage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
