// The pattern painter on real Perl (the machine's own modules) with the shipped definitions.
#include "common/textfile.h"
#include "editor/painter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

// Made once per machine into the temporary folder; kept for later runs.
const QString &corpus(qint64 bytes)
{
    static std::map<qint64, QString> texts;
    QString &text = texts[bytes];
    if (!text.isEmpty())
        return text;
    const QString path =
        QDir::temp().filePath(QStringLiteral("quillforge-corpus-%1.pl").arg(bytes));
    if (QFileInfo(path).size() != bytes) {
        const QStringList args{QStringLiteral(QF_CORPUS_TOOL), QString::number(bytes), path};
        const int rc = QProcess::execute(QStringLiteral("/bin/sh"), args);
        if (rc != 0 || QFileInfo(path).size() != bytes) {
            std::fprintf(stderr, "could not make the corpus %s\n", qPrintable(path));
            return text;
        }
    }
    text = decodeText(readFileBytes(path));
    return text;
}

const ColorDefinitions &shippedDefinitions()
{
    static const ColorDefinitions defs =
        ColorDefinitions::load(QStringLiteral(QF_SHIPPED_DATA "/etc/editorcolors.def"));
    return defs;
}

void reportSpans(benchmark::State &state, const QString &text, const PaintSpans &spans)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * int64_t(sizeof(QChar)));
    state.counters["spans"] = double(spans.size());
    state.counters["definitions"] = double(shippedDefinitions().size());
    // What the colours of a text cost to keep: the span vector as allocated.
    state.counters["span_bytes_per_char"] =
        double(spans.capacity() * sizeof(PaintSpan)) / double(std::max<qsizetype>(1, text.size()));
}

void BM_PaintWholeText(benchmark::State &state)
{
    const QString &text = corpus(state.range(0));
    if (text.isEmpty() || shippedDefinitions().isEmpty()) {
        state.SkipWithError("no corpus or no shipped definitions");
        return;
    }
    const PatternPainter painter(shippedDefinitions());
    PaintSpans spans;
    for (auto _ : state) {
        spans = painter.paint(text);
        benchmark::DoNotOptimize(spans.data());
    }
    reportSpans(state, text, spans);
}
BENCHMARK(BM_PaintWholeText)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// Making the painter from the definitions, as after every reload of the file.
void BM_MakePainter(benchmark::State &state)
{
    for (auto _ : state) {
        PatternPainter painter(shippedDefinitions());
        benchmark::DoNotOptimize(&painter);
    }
}
BENCHMARK(BM_MakePainter)->Unit(benchmark::kMicrosecond);

// A re-run after typing in the middle of the text: resume at the line start before the caret
// from the state an earlier run saved there, and paint one screen (about 8 KB).
void BM_ResumeOneScreen(benchmark::State &state)
{
    const QString &text = corpus(state.range(0));
    if (text.isEmpty() || shippedDefinitions().isEmpty()) {
        state.SkipWithError("no corpus or no shipped definitions");
        return;
    }
    const PatternPainter painter(shippedDefinitions());
    PaintRun first(painter, text);
    PaintSpans ignored;
    first.paintTo(int(text.size() / 2), ignored);
    const int at = first.position();
    const PaintState saved = first.state();
    PaintSpans spans;
    for (auto _ : state) {
        spans.clear();
        PaintRun run(painter, text, at, saved);
        run.paintTo(at + 8192, spans);
        benchmark::DoNotOptimize(spans.data());
    }
    state.counters["spans"] = double(spans.size());
}
BENCHMARK(BM_ResumeOneScreen)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
