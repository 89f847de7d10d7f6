// Reads a structure file line by line from memory. Lines end in CR LF or in LF alone; a CR
// that is not followed by LF stays in the line (only the file's last line may also end in a
// lone CR). Lines are views into the bytes, which must outlive the reader.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zarn {

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    // The next line without its line end; nothing at the end of the bytes.
    std::optional<std::string_view> next() {
        if (pos_ >= bytes_.size())
            return std::nullopt;
        const size_t lf = bytes_.find('\n', pos_);
        size_t end = lf == std::string_view::npos ? bytes_.size() : lf;
        const size_t start = pos_;
        pos_ = lf == std::string_view::npos ? bytes_.size() : lf + 1;
        if (end > start && bytes_[end - 1] == '\r')
            --end;
        ++lineNumber_;
        return bytes_.substr(start, end - start);
    }

    bool atEnd() const { return pos_ >= bytes_.size(); }
    // Number of lines returned so far.
    size_t lineNumber() const { return lineNumber_; }
    size_t offset() const { return pos_; }

    // Counts the lines from here up to the first line equal to `marker` (not included) or to
    // the end, without moving.
    size_t countLinesUntil(std::string_view marker) const {
        LineReader ahead = *this;
        size_t n = 0;
        while (auto line = ahead.next()) {
            if (*line == marker)
                break;
            ++n;
        }
        return n;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    size_t lineNumber_ = 0;
};

} // namespace zarn
