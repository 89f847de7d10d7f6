// zarnctl convert FILE -o OUT: reads a structure file and writes it again as version 11.
#include "Command.h"
#include "DocumentLoader.h"

namespace zarnctl {
namespace {

constexpr int ExitNotWhole = 3;

std::string describe(zarn::Unread unread, const zarn::StructureReadResult& result) {
    switch (unread) {
    case zarn::Unread::EndedEarly:
        return "the file ends before its end marker: whatever should follow is missing";
    case zarn::Unread::TableOverLimits:
        return "the results table declares more than " + std::to_string(zarn::structfile::MaxRows) +
               " rows or " + std::to_string(zarn::structfile::MaxColumns) +
               " columns: the results and the protocol pages are not read";
    case zarn::Unread::ResultsEmptied:
        return "the results do not match the instrument's checksum: every results cell is "
               "emptied";
    case zarn::Unread::DamagedPage:
        return "a protocol page's kind or number is not a number: that page and the later "
               "ones are not read";
    case zarn::Unread::SkippedLines:
        return std::to_string(result.skippedLines) +
               " non-empty line(s) outside the file's layout are passed over";
    }
    return {};
}

int runConvert(Context& ctx) {
    const auto args = parseArgs(ctx.args, {"--force"}, {"-o", "--output"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    const auto out = args.value("-o") ? args.value("-o") : args.value("--output");
    if (!out || out->empty())
        throw UsageError("the output file is missing (-o OUT)");
    const std::string& in = args.positional[0];
    LoadedDocument doc(ctx);
    // Writing what was not read would replace the content with an empty structure.
    const auto result = doc.readResults(in);
    // A converted file must hold everything the original did, or say what it lacks.
    const bool force = args.has("--force");
    for (const auto unread : result.unread)
        ctx.err << "zarnctl convert: " << (force ? "warning: " : "") << in << ": "
                << describe(unread, result) << '\n';
    if (!result.tookWholeFile() && !force) {
        ctx.err << "zarnctl convert: " << *out
                << " not written, as it would lack the above (--force writes it anyway)\n";
        return ExitNotWhole;
    }
    if (!doc.document().writeTo(*out))
        throw CommandError("cannot write " + *out);
    return 0;
}

const RegisterCommand reg{
    {"convert", "FILE -o OUT [--force]",
     "Reads a structure file with every rule of the reader and writes it again (version 11).\n"
     "A version 10 file becomes version 11; a file this program wrote comes out byte for "
     "byte.\n"
     "When the reader cannot take the whole file (counts over the limits, a file that ends\n"
     "early, results that fail the checksum, damaged protocol pages, lines outside the\n"
     "layout), stderr says what would be lost and nothing is written.\n"
     "  --force     write what was read anyway\n"
     "An output that is a symbolic link keeps the link; the file it names is replaced.\n"
     "Exit status: 0 written, 3 not written as the file was not taken whole, 1 other failures.",
     runConvert}};

} // namespace
} // namespace zarnctl
