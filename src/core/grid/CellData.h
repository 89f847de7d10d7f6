// Objects that a grid cell may carry besides its text.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zarn {

// Text alignment of a grid column or line; the values are those stored in files.
enum class TSAlign : uint8_t { alsRight = 0, alsLeft = 1, alsCenter = 2 };

// A font as the core describes it; the drawing layers turn it into a real font.
struct FontSpec {
    std::string name = "Arial";
    int size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    uint32_t colour = 0x000000; // 0xRRGGBB
    int charset = 0;            // Windows character set of the language in use
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Two texts that belong to a protocol measurement table as a whole; kept in the TCellData of
// the table's cell (0, 0) and saved with the table.
struct TSubData {
    std::string text1;
    std::string text2;
    friend bool operator==(const TSubData&, const TSubData&) = default;
};

// The object of a grid cell.
struct TCellData {
    static constexpr size_t LineAlignmentsCapacity = 203;

    // Character i aligns line i of the cell: 'L', 'R' or 'C'; anything else, or a line past
    // the end, keeps the column's alignment. Longer texts are cut to the capacity.
    std::string lineAlignments;
    // When present, every line of the cell is drawn in this font.
    std::optional<FontSpec> font;
    std::unique_ptr<TSubData> subData;

    TCellData() = default;
    TCellData(const TCellData& other)
        : lineAlignments(other.lineAlignments), font(other.font),
          subData(other.subData ? std::make_unique<TSubData>(*other.subData) : nullptr) {}
    TCellData& operator=(const TCellData& other) {
        if (this != &other) {
            lineAlignments = other.lineAlignments;
            font = other.font;
            subData = other.subData ? std::make_unique<TSubData>(*other.subData) : nullptr;
        }
        return *this;
    }
    TCellData(TCellData&&) noexcept = default;
    TCellData& operator=(TCellData&&) noexcept = default;

    void setLineAlignments(std::string_view text) {
        lineAlignments = std::string(text.substr(0, LineAlignmentsCapacity));
    }
};

} // namespace zarn
