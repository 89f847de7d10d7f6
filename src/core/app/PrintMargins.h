// The report's page margins and page range, as the user types them.
//
// Margins are kept as the texts of ZARN.INI section MARGINS, in centimetres, so that a value
// typed with a decimal comma stays as typed. They become millimetres only when a report is
// composed; a text that is no number stops the composition with an error naming the margin.
#pragma once

#include "core/base/IniFile.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zarn {

enum class MarginSide : int { Left = 0, Right, Top, Bottom };

struct MarginTexts {
    static constexpr std::string_view Section = "MARGINS";
    static constexpr std::string_view DefaultText = "2.54";
    static constexpr std::array<std::string_view, 4> Keys = {"MarginLeft", "MarginRight",
                                                             "MarginTop", "MarginBottom"};

    std::array<std::string, 4> texts{std::string(DefaultText), std::string(DefaultText),
                                     std::string(DefaultText), std::string(DefaultText)};

    const std::string& text(MarginSide side) const { return texts[static_cast<size_t>(side)]; }
    void setText(MarginSide side, std::string value) {
        texts[static_cast<size_t>(side)] = std::move(value);
    }

    // Each key with the default "2.54".
    static MarginTexts load(const PrivateProfile& settings);
    void save(const PrivateProfile& settings) const;

    friend bool operator==(const MarginTexts&, const MarginTexts&) = default;
};

struct MarginsMm {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
};

// A margin text that is no number.
class EMarginError : public std::runtime_error {
public:
    EMarginError(MarginSide side, const std::string& text);
    MarginSide side() const { return side_; }

private:
    MarginSide side_;
};

// "left", "right", "top", "bottom".
std::string_view marginName(MarginSide side);

// One margin in centimetres: "." and "," are both decimal marks, the first run of digits and
// marks is read. Nothing when the text holds no such number (or one too large to hold).
std::optional<double> marginCentimetres(std::string_view text);

// All four in millimetres; throws EMarginError for the first text that is no number.
MarginsMm marginsInMillimetres(const MarginTexts& texts);

// The page range of the Select Pages dialog: each text read by its digits, then applied in
// the order the page printer keeps its range ordered (from first, then to; a to-page below the
// from-page lowers the from-page). Nothing when the range is not printable: an empty or zero
// from-page, or a to-page beyond the last page.
struct PageRange {
    int from = 0;
    int to = 0;
    friend bool operator==(const PageRange&, const PageRange&) = default;
};
std::optional<PageRange> selectedPageRange(std::string_view fromText, std::string_view toText,
                                           int pageCount);

} // namespace zarn
