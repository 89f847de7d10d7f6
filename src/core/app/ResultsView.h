// The results view (`TabelaV`): the rows of the results table that belong to the selected
// node, formatted for reading.
//
// Each view column has a role; this product shows roles 0..4 in columns 0..4:
//   0 running number (centred)   1 element name (left)   2 function name (centred)
//   3 R values (left)            4 P values (left)       5 M values (left)
//   6 D values CR T values (centred)
#pragma once

#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/grid/CellData.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <string>
#include <string_view>
#include <vector>

namespace zarn {

class StringGridData;

inline constexpr int ViewRoleCount = 7;

// Column roles of this product's five columns.
std::vector<int> defaultColumnRoles();
// Alignment of a role's column (data and heading rows alike).
TSAlign roleAlignment(int role);
// Heading of each column: the text "VGlava<role>_0" with every "$" turned into CR.
std::vector<std::string> viewHeadings(const TLStr& texts, const std::vector<int>& columnRoles);

// One value entry: "AAA" + text, or quantity code (3 digits), unit code (3 digits) and value
// with the markers "!" (warning), ">" and "<". "001005>1999" with quantity R and unit MΩ reads
// "R > 999 MΩ"-like: quantity, sign, value, unit, and " !" for a warning.
std::string formatEntry(std::string_view entry, const NamefTables& namef);
// A CR-separated value cell, each entry formatted, joined by CR.
std::string formatValueCell(std::string_view cell, const NamefTables& namef);
// The function name of a code as shown: every "$" becomes CR.
std::string functionNameForView(int code, const NamefTables& namef);

// The result rows shown for a node with these ids, in table order: rows with a function code,
// the node's object id, block id (level 1 and deeper) and element id (level 2 and deeper).
// For a node at level 2 or deeper the scan ends at the first row of the same block with a
// greater element id, as the rows of one element are contiguous in the sorted table. While the
// table is sorted, the rows are found by binary search.
std::vector<int> selectViewRows(const ResultsTable& table, const NodeIds& ids);

struct ViewRow {
    int sourceRow = 0;              // row of the results table
    std::vector<std::string> cells; // one per view column
};

struct ResultsViewContent {
    std::vector<ViewRow> rows; // empty: the view is hidden and the panel caption shows
    // Caption of the panel behind the view: "NoMeasuresIn_30" text, a space, the node's name.
    std::string panelCaption;
};

// The text of a role for a result row shown as number `number`.
std::string roleText(const ResultsTable& table, int row, int role, int number,
                     const NamefTables& namef);

// Everything the view shows for a node; no node gives an empty view without caption.
ResultsViewContent buildResultsView(const ResultsTable& table, const InstallationTree& tree,
                                    NodeHandle node, int namingMode, const NamefTables& namef,
                                    const TLStr& texts, const std::vector<int>& columnRoles);

// Fills a grid as the view shows it: heading row 0 (fixed), one row per view row, the roles'
// alignments on both heading and data rows, default column width 30 and row height 10.
void fillViewGrid(StringGridData& grid, const ResultsViewContent& content,
                  const std::vector<std::string>& headings, const std::vector<int>& columnRoles);

} // namespace zarn
