// Structure files come from anywhere: the reader must survive any bytes, and what it read
// must always be writable and readable again, and exportable as text whose rows no stray
// line break splits.
#include "core/lang/LStr.h"
#include "core/protocol/TextExport.h"
#include "core/structfile/StructFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const zarn::TLStr texts;
    zarn::InstallationTree tree;
    zarn::ResultsTable table;
    zarn::PrintoutHeading heading;
    zarn::PrintoutComments comments;
    zarn::TProtocol protocol(texts);
    zarn::StructureParts parts{tree, table, heading, comments, protocol};
    zarn::ScriptedInteraction ui;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = zarn::readStructure(bytes, parts, {&ui, &texts, nullptr}, "fuzz");
    if (!result.productFamily())
        return 0;
    const std::string written = zarn::writeStructure(parts, result.family, {});

    static const zarn::NamefTables namef;
    const auto exported =
        zarn::buildTextExport({tree, table, heading, protocol, texts, namef},
                              {zarn::ColumnDelimiter::Semicolon, zarn::RowDelimiter::Lf});
    if (!exported || exported->find('\r') != std::string::npos)
        __builtin_trap();

    zarn::InstallationTree tree2;
    zarn::ResultsTable table2;
    zarn::PrintoutHeading heading2;
    zarn::PrintoutComments comments2;
    zarn::TProtocol protocol2(texts);
    zarn::readStructure(written, {tree2, table2, heading2, comments2, protocol2}, {});
    // The file this program writes keeps every node.
    if (tree2.nodeCount() != tree.nodeCount())
        __builtin_trap();
    return 0;
}
