#include "core/base/UserInteraction.h"

namespace zarn {

int modalResultOf(DialogButton button) {
    switch (button) {
    case DialogButton::Yes:
        return modal::Yes;
    case DialogButton::No:
        return modal::No;
    case DialogButton::Ok:
        return modal::Ok;
    case DialogButton::Cancel:
        return modal::Cancel;
    case DialogButton::Abort:
        return modal::Abort;
    case DialogButton::Retry:
        return modal::Retry;
    case DialogButton::Ignore:
        return modal::Ignore;
    case DialogButton::All:
        return modal::All;
    case DialogButton::NoToAll:
        return modal::NoToAll;
    case DialogButton::YesToAll:
        return modal::YesToAll;
    case DialogButton::Help:
        return modal::None;
    case DialogButton::Close:
        return modal::Close;
    case DialogButton::Custom:
        return modal::Custom;
    }
    return modal::None;
}

bool UserInteraction::askRetryTransfer(std::string_view question) {
    constexpr int helpContext = 2000;
    return messageDlg(question, DialogType::Error,
                      {DialogButton::Yes, DialogButton::No, DialogButton::Help},
                      helpContext) != modal::Yes;
}

std::optional<DialogButton> defaultButtonOf(ButtonSet buttons) {
    for (auto b : {DialogButton::Ok, DialogButton::Yes, DialogButton::Retry}) {
        if (buttons.has(b))
            return b;
    }
    return std::nullopt;
}

std::optional<DialogButton> escapeButtonOf(ButtonSet buttons) {
    for (auto b : {DialogButton::Cancel, DialogButton::No, DialogButton::Ok}) {
        if (buttons.has(b))
            return b;
    }
    return std::nullopt;
}

} // namespace zarn
