#include "core/comm/RecordDecoder.h"

#include "core/base/TextRoutines.h"
#include "core/lang/NamefTables.h"

#include <cstdint>

namespace zarn {

namespace {

// Kinds of the block and element nodes that received rows belong to (CIRCUIT, PARTICULAR).
constexpr std::string_view ReceivedKinds = "6,13";

void appendEntry(std::string& cell, std::string_view entry) {
    if (!cell.empty())
        cell += text::CR;
    cell += entry;
}

int columnOf(uint8_t letter) {
    switch (letter) {
    case 'R':
        return 4;
    case 'M':
        return 5;
    case 'P':
        return 6;
    case 'D':
        return 7;
    case 'T':
        return 8;
    default:
        return 3;
    }
}

} // namespace

std::string paddedNumber(int value) {
    std::string s = text::toText(value);
    if (s.size() < 3)
        s.insert(0, 3 - s.size(), '0');
    return s;
}

DecodedRecord decodeRecord(std::string_view payload, const NamefTables& namef) {
    DecodedRecord rec;
    rec.complete = payload.size() >= 5;
    auto byte = [&](size_t i) -> int {
        return i < payload.size() ? static_cast<uint8_t>(payload[i]) : 0;
    };
    const int block = byte(0) * 256 + byte(1);
    const int element = byte(2) * 256 + byte(3);
    const int function = byte(4);
    auto& c = rec.cells;
    const char cr = text::CR;
    c[1] = "1" + std::string(1, cr) + text::toText(block) + cr + text::toText(element);
    c[2] = "001" + std::string(1, cr) + paddedNumber(block) + cr + paddedNumber(element) + cr +
           std::string(ReceivedKinds);
    c[3] = text::toText(function) + cr + text::replaceChar(namef.function(function), '$', cr);

    size_t p = 5;
    while (p < payload.size()) {
        const auto letter = static_cast<uint8_t>(payload[p++]);
        const int column = columnOf(letter);
        std::string entry;
        if (column >= 4 && column <= 6) {
            entry = paddedNumber(byte(p)) + paddedNumber(byte(p + 1));
            p += 2;
        }
        while (p < payload.size() && payload[p] != '\0') {
            if (payload[p] != ' ')
                entry += payload[p];
            ++p;
        }
        ++p; // the zero byte
        appendEntry(c[static_cast<size_t>(column)], entry);
    }
    c[9].clear();
    return rec;
}

} // namespace zarn
