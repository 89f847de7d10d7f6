// The text export of a large structure: 2,000 nodes and 10,000 result rows (a long day's
// measurements), with two measurement tables. The baseline copies the same cells
// into one string with the delimiters and nothing else.
#include "core/inspection/TextExport.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace zarn;

struct Doc {
    TLStr texts;
    NamefTables namef;
    InstallationTree tree;
    ResultsTable results;
    PrintoutHeading heading;
    TProtocol protocol{texts};
    ExportSource source() const { return {tree, results, heading, protocol, texts, namef, 1252}; }

    Doc() {
        for (int role = 0; role < 7; ++role)
            texts.set("VGlava" + std::to_string(role) + "_0", "Heading$" + std::to_string(role));
        namef.load({"funkcija12=RCD$trip time", "funkcija3=Insulation$resistance", "velicina1=R",
                    "velicina4=Riso", "velicina3=U", "enota2=kOhm", "enota3=MOhm", "enota4=V",
                    "enota5=ms"});
        heading.setText(PrintoutHeading::Op1, "Elektro Meritve");
        heading.setText(PrintoutHeading::Site1, "Site");
        for (int r = 1; r <= 200; ++r) {
            const NodeHandle root = tree.createNode(NoNode);
            tree.initialiseNode(root, kind::Object);
            tree.setText(root, "Distribution board " + std::to_string(r));
            tree.setId(root, r);
            for (int l = 1; l <= 9; ++l) {
                const NodeHandle leaf = tree.createNode(root);
                tree.initialiseNode(leaf, kind::Particular);
                tree.setText(leaf, "Socket circuit " + std::to_string(l));
                tree.setId(leaf, l);
            }
        }
        results.setCell(1, 0, "MI 3100\r1234\r1.0\rSN 20240001\r\r\r\r");
        for (int i = 0; i < 9999; ++i) {
            const int row = results.addRow();
            const int block = 1 + i / 50;
            const int element = 1 + (i / 5) % 9;
            results.setCell(1, row, "1\r" + std::to_string(block) + "\r" + std::to_string(element));
            results.setCell(2, row,
                            "\rDistribution board " + std::to_string(block) + "\rSocket circuit " +
                                std::to_string(element) + "\r6,13");
            results.setCell(3, row, i % 2 ? "12\rRCD test" : "3\rInsulation");
            results.setCell(4, row, "001002>999\r004005 0.41!");
            results.setCell(5, row, "003004 230");
            results.setCell(6, row, "AAAPASS");
        }
        protocol.AddBlockMeasurementPage();
        auto& table = protocol.blockMeasurementPage(1)->table(0);
        for (int r = 2; r < 202; ++r)
            for (int c = 0; c < 11; ++c)
                TProtocol::SetTableCell(table, c, r, "0.35\r0.36");
    }
};

Doc& doc() {
    static Doc d;
    return d;
}

void ExportBaselineConcat(benchmark::State& state) {
    const Doc& d = doc();
    size_t size = 0;
    for (auto _ : state) {
        std::string out;
        out.reserve(size);
        for (int r = 1; r < d.results.rowCount(); ++r) {
            for (int c = 1; c <= 6; ++c) {
                out += d.results.cell(c, r);
                out += '\t';
            }
            out += "\r\n";
        }
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
}

void ExportBuild(benchmark::State& state) {
    const Doc& d = doc();
    size_t bytes = 0;
    for (auto _ : state) {
        const auto out = buildTextExport(d.source(), {});
        bytes = out->size();
        benchmark::DoNotOptimize(out->data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetLabel("goal: ms<100");
}

// Building and writing the file (temporary file, fsync, rename), as File › Export does.
void ExportFile(benchmark::State& state) {
    const Doc& d = doc();
    const auto dir = std::filesystem::temp_directory_path() / "zarn_bench_export";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "large.TXT").string();
    for (auto _ : state) {
        if (!writeTextExport(d.source(), {}, path).ok)
            state.SkipWithError("write failed");
    }
    state.SetLabel("goal: ms<100");
}

} // namespace

BENCHMARK(ExportBaselineConcat)->Name("Export/Baseline_Concat")->Unit(benchmark::kMillisecond);
BENCHMARK(ExportBuild)->Name("Export/Build")->Unit(benchmark::kMillisecond);
BENCHMARK(ExportFile)->Name("Export/File")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
