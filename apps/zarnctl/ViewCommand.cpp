// zarnctl view FILE [--node PATH] [--json]: the results view of one node, as the desktop
// shows it.
#include "Command.h"
#include "DocumentLoader.h"
#include "core/base/TextRoutines.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace zarnctl {
namespace {

using json = nlohmann::ordered_json;
using namespace zarn;

std::vector<std::string> cellLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t cr = text.find('\r', start);
        lines.push_back(
            text.substr(start, cr == std::string::npos ? std::string::npos : cr - start));
        if (cr == std::string::npos)
            break;
        start = cr + 1;
    }
    return lines;
}

// Display width of UTF-8 text: one per code point.
size_t width(const std::string& s) {
    return static_cast<size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void printTable(std::ostream& os, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::vector<std::string>> all{headings};
    all.insert(all.end(), rows.begin(), rows.end());
    std::vector<size_t> widths(headings.size(), 0);
    for (const auto& row : all)
        for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
            for (const auto& l : cellLines(row[c]))
                widths[c] = std::max(widths[c], width(l));
    for (size_t r = 0; r < all.size(); ++r) {
        std::vector<std::vector<std::string>> lines;
        size_t height = 1;
        for (const auto& cell : all[r]) {
            lines.push_back(cellLines(cell));
            height = std::max(height, lines.back().size());
        }
        for (size_t k = 0; k < height; ++k) {
            std::string out;
            for (size_t c = 0; c < lines.size() && c < widths.size(); ++c) {
                const std::string text = k < lines[c].size() ? lines[c][k] : "";
                out += text + std::string(widths[c] - width(text), ' ') + "  ";
            }
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            os << out << '\n';
        }
        if (r == 0) {
            size_t total = 0;
            for (size_t w : widths)
                total += w + 2;
            os << std::string(total > 2 ? total - 2 : 0, '-') << '\n';
        }
    }
}

int runView(Context& ctx) {
    const auto args = parseArgs(ctx.args, {"--json"}, {"--node"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    LoadedDocument doc(ctx);
    doc.read(args.positional[0]);
    auto& ws = doc.workspace();
    const NodeHandle node = nodeAtPath(ws.tree(), args.value("--node").value_or("1"));
    const auto content = ws.resultsView(node);

    std::vector<std::string> headings;
    for (const auto& h : ws.viewHeadings())
        headings.push_back(doc.display(h));
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : content.rows) {
        rows.emplace_back();
        for (const auto& cell : row.cells)
            rows.back().push_back(doc.display(cell));
    }
    const std::string caption = rows.empty() ? doc.display(content.panelCaption) : std::string();

    if (args.has("--json")) {
        json out;
        out["caption"] = caption;
        out["headings"] = headings;
        out["rows"] = rows;
        ctx.out << out.dump(2) << '\n';
    } else if (rows.empty()) {
        ctx.out << caption << '\n';
    } else {
        printTable(ctx.out, headings, rows);
    }
    return 0;
}

const RegisterCommand reg{
    {"view", "FILE [--node PATH] [--json]",
     "Prints the results view of one node as the desktop shows it: headings and rows with\n"
     "formatted cells. PATH is 1-based child positions from the roots (\"1\" the first root,\n"
     "\"1.2\" its second child); the default is the first root. --json prints\n"
     "{ \"caption\": ..., \"headings\": [...], \"rows\": [[...], ...] }; the caption is the\n"
     "empty view's caption and is empty when there are rows.",
     runView}};

} // namespace
} // namespace zarnctl
