// Peak memory of the program with one large script open, text in, coloured and inspected,
// beside the size of the file. Each size is measured in a process of its own (this program
// started again with --peak-rss-of FILE), so one peak does not hide another.
#include "core/common/workers.h"
#include "corpus.h"
#include "uiwindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// VmHWM of this process in bytes: the most resident memory it ever had.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// The child: opens the file as a user would, waits until everything about it is done, types a
// character in the middle and answers with its peak.
int measureChild(const QString &file)
{
    PreparedWindow win;
    TScriptEditor *doc = win.openSettled(file);
    while (doc->Highlighter->busy() || workerPool()->activeThreadCount() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    ScriptEditorWidget *ed = doc->Editor;
    QTextCursor c = ed->textCursor();
    c.setPosition(ed->document()->characterCount() / 2);
    ed->setTextCursor(c);
    ed->insertPlainText(QStringLiteral("x"));
    ed->viewport()->repaint();
    QCoreApplication::processEvents();
    std::printf("%lld\n", peakResidentBytes());
    return 0;
}

void BM_PeakMemoryWithScriptOpen(benchmark::State &state)
{
    const qint64 bytes = state.range(0);
    const QString file = corpus(bytes, CorpusLines(state.range(1)));
    qint64 peak = -1;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--peak-rss-of"), file});
        child.waitForFinished(-1);
        peak = child.readAllStandardOutput().trimmed().toLongLong();
    }
    if (peak <= 0) {
        state.SkipWithError("the measuring process gave no answer");
        return;
    }
    state.counters["file_mb"] = double(QFileInfo(file).size()) / (1 << 20);
    state.counters["peak_rss_mb"] = double(peak) / (1 << 20);
    state.counters["peak_per_file_byte"] = double(peak) / double(QFileInfo(file).size());
}
BENCHMARK(BM_PeakMemoryWithScriptOpen)
        ->Args({10 << 20, int(CorpusLines::Many)})
        ->Args({50 << 20, int(CorpusLines::Many)})
        ->Args({5 << 20, int(CorpusLines::One)})
        ->ArgNames({"bytes", "one_line"})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--peak-rss-of") == 0) {
        QApplication app(argc, argv);
        return measureChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
