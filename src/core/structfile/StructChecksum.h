// The checksum that ties the results of a structure file to the instrument that made them:
//   (F + 7) * 1233678 + 13 + F + sum over k = 1..L of k * b(k)
// F is the data family code, b(1)..b(L) the bytes (0..255) of field 4 of the identification
// cell (column 1 of row 0). The value is a signed 32-bit number; it is computed with 32-bit
// wrap-around, so a long identification gives a defined result.
// Family 16 with field 4 "abc" gives 28375213; with field 4 empty, 28374623.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zarn {

int32_t structureChecksum(int32_t family, std::string_view identificationCell);

// The checksum line as written: an optional "-" and decimal digits, fitting 32 bits (spaces
// around are allowed). Nothing for any other text.
std::optional<int32_t> parseStoredChecksum(std::string_view line);

} // namespace zarn
