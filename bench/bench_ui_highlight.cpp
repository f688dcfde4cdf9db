// Colouring on screen: F5 over a whole script, Enter in a large one, the longest stall of a
// sliced run, the memory the colours take, and KDE's grammar highlighter on the same file.
#include "corpus.h"
#include "ui/editor/highlighter.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>

#include <benchmark/benchmark.h>

namespace {

struct Window : PreparedWindow
{
    TScriptEditor *doc;
    explicit Window(qint64 bytes)
        : doc(openSettled(corpus(bytes)))
    {}
};

void BM_F5OnScreen(benchmark::State &state)
{
    Window win(state.range(0));
    for (auto _ : state) {
        win.w->highlighting().highlightCurrent(0);
        win.doc->Highlighter->finish();
        win.doc->Editor->viewport()->repaint();
    }
    // The spans held: room reserved for more is address space, not memory, until it is used.
    const size_t chars = size_t(win.doc->Editor->document()->characterCount());
    state.counters["span_bytes_per_char"] = double(win.doc->Highlighter->spans().size()
                                                   * sizeof(PaintSpan))
                                            / double(chars);
}
BENCHMARK(BM_F5OnScreen)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(5);

// Enter in the middle of the script, from the key to the repaint; the line break is taken
// out again untimed so every iteration sees the same text.
void BM_EnterKeyToRepaint(benchmark::State &state)
{
    Window win(state.range(0));
    ScriptEditorWidget *ed = win.doc->Editor;
    QTextCursor c = ed->textCursor();
    c.setPosition(ed->document()->findBlockByNumber(ed->document()->blockCount() / 2).position()
                  + 4);
    ed->setTextCursor(c);
    ed->setFocus();
    qint64 longest = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(ed, Qt::Key_Return);
        ed->viewport()->repaint();
        longest = std::max(longest, t.nsecsElapsed());
        state.PauseTiming();
        ed->textCursor().deletePreviousChar();
        win.doc->Highlighter->finish();
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_EnterKeyToRepaint)
        ->Arg(1 << 20)
        ->Arg(10 << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);

// F5 on 10 MB goes on in slices: the longest time the window waits for one.
void BM_LongestSliceOfAWholeRun(benchmark::State &state)
{
    Window win(state.range(0));
    for (auto _ : state) {
        qint64 longest = 0;
        QElapsedTimer t;
        t.start();
        win.w->highlighting().highlightCurrent(0);
        longest = t.nsecsElapsed();
        while (win.doc->Highlighter->busy()) {
            t.restart();
            QCoreApplication::processEvents();
            longest = std::max(longest, t.nsecsElapsed());
        }
        state.counters["longest_slice_ms"] = double(longest) / 1e6;
    }
}
BENCHMARK(BM_LongestSliceOfAWholeRun)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(2);

// KDE's grammar-based highlighter over the same file, as a whole process (its start-up is a
// few milliseconds of the total).
void BM_KdeHighlighterProcess(benchmark::State &state)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("kate-syntax-highlighter"));
    if (tool.isEmpty()) {
        state.SkipWithError(
                "kate-syntax-highlighter is not installed (libkf5syntaxhighlighting-tools)");
        return;
    }
    const QString file = corpus(state.range(0));
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(tool, {QStringLiteral("-s"), QStringLiteral("Perl"), QStringLiteral("-f"),
                       QStringLiteral("ansi"), file});
        p.waitForFinished(-1);
    }
}
BENCHMARK(BM_KdeHighlighterProcess)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
