// Opening a large script into a tab, and typing into it, on the offscreen platform: scripts of
// many lines, and one of a single line of 5 MB, as generated or minified scripts are.
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
    StallWatch stalls;
    for (auto _ : state) {
        stalls.start();
        win.w->OpenDocument(file);
        TScriptEditor *doc = win.w->CurrentDocument();
        while (doc->Editor->isLoading() || doc->Highlighter->busy()
               || workerPool()->activeThreadCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
        stalls.stop();
        state.PauseTiming();
        win.w->documents().closeCurrentNow();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = stalls.longestMs;
}
BENCHMARK(BM_OpenScriptLongestStall)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

// Notes when a script editor's viewport has finished painting.
class PaintWatch : public QObject
{
public:
    QElapsedTimer clock;
    double lastPaintMs = -1;
    int paints = 0;
    PaintWatch() { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *obj, QEvent *e) override
    {
        if (e->type() != QEvent::Paint || m_inside)
            return false;
        auto *ed = obj->parent() ? qobject_cast<ScriptEditorWidget *>(obj->parent()) : nullptr;
        if (!ed || obj != ed->viewport())
            return false;
        m_inside = true;
        obj->event(e); // the paint itself counts
        m_inside = false;
        lastPaintMs = double(clock.nsecsElapsed()) / 1e6;
        ++paints;
        return true;
    }

private:
    bool m_inside = false;
};

// From opening a script to its first screen painted (the time), to its whole text in the
// editor and painted, and the longest time the window did not answer on the way.
void BM_OpenToFirstPaint(benchmark::State &state)
{
    const QString file = corpus(state.range(0), CorpusLines(state.range(1)));
    Window win;
    double shown = 0;
    StallWatch stalls;
    for (auto _ : state) {
        PaintWatch watch;
        stalls.start();
        watch.clock.start();
        win.w->OpenDocument(file);
        ScriptEditorWidget *ed = win.w->CurrentDocument()->Editor;
        while (watch.paints == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(watch.lastPaintMs / 1e3);
        while (ed->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const int before = watch.paints;
        ed->viewport()->update();
        while (watch.paints == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        shown = watch.lastPaintMs;
        stalls.stop();
        win.w->CurrentDocument()->Highlighter->finish();
        win.w->documents().closeCurrentNow();
        QCoreApplication::processEvents();
    }
    state.counters["whole_text_painted_ms"] = shown;
    state.counters["longest_stall_ms"] = stalls.longestMs;
}
BENCHMARK(BM_OpenToFirstPaint)
        ->Args({10 << 20, int(CorpusLines::Many)})
        ->Args({5 << 20, int(CorpusLines::One)})
        ->ArgNames({"bytes", "one_line"})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

// One typed character with its repaint, in the middle of a script whose text is all in and
// coloured; for the script of one line, in the middle of that line.
void BM_TypeInLargeScript(benchmark::State &state)
{
    const QString file = corpus(state.range(0), CorpusLines(state.range(1)));
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
        ->Args({1 << 20, int(CorpusLines::Many)})
        ->Args({10 << 20, int(CorpusLines::Many)})
        ->ArgNames({"bytes", "one_line"})
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(200);
BENCHMARK(BM_TypeInLargeScript)
        ->Args({5 << 20, int(CorpusLines::One)})
        ->ArgNames({"bytes", "one_line"})
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(20);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
