// The keys of a language file and where each text goes.
//
// Section LANGUAGE is read in a fixed order (the key plan below). Each step puts the text of
// one key into the text table, onto a window (caption, hint, menu entry, list entry, a text
// the window keeps) or into the message-dialog captions; a few keys are only required to be
// present. A key may appear in several steps; it is read once per step.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarn {

// Where a language text is shown.
enum class TextRole {
    Caption,      // caption of the window (control empty) or of the control
    Hint,         // tool tip of the control
    MenuItem,     // entry of menu `control`: index = top-level position, item = sub-position or -1
    ListItem,     // entry `index` of list control `control` (radio group, combo box)
    WindowText,   // a text the window keeps for later use; `control` names it
    DialogButton, // caption of message-dialog button `index` (0 Yes ... 12 Custom)
    DialogTitle,  // title of message-dialog type `index` (0 Warning ... 4 Custom)
};

// One text for the windows to apply. Captions, hints, menu and list entries are whole texts:
// only the text table cuts texts to a capacity.
struct UiText {
    std::string window;  // class name of the window, e.g. "TForm1", "TConfigureCOM"
    std::string control; // control name, "" for the window itself
    TextRole role = TextRole::Caption;
    int index = -1;
    int item = -1;
    std::string text;

    bool operator==(const UiText&) const = default;
};

struct KeyStep {
    std::string key;
    bool toTable = false; // kept in the text table under the key
    bool toUi = false;    // applied to a window: role, window, control, index, item below
    TextRole role = TextRole::Caption;
    std::string window;
    std::string control;
    int index = -1;
    int item = -1;
};

// Section LANGUAGE in reading order.
const std::vector<KeyStep>& languageKeyPlan();

// Keys read by the edition set-up of the main window rather than by ApplyLanguage.
const std::vector<std::string>& editionKeys();

// Every key a language file must hold in section LANGUAGE: the key plan's keys once each,
// then the edition keys.
const std::vector<std::string>& requiredLanguageKeys();

// Keys of section PROTOCOL, one per caption of the protocol form templates.
const std::vector<std::string>& protocolTextKeys();

// Windows and controls whose font follows the language (its character set).
struct FontTarget {
    std::string window;
    std::string control; // "" for the window itself
    std::string fontName;
};
const std::vector<FontTarget>& languageFontTargets();

// Node-kind labels of the default-names dialog: (label, key of the node-kind text).
struct DefaultNameLabel {
    std::string_view label;
    std::string_view kindKey;
};
const std::vector<DefaultNameLabel>& defaultNameLabels();

} // namespace zarn
