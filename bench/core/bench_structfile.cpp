// Opening and saving the largest structure a file may hold (2,000 nodes, 65,536 rows of 10
// columns), each compared with plain reading and writing of the same bytes.
#include "core/structfile/StructFile.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace zarn;

using test::TempDir;
using test::TestDocument;

struct Fixture {
    TempDir dir{"zarn-bench-structfile"};
    std::string path;
    std::string bytes;
    Fixture() {
        TestDocument d;
        fillLarge(d);
        bytes = d.write();
        path = dir.write("large.zs", bytes);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void OpenBaselineGetline(benchmark::State& state) {
    const auto& f = fixture();
    for (auto _ : state) {
        std::ifstream in(f.path, std::ios::binary);
        std::string line;
        size_t lines = 0;
        while (std::getline(in, line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void OpenReader(benchmark::State& state) {
    const auto& f = fixture();
    TestDocument d; // opening replaces the document in memory, as the program does
    for (auto _ : state) {
        const auto result = readStructureFile(f.path, d.parts, {});
        if (!result.trusted || d.table.rowCount() != structfile::MaxRows ||
            d.tree.nodeCount() != 2000)
            state.SkipWithError("the file did not read back");
        benchmark::DoNotOptimize(d.table.rowCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
    state.SetLabel("goal: ratio<=4");
}

// Both save variants make the file durable (fsync), as a save must.
void SaveBaselineWrite(benchmark::State& state) {
    const auto& f = fixture();
    const std::string target = f.dir.file("baseline.zs");
    for (auto _ : state) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 ||
            ::write(fd, f.bytes.data(), f.bytes.size()) != static_cast<ssize_t>(f.bytes.size()) ||
            ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void SaveWriter(benchmark::State& state) {
    const auto& f = fixture();
    TestDocument d;
    fillLarge(d);
    const std::string target = f.dir.file("writer.zs");
    for (auto _ : state) {
        if (!saveStructureFile(target, d.parts, structfile::ProductFamily, {}).ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
    state.SetLabel("goal: ratio<=4");
}

} // namespace

BENCHMARK(OpenBaselineGetline)->Name("Open/Baseline_Getline")->Unit(benchmark::kMillisecond);
BENCHMARK(OpenReader)->Name("Open/Reader")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveBaselineWrite)->Name("Save/Baseline_Write")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveWriter)->Name("Save/Writer")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
