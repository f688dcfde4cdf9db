#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// main() of a benchmark that needs windows: on the offscreen platform, so it runs anywhere.
#define QF_WIDGET_BENCHMARK_MAIN() \
    int main(int argc, char **argv) \
    { \
        qputenv("QT_QPA_PLATFORM", "offscreen"); \
        QApplication app(argc, argv); \
        benchmark::Initialize(&argc, argv); \
        benchmark::RunSpecifiedBenchmarks(); \
        benchmark::Shutdown(); \
        return 0; \
    }
