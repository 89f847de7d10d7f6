// The fixed configuration of this product (instrument family 16) and the settings read at
// start-up, as data that the windows apply.
#pragma once

#include "core/base/IniFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

struct Configuration {
    static constexpr int FamilyCode = 16;
    static constexpr uint8_t RootKind = 1; // OBJECT
    // One name level per result row: the tree shows roots and leaves, and node ids are shifted.
    static constexpr int NamingMode = 1;
    static constexpr int ViewColumns = 5;
    static constexpr bool RenamingAllowed = true;
    static constexpr int DefaultBaudIndex = 3; // 9600
    static constexpr int InitialTreeWidth = 300;
    static constexpr std::string_view Version = "4.03";
};

// Menu entries and toolbar buttons whose visibility the configuration decides.
enum class MenuEntry {
    FileNew,
    SendStructure,
    SendStructureSeparator,
    SetDefaultNames,
    SetDefaultNamesSeparator,
    CalculateLength,
    CalculateLengthSeparator,
};

enum class ToolButton { New, Open, Save, SendStructure, ReceiveResults, Print, Calibration };

struct ToolButtonPlace {
    ToolButton button;
    int x;
};

struct MenuVisibility {
    std::vector<MenuEntry> hiddenMenuEntries;
    std::vector<ToolButton> hiddenToolButtons;
    // The visible toolbar buttons, left to right, with their x positions.
    std::vector<ToolButtonPlace> toolbar;
    // The structure-editing panel, the mode button and the protocol buttons.
    bool structureEditingVisible = false;
};

// Which entries this product hides and where the remaining toolbar buttons go.
MenuVisibility menuVisibility();

// A whole decimal number with an optional sign and surrounding spaces; nothing otherwise.
// Settings are read with it (SETUP COM and BAUD: see readComSetup).
std::optional<int> parseInteger(std::string_view text);

// The results-view font of section TabFONTS; keys that are missing or unreadable keep the
// current font's values.
struct ViewFont {
    std::string name = "Courier New";
    int size = 10;
    bool bold = false;
    friend bool operator==(const ViewFont&, const ViewFont&) = default;
};
ViewFont readViewFont(const PrivateProfile& settings, const ViewFont& current);

} // namespace zarn
