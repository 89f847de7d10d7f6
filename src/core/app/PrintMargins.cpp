#include "core/app/PrintMargins.h"

#include "core/base/TextRoutines.h"

#include <algorithm>
#include <cmath>

namespace zarn {

MarginTexts MarginTexts::load(const PrivateProfile& settings) {
    MarginTexts m;
    for (size_t i = 0; i < Keys.size(); ++i)
        m.texts[i] = settings.read(Section, Keys[i], DefaultText);
    return m;
}

void MarginTexts::save(const PrivateProfile& settings) const {
    for (size_t i = 0; i < Keys.size(); ++i)
        settings.write(Section, Keys[i], texts[i]);
}

std::string_view marginName(MarginSide side) {
    switch (side) {
    case MarginSide::Left:
        return "left";
    case MarginSide::Right:
        return "right";
    case MarginSide::Top:
        return "top";
    case MarginSide::Bottom:
        return "bottom";
    }
    return "?";
}

EMarginError::EMarginError(MarginSide side, const std::string& text)
    : std::runtime_error("The " + std::string(marginName(side)) + " margin \"" + text +
                         "\" is not a number of centimetres."),
      side_(side) {}

std::optional<double> marginCentimetres(std::string_view text) {
    const auto value = text::tolerantNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

MarginsMm marginsInMillimetres(const MarginTexts& texts) {
    std::array<double, 4> mm{};
    for (size_t i = 0; i < mm.size(); ++i) {
        const auto side = static_cast<MarginSide>(i);
        const auto cm = marginCentimetres(texts.text(side));
        if (!cm)
            throw EMarginError(side, texts.text(side));
        mm[i] = *cm * 10.0;
    }
    return {mm[0], mm[1], mm[2], mm[3]};
}

std::optional<PageRange> selectedPageRange(std::string_view fromText, std::string_view toText,
                                           int pageCount) {
    const int f = text::digitsToInt(fromText);
    const int t = text::digitsToInt(toText);
    // Setting the to-page below the from-page lowers the from-page with it.
    const PageRange range{std::min(f, t), t};
    if (range.from == 0 || range.to < range.from || range.to > pageCount)
        return std::nullopt;
    return range;
}

} // namespace zarn
