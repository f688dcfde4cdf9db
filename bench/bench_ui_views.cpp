// Switching the central page between the code view and a page the browser has loaded, with the
// real browser, on the offscreen platform.
#include "ui/run/browser.h"
#include "uiwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <benchmark/benchmark.h>

namespace {

struct Window : PreparedWindow
{
    QString page;
    Window()
        : PreparedWindow(QSize(1200, 800))
        , page(home + QStringLiteral("doc/help/running.html"))
    {
        showPage(true);
    }
    BrowserPage *browser() const { return w->findChild<BrowserPage *>(); }
    // Shows the page; waits for the browser to finish loading when asked.
    void showPage(bool untilLoaded)
    {
        QSignalSpy loaded(browser(), &BrowserPage::loadFinished);
        w->SetView(ViewKind::vkBrowse, page);
        w->repaint();
        if (untilLoaded)
            loaded.wait(20000);
    }
    void showCode()
    {
        w->SetView(ViewKind::vkSource);
        w->repaint();
    }
};

// Made once for all benchmarks, and gone before the application is.
Window *g_window = nullptr;
Window &window()
{
    if (!g_window)
        g_window = new Window;
    return *g_window;
}

void BM_PageToCode(benchmark::State &state)
{
    Window &win = window();
    for (auto _ : state) {
        win.showCode();
        state.PauseTiming();
        win.showPage(true);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PageToCode)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_CodeToPage(benchmark::State &state)
{
    Window &win = window();
    for (auto _ : state) {
        state.PauseTiming();
        win.showCode();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        win.showPage(false);
        state.PauseTiming();
        QSignalSpy(win.browser(), &BrowserPage::loadFinished).wait(20000);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CodeToPage)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same, until the browser reports the page loaded again.
void BM_CodeToPageLoaded(benchmark::State &state)
{
    Window &win = window();
    for (auto _ : state) {
        state.PauseTiming();
        win.showCode();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        win.showPage(true);
    }
}
BENCHMARK(BM_CodeToPageLoaded)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_window;
    return 0;
}
