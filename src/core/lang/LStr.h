// The text table: every text that code reads later, by its language key.
//
// Texts have a capacity of 100 characters; the unit texts of the column headings (keys
// GlavaE*, GlavaFE*, GlavaS1E*, GlavaS2E*) have 20. A longer value is cut. All texts are
// empty until a language is applied.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zarn {

class TLStr {
public:
    static constexpr size_t TextCapacity = 100;
    static constexpr size_t UnitCapacity = 20;

    // The text of the key ("" when never set). Keys compare exactly.
    const std::string& text(std::string_view key) const;
    // Stores the value, cut to the key's capacity.
    void set(std::string_view key, std::string_view value);
    void clear() { texts_.clear(); }

    static size_t capacityOf(std::string_view key);

private:
    std::map<std::string, std::string, std::less<>> texts_;
};

} // namespace zarn
