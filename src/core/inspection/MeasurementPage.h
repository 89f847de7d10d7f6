// The measurement pages of a protocol: a block measurement page and a lightning-rod
// measurement page each hold two tables with two fixed header rows (heading and unit) and
// their data rows from row 2.
#pragma once

#include "core/grid/StringGridData.h"
#include "core/inspection/ProtocolPages.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace zarn {

class TLStr;

// A measurement table: a grid with the object and block name of its page.
class TStringGridAll2 : public StringGridData {
public:
    using StringGridData::StringGridData;
    std::string objectName;
    std::string blockName;

    // The two texts kept with the table as a whole (in the object of cell (0, 0)); empty when
    // the cell has none.
    const std::string& subText(int n) const;
    // Creates the cell object and its sub-data when missing.
    void setSubText(int n, std::string text);
};

class TMeasurementPage {
public:
    static constexpr int FontSize = 9;
    using Tables = std::array<std::shared_ptr<TStringGridAll2>, 2>;

    // Both tables of a page of `kind` with their header rows from the language texts; `charset`
    // is the character set of the language in use, given to the header font.
    static Tables makeTables(PageKind kind, const TLStr& texts, int charset);
    // True when `tables` hold the header rows and font that makeTables would give now.
    static bool headersMatch(const Tables& tables, PageKind kind, const TLStr& texts, int charset);

    TMeasurementPage(PageKind kind, const TLStr& texts, int charset = 0);
    // Most pages never change their tables from the header-only ones they start with, so
    // pages of a kind may share them; a page gets its own copy when it is changed.
    TMeasurementPage(PageKind kind, Tables shared);

    PageKind kind() const { return kind_; }
    // Table 0 or 1. The non-const access gives the page its own copy of a shared table first.
    TStringGridAll2& table(int n);
    const TStringGridAll2& table(int n) const { return *tables_.at(static_cast<size_t>(n)); }

    // Setters for filling a page: a value the table already holds leaves it shared.
    void setObjectName(int n, std::string_view name);
    void setBlockName(int n, std::string_view name);
    void setSubText(int n, int k, std::string_view text);
    // As TProtocol::SetTableCell on table n.
    void setTableCell(int n, int col, int row, std::string_view text);

private:
    PageKind kind_;
    Tables tables_;
};

} // namespace zarn
