// zarnctl show FILE [--json]: the whole document as the reader sees it.
#include "Command.h"
#include "DocumentLoader.h"

#include <nlohmann/json.hpp>

namespace zarnctl {
namespace {

using json = nlohmann::ordered_json;
using namespace zarn;

json treeJson(LoadedDocument& doc, NodeHandle parent) {
    const auto& tree = doc.workspace().tree();
    json nodes = json::array();
    for (NodeHandle h : tree.children(parent)) {
        const auto& info = tree.info(h);
        nodes.push_back({{"name", doc.display(tree.text(h))},
                         {"kind", info.Kind},
                         {"id", info.Id},
                         {"measures", doc.display(info.Measures)},
                         {"children", treeJson(doc, h)}});
    }
    return nodes;
}

json cellsJson(LoadedDocument& doc, const StringGridData& grid) {
    json rows = json::array();
    for (int r = 0; r < grid.rowCount(); ++r) {
        json row = json::array();
        for (int c = 0; c < grid.colCount(); ++c)
            row.push_back(doc.display(grid.cell(c, r)));
        rows.push_back(std::move(row));
    }
    return rows;
}

json pageJson(LoadedDocument& doc, const TPages& entry) {
    const auto& protocol = doc.document().protocol();
    json page = {{"kind", entry.kind}, {"index", entry.index}};
    if (const TFormPage* form = protocol.formPage(entry)) {
        const auto kind = static_cast<PageKind>(entry.kind);
        page["object"] = doc.display(form->objectName);
        if (kind != PageKind::Object)
            page["block"] = doc.display(form->blockName);
        json edits = json::array();
        for (int n = 1; n <= form->editCount(); ++n)
            edits.push_back(doc.display(form->edit(n)));
        page["edits"] = std::move(edits);
        if (form->checkCount() > 0)
            page["checks"] = form->checksText();
        if (kind == PageKind::FloorPlan)
            page["picture"] = doc.display(static_cast<const TTlorisPage*>(form)->pictureFile);
    } else if (const TMeasurementPage* m = protocol.measurementPage(entry)) {
        json tables = json::array();
        for (int t = 0; t < 2; ++t) {
            const auto& table = m->table(t);
            tables.push_back(
                {{"object", doc.display(table.objectName)},
                 {"block", doc.display(table.blockName)},
                 {"sub", {doc.display(table.subText(1)), doc.display(table.subText(2))}},
                 {"cells", cellsJson(doc, table)}});
        }
        page["tables"] = std::move(tables);
    }
    return page;
}

json documentJson(LoadedDocument& doc, const StructureReadResult& result) {
    auto& d = doc.document();
    const auto& table = doc.workspace().results();
    json out;
    out["version"] = result.version ? json(result.version) : json(nullptr);
    out["family"] = result.version ? json(result.family) : json(nullptr);
    out["trusted"] = result.trusted;
    json heading;
    for (int i = 0; i < PrintoutHeading::TextCount; ++i)
        heading[std::string(PrintoutHeading::Keys[static_cast<size_t>(i)].key)] =
            doc.display(d.heading().text(static_cast<PrintoutHeading::Text>(i)));
    heading["LogoText"] = d.heading().logoMode();
    out["heading"] = std::move(heading);
    json comments = json::array();
    for (int n = 1; n <= PrintoutComments::LineCount; ++n)
        comments.push_back(doc.display(d.comments().line(n)));
    out["comments"] = std::move(comments);
    json autotest = json::array();
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
        autotest.push_back(doc.display(d.comments().autotestLine(n)));
    out["autotest_comments"] = std::move(autotest);
    out["checks"] = doc.display(d.comments().storedSwitches());
    out["tree"] = treeJson(doc, NoNode);
    json cells = json::array();
    for (int r = 0; r < table.rowCount(); ++r) {
        json row = json::array();
        for (int c = 0; c < table.colCount(); ++c)
            row.push_back(doc.display(table.cell(c, r)));
        cells.push_back(std::move(row));
    }
    out["table"] = {{"rows", table.rowCount()}, {"cols", table.colCount()}, {"cells", cells}};
    json pages = json::array();
    for (const auto& entry : d.protocol().directory())
        pages.push_back(pageJson(doc, entry));
    out["protocol"] = std::move(pages);
    return out;
}

// One line of the summary: CR inside a text is shown as " | ".
std::string oneLine(LoadedDocument& doc, std::string_view bytes) {
    std::string s = doc.display(bytes);
    std::string out;
    for (char c : s) {
        if (c == '\r')
            out += " | ";
        else if (c != '\n')
            out += c;
    }
    return out;
}

void printTree(LoadedDocument& doc, std::ostream& os, NodeHandle parent, int depth) {
    const auto& tree = doc.workspace().tree();
    for (NodeHandle h : tree.children(parent)) {
        const auto& info = tree.info(h);
        os << std::string(static_cast<size_t>(2 + 2 * depth), ' ') << oneLine(doc, tree.text(h))
           << "  (kind " << int(info.Kind) << ", id " << info.Id;
        if (!info.Measures.empty())
            os << ", measures " << oneLine(doc, info.Measures);
        os << ")\n";
        printTree(doc, os, h, depth + 1);
    }
}

void printSummary(LoadedDocument& doc, std::ostream& os, const std::string& path,
                  const StructureReadResult& result) {
    auto& d = doc.document();
    const auto& table = doc.workspace().results();
    os << "File:     " << path << '\n';
    if (!result.version) {
        os << "Not a structure file (unknown first line); nothing was read.\n";
        return;
    }
    os << "Version:  " << result.version << "\nFamily:   " << result.family;
    if (!result.productFamily()) {
        os << " (not this product's family: nothing more was read)\n";
        return;
    }
    os << "\nResults:  "
       << (result.trusted ? "trusted" : "NOT trusted (checksum mismatch; emptied)") << '\n';
    os << "Heading:\n";
    for (int i = 0; i < PrintoutHeading::TextCount; ++i) {
        const auto& text = d.heading().text(static_cast<PrintoutHeading::Text>(i));
        if (!text.empty())
            os << "  " << PrintoutHeading::Keys[static_cast<size_t>(i)].key << ": "
               << oneLine(doc, text) << '\n';
    }
    os << "  LogoText: " << d.heading().logoMode() << '\n';
    os << "Comments (switches " << oneLine(doc, d.comments().storedSwitches()) << "):\n";
    for (int n = 1; n <= PrintoutComments::LineCount; ++n) {
        if (!d.comments().line(n).empty())
            os << "  " << n << ": " << oneLine(doc, d.comments().line(n)) << '\n';
    }
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n) {
        if (!d.comments().autotestLine(n).empty())
            os << "  autotest " << n << ": " << oneLine(doc, d.comments().autotestLine(n)) << '\n';
    }
    os << "Tree (" << doc.workspace().tree().nodeCount() << " nodes):\n";
    printTree(doc, os, NoNode, 0);
    os << "Table:    " << table.rowCount() << " rows x " << table.colCount() << " columns ("
       << table.resultCount() << " results)\n";
    if (table.rowCount() > 0 && !table.cell(1, 0).empty())
        os << "  Instrument: " << oneLine(doc, table.cell(1, 0)) << '\n';
    const auto& protocol = d.protocol();
    os << "Protocol: " << protocol.pageCount() << " pages\n";
    static const char* kindNames[] = {"?",
                                      "object",
                                      "block",
                                      "lightning rod",
                                      "floor plan",
                                      "block measurement",
                                      "lightning-rod measurement"};
    for (const auto& e : protocol.directory())
        os << "  " << kindNames[e.kind <= 6 ? e.kind : 0] << " page " << e.index << '\n';
}

int runShow(Context& ctx) {
    const auto args = parseArgs(ctx.args, {"--json"}, {});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    LoadedDocument doc(ctx);
    const auto result = doc.read(args.positional[0]);
    if (args.has("--json"))
        ctx.out << documentJson(doc, result).dump(2) << '\n';
    else
        printSummary(doc, ctx.out, args.positional[0], result);
    return 0;
}

const RegisterCommand reg{{"show", "FILE [--json]",
                           "Prints a structure file as the reader sees it (checksum rule "
                           "included).\n--json prints one object with fixed names: version, "
                           "family, trusted, heading, comments,\nautotest_comments, checks, "
                           "tree, table and protocol.",
                           runShow}};

} // namespace
} // namespace zarnctl
