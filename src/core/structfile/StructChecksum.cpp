#include "core/structfile/StructChecksum.h"

#include "core/base/TextRoutines.h"

#include <limits>

namespace zarn {

int32_t structureChecksum(int32_t family, std::string_view identificationCell) {
    const std::string field4 = text::field(identificationCell, 4, text::CR);
    const uint32_t f = static_cast<uint32_t>(family);
    uint32_t sum = (f + 7u) * 1233678u + 13u + f;
    uint32_t k = 1;
    for (unsigned char b : field4)
        sum += k++ * b;
    return static_cast<int32_t>(sum);
}

std::optional<int32_t> parseStoredChecksum(std::string_view line) {
    line = text::trim(line);
    bool negative = false;
    if (!line.empty() && (line[0] == '-' || line[0] == '+')) {
        negative = line[0] == '-';
        line.remove_prefix(1);
    }
    if (line.empty() || line.size() > 10)
        return std::nullopt;
    int64_t value = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace zarn
