#include "core/app/NumberArgument.h"

#include <charconv>

namespace zarn {

int parseNumberArgument(std::string_view option, std::string_view text, int min, int max) {
    int value = 0;
    bool ok = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    if (ok) {
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        ok = ec == std::errc() && end == text.data() + text.size() && value >= min && value <= max;
    }
    if (!ok)
        throw NumberArgumentError(std::string(option) + " needs a whole number from " +
                                  std::to_string(min) + " to " + std::to_string(max) + ", not \"" +
                                  std::string(text) + "\"");
    return value;
}

} // namespace zarn
