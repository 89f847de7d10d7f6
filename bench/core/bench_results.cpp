// Results store: ordered insertion of received rows and the selection of the results view.
#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/ResultsView.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace zarn;

namespace {

constexpr int RowCount = 10000;

std::string padded(int v) {
    std::string s = std::to_string(v);
    return s.size() < 3 ? std::string(3 - s.size(), '0') + s : s;
}

// Rows as the decoder delivers them: `blocks` blocks of elements, a few results each.
std::vector<std::array<std::string, 10>> decodedRows(int blocks) {
    std::vector<std::array<std::string, 10>> rows;
    const int perBlock = RowCount / blocks;
    for (int i = 0; i < RowCount; ++i) {
        const int b = i / perBlock + 1;
        const int e = (i % perBlock) / 4 + 1;
        std::array<std::string, 10> cells;
        cells[col::Ids] = "1\r" + std::to_string(b) + "\r" + std::to_string(e);
        cells[col::Names] = "001\r" + padded(b) + "\r" + padded(e) + "\r6,13";
        cells[col::Function] = std::to_string(i % 9 + 1) + "\rR iso";
        cells[col::RValues] = "001005>1999\r002006230";
        cells[col::PValues] = "0030070.41!";
        cells[col::MValues] = "AAAPASS";
        rows.push_back(std::move(cells));
    }
    return rows;
}

void insertAll(benchmark::State& state, bool reverse) {
    auto rows = decodedRows(100);
    if (reverse)
        std::reverse(rows.begin(), rows.end());
    for (auto _ : state) {
        ResultsTable table;
        for (const auto& cells : rows) {
            const int r = table.addRow();
            table.setRow(r, cells);
            table.insertOrdered(r);
        }
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * RowCount);
}

void Insert_Baseline_Arrival(benchmark::State& state) {
    insertAll(state, false);
}

void Insert_Reverse(benchmark::State& state) {
    insertAll(state, true);
    state.SetLabel("goal: ratio<=3");
}

struct ViewFixture {
    ResultsTable table;
    InstallationTree tree;
    NamefTables namef;
    TLStr texts;
    NodeHandle root = NoNode;
    NodeHandle middleLeaf = NoNode;

    explicit ViewFixture(int blocks) {
        namef.load({"velicina001=R", "velicina002=U", "velicina003=t", "enota005=MOhm",
                    "enota006=V", "enota007=s", "funkcija001=R iso$500 V"});
        texts.set("NoMeasuresIn_30", "No measurements in");
        for (const auto& cells : decodedRows(blocks)) {
            const int r = table.addRow();
            table.setRow(r, cells);
        }
        root = tree.createNode(NoNode);
        tree.setId(root, 1);
        // The leaf of the element in the middle of the root's rows.
        const int middleElement = table.ids(RowCount / 2).element;
        for (int e = 1; e <= middleElement; ++e) {
            middleLeaf = tree.createNode(root);
            tree.setId(middleLeaf, e);
        }
    }
};

void View_Root(benchmark::State& state) {
    const ViewFixture f(1); // one root holding all 10,000 rows
    for (auto _ : state) {
        auto view =
            buildResultsView(f.table, f.tree, f.root, 1, f.namef, f.texts, defaultColumnRoles());
        benchmark::DoNotOptimize(view.rows.data());
    }
    state.SetLabel("goal: ms<5");
}

void View_Leaf(benchmark::State& state) {
    const ViewFixture f(1);
    for (auto _ : state) {
        auto view = buildResultsView(f.table, f.tree, f.middleLeaf, 1, f.namef, f.texts,
                                     defaultColumnRoles());
        benchmark::DoNotOptimize(view.rows.data());
    }
    state.SetLabel("goal: ms<0.1");
}

} // namespace

BENCHMARK(Insert_Baseline_Arrival)->Name("Insert/Baseline_Arrival")->Unit(benchmark::kMillisecond);
BENCHMARK(Insert_Reverse)->Name("Insert/Reverse")->Unit(benchmark::kMillisecond);
BENCHMARK(View_Root)->Name("View/Root")->Unit(benchmark::kMillisecond);
BENCHMARK(View_Leaf)->Name("View/Leaf")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
