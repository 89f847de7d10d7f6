#include "core/app/ResultsTable.h"

#include "core/base/TextRoutines.h"

#include <algorithm>
#include <cstring>

namespace zarn {

RowIds parseRowIds(std::string_view idsCell) {
    // One pass over the cell instead of three field() copies: this runs for every row that is
    // received or read.
    int32_t values[3] = {0, 0, 0};
    size_t start = 0;
    for (int i = 0; i < 3 && start <= idsCell.size(); ++i) {
        size_t end = idsCell.find(text::CR, start);
        if (end == std::string_view::npos)
            end = idsCell.size();
        values[i] = text::digitsToInt(idsCell.substr(start, end - start));
        start = end + 1;
    }
    return {values[0], values[1], values[2]};
}

ResultsTable::ResultsTable() {
    clear();
    revision_ = 0;
}

void ResultsTable::changed() {
    ++revision_;
    if (onChange_)
        onChange_();
}

const std::string& ResultsTable::cell(int col, int row) const {
    static const std::string empty;
    if (row < 0 || row >= rowCount() || col < 0 || col >= cols_)
        return empty;
    return slot(row).cells[static_cast<size_t>(col)];
}

bool ResultsTable::descentAt(int row) const {
    return row >= 1 && row + 1 < rowCount() && slot(row + 1).ids < slot(row).ids;
}

int ResultsTable::countDescents(int firstPair, int lastPair) const {
    int n = 0;
    for (int i = std::max(firstPair, 1); i <= lastPair && i + 1 < rowCount(); ++i)
        n += descentAt(i) ? 1 : 0;
    return n;
}

void ResultsTable::recountDescents() {
    descents_ = countDescents(1, rowCount());
}

void ResultsTable::setCell(int col, int row, std::string_view text) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= cols_)
        return;
    Slot& s = slot(row);
    s.cells[static_cast<size_t>(col)] = std::string(text);
    if (col == col::Ids) {
        descents_ -= countDescents(row - 1, row);
        s.ids = parseRowIds(text);
        descents_ += countDescents(row - 1, row);
    }
    changed();
}

void ResultsTable::setRow(int row, std::span<const std::string> cells) {
    if (row < 0 || row >= rowCount())
        return;
    const size_t n = std::min(cells.size(), static_cast<size_t>(cols_));
    Slot& s = slot(row);
    for (size_t c = 0; c < n; ++c)
        s.cells[c] = cells[c];
    if (n > static_cast<size_t>(col::Ids)) {
        descents_ -= countDescents(row - 1, row);
        s.ids = parseRowIds(s.cells[col::Ids]);
        descents_ += countDescents(row - 1, row);
    }
    changed();
}

void ResultsTable::setRowCount(int rows) {
    rows = std::max(rows, 1);
    while (rowCount() > rows) {
        const uint32_t s = order_.back();
        order_.pop_back();
        slots_[s].cells.clear();
        freeSlots_.push_back(s);
    }
    while (rowCount() < rows)
        order_.push_back(takeEmptySlot());
    recountDescents();
    changed();
}

uint32_t ResultsTable::takeEmptySlot() {
    uint32_t s;
    if (!freeSlots_.empty()) {
        s = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        s = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    slots_[s].cells.assign(static_cast<size_t>(cols_), std::string());
    slots_[s].ids = {};
    return s;
}

void ResultsTable::setColCount(int cols) {
    cols = std::max(cols, 1);
    cols_ = cols;
    for (uint32_t s : order_)
        slots_[s].cells.resize(static_cast<size_t>(cols));
    // The ids column may have gone or come back empty.
    for (uint32_t s : order_)
        slots_[s].ids = cols_ > col::Ids ? parseRowIds(slots_[s].cells[col::Ids]) : RowIds{};
    recountDescents();
    changed();
}

void ResultsTable::ensureSize(int cols, int rows) {
    if (cols > cols_)
        setColCount(cols);
    if (rows > rowCount())
        setRowCount(rows);
}

int ResultsTable::addRow() {
    order_.push_back(takeEmptySlot());
    const int row = rowCount() - 1;
    descents_ += countDescents(row - 1, row - 1);
    changed();
    return row;
}

void ResultsTable::copyRow(int from, int to) {
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to)
        return;
    descents_ -= countDescents(to - 1, to);
    slot(to).cells = slot(from).cells;
    slot(to).ids = slot(from).ids;
    descents_ += countDescents(to - 1, to);
    changed();
}

void ResultsTable::deleteRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    if (rowCount() == 1) {
        // The identification row stays; it is only emptied.
        for (auto& c : slot(0).cells)
            c.clear();
        slot(0).ids = {};
        changed();
        return;
    }
    descents_ -= countDescents(row - 1, row);
    const uint32_t s = order_[static_cast<size_t>(row)];
    slots_[s].cells.clear();
    freeSlots_.push_back(s);
    order_.erase(order_.begin() + row);
    descents_ += countDescents(row - 1, row - 1);
    if (row == 0)
        recountDescents(); // a result row became the identification row
    changed();
}

void ResultsTable::clear() {
    order_.clear();
    slots_.clear();
    freeSlots_.clear();
    slots_.push_back({std::vector<std::string>(static_cast<size_t>(cols_)), {}});
    order_.push_back(0);
    descents_ = 0;
    changed();
}

const RowIds& ResultsTable::ids(int row) const {
    static const RowIds none;
    return row >= 0 && row < rowCount() ? slot(row).ids : none;
}

int ResultsTable::insertOrdered(int row) {
    if (row <= 1 || row >= rowCount())
        return row;
    const RowIds key = slot(row).ids;
    // Descents among rows 1..row-1 are those not involving row or anything after it.
    const int before = countDescents(row - 1, row);
    const int later = row + 1 < rowCount() ? countDescents(row + 1, rowCount()) : 0;
    const bool prefixSorted = descents_ - before - later == 0;

    int target;
    if (prefixSorted) {
        // First row in 1..row-1 whose ids are greater than the key.
        int lo = 1, hi = row;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (key < slot(mid).ids)
                hi = mid;
            else
                lo = mid + 1;
        }
        target = lo;
    } else {
        target = row;
        while (target > 1 && key < slot(target - 1).ids)
            --target;
    }
    if (target == row)
        return row;

    if (prefixSorted)
        descents_ -= before;
    else
        descents_ -= countDescents(target - 1, row);
    const uint32_t moving = order_[static_cast<size_t>(row)];
    std::memmove(order_.data() + target + 1, order_.data() + target,
                 static_cast<size_t>(row - target) * sizeof(uint32_t));
    order_[static_cast<size_t>(target)] = moving;
    if (prefixSorted)
        descents_ += countDescents(row, row); // rows 1..row are in order now
    else
        descents_ += countDescents(target - 1, row);
    changed();
    return target;
}

int ResultsTable::lowerBound(const RowIds& key) const {
    int lo = 1, hi = rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (slot(mid).ids < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

ResultsTable::RowRange ResultsTable::equalRange(const RowIds& key, int idCount) const {
    auto prefixLess = [&](const RowIds& a, const RowIds& b) {
        if (a.object != b.object || idCount <= 1)
            return a.object < b.object;
        if (a.block != b.block || idCount == 2)
            return a.block < b.block;
        return a.element < b.element;
    };
    int lo = 1, hi = rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (prefixLess(slot(mid).ids, key))
            lo = mid + 1;
        else
            hi = mid;
    }
    RowRange r{lo, lo};
    hi = rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (!prefixLess(key, slot(mid).ids))
            lo = mid + 1;
        else
            hi = mid;
    }
    r.last = lo;
    return r;
}

} // namespace zarn
