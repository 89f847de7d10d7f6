#include "core/base/TextRoutines.h"

#include <charconv>
#include <limits>

namespace zarn::text {

std::string normaliseDecimalSeparator(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == ',')
            c = '.';
    }
    return out;
}

std::optional<double> tolerantNumber(std::string_view text) {
    const std::string normal = normaliseDecimalSeparator(text);
    std::string collected;
    for (char c : normal) {
        const bool digit = c >= '0' && c <= '9';
        if (digit || c == '.') {
            collected += c;
        } else if (!collected.empty()) {
            break;
        }
    }
    if (collected.empty() || collected.find_first_of("0123456789") == std::string::npos)
        return std::nullopt;
    double value = 0;
    const char* first = collected.data();
    const char* last = first + collected.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

int32_t digitsToInt(std::string_view text) {
    int64_t value = 0;
    bool tooLong = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            continue;
        if (tooLong)
            continue;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max())
            tooLong = true;
    }
    return tooLong ? 0 : static_cast<int32_t>(value);
}

std::string replaceChar(std::string_view text, char from, char to) {
    std::string out(text);
    for (char& c : out) {
        if (c == from)
            c = to;
    }
    return out;
}

std::string removeChars(std::string_view set, std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (set.find(c) == std::string_view::npos)
            out += c;
    }
    return out;
}

SplitResult splitAt(std::string_view text, char separator) {
    const auto pos = text.find(separator);
    if (pos == std::string_view::npos)
        return {std::string(text), {}, false};
    return {std::string(text.substr(0, pos)), std::string(text.substr(pos + 1)), true};
}

std::string field(std::string_view text, int n, char separator) {
    if (n < 1)
        return {};
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const auto pos = text.find(separator, start);
        if (pos == std::string_view::npos)
            return {};
        start = pos + 1;
    }
    const auto end = text.find(separator, start);
    return std::string(
        text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
}

int countFields(std::string_view text, char separator) {
    int count = 1;
    for (char c : text) {
        if (c == separator)
            ++count;
    }
    return count;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string toText(int64_t value) {
    return std::to_string(value);
}

} // namespace zarn::text
