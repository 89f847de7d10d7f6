// The clipboard buffer of the results view and the Copy command's text.
//
// The buffer holds at most 30,500 bytes. Appending stops as soon as it holds more than 30,010;
// a copy that does not fit is cut there without a message. Bytes 0x00 and 0xFF are stored as
// the pairs 0xFF 0xFE and 0xFF 0xFF, so that cell markers survive the clipboard.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zarn {

class StringGridData;

class TOdlozisce {
public:
    static constexpr size_t Capacity = 30500;
    static constexpr size_t FillLimit = 30010;

    void clear() { buffer_.clear(); }
    // Appends byte by byte until the buffer holds more than FillLimit bytes.
    void append(std::string_view bytes);
    const std::string& text() const { return buffer_; }
    size_t size() const { return buffer_.size(); }

private:
    std::string buffer_;
};

// The selection [left..right] x [top..bottom] as clipboard text: each row becomes as many lines
// as its tallest cell has (lines of a cell are CR-separated), the k-th lines of the cells are
// joined by TAB with LF removed, and lines end in CR LF except the very last. The buffer is
// cleared first and receives the text under its rules; its content is what goes to the
// clipboard.
void copySelection(TOdlozisce& buffer, int left, int top, int right, int bottom,
                   const std::function<std::string(int col, int row)>& cell);
void copySelection(TOdlozisce& buffer, const StringGridData& grid, int left, int top, int right,
                   int bottom);

} // namespace zarn
