// Small text routines shared by the whole program.
//
// Everything works on bytes (std::string), as the files and the instrument deliver them.
// Multi-value cells, names and identification strings separate their values with CR.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarn::text {

inline constexpr char CR = '\r';

// Reads a number the way an electrician writes it: "12,5 V" gives 12.5, "<0.01" gives 0.01.
// Both "." and "," are decimal separators. Characters before the first digit or separator are
// skipped; the first other character after that ends the number. Returns nothing when the
// collected text is not a number ("1.234,5" collects two separators; "abc" collects nothing).
std::optional<double> tolerantNumber(std::string_view text);

// Every "." and "," becomes the decimal separator ".".
std::string normaliseDecimalSeparator(std::string_view text);

// Keeps only the digits "0".."9" and reads them as a decimal number: "a1b2" gives 12, no digit
// gives 0. Digits that do not fit a signed 32-bit integer also give 0, so that an absurd
// number in a name or a file can never break numbering or indexing.
int32_t digitsToInt(std::string_view text);

// Every occurrence of `from` replaced by `to`.
std::string replaceChar(std::string_view text, char from, char to);

// Every character of `set` removed from the text.
std::string removeChars(std::string_view set, std::string_view text);

struct SplitResult {
    std::string before;
    std::string after;
    bool found = false;
};

// Splits at the first `separator`; without one, `before` is the whole text.
SplitResult splitAt(std::string_view text, char separator);

// The n-th field (from 1) of the text split at `separator`; empty when there are fewer fields.
std::string field(std::string_view text, int n, char separator = CR);

// Number of occurrences of `separator` plus one.
int countFields(std::string_view text, char separator = CR);

// Joins the parts with the separator between them.
template <typename Range>
std::string join(const Range& parts, char separator) {
    std::string out;
    bool first = true;
    for (const auto& p : parts) {
        if (!first)
            out += separator;
        out += p;
        first = false;
    }
    return out;
}

// Spaces and tabs removed at both ends.
std::string_view trim(std::string_view text);

// ASCII case-insensitive equality, as INI files and key names compare.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Decimal text of a number.
std::string toText(int64_t value);

} // namespace zarn::text
