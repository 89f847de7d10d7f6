// zarnctl report: the results report of one node, composed exactly as the print preview does,
// written as PDF or sent to a printer queue. Runs without a display.
#include "Command.h"
#include "ReportFile.h"

#include <charconv>

namespace zarnctl {
namespace {

using namespace zarn;

// A whole number from 1 to `max`, all of the text; nothing otherwise.
std::optional<int> positiveNumber(std::string_view text, int max) {
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last || value < 1 || value > max)
        return std::nullopt;
    return value;
}

// "A-B" or "A": pages from 1.
PageRange parsePages(const std::string& text) {
    const size_t dash = text.find('-');
    const std::string from = text.substr(0, dash);
    const std::string to = dash == std::string::npos ? from : text.substr(dash + 1);
    const auto a = positiveNumber(from, 1'000'000);
    const auto b = positiveNumber(to, 1'000'000);
    if (!a || !b || *b < *a)
        throw UsageError("--pages takes a page range like 2-5 (pages from 1, A not above B), "
                         "not \"" +
                         text + "\"");
    return {*a, *b};
}

int runReport(Context& ctx) {
    const auto args = parseArgs(ctx.args, {"--landscape", "--no-collate"},
                                {"-o", "--output", "--node", "--pages", "--printer", "--copies"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    auto output = args.value("-o");
    if (!output)
        output = args.value("--output");
    const auto printerName = args.value("--printer");
    if (output.has_value() == printerName.has_value())
        throw UsageError("give either -o OUT.pdf or --printer NAME");
    if (output && output->empty())
        throw UsageError("-o needs a file name");
    if (output && (args.value("--copies") || args.has("--no-collate")))
        throw UsageError("--copies and --no-collate are for --printer");
    std::optional<PageRange> pages;
    if (const auto p = args.value("--pages"))
        pages = parsePages(*p);
    int copies = 1;
    if (const auto c = args.value("--copies")) {
        const auto n = positiveNumber(*c, 999);
        if (!n)
            throw UsageError("--copies takes a number from 1 to 999, not \"" + *c + "\"");
        copies = *n;
    }

    ReportJob job;
    job.file = args.positional[0];
    job.node = args.value("--node").value_or("1");
    job.pages = pages;
    job.landscape = args.has("--landscape");
    job.pdf = output;
    job.printer = printerName;
    job.copies = copies;
    job.collate = !args.has("--no-collate");
    LoadedDocument doc(ctx);
    const ReportDone done = runReportJob(doc, job, ctx.ui);
    if (output)
        ctx.out << "wrote " << *output << ": " << done.printed << " of " << done.count
                << " pages\n";
    else
        ctx.out << "sent " << done.printed << " of " << done.count << " pages to " << *printerName
                << (copies > 1 ? ", " + std::to_string(copies) + " copies" : "") << '\n';
    return 0;
}

const RegisterCommand reg{
    {"report",
     "FILE (-o OUT.pdf | --printer NAME) [--node PATH] [--pages A-B] [--landscape] "
     "[--copies N] [--no-collate]",
     "Composes the results report of one node as the print preview does (heading, table,\n"
     "comments, the margins of ZARN.INI) and writes it as PDF (-o) or prints it on a printer\n"
     "queue (--printer, with --copies N from 1 to 999 and --no-collate). PATH picks the node\n"
     "as in `view`; the default is the first root. --pages A-B keeps pages A to B (from 1).\n"
     "Runs without a display (QT_QPA_PLATFORM=offscreen unless set).",
     runReport}};

} // namespace
} // namespace zarnctl
