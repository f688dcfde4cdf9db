// Running Perl into the output panel on the offscreen platform: the first byte, and a flood.
#include "core/run/runner.h"
#include "ui/run/outputdecor.h"
#include "ui/run/panelrun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

QString perl()
{
    return QStandardPaths::findExecutable(QStringLiteral("perl"));
}

qint64 residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// CPU time of this thread, which reads the output and shows it; less swayed by other load than
// the time on the clock.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The time a bare Runner needs from start() to the first byte of `perl -e 'print 1'`.
double perlStartMs()
{
    Runner r;
    QElapsedTimer t;
    bool got = false;
    QObject::connect(&r, &Runner::output, [&got] { got = true; });
    t.start();
    r.start(Command{perl(), {"-e", "print 1"}}, false);
    while (!got && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return t.nsecsElapsed() / 1e6;
}

void FirstByteShown(benchmark::State &state)
{
    QPlainTextEdit panel;
    panel.show();
    const QString expected = outputHeader() + QStringLiteral("1");
    double overPerl = 0;
    for (auto _ : state) {
        const double bare = perlStartMs();
        panel.clear();
        QElapsedTimer t;
        t.start();
        RunAndCapture(&panel, Command{perl(), {"-e", "print 1"}}, true);
        while (panel.toPlainText() != expected && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double shown = t.nsecsElapsed() / 1e6;
        overPerl = std::max(overPerl, shown - bare);
        state.SetIterationTime(shown / 1000.0);
        while (PanelRun::of(&panel)->isRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    state.counters["worst_ms_beyond_perl"] = overPerl;
}
BENCHMARK(FirstByteShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void Flood(benchmark::State &state)
{
    const qint64 megabytes = state.range(0);
    double worstStall = 0;
    qint64 shown = 0;
    double rssRatio = 0;
    for (auto _ : state) {
        QPlainTextEdit panel;
        panel.show();
        const qint64 before = residentKiB();
        QElapsedTimer tick;
        double stall = 0;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            stall = std::max(stall, tick.nsecsElapsed() / 1e6);
            tick.restart();
        });
        const QString code = QStringLiteral("print 'x' x 99, qq(\\n) for 1 .. %1")
                                     .arg(megabytes * 10000);
        tick.start();
        probe.start();
        RunAndCapture(&panel, Command{perl(), {"-e", code}}, false);
        while (PanelRun::of(&panel)->isRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        probe.stop();
        worstStall = std::max(worstStall, stall);
        shown = panel.document()->characterCount() - 1;
        rssRatio = (residentKiB() - before) * 1024.0 / (shown * 2.0);
    }
    state.counters["worst_stall_ms"] = worstStall;
    state.counters["shown_chars"] = double(shown);
    state.counters["rss_per_utf16_text"] = rssRatio;
}
BENCHMARK(Flood)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same flood with colours and links made of it and without (the escapes then stay text):
// range(0) megabytes, range(1) 1 for decorated, range(2) 1 for lines that are all coloured
// messages naming a real file, 0 for lines that name nothing.
void FloodDecorated(benchmark::State &state)
{
    const qint64 megabytes = state.range(0);
    OutputDecor::setEnabled(state.range(1) != 0);
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("flood.pl"));
    QFile f(script);
    if (!f.open(QIODevice::WriteOnly))
        state.SkipWithError("no script");
    // Lines of about 100 characters either way.
    f.write(state.range(2) != 0
                    ? "printf qq(\\e[31mwarning\\e[0m: %-36s at %s line %d.\\n), 'x' x 36, $0, $_"
                      " for 1 .. $ARGV[0];\n"
                    : "print 'x' x 99, qq(\\n) for 1 .. $ARGV[0];\n");
    f.close();
    qint64 shown = 0;
    int links = 0;
    qint64 ended = 0;
    double endedCpu = 0;
    for (auto _ : state) {
        QPlainTextEdit panel;
        panel.show();
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuMs();
        RunAndCapture(&panel, Command{perl(), {script, QString::number(megabytes * 10000)}}, false);
        while (PanelRun::of(&panel)->isRunning())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ended += clock.elapsed();
        endedCpu += threadCpuMs() - cpuBefore;
        // The time above is what a user waits for; this is until all that stays is decorated,
        // not just what the panel shows.
        while (PanelRun::of(&panel)->decorating())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        shown = panel.document()->characterCount() - 1;
        links = 0;
        for (QTextBlock b = panel.document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it)
                links += it.fragment().charFormat().isAnchor() ? 1 : 0;
        }
    }
    OutputDecor::setEnabled(true);
    state.counters["shown_chars"] = double(shown);
    state.counters["links"] = links;
    state.counters["run_ended_ms"] = double(ended) / double(state.iterations());
    state.counters["run_ended_cpu_ms"] = endedCpu / double(state.iterations());
}
BENCHMARK(FloodDecorated)
        ->ArgsProduct({{50}, {0, 1}, {0, 1}})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (perl().isEmpty())
        return 0;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
