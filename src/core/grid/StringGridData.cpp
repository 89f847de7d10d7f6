#include "core/grid/StringGridData.h"

#include <algorithm>

namespace zarn {

StringGridData::StringGridData(int cols, int rows) : cols_(std::max(cols, 1)) {
    rows_.resize(static_cast<size_t>(std::max(rows, 1)));
    for (auto& r : rows_)
        r.resize(static_cast<size_t>(cols_));
    colWidths_.assign(static_cast<size_t>(cols_), defaultColWidth_);
    rowHeights_.assign(rows_.size(), defaultRowHeight_);
}

void StringGridData::copyCells(const Row& from, Row& to) {
    for (size_t c = 0; c < to.size() && c < from.size(); ++c) {
        to[c].text = from[c].text;
        to[c].object = from[c].object ? std::make_unique<TCellData>(*from[c].object) : nullptr;
    }
}

StringGridData::StringGridData(const StringGridData& other) {
    *this = other;
}

StringGridData& StringGridData::operator=(const StringGridData& other) {
    if (this == &other)
        return *this;
    cols_ = other.cols_;
    rows_.clear();
    rows_.resize(other.rows_.size());
    for (size_t r = 0; r < rows_.size(); ++r) {
        rows_[r].resize(static_cast<size_t>(cols_));
        copyCells(other.rows_[r], rows_[r]);
    }
    fixedRows_ = other.fixedRows_;
    fixedCols_ = other.fixedCols_;
    alignment_ = other.alignment_;
    colAlign_ = other.colAlign_;
    fixedAlign_ = other.fixedAlign_;
    auxFonts_ = other.auxFonts_;
    defaultColWidth_ = other.defaultColWidth_;
    defaultRowHeight_ = other.defaultRowHeight_;
    colWidths_ = other.colWidths_;
    rowHeights_ = other.rowHeights_;
    ++revision_;
    return *this;
}

StringGridData::Cell* StringGridData::at(int col, int row) {
    if (col < 0 || col >= cols_ || row < 0 || row >= rowCount())
        return nullptr;
    return &rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

const StringGridData::Cell* StringGridData::at(int col, int row) const {
    if (col < 0 || col >= cols_ || row < 0 || row >= rowCount())
        return nullptr;
    return &rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGridData::setColCount(int cols) {
    cols_ = std::max(cols, 1);
    for (auto& r : rows_)
        r.resize(static_cast<size_t>(cols_));
    colWidths_.resize(static_cast<size_t>(cols_), defaultColWidth_);
    touch();
}

void StringGridData::setRowCount(int rows) {
    rows = std::max(rows, 1);
    rows_.resize(static_cast<size_t>(rows));
    for (auto& r : rows_)
        r.resize(static_cast<size_t>(cols_));
    rowHeights_.resize(static_cast<size_t>(rows), defaultRowHeight_);
    touch();
}

const std::string& StringGridData::cell(int col, int row) const {
    static const std::string empty;
    const Cell* c = at(col, row);
    return c ? c->text : empty;
}

void StringGridData::setCell(int col, int row, std::string_view text) {
    if (Cell* c = at(col, row)) {
        c->text = std::string(text);
        touch();
    }
}

TCellData* StringGridData::object(int col, int row) {
    Cell* c = at(col, row);
    return c ? c->object.get() : nullptr;
}

const TCellData* StringGridData::object(int col, int row) const {
    const Cell* c = at(col, row);
    return c ? c->object.get() : nullptr;
}

void StringGridData::setObject(int col, int row, std::unique_ptr<TCellData> data) {
    if (Cell* c = at(col, row)) {
        c->object = std::move(data);
        touch();
    }
}

void StringGridData::copyRow(int from, int to) {
    if (from == to || !at(0, from) || !at(0, to))
        return;
    copyCells(rows_[static_cast<size_t>(from)], rows_[static_cast<size_t>(to)]);
    touch();
}

void StringGridData::deleteRow(int row, int minRows) {
    if (!at(0, row))
        return;
    minRows = std::max(minRows, 1);
    if (rowCount() <= minRows) {
        // The row cannot go; it is emptied instead.
        for (auto& c : rows_[static_cast<size_t>(row)]) {
            c.text.clear();
            c.object.reset();
        }
    } else {
        rows_.erase(rows_.begin() + row);
        rowHeights_.erase(rowHeights_.begin() + row);
    }
    touch();
}

void StringGridData::insertRow(int row) {
    if (row < 0 || row > rowCount())
        return;
    rows_.insert(rows_.begin() + row, Row(static_cast<size_t>(cols_)));
    rowHeights_.insert(rowHeights_.begin() + row, defaultRowHeight_);
    touch();
}

namespace {
TSAlign lookup(const std::vector<std::optional<TSAlign>>& list, int col, TSAlign fallback) {
    if (col < 0 || static_cast<size_t>(col) >= list.size() || !list[static_cast<size_t>(col)])
        return fallback;
    return *list[static_cast<size_t>(col)];
}
void store(std::vector<std::optional<TSAlign>>& list, int col, TSAlign a) {
    if (col < 0)
        return;
    if (list.size() <= static_cast<size_t>(col))
        list.resize(static_cast<size_t>(col) + 1);
    list[static_cast<size_t>(col)] = a;
}
} // namespace

TSAlign StringGridData::colAlignment(int col) const {
    return lookup(colAlign_, col, alignment_);
}

void StringGridData::setColAlignment(int col, TSAlign a) {
    store(colAlign_, col, a);
    touch();
}

TSAlign StringGridData::fixedAlignment(int col) const {
    return lookup(fixedAlign_, col, alignment_);
}

void StringGridData::setFixedAlignment(int col, TSAlign a) {
    store(fixedAlign_, col, a);
    touch();
}

const std::optional<FontSpec>& StringGridData::auxFont(int slot) const {
    static const std::optional<FontSpec> none;
    return slot >= 1 && slot <= 3 ? auxFonts_[static_cast<size_t>(slot - 1)] : none;
}

void StringGridData::setAuxFont(int slot, std::optional<FontSpec> font) {
    if (slot >= 1 && slot <= 3) {
        auxFonts_[static_cast<size_t>(slot - 1)] = std::move(font);
        touch();
    }
}

void StringGridData::setDefaultColWidth(int w) {
    defaultColWidth_ = w;
    colWidths_.assign(static_cast<size_t>(cols_), w);
    touch();
}

void StringGridData::setDefaultRowHeight(int h) {
    defaultRowHeight_ = h;
    rowHeights_.assign(rows_.size(), h);
    touch();
}

int StringGridData::colWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[static_cast<size_t>(col)] : defaultColWidth_;
}

int StringGridData::rowHeight(int row) const {
    return row >= 0 && row < rowCount() ? rowHeights_[static_cast<size_t>(row)] : defaultRowHeight_;
}

void StringGridData::setColWidth(int col, int w) {
    if (col >= 0 && col < cols_) {
        colWidths_[static_cast<size_t>(col)] = w;
        touch();
    }
}

void StringGridData::setRowHeight(int row, int h) {
    if (row >= 0 && row < rowCount()) {
        rowHeights_[static_cast<size_t>(row)] = h;
        touch();
    }
}

bool StringGridData::fitCell(int col, int row, int width, int height) {
    bool grew = false;
    if (col >= 0 && col < cols_ && colWidths_[static_cast<size_t>(col)] < width) {
        colWidths_[static_cast<size_t>(col)] = width;
        grew = true;
    }
    if (row >= 0 && row < rowCount() && rowHeights_[static_cast<size_t>(row)] < height) {
        rowHeights_[static_cast<size_t>(row)] = height;
        grew = true;
    }
    if (grew)
        touch();
    return grew;
}

} // namespace zarn
