// Peak memory of `zarnctl show` on a structure file of 200,000 small protocol pages, against
// the same file without pages. The files are generated here; the command runs as a child
// process, so its peak resident set is measured alone.
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zarn;

constexpr int PageCount = 200000;

// The lines a page of each kind holds after its kind and index, every field empty; a
// measurement page declares no cells, so it keeps the header rows it is created with.
std::string pageBody(int kind) {
    switch (kind) {
    case 1:
        return std::string(15, '\n');
    case 2:
        return std::string(9, '\n');
    case 3:
        return std::string(23, '\n');
    case 4:
        return std::string(4, '\n');
    default:
        return "\n\n0\n0\n\n\n\n\n0\n0\n\n\n";
    }
}

// A valid file with an empty structure, followed by `pages` pages of the given kinds in turn,
// written compactly: no empty lines between pages and LF line ends, as the reader accepts.
std::string generate(const std::vector<int>& kinds, int pages) {
    const test::TestDocument empty;
    std::string bytes = writeStructure(empty.parts, structfile::ProductFamily, {});
    bytes.resize(bytes.rfind(structfile::Konec));
    int counts[7] = {};
    for (int i = 0; i < pages; ++i) {
        const int kind = kinds[static_cast<size_t>(i) % kinds.size()];
        bytes += structfile::ProtocolData;
        bytes += '\n' + std::to_string(kind) + '\n' + std::to_string(++counts[kind]) + '\n';
        bytes += pageBody(kind);
    }
    bytes += structfile::Konec;
    bytes += '\n';
    return bytes;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    double peakMb = 0;
};

// `zarnctl show FILE` with its output discarded. ZARNCTL in the environment names another
// build's zarnctl, to compare with.
Run showFile(const std::string& path) {
    const char* other = std::getenv("ZARNCTL");
    const std::string zarnctl =
        other && *other ? std::string(other) : std::string(ZARN_BIN_DIR) + "/zarnctl";
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(zarnctl.c_str(), zarnctl.c_str(), "show", path.c_str(), nullptr);
        ::_exit(127);
    }
    Run run;
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return run;
}

void showPages(benchmark::State& state, const std::vector<int>& kinds, int pages,
               const char* label) {
    const zarn::test::TempDir dir("zarn-bench-protocol-memory");
    const std::string bytes = generate(kinds, pages);
    const std::string path = dir.write("pages" + std::to_string(pages) + ".zrn", bytes);
    double peak = 0;
    for (auto _ : state) {
        const Run run = showFile(path);
        if (!run.ok) {
            state.SkipWithError("zarnctl show failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMb);
    }
    state.counters["peak_rss_mb"] = peak;
    state.counters["file_mb"] = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    state.counters["pages"] = pages;
    state.SetLabel(label);
}

void ShowBaselineNoPages(benchmark::State& state) {
    showPages(state, {1}, 0, "");
}

// Object, block, lightning-rod and floor-plan pages in turn.
void ShowFormPages(benchmark::State& state) {
    showPages(state, {1, 2, 3, 4}, PageCount, "goal: peak_rss_mb<300");
}

// Block and lightning-rod measurement pages in turn.
void ShowMeasurementPages(benchmark::State& state) {
    showPages(state, {5, 6}, PageCount, "goal: peak_rss_mb<300");
}

} // namespace

BENCHMARK(ShowBaselineNoPages)
    ->Name("ShowPages/Baseline_NoPages")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ShowFormPages)
    ->Name("ShowPages/FormPages")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ShowMeasurementPages)
    ->Name("ShowPages/MeasurementPages")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
