// The results table (`Tabela`): every measurement result of the open structure.
//
// Row 0 identifies the instrument that delivered the results; rows 1..n are result rows, one
// per measurement. Cells are byte strings; a cell with several values separates them with CR.
//
// Result row columns:
//   1 ids cell       object id CR block id CR element id (decimal)
//   2 names cell     object name CR block name CR element name CR "blockKind,elementKind"
//   3 function cell  function code CR function name [CR further texts]
//   4, 5, 6          R, M, P value entries ("qqquuuvalue" or "AAAtext"), CR-separated
//   7, 8             D and T entries, CR-separated
//   9 flags cell
//
// Result rows are kept sorted by (object, block, element), each compared as an integer. The
// table remembers the parsed ids of every row and whether the rows are in that order, so that
// ordered insertion and the lookup of a node's rows are binary searches.
#pragma once

#include "core/app/InstallationTree.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

struct RowIds {
    int32_t object = 0;
    int32_t block = 0;
    int32_t element = 0;
    friend auto operator<=>(const RowIds&, const RowIds&) = default;
};

// Reads the three ids of an ids cell (fields 1..3, digits only; missing or absurd ids are 0).
RowIds parseRowIds(std::string_view idsCell);

namespace col {
inline constexpr int Ids = 1;
inline constexpr int Names = 2;
inline constexpr int Function = 3;
inline constexpr int RValues = 4;
inline constexpr int MValues = 5;
inline constexpr int PValues = 6;
inline constexpr int DValues = 7;
inline constexpr int TValues = 8;
inline constexpr int Flags = 9;
} // namespace col

class ResultsTable {
public:
    static constexpr int InitialColumns = 10;

    ResultsTable();

    // Called after every change of a cell or of the row set (the owner clears the saved flag).
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }
    // Counts every change.
    uint64_t revision() const { return revision_; }

    int rowCount() const { return static_cast<int>(order_.size()); }
    int colCount() const { return cols_; }
    // Number of result rows (rows below the identification row).
    int resultCount() const { return rowCount() - 1; }

    // Cell text; empty outside the table.
    const std::string& cell(int col, int row) const;
    // Sets a cell; outside the table nothing happens.
    void setCell(int col, int row, std::string_view text);

    // Sets the first cells of a row from `cells` (e.g. a decoded record); the others stay.
    void setRow(int row, std::span<const std::string> cells);

    // Grows (never below one row / the initial columns) or shrinks the table.
    void setRowCount(int rows);
    void setColCount(int cols);
    // Grows the table to at least this size (a structure file may hold a wider table).
    void ensureSize(int cols, int rows);

    // Appends an empty row; returns its index.
    int addRow();
    // Copies every cell of row `from` into row `to`.
    void copyRow(int from, int to);
    // Removes the row; later rows move up by one.
    void deleteRow(int row);
    // Leaves only row 0, emptied.
    void clear();

    // The ids of a row as parsed from its ids cell.
    const RowIds& ids(int row) const;
    // True when result rows 1..n are in id order.
    bool isSorted() const { return descents_ == 0; }

    // Moves row `row` back to its place in id order: after every earlier row whose ids are equal
    // or smaller, exactly as a step-by-step move towards row 1 would (rows with equal ids keep
    // their order of arrival). A binary search finds the place while the rows before are in
    // order, and the row moves there in one step. Returns the row's new index.
    int insertOrdered(int row);

    // Result rows [first, last) whose ids start with the given object (and block) id; valid
    // only while isSorted().
    struct RowRange {
        int first = 1;
        int last = 1;
    };
    RowRange equalRange(const RowIds& key, int idCount) const;
    // First row >= row 1 whose ids are not smaller than the key; valid only while isSorted().
    int lowerBound(const RowIds& key) const;

private:
    struct Slot {
        std::vector<std::string> cells;
        RowIds ids;
    };
    Slot& slot(int row) { return slots_[order_[static_cast<size_t>(row)]]; }
    const Slot& slot(int row) const { return slots_[order_[static_cast<size_t>(row)]]; }
    bool descentAt(int row) const; // result rows `row` and `row + 1` out of order
    int countDescents(int firstPair, int lastPair) const;
    void recountDescents();
    // A slot with empty cells, reused from a deleted row when there is one.
    uint32_t takeEmptySlot();
    void changed();

    int cols_ = InitialColumns;
    // Rows live in slots that never move; `order_` maps a row index to its slot, so that
    // moving a row is one move of small integers.
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
    std::vector<uint32_t> order_;
    int descents_ = 0; // adjacent result-row pairs out of order
    uint64_t revision_ = 0;
    std::function<void()> onChange_;
};

} // namespace zarn
