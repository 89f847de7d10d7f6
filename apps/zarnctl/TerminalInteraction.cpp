#include "TerminalInteraction.h"

namespace zarnctl {

namespace {
// Messages separate their lines with CR; a terminal wants LF.
std::string terminalText(std::string_view message) {
    std::string out(message);
    for (char& c : out) {
        if (c == '\r')
            c = '\n';
    }
    return out;
}
} // namespace

int TerminalInteraction::messageDlg(std::string_view message, zarn::DialogType type,
                                    zarn::ButtonSet buttons, int /*helpContext*/) {
    ++messages_;
    const char* prefix = type == zarn::DialogType::Error     ? "error: "
                         : type == zarn::DialogType::Warning ? "warning: "
                                                             : "";
    err_ << "zarnctl: " << prefix << terminalText(message) << '\n';
    if (auto def = zarn::defaultButtonOf(buttons))
        return zarn::modalResultOf(*def);
    return buttons.has(zarn::DialogButton::Cancel) ? zarn::modal::Cancel : zarn::modal::None;
}

void TerminalInteraction::showFatalError(std::string_view message) {
    ++messages_;
    err_ << "zarnctl: error: " << terminalText(message) << '\n';
}

} // namespace zarnctl
