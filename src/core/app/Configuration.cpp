#include "core/app/Configuration.h"

#include "core/base/TextRoutines.h"

#include <charconv>

namespace zarn {

MenuVisibility menuVisibility() {
    MenuVisibility v;
    v.hiddenMenuEntries = {MenuEntry::FileNew,
                           MenuEntry::SendStructure,
                           MenuEntry::SendStructureSeparator,
                           MenuEntry::SetDefaultNames,
                           MenuEntry::SetDefaultNamesSeparator,
                           MenuEntry::CalculateLength,
                           MenuEntry::CalculateLengthSeparator};
    v.hiddenToolButtons = {ToolButton::New, ToolButton::SendStructure, ToolButton::Calibration};
    v.toolbar = {{ToolButton::Open, 8},
                 {ToolButton::Save, 44},
                 {ToolButton::ReceiveResults, 80},
                 {ToolButton::Print, 116}};
    v.structureEditingVisible = false;
    return v;
}

std::optional<int> parseInteger(std::string_view text) {
    text = text::trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

ViewFont readViewFont(const PrivateProfile& settings, const ViewFont& current) {
    ViewFont font = current;
    font.name = settings.read("TabFONTS", "FontName", current.name);
    if (font.name.empty())
        font.name = current.name;
    if (auto size = parseInteger(settings.read("TabFONTS", "FontSize", ""));
        size && *size > 0 && *size <= 400)
        font.size = *size;
    font.bold = settings.read("TabFONTS", "FontBold", "0") == "1";
    return font;
}

} // namespace zarn
