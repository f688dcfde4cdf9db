// Find in files as the window sees it: the page starts the search, the results list fills in
// batches. Over 50,000 files with a million hits the window must go on: reported are the
// longest time the window spends on one batch, the longest wait between two turns of its event
// loop (which also counts what else the machine runs), and the time to the first listed hit.
#include "ui/editor/filesearchjob.h"
#include "ui/editor/findinfilespage.h"
#include "ui/editor/findresults.h"
#include "uimain.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFolders = 250;
constexpr int kFilesPerFolder = 200;
constexpr int kLinesPerFile = 20;

// Made once per machine: kFolders × kFilesPerFolder scripts of kLinesPerFile hits each.
QString largeTree()
{
    const QString root = QDir::tempPath() + QStringLiteral("/quillforge-findinfiles-tree");
    const QString last = root
                         + QStringLiteral("/d%1/f%2.pl").arg(kFolders - 1).arg(kFilesPerFolder - 1);
    if (QFileInfo::exists(last))
        return root;
    QByteArray text;
    for (int i = 0; i < kLinesPerFile; ++i)
        text += "my $x = shift; # a line of an ordinary script\n";
    for (int d = 0; d < kFolders; ++d) {
        const QString folder = root + QStringLiteral("/d%1").arg(d);
        QDir().mkpath(folder);
        for (int f = 0; f < kFilesPerFolder; ++f) {
            QFile file(folder + QStringLiteral("/f%1.pl").arg(f));
            if (file.open(QIODevice::WriteOnly))
                file.write(text);
        }
    }
    return root;
}

void BM_FindInFilesWindow(benchmark::State &state)
{
    const QString root = largeTree();
    FindInFilesPage page;
    QWidget window;
    FindResults results(&window);
    // The window's own work per batch: from before the list takes it to after.
    QElapsedTimer batch;
    double longestBatchMs = 0;
    QObject::connect(page.job(), &FileSearchJob::found, &window, [&] { batch.start(); });
    results.watch(page.job());
    QObject::connect(page.job(), &FileSearchJob::found, &window, [&] {
        longestBatchMs = std::max(longestBatchMs, double(batch.nsecsElapsed()) / 1e6);
    });
    window.show();
    page.edFolder->setText(root);
    page.textCombo->setEditText(QStringLiteral("shift"));

    double firstMs = 0;
    double longestWaitMs = 0;
    qint64 listed = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        QElapsedTimer turn;
        QEventLoop loop;
        bool first = true;
        const auto listedSome = QObject::connect(page.job(), &FileSearchJob::found, &loop, [&] {
            if (first && results.count() > 0) {
                first = false;
                firstMs = double(clock.nsecsElapsed()) / 1e6;
            }
        });
        QObject::connect(page.job(), &FileSearchJob::finished, &loop, &QEventLoop::quit);
        // A timer that fires at every turn of the event loop measures how long turns take.
        QTimer ticker;
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
            longestWaitMs = std::max(longestWaitMs, double(turn.nsecsElapsed()) / 1e6);
            turn.restart();
        });
        longestWaitMs = 0;
        clock.start();
        turn.start();
        ticker.start();
        page.find();
        loop.exec();
        QObject::disconnect(listedSome);
        listed = results.count();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["first_ms"] = firstMs;
    state.counters["longest_wait_ms"] = longestWaitMs;
    state.counters["longest_batch_ms"] = longestBatchMs;
    state.counters["listed"] = double(listed);
    state.counters["files"] = double(kFolders * kFilesPerFolder);
    state.counters["hits"] = double(kFolders * kFilesPerFolder * kLinesPerFile);
}
BENCHMARK(BM_FindInFilesWindow)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

QF_WIDGET_BENCHMARK_MAIN();
