// The instrument's identification: decoding its payload and the texts the program keeps.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

struct Identification {
    // Data family code: the low byte of the type code, with 100..199 reduced by 100.
    // Nothing when the payload was too short to carry a type code.
    std::optional<int> familyCode;
    // Strings 1..10 at indexes 0..9; missing ones are empty.
    std::array<std::string, 10> strings;
};

// Decodes an identification payload. Reads only the given bytes: strings cut off by the end
// of the payload keep what arrived, strings beyond it stay empty.
Identification decodeIdentification(std::string_view payload);

inline constexpr std::string_view InstrumentNameText = "KAVOX 5";
inline constexpr std::string_view InstrumentCodeText = "K204B";
inline constexpr std::string_view FirmText = "Fanrik Osterlamp";
inline constexpr size_t FurtherLineCapacity = 50; // strings 8, 9 and 10

// What the program keeps whatever the instrument said: the fixed name, code and firm, and
// strings 8..10 cut to their capacity.
void applyFixedTexts(Identification& id);

// Every byte below 32 or above 127, other than CR, becomes a space.
std::string replaceControlBytes(std::string_view text);

// Row 0 of the results table, columns 1..3.
struct IdentificationRow {
    std::string instrument; // strings 1, 2, 3, 4, 7, 8, 9, 10 joined by CR
    std::string firm;       // string 5, control bytes replaced
    std::string user;       // string 6, control bytes replaced
};
IdentificationRow identificationRowOf(const Identification& id);

// What the instrument-data window shows.
struct InstrumentDataText {
    std::vector<std::string> instrumentLines;
    std::string serialNumber;
    std::vector<std::string> firmLines;
    std::vector<std::string> userLines;
};
// From a fresh identification (Receive Data).
InstrumentDataText instrumentDataOf(const Identification& id);
// From row 0 of the results table (when the window opens).
InstrumentDataText instrumentDataOf(const IdentificationRow& row);

} // namespace zarn
