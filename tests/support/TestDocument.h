// Documents for tests and benchmarks: the parts of one structure file, a rich example with
// every kind of content, a structure as received from an instrument, and the largest
// structure a file may hold.
#pragma once

#include "core/app/Workspace.h"
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace zarn::test {

// Everything a structure file holds, with the few texts that reading and writing use.
struct TestDocument {
    TLStr texts;
    InstallationTree tree;
    ResultsTable table;
    PrintoutHeading heading;
    PrintoutComments comments;
    TProtocol protocol{texts};
    StructureParts parts{tree, table, heading, comments, protocol};

    TestDocument();
    // `parts` refers to the members: a copy would refer to the original.
    TestDocument(const TestDocument&) = delete;
    TestDocument& operator=(const TestDocument&) = delete;

    StructureReadResult read(std::string_view bytes) { return readStructure(bytes, parts, {}); }
    std::string write() const { return writeStructure(parts, structfile::ProductFamily, {}); }
};

// Adds a node as the last child of `parent` (NoNode: a root).
NodeHandle addNode(InstallationTree& tree, NodeHandle parent, const std::string& name, uint8_t kind,
                   int32_t id, const std::string& measures = {});

// Fills `doc` with every kind of content: a tree of roots and leaves, multi-line cells, bytes
// of a legacy code page, heading, comments and one page of each kind.
void fillRich(TestDocument& doc);

struct SampleSizes {
    int roots = 2;
    int leavesPerRoot = 3;
    int rowsPerLeaf = 2;
};

// A structure as received from an instrument: roots for the blocks, leaves for the places
// and result rows in id order. Row kinds cycle: insulation (one value), voltage and
// frequency (two values, one line each), RCD trip time with a warning ("!").
void fillSample(InstallationTree& tree, ResultsTable& table, SampleSizes sizes = {});
inline void fillSample(Workspace& ws, SampleSizes sizes = {}) {
    fillSample(ws.tree(), ws.results(), sizes);
}

// The largest structure a file may hold: 200 roots of 9 leaves (2,000 nodes), the
// identification row and 65,535 results (65,536 rows of 10 columns).
void fillLarge(TestDocument& doc);

// "name|kind|id|measures" per node in pre-order, with "  " per depth level in front.
std::vector<std::string> describeTree(const InstallationTree& tree);
// Every cell, row by row.
std::vector<std::vector<std::string>> tableCells(const ResultsTable& table);

// The lines of the bytes (split at CR LF).
std::vector<std::string> splitLines(const std::string& bytes);
std::string joinLines(const std::vector<std::string>& lines);

} // namespace zarn::test
