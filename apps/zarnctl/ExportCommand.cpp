// zarnctl export FILE -o OUT [--col tab|semicolon] [--row crlf|cr|lf]: the text export of a
// structure file, as File › Export writes it.
#include "Command.h"
#include "DocumentLoader.h"
#include "core/inspection/TextExport.h"

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
    const auto result = doc.read(args.positional[0]);
    if (!result.version)
        throw CommandError(args.positional[0] + " is not a structure file");
    if (!result.productFamily())
        throw CommandError(args.positional[0] + " holds results of data family " +
                           std::to_string(result.family) + ", which this program does not read");
    if (!result.trusted)
        ctx.err << "zarnctl export: warning: the results do not match the instrument's "
                   "checksum and were emptied\n";
    if (result.protocolError)
        ctx.err << "zarnctl export: warning: the protocol pages after the damaged one were "
                   "not read\n";

    zarn::Workspace& ws = doc.workspace();
    zarn::StructureDocument& structure = doc.document();
    const zarn::ExportSource source{
        ws.tree(),  ws.results(), structure.heading(), structure.protocol(),
        ws.texts(), ws.namef(),   doc.codePage()};
    const zarn::WriteResult written = zarn::writeTextExport(source, format, *out);
    if (!written.ok)
        throw CommandError("cannot write " + *out + ": " + written.message);
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
