#include "core/grid/Odlozisce.h"

#include "core/base/TextRoutines.h"
#include "core/grid/StringGridData.h"

#include <algorithm>
#include <vector>

namespace zarn {

void TOdlozisce::append(std::string_view bytes) {
    for (char c : bytes) {
        if (buffer_.size() > FillLimit)
            return;
        if (c == '\0') {
            buffer_ += '\xFF';
            buffer_ += '\xFE';
        } else if (c == '\xFF') {
            buffer_ += '\xFF';
            buffer_ += '\xFF';
        } else {
            buffer_ += c;
        }
    }
}

void copySelection(TOdlozisce& buffer, int left, int top, int right, int bottom,
                   const std::function<std::string(int col, int row)>& cell) {
    buffer.clear();
    std::vector<std::string> cells;
    for (int row = top; row <= bottom; ++row) {
        cells.clear();
        int height = 1;
        for (int col = left; col <= right; ++col) {
            cells.push_back(cell(col, row));
            height = std::max(height, text::countFields(cells.back(), text::CR));
        }
        for (int k = 1; k <= height; ++k) {
            std::string line;
            for (size_t i = 0; i < cells.size(); ++i) {
                if (i > 0)
                    line += '\t';
                line += text::field(cells[i], k, text::CR);
            }
            std::erase(line, '\n');
            buffer.append(line);
            if (row != bottom || k != height)
                buffer.append("\r\n");
        }
    }
}

void copySelection(TOdlozisce& buffer, const StringGridData& grid, int left, int top, int right,
                   int bottom) {
    copySelection(buffer, left, top, right, bottom,
                  [&](int col, int row) { return grid.cell(col, row); });
}

} // namespace zarn
