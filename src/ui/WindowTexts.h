// Applying the texts of a language to windows.
//
// The language object hands over its texts as data (window, control, role, position, text).
// Windows are found by their object name (the class name, e.g. "TConfigureCOM"), controls by
// theirs ("OKBtn", "LangGroup"). Captions, hints and list entries of ordinary controls are
// set here; a window with texts of its own to keep implements UiTextTarget.
#pragma once

#include "core/lang/LanguageKeys.h"

class QWidget;

namespace zarn {

class UiTextTarget {
public:
    virtual ~UiTextTarget() = default;
    // Takes a text addressed to this window; false leaves it to the generic handling.
    virtual bool applyUiText(const UiText& text) = 0;
};

// Applies one text to a window and its controls. False when no control takes it (texts of
// controls this edition does not have are dropped).
bool applyUiTextTo(QWidget* window, const UiText& text);

} // namespace zarn
