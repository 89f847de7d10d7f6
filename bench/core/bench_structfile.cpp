// Opening and saving a large structure: 2,000 nodes and a results table of 10,000 rows of 10
// columns,
// each compared with plain reading and writing of the same bytes.
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace zarn;

struct Doc {
    TLStr texts;
    InstallationTree tree;
    ResultsTable table;
    PrintoutHeading heading;
    PrintoutComments comments;
    TProtocol protocol{texts};
    StructureParts parts{tree, table, heading, comments, protocol};
};

void fill(Doc& d) {
    // 200 roots with 9 leaves each: 2,000 nodes; 10,000 rows spread over the leaves.
    for (int r = 1; r <= 200; ++r) {
        const NodeHandle root = d.tree.createNode(NoNode);
        d.tree.initialiseNode(root, kind::Object);
        d.tree.setText(root, "Distribution board " + std::to_string(r));
        d.tree.setInfo(root, {kind::Object, "", r});
        for (int l = 1; l <= 9; ++l) {
            const NodeHandle leaf = d.tree.createNode(root);
            d.tree.initialiseNode(leaf, kind::Particular);
            d.tree.setText(leaf, "Socket circuit " + std::to_string(l));
            d.tree.setInfo(leaf, {kind::Particular, "1101000000000001", l});
        }
    }
    d.table.setCell(1, 0, "MI 3100\r1234\r1.0\rSN 20240001\r\r\r\r");
    // 10,000 rows in all, the most a file may hold: the identification row and 9,999 results.
    for (int i = 0; i < 9999; ++i) {
        const int row = d.table.addRow();
        const int block = 1 + i / 50;
        const int element = 1 + (i / 5) % 9;
        d.table.setCell(1, row, "1\r" + std::to_string(block) + "\r" + std::to_string(element));
        d.table.setCell(2, row,
                        "\rDistribution board " + std::to_string(block) + "\rSocket circuit " +
                            std::to_string(element) + "\r6,13");
        d.table.setCell(3, row, "12\rRCD test");
        d.table.setCell(4, row, "001002>999\r004005 0.41!");
        d.table.setCell(5, row, "003004 230");
        d.table.setCell(6, row, "AAAPASS");
        d.table.setCell(7, row, "2024-05-01");
        d.table.setCell(8, row, "12:00");
    }
}

struct Fixture {
    std::string dir;
    std::string path;
    std::string bytes;
    Fixture() {
        dir = (std::filesystem::temp_directory_path() / "zarn_bench_structfile").string();
        std::filesystem::create_directories(dir);
        path = dir + "/large.zs";
        Doc d;
        fill(d);
        bytes = writeStructure(d.parts, structfile::ProductFamily, {});
        std::ofstream(path, std::ios::binary) << bytes;
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
    Doc d; // opening replaces the document in memory, as the program does
    for (auto _ : state) {
        const auto result = readStructureFile(f.path, d.parts, {});
        if (!result.trusted || d.table.rowCount() != 10000 || d.tree.nodeCount() != 2000)
            state.SkipWithError("the file did not read back");
        benchmark::DoNotOptimize(d.table.rowCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
    state.SetLabel("goal: ratio<=4");
}

// Both save variants make the file durable (fsync), as a save must.
void SaveBaselineWrite(benchmark::State& state) {
    const auto& f = fixture();
    const std::string target = f.dir + "/baseline.zs";
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
    Doc d;
    fill(d);
    const std::string target = f.dir + "/writer.zs";
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
