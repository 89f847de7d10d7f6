// A whole document for structure-file tests, and a rich example of one.
#pragma once

#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"

#include <string>
#include <vector>

namespace zarn::test {

struct Doc {
    TLStr texts;
    InstallationTree tree;
    ResultsTable table;
    PrintoutHeading heading;
    PrintoutComments comments;
    TProtocol protocol{texts};
    StructureParts parts{tree, table, heading, comments, protocol};

    Doc() {
        texts.set("Wait_25", "Please wait");
        texts.set("FileNotExist_40", "File does not exist");
        texts.set("Glava0_0", "No.");
        texts.set("GlavaE1_0", "Ohm");
    }
};

// Adds a node as the last child of `parent` (NoNode: a root).
NodeHandle addNode(InstallationTree& tree, NodeHandle parent, const std::string& name, uint8_t kind,
                   int32_t id, const std::string& measures = {});

// Fills `doc` with every kind of content: a tree of roots and leaves, multi-line cells, bytes
// of a legacy code page, heading, comments and one page of each kind.
void fillRich(Doc& doc);

// "name|kind|id|measures" per node in pre-order, with "  " per depth level in front.
std::vector<std::string> describeTree(const InstallationTree& tree);
// Every cell, row by row.
std::vector<std::vector<std::string>> tableCells(const ResultsTable& table);

// The lines of the bytes (split at CR LF).
std::vector<std::string> splitLines(const std::string& bytes);
std::string joinLines(const std::vector<std::string>& lines);

} // namespace zarn::test
