// Opening a large script into a tab, and typing into it, on the offscreen platform.
#include "core/common/workers.h"
#include "corpus.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

using Window = PreparedWindow;

void BM_OpenScript(benchmark::State &state)
{
    const QString file = corpus(state.range(0));
    Window win;
    for (auto _ : state) {
        win.w->OpenDocument(file);
        QCoreApplication::processEvents();
        state.PauseTiming();
        win.w->documents().closeCurrentNow();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenScript)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

// Until the whole text is in the editor (large texts are laid out on a worker thread).
void BM_OpenScriptUntilText(benchmark::State &state)
{
    const QString file = corpus(state.range(0));
    Window win;
    for (auto _ : state) {
        win.w->OpenDocument(file);
        ScriptEditorWidget *ed = win.w->CurrentDocument()->Editor;
        while (ed->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
        state.PauseTiming();
        win.w->documents().closeCurrentNow();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScriptUntilText)
        ->Arg(1 << 20)
        ->Arg(10 << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

// The longest time the window's thread is busy without handling events, from opening a
// script until its text, colours and inspector list are all in place.
void BM_OpenScriptLongestStall(benchmark::State &state)
{
    const QString file = corpus(state.range(0));
    Window win;
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer gap;
        gap.start();
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, double(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        ticker.start(1);
        win.w->OpenDocument(file);
        TScriptEditor *doc = win.w->CurrentDocument();
        while (doc->Editor->isLoading() || doc->Highlighter->busy()
               || workerPool()->activeThreadCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
        ticker.stop();
        state.PauseTiming();
        win.w->documents().closeCurrentNow();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = longest;
}
BENCHMARK(BM_OpenScriptLongestStall)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

// One typed character with its repaint, in the middle of a script whose text is all in.
void BM_TypeInLargeScript(benchmark::State &state)
{
    const QString file = corpus(state.range(0));
    Window win;
    ScriptEditorWidget *ed = win.openSettled(file)->Editor;
    QTextCursor c = ed->textCursor();
    c.setPosition(ed->document()->characterCount() / 2);
    ed->setTextCursor(c);
    ed->setFocus();
    for (auto _ : state) {
        QTest::keyClick(ed, Qt::Key_X);
        ed->repaint();
    }
}
BENCHMARK(BM_TypeInLargeScript)
        ->Arg(1 << 20)
        ->Arg(10 << 20)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(200);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
