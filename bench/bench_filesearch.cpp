// Find in files over the machine's Perl library (the folders of perl's @INC that exist), for a
// word nearly every module holds: the time to the first hit and to all of them, beside
// `grep -rn` over the same folders.
#include "core/editor/filesearch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

const QString kWord = QStringLiteral("sub ");

QStringList perlLibrary()
{
    static const QStringList folders = [] {
        QProcess perl;
        perl.start(QStringLiteral("perl"),
                   {QStringLiteral("-e"), QStringLiteral("print join qq{\\n}, @INC")});
        perl.waitForFinished();
        QStringList out;
        for (const QString &f : QString::fromLocal8Bit(perl.readAllStandardOutput()).split('\n')) {
            if (!f.isEmpty() && QFileInfo(f).isDir())
                out << f;
        }
        return out;
    }();
    return folders;
}

FileSearchOptions options(const QString &folder)
{
    FileSearchOptions o;
    o.folder = folder;
    o.masks = QStringLiteral("*"); // every file, as grep -r reads them
    o.text = kWord;
    o.caseSensitive = true;
    return o;
}

void BM_FindInFilesFirstHit(benchmark::State &state)
{
    const QStringList folders = perlLibrary();
    if (folders.isEmpty()) {
        state.SkipWithError("perl shows no library folders");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        std::atomic_bool stop{false};
        for (const QString &f : folders) {
            FileSearch(options(f)).run(stop, [&](FileSearchBatch &&b) {
                if (!b.hits.isEmpty())
                    stop = true;
            });
            if (stop)
                break;
        }
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_FindInFilesFirstHit)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FindInFilesAll(benchmark::State &state)
{
    const QStringList folders = perlLibrary();
    if (folders.isEmpty()) {
        state.SkipWithError("perl shows no library folders");
        return;
    }
    qint64 files = 0;
    qint64 hits = 0;
    for (auto _ : state) {
        files = hits = 0;
        const std::atomic_bool stop{false};
        for (const QString &f : folders) {
            const FileSearchSummary s = FileSearch(options(f)).run(stop, [](FileSearchBatch &&) {});
            files += s.progress.files;
            hits += s.progress.hits;
        }
    }
    state.counters["files"] = double(files);
    state.counters["hits"] = double(hits);
}
BENCHMARK(BM_FindInFilesAll)->Unit(benchmark::kMillisecond);

void BM_GrepAll(benchmark::State &state)
{
    const QStringList folders = perlLibrary();
    qint64 lines = 0;
    for (auto _ : state) {
        QProcess grep;
        grep.start(QStringLiteral("grep"), QStringList{QStringLiteral("-rn"), kWord} + folders);
        grep.waitForFinished(-1);
        lines = grep.readAllStandardOutput().count('\n');
    }
    state.counters["hits"] = double(lines);
}
BENCHMARK(BM_GrepAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
