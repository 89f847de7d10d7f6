// zarnctl export FILE -o OUT [--col tab|semicolon] [--row crlf|cr|lf]: the text export of a
// structure file, as File › Export writes it.
#include "Command.h"
#include "ExportFile.h"

namespace zarnctl {
namespace {

template <typename Value, size_t N>
Value choose(const ParsedArgs& args, const std::string& option,
             const std::pair<const char*, Value> (&words)[N], Value defaultValue) {
    const auto given = args.value(option);
    if (!given)
        return defaultValue;
    std::string allowed;
    for (const auto& [word, value] : words) {
        if (*given == word)
            return value;
        allowed += allowed.empty() ? word : std::string(", ") + word;
    }
    throw UsageError(option + " takes one of " + allowed + ", not \"" + *given + "\"");
}

int runExport(Context& ctx) {
    const auto args = parseArgs(ctx.args, {}, {"-o", "--output", "--col", "--row"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    const auto out = args.value("-o") ? args.value("-o") : args.value("--output");
    if (!out || out->empty())
        throw UsageError("the output file is missing (-o OUT)");
    static constexpr std::pair<const char*, zarn::ColumnDelimiter> columns[] = {
        {"tab", zarn::ColumnDelimiter::Tab}, {"semicolon", zarn::ColumnDelimiter::Semicolon}};
    static constexpr std::pair<const char*, zarn::RowDelimiter> rows[] = {
        {"crlf", zarn::RowDelimiter::CrLf},
        {"cr", zarn::RowDelimiter::Cr},
        {"lf", zarn::RowDelimiter::Lf}};
    const zarn::ExportFormat format{choose(args, "--col", columns, zarn::ColumnDelimiter::Tab),
                                    choose(args, "--row", rows, zarn::RowDelimiter::CrLf)};

    LoadedDocument doc(ctx);
    exportStructureFile(doc, args.positional[0], format, *out, ctx.err, "zarnctl export");
    return 0;
}

const RegisterCommand reg{
    {"export", "FILE -o OUT [--col tab|semicolon] [--row crlf|cr|lf]",
     "Writes the text export of a structure file, as File > Export does: heading, tree,\n"
     "numbered result lines and the protocol's measurement tables. Columns are separated by\n"
     "TAB (default) or \";\", lines end in CR LF (default), CR or LF. OUT is written as named.",
     runExport}};

} // namespace
} // namespace zarnctl
