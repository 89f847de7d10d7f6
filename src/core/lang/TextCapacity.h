// Texts of limited length, as the text table and the NAMEF tables keep them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zarn {

// Cuts the text to `capacity` characters. UTF-8 text is counted and cut by code points, so a
// character is never split; other bytes (legacy code pages) count one character each.
std::string cutToCapacity(std::string_view text, size_t capacity);

} // namespace zarn
