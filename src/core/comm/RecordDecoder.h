// Turns one record payload of the instrument into the cells of a result row.
//
// Row layout (columns 0..9): 1 ids "1" CR block CR element; 2 names "001" CR block CR
// element (3 digits at least) CR "6,13"; 3 function code CR function name, then texts of
// unknown items; 4/5/6 entries of R/M/P items "qqquuu" + text; 7/8 texts of D/T items;
// 9 flags, empty. Spaces are removed from every item text.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zarn {

class NamefTables;

inline constexpr int ResultColumnCount = 10;
using ResultCells = std::array<std::string, ResultColumnCount>;

struct DecodedRecord {
    ResultCells cells;
    // False when the payload is too short to hold the ids and function code (5 bytes): the
    // missing bytes were taken as 0 and the row names no real place.
    bool complete = false;
};

// Never reads outside the payload: a last text without its zero byte ends at the payload's
// end.
DecodedRecord decodeRecord(std::string_view payload, const NamefTables& namef);

// The names-cell number format: decimal, zero-padded to at least 3 digits.
std::string paddedNumber(int value);

} // namespace zarn
