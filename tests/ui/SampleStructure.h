// A structure as received from an instrument: roots for the blocks, leaves for the places,
// and result rows in id order. Shared by the window tests and benchmarks.
#pragma once

#include "core/app/Workspace.h"

#include <string>

namespace zarn::test {

struct SampleSizes {
    int roots = 2;
    int leavesPerRoot = 3;
    int rowsPerLeaf = 2;
};

// Row kinds cycle: insulation (one value), voltage and frequency (two values, one line
// each), RCD trip time with a warning ("!").
inline void fillSample(Workspace& ws, SampleSizes sizes = {}) {
    InstallationTree& tree = ws.tree();
    ResultsTable& table = ws.results();
    tree.clear();
    table.clear();
    int kindOfRow = 0;
    for (int r = 1; r <= sizes.roots; ++r) {
        const NodeHandle root = tree.createNode(NoNode);
        tree.initialiseNode(root, kind::Object);
        tree.setText(root, "Block " + std::to_string(r));
        tree.setId(root, r);
        for (int e = 1; e <= sizes.leavesPerRoot; ++e) {
            const NodeHandle leaf = tree.createNode(root);
            tree.initialiseNode(leaf, kind::Particular);
            const std::string place = "Place " + std::to_string(r) + "." + std::to_string(e);
            tree.setText(leaf, place);
            tree.setId(leaf, e);
            for (int k = 0; k < sizes.rowsPerLeaf; ++k) {
                const int row = table.addRow();
                table.setCell(col::Ids, row, "1\r" + std::to_string(r) + "\r" + std::to_string(e));
                table.setCell(col::Names, row,
                              "Object\rBlock " + std::to_string(r) + "\r" + place + "\r6,13");
                switch (kindOfRow++ % 3) {
                case 0:
                    table.setCell(col::Function, row, "3\rInsulation resistance");
                    table.setCell(col::RValues, row, "004003>1999");
                    table.setCell(col::PValues, row, "005005500");
                    break;
                case 1:
                    table.setCell(col::Function, row, "14\rVoltage frequency");
                    table.setCell(col::RValues, row,
                                  "023005231\r026012"
                                  "50.0");
                    break;
                default:
                    table.setCell(col::Function, row, "8\rRCD trip time");
                    table.setCell(col::RValues, row, "012010312!");
                    table.setCell(col::PValues, row,
                                  "013007"
                                  "30");
                    break;
                }
            }
        }
    }
}

} // namespace zarn::test
