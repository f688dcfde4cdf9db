// Peak memory of the program with one large script open, text in, coloured and inspected,
// beside the size of the file and beside what no editor built on QTextDocument can go below:
// the window with no script, and what a bare QTextDocument holding the same text adds. Each
// peak is measured in a process of its own (this program started again), so one does not hide
// another.
#include "core/common/workers.h"
#include "corpus.h"
#include "uiwindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QProcess>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// A line of /proc/self/status in bytes: VmHWM is the most resident memory the process ever had,
// VmRSS what it has now.
qint64 statusBytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').value(0).toLongLong()
                   * 1024;
    }
    return -1;
}
qint64 peakResidentBytes()
{
    return statusBytes("VmHWM:");
}
qint64 residentBytes()
{
    return statusBytes("VmRSS:");
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

// The peers: the window as the program shows it with no script open, and the file's text in a
// QTextDocument laid out for a plain-text editor, read and decoded as the program reads it.
int measureWindowChild()
{
    PreparedWindow win;
    QCoreApplication::processEvents();
    std::printf("%lld\n", peakResidentBytes());
    return 0;
}

int measureDocumentChild(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const qint64 before = residentBytes();
    // Read and put in a piece at a time, so that the whole text is never held beside the
    // document: the least a QTextDocument needs for it.
    QStringDecoder decode(QStringDecoder::Utf8);
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
    QTextCursor end(&doc);
    while (!file.atEnd()) {
        const QString piece = decode(file.read(1 << 20));
        end.movePosition(QTextCursor::End);
        end.insertText(piece);
    }
    std::printf("%lld\n", peakResidentBytes() - before);
    return doc.characterCount() > 1 ? 0 : 1;
}

qint64 peakOfChild(const QStringList &args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLongLong();
}

void BM_PeakMemoryWithScriptOpen(benchmark::State &state)
{
    const qint64 bytes = state.range(0);
    const QString file = corpus(bytes, CorpusLines(state.range(1)));
    // A script of one long line is held in rows of its own, which the bare document has not:
    // it is no peer there.
    const bool peers = CorpusLines(state.range(1)) == CorpusLines::Many;
    qint64 peak = -1;
    qint64 window = -1;
    qint64 document = -1;
    for (auto _ : state) {
        peak = peakOfChild({QStringLiteral("--peak-rss-of"), file});
        if (peers) {
            window = peakOfChild({QStringLiteral("--peak-rss-of-window")});
            document = peakOfChild({QStringLiteral("--peak-rss-of-document"), file});
        }
    }
    if (peak <= 0 || (peers && (window <= 0 || document <= 0))) {
        state.SkipWithError("a measuring process gave no answer");
        return;
    }
    const double size = double(QFileInfo(file).size());
    state.counters["file_mb"] = size / (1 << 20);
    state.counters["peak_rss_mb"] = double(peak) / (1 << 20);
    state.counters["peak_per_file_byte"] = double(peak) / size;
    if (!peers)
        return;
    // The peers: the window with no script, what the bare document adds to a process, and the
    // two together, below which no editor built on them can go.
    state.counters["window_alone_mb"] = double(window) / (1 << 20);
    state.counters["document_alone_per_file_byte"] = double(document) / size;
    state.counters["floor_per_file_byte"] = double(window + document) / size;
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
    if (argc == 2 && std::strcmp(argv[1], "--peak-rss-of-window") == 0) {
        QApplication app(argc, argv);
        return measureWindowChild();
    }
    if (argc == 3 && std::strcmp(argv[1], "--peak-rss-of-document") == 0) {
        QApplication app(argc, argv);
        return measureDocumentChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
