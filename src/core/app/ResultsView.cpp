#include "core/app/ResultsView.h"

#include "core/base/TextRoutines.h"
#include "core/grid/StringGridData.h"

#include <algorithm>
#include <optional>

namespace zarn {

std::vector<int> defaultColumnRoles() {
    return {0, 1, 2, 3, 4};
}

TSAlign roleAlignment(int role) {
    return role == 0 || role == 2 || role == 6 ? TSAlign::alsCenter : TSAlign::alsLeft;
}

std::vector<std::string> viewHeadings(const TLStr& texts, const std::vector<int>& columnRoles) {
    std::vector<std::string> out;
    out.reserve(columnRoles.size());
    for (int role : columnRoles)
        out.push_back(
            text::replaceChar(texts.text("VGlava" + std::to_string(role) + "_0"), '$', '\r'));
    return out;
}

namespace {

bool isValueMarker(char c) {
    return c == '!' || c == '>' || c == '<';
}

// Formats one entry onto the end of `out` without building intermediate strings: the view of
// a large root formats tens of thousands of entries.
void appendFormatted(std::string& out, std::string_view entry, const NamefTables& namef) {
    if (entry.substr(0, 3) == "AAA") {
        out += entry.substr(3);
        return;
    }
    // An empty entry is an empty value: it names no quantity, not quantity 0.
    if (entry.empty())
        return;
    std::string_view q = namef.quantity(text::digitsToInt(entry.substr(0, 3)));
    const std::string_view u =
        namef.unit(text::digitsToInt(entry.substr(std::min<size_t>(3, entry.size()), 3)));
    const std::string_view v = entry.size() > 6 ? entry.substr(6) : std::string_view{};
    bool warning = false;
    bool greater = false;
    bool less = false;
    size_t markers = 0;
    for (char c : v) {
        if (!isValueMarker(c))
            continue;
        ++markers;
        warning |= c == '!';
        greater |= c == '>';
        less |= c == '<';
    }
    const bool hasValue = markers < v.size();
    char sign = less ? '<' : greater ? '>' : 0;
    if (!q.empty() && q.back() == ':') {
        q.remove_suffix(1);
        sign = ':';
    }
    if (!q.empty() && sign == 0)
        sign = '=';
    const size_t start = out.size();
    out += q;
    if (sign) {
        if (sign != ':' && out.size() > start)
            out += ' ';
        out += sign;
    }
    if (hasValue) {
        out += ' ';
        if (markers == 0) {
            out += v;
        } else {
            for (char c : v)
                if (!isValueMarker(c))
                    out += c;
        }
    }
    if (!u.empty()) {
        if (out.size() > start)
            out += ' ';
        out += u;
    }
    if (warning)
        out += " !";
}

// Field n (from 1) of a CR-separated cell, without copying.
std::string_view fieldView(std::string_view cell, int n) {
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const size_t cr = cell.find(text::CR, start);
        if (cr == std::string_view::npos)
            return {};
        start = cr + 1;
    }
    return cell.substr(start, cell.find(text::CR, start) - start);
}

} // namespace

std::string formatEntry(std::string_view entry, const NamefTables& namef) {
    std::string out;
    appendFormatted(out, entry, namef);
    return out;
}

std::string formatValueCell(std::string_view cell, const NamefTables& namef) {
    std::string out;
    out.reserve(cell.size() + 32);
    size_t start = 0;
    for (;;) {
        const size_t cr = cell.find(text::CR, start);
        appendFormatted(out, cell.substr(start, cr == std::string_view::npos ? cr : cr - start),
                        namef);
        if (cr == std::string_view::npos)
            break;
        out += text::CR;
        start = cr + 1;
    }
    return out;
}

std::string functionNameForView(int code, const NamefTables& namef) {
    return text::replaceChar(namef.function(code), '$', '\r');
}

namespace {

int functionCode(const ResultsTable& table, int row) {
    return text::digitsToInt(fieldView(table.cell(col::Function, row), 1));
}

} // namespace

std::vector<int> selectViewRows(const ResultsTable& table, const NodeIds& ids) {
    std::vector<int> rows;
    const RowIds key{ids.object, ids.block, ids.element};
    if (table.isSorted()) {
        const auto range = table.equalRange(key, std::min(ids.level, 2) + 1);
        for (int r = range.first; r < range.last; ++r)
            if (functionCode(table, r) != 0)
                rows.push_back(r);
        return rows;
    }
    for (int r = 1; r < table.rowCount(); ++r) {
        if (functionCode(table, r) == 0)
            continue;
        const RowIds& row = table.ids(r);
        if (row.object != key.object)
            continue;
        if (ids.level >= 1 && row.block != key.block)
            continue;
        if (ids.level >= 2) {
            if (row.element < key.element)
                continue;
            if (row.element > key.element)
                break;
        }
        rows.push_back(r);
    }
    return rows;
}

std::string roleText(const ResultsTable& table, int row, int role, int number,
                     const NamefTables& namef) {
    switch (role) {
    case 0:
        return std::to_string(number);
    case 1:
        return std::string(fieldView(table.cell(col::Names, row), 3));
    case 2:
        return functionNameForView(functionCode(table, row), namef);
    case 3:
        return formatValueCell(table.cell(col::RValues, row), namef);
    case 4:
        return formatValueCell(table.cell(col::PValues, row), namef);
    case 5:
        return formatValueCell(table.cell(col::MValues, row), namef);
    case 6:
        return table.cell(col::DValues, row) + text::CR + table.cell(col::TValues, row);
    default:
        return {};
    }
}

ResultsViewContent buildResultsView(const ResultsTable& table, const InstallationTree& tree,
                                    NodeHandle node, int namingMode, const NamefTables& namef,
                                    const TLStr& texts, const std::vector<int>& columnRoles) {
    ResultsViewContent content;
    if (!tree.isValid(node))
        return content;
    content.panelCaption = texts.text("NoMeasuresIn_30") + " " + tree.text(node);
    const std::vector<int> rows = selectViewRows(table, tree.nodeIds(node, namingMode));
    content.rows.reserve(rows.size());
    // A root shows thousands of rows with a handful of functions: name each function once.
    std::vector<std::optional<std::string>> functionNames;
    int number = 1;
    for (int r : rows) {
        ViewRow vr;
        vr.sourceRow = r;
        vr.cells.reserve(columnRoles.size());
        for (int role : columnRoles) {
            if (role != 2) {
                vr.cells.push_back(roleText(table, r, role, number, namef));
                continue;
            }
            const int code = functionCode(table, r);
            if (code < 0 || code >= NamefTables::FunctionCount) {
                vr.cells.emplace_back();
                continue;
            }
            if (functionNames.empty())
                functionNames.resize(NamefTables::FunctionCount);
            auto& name = functionNames[static_cast<size_t>(code)];
            if (!name)
                name = functionNameForView(code, namef);
            vr.cells.push_back(*name);
        }
        content.rows.push_back(std::move(vr));
        ++number;
    }
    return content;
}

void fillViewGrid(StringGridData& grid, const ResultsViewContent& content,
                  const std::vector<std::string>& headings, const std::vector<int>& columnRoles) {
    const int cols = std::max<int>(1, static_cast<int>(columnRoles.size()));
    grid.setColCount(cols);
    grid.setRowCount(1 + static_cast<int>(content.rows.size()));
    grid.setFixedRows(1);
    grid.setDefaultColWidth(30);
    grid.setDefaultRowHeight(10);
    for (int c = 0; c < static_cast<int>(columnRoles.size()); ++c) {
        const TSAlign a = roleAlignment(columnRoles[static_cast<size_t>(c)]);
        grid.setColAlignment(c, a);
        grid.setFixedAlignment(c, a);
        grid.setCell(c, 0,
                     c < static_cast<int>(headings.size()) ? headings[static_cast<size_t>(c)] : "");
        grid.setObject(c, 0, nullptr);
    }
    for (size_t r = 0; r < content.rows.size(); ++r)
        for (int c = 0; c < cols; ++c) {
            const auto& cells = content.rows[r].cells;
            grid.setCell(c, static_cast<int>(r) + 1,
                         static_cast<size_t>(c) < cells.size() ? cells[static_cast<size_t>(c)]
                                                               : "");
            grid.setObject(c, static_cast<int>(r) + 1, nullptr);
        }
}

} // namespace zarn
