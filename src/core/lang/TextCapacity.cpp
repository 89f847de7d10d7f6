#include "core/lang/TextCapacity.h"

namespace zarn {

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid sequence.
size_t utf8SequenceLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0 && lead >= 0xC2)
        length = 2;
    else if ((lead & 0xF0) == 0xE0)
        length = 3;
    else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

std::string cutToCapacity(std::string_view text, size_t capacity) {
    size_t i = 0;
    size_t characters = 0;
    while (i < text.size() && characters < capacity) {
        const size_t length = utf8SequenceLength(text, i);
        i += length == 0 ? 1 : length;
        ++characters;
    }
    return std::string(text.substr(0, i));
}

} // namespace zarn
