// Structure files come from anywhere: the reader must survive any bytes, and what it read
// must be stored faithfully: writing what the file of our own write reads gives the same bytes
// again, and our own file is taken whole. It must also export as text whose rows no stray line
// break splits.
#include "core/inspection/TextExport.h"
#include "core/lang/LStr.h"
#include "core/lang/TextEncoding.h"
#include "core/structfile/StructFile.h"
#include "support/ScriptedInteraction.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

struct Document {
    zarn::InstallationTree tree;
    zarn::ResultsTable table;
    zarn::PrintoutHeading heading;
    zarn::PrintoutComments comments;
    zarn::TProtocol protocol;
    zarn::StructureParts parts{tree, table, heading, comments, protocol};
    explicit Document(const zarn::TLStr& texts) : protocol(texts) {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const zarn::TLStr texts;
    zarn::ScriptedInteraction ui;

    Document first(texts);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = zarn::readStructure(bytes, first.parts, {&ui, &texts, nullptr}, "fuzz");
    if (!result.productFamily())
        return 0;
    const std::string written = zarn::writeStructure(first.parts, result.family, {});

    static const zarn::NamefTables namef;
    const auto exported = zarn::buildTextExport(
        {first.tree, first.table, first.heading, first.protocol, texts, namef, 1250},
        {zarn::ColumnDelimiter::Semicolon, zarn::RowDelimiter::Lf});
    // Whatever the file held, the export is one text: UTF-8, with no stray line break.
    if (!exported || exported->find('\r') != std::string::npos || !zarn::isValidUtf8(*exported))
        __builtin_trap();

    Document second(texts);
    const auto again = zarn::readStructure(written, second.parts, {});
    if (!again.tookWholeFile())
        __builtin_trap();
    // Whole output, length included.
    if (zarn::writeStructure(second.parts, again.family, {}) != written)
        __builtin_trap();
    return 0;
}
