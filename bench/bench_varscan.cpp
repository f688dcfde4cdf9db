// The code inspector's scan alone: real Perl of 1 MB and 10 MB, and the bad inputs a user
// may open by mistake.
#include "core/common/textfile.h"
#include "core/editor/varscan.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

QString corpus(qint64 bytes)
{
    const QString path = QDir::tempPath() + QStringLiteral("/quillforge-corpus-%1.pl").arg(bytes);
    if (!QFileInfo::exists(path))
        QProcess::execute(QStringLiteral(QF_CORPUS_TOOL), {QString::number(bytes), path});
    return readTextFile(path).text;
}

void BM_ScanPerl(benchmark::State &state)
{
    const QString text = corpus(state.range(0));
    InspectorEntries e;
    for (auto _ : state) {
        e = InspectorScan::scan(text, true, true);
        benchmark::DoNotOptimize(e);
    }
    state.counters["variables"] = double(e.variables.size());
    state.counters["subroutines"] = double(e.subroutines.size());
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScanPerl)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_ScanBadInput(benchmark::State &state)
{
    QString text;
    switch (state.range(0)) {
    case 0:
        text = QString(1'000'000, u'$');
        break;
    case 1:
        text = QStringLiteral("$a").repeated(500'000);
        break;
    case 2: // a hundred thousand distinct names, one comment at the very end
        for (int i = 0; i < 100'000; ++i)
            text += QStringLiteral("$v%1;@w%1;sub s%1 {}\n").arg(i);
        text += u'#';
        break;
    case 3:
        text = QStringLiteral("# $x @y sub z\n").repeated(80'000);
        break;
    case 4:
        text = u'$' + QString(5'000'000, u'a');
        break;
    }
    state.SetLabel(std::array{"million $", "$a repeated", "100k names", "only comments",
                              "one 5 MB name"}[size_t(state.range(0))]);
    for (auto _ : state)
        benchmark::DoNotOptimize(InspectorScan::scan(text, true, true));
}
BENCHMARK(BM_ScanBadInput)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
