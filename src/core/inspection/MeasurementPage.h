// The measurement pages of a protocol: a block measurement page and a lightning-rod
// measurement page each hold two tables with two fixed header rows (heading and unit) and
// their data rows from row 2.
#pragma once

#include "core/grid/StringGridData.h"
#include "core/inspection/ProtocolPages.h"

#include <array>
#include <memory>
#include <string>

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

    // Creates both tables with their header rows from the language texts; `charset` is the
    // character set of the language in use, given to the header font.
    TMeasurementPage(PageKind kind, const TLStr& texts, int charset = 0);

    PageKind kind() const { return kind_; }
    // Table 0 or 1.
    TStringGridAll2& table(int n) { return *tables_.at(static_cast<size_t>(n)); }
    const TStringGridAll2& table(int n) const { return *tables_.at(static_cast<size_t>(n)); }

private:
    PageKind kind_;
    std::array<std::unique_ptr<TStringGridAll2>, 2> tables_;
};

} // namespace zarn
