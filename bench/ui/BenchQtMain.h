// main() of the window benchmarks: a QApplication on the offscreen platform around the
// registered benchmarks.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>
#include <vector>

namespace zarn::bench {

// Shared fixtures that hold widgets are released here, while the QApplication still exists:
// a widget that outlives it crashes the program at exit.
inline std::vector<std::function<void()>>& releasesBeforeExit() {
    static std::vector<std::function<void()>> releases;
    return releases;
}

inline void releaseFixtures() {
    auto& releases = releasesBeforeExit();
    while (!releases.empty()) {
        auto release = std::move(releases.back());
        releases.pop_back();
        release();
    }
}

} // namespace zarn::bench

#define ZARN_QT_BENCHMARK_MAIN()                                                                   \
    int main(int argc, char** argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                    \
            return 1;                                                                              \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        zarn::bench::releaseFixtures();                                                            \
        return 0;                                                                                  \
    }
