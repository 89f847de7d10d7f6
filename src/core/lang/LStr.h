// The text table: every text that code reads later, by its language key.
//
// Texts have a capacity of 100 characters; the unit texts of the column headings (keys
// GlavaE*, GlavaFE*, GlavaS1E*, GlavaS2E*) have 20. A longer value is cut. All texts are
// empty until a language is applied.
#pragma once

#include <array>
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
    void clear();

    static size_t capacityOf(std::string_view key);

    // The untitled structure's file name: the word for "untitled", a dot, the extension.
    const std::string& defaultFileName() const { return defaultFileName_; }
    void setDefaultFileName(std::string_view name);

    // Captions of the 13 message-dialog buttons (Yes ... Custom) and titles of the 5 dialog
    // types (Warning ... Custom); empty until a language is applied.
    static constexpr size_t ButtonCount = 13;
    static constexpr size_t DialogTypeCount = 5;
    const std::string& buttonCaption(size_t index) const;
    void setButtonCaption(size_t index, std::string_view caption);
    const std::string& dialogTitle(size_t index) const;
    void setDialogTitle(size_t index, std::string_view title);

private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::string defaultFileName_;
    std::array<std::string, ButtonCount> buttonCaptions_;
    std::array<std::string, DialogTypeCount> dialogTitles_;
};

} // namespace zarn
