// The pattern painter on real Perl (the machine's own modules) with the shipped definitions.
#include "core/common/textfile.h"
#include "core/editor/painter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
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
    const QString path = QDir::temp().filePath(QStringLiteral("quillforge-corpus-%1.pl").arg(bytes));
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
    static const ColorDefinitions defs = ColorDefinitions::load(
            QStringLiteral(QF_SHIPPED_DATA "/etc/editorcolors.def"));
    return defs;
}

void reportSpans(benchmark::State &state, const QString &text, const PaintSpans &spans)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * int64_t(sizeof(QChar)));
    state.counters["spans"] = double(spans.size());
    state.counters["definitions"] = double(shippedDefinitions().size());
    // What the colours of a text cost to keep: the span vector as allocated.
    state.counters["span_bytes_per_char"] = double(spans.capacity() * sizeof(PaintSpan))
                                            / double(std::max<qsizetype>(1, text.size()));
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

// Input a user should not have but may: lines of a million openers, a long run of quote
// pairs, random code points. The painter must stay linear in them.
void BM_PaintBadInput(benchmark::State &state)
{
    const QStringList keys{"2#=Arial|10|1|0|0|0|0", "3\"=Arial|10|2|0|0|0|0",
                           "3'=Arial|10|3|0|0|0|0", "1if=Arial|10|4|0|0|0|0",
                           "0$=Arial|10|5|0|0|0|0"};
    const PatternPainter painter(ColorDefinitions::fromLines(keys));
    QString text;
    switch (state.range(0)) {
    case 0:
        text = QString(1'000'000, u'#');
        break;
    case 1:
        text = QStringLiteral("\"ab' ").repeated(200'000);
        break;
    case 2: {
        text = QString(500'000, Qt::Uninitialized);
        quint32 x = 3;
        for (QChar &c : text) {
            x = x * 1664525u + 1013904223u;
            c = QChar(char16_t(x >> 16));
        }
        break;
    }
    }
    state.SetLabel(
            std::array{"million #", "quote pairs", "random code points"}[size_t(state.range(0))]);
    for (auto _ : state)
        benchmark::DoNotOptimize(painter.paint(text));
}
BENCHMARK(BM_PaintBadInput)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Thousands of definitions: making the painter and painting a text full of their words.
void BM_PaintThousandsOfDefinitions(benchmark::State &state)
{
    QStringList lines;
    for (int k = 0; k < 5000; ++k)
        lines << QStringLiteral("%1w%2=Arial|10|%3|0|0|0|0").arg(k % 4).arg(k).arg(k + 1);
    const ColorDefinitions defs = ColorDefinitions::fromLines(lines);
    QString text;
    for (int i = 0; i < 20'000; ++i)
        text += QStringLiteral("w%1 ").arg(i % 6000);
    for (auto _ : state)
        benchmark::DoNotOptimize(PatternPainter(defs).paint(text));
}
BENCHMARK(BM_PaintThousandsOfDefinitions)->Unit(benchmark::kMillisecond);

// Reading a definitions file of 4,000 groups (8,000 definitions).
void BM_LoadThousandsOfGroups(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("editorcolors.def"));
    QByteArray text;
    for (int g = 0; g < 4000; ++g)
        text += QStringLiteral("[Group %1]\n0a%1=Arial|10|%1|0|0|0|0\n3'%1=Arial|10|1|0|0|0|0\n")
                        .arg(g)
                        .toUtf8();
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorDefinitions::load(path));
}
BENCHMARK(BM_LoadThousandsOfGroups)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
