// The data behind a TStringGridAll: cell texts, cell objects, per-column alignments and the
// sizes that drawing grows to fit the text.
//
// The results view and the protocol's measurement tables keep their contents here; the Qt grid
// shows it and the report printer reads it. Nothing here draws.
#pragma once

#include "core/grid/CellData.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

class StringGridData {
public:
    static constexpr int DefaultColWidth = 64;
    static constexpr int DefaultRowHeight = 24;

    explicit StringGridData(int cols = 5, int rows = 5);
    StringGridData(const StringGridData& other);
    StringGridData& operator=(const StringGridData& other);
    StringGridData(StringGridData&&) noexcept = default;
    StringGridData& operator=(StringGridData&&) noexcept = default;

    // Counts every change, so that a view knows when to repaint.
    uint64_t revision() const { return revision_; }

    int colCount() const { return cols_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Shrinking frees the cell objects of the dropped cells. At least one column and row.
    void setColCount(int cols);
    void setRowCount(int rows);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    void setFixedRows(int n) {
        fixedRows_ = std::max(0, n);
        touch();
    }
    void setFixedCols(int n) {
        fixedCols_ = std::max(0, n);
        touch();
    }

    // Cell text; empty outside the grid. Setting outside the grid does nothing.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string_view text);

    // The cell's object, or null. The grid owns it.
    TCellData* object(int col, int row);
    const TCellData* object(int col, int row) const;
    void setObject(int col, int row, std::unique_ptr<TCellData> data);

    // Copies every cell and cell object of row `from` into row `to`.
    void copyRow(int from, int to);
    // Frees the row's objects, moves every later row up by one and drops the last row; the row
    // count never goes below `minRows`.
    void deleteRow(int row, int minRows = 1);
    // Inserts an empty row before `row` (at the end when row == rowCount()).
    void insertRow(int row);

    // Grid-wide alignment, used by columns without their own.
    TSAlign alignment() const { return alignment_; }
    void setAlignment(TSAlign a) {
        alignment_ = a;
        touch();
    }
    // Data-row alignment of a column (rows at or below fixedRows()).
    TSAlign colAlignment(int col) const;
    void setColAlignment(int col, TSAlign a);
    // Fixed-row alignment of a column (rows above fixedRows()).
    TSAlign fixedAlignment(int col) const;
    void setFixedAlignment(int col, TSAlign a);
    // The alignment that applies to a cell.
    TSAlign alignmentFor(int col, int row) const {
        return row < fixedRows_ ? fixedAlignment(col) : colAlignment(col);
    }

    // Auxiliary fonts 1..3 that the F cell marker selects; empty unless assigned.
    const std::optional<FontSpec>& auxFont(int slot) const;
    void setAuxFont(int slot, std::optional<FontSpec> font);

    // Sizes in pixels; drawing only grows them to fit (fitCell).
    int defaultColWidth() const { return defaultColWidth_; }
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultColWidth(int w);
    void setDefaultRowHeight(int h);
    int colWidth(int col) const;
    int rowHeight(int row) const;
    void setColWidth(int col, int w);
    void setRowHeight(int row, int h);
    // Grows the column to at least `width` and the row to at least `height`; never shrinks.
    // Returns true when something grew.
    bool fitCell(int col, int row, int width, int height);

private:
    struct Cell {
        std::string text;
        std::unique_ptr<TCellData> object;
    };
    using Row = std::vector<Cell>;
    Cell* at(int col, int row);
    const Cell* at(int col, int row) const;
    void touch() { ++revision_; }
    static void copyCells(const Row& from, Row& to);

    int cols_;
    std::vector<Row> rows_;
    int fixedRows_ = 1;
    int fixedCols_ = 0;
    TSAlign alignment_ = TSAlign::alsLeft;
    std::vector<std::optional<TSAlign>> colAlign_;
    std::vector<std::optional<TSAlign>> fixedAlign_;
    std::array<std::optional<FontSpec>, 3> auxFonts_;
    int defaultColWidth_ = DefaultColWidth;
    int defaultRowHeight_ = DefaultRowHeight;
    std::vector<int> colWidths_;  // per column; default until set
    std::vector<int> rowHeights_; // per row
    uint64_t revision_ = 0;
};

} // namespace zarn
