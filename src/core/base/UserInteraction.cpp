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

int ScriptedInteraction::messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                                    int /*helpContext*/) {
    int result = modal::None;
    if (!answers.empty()) {
        result = answers.front();
        answers.pop_front();
    } else if (auto def = defaultButtonOf(buttons)) {
        result = modalResultOf(*def);
    } else {
        for (int i = 0; i <= static_cast<int>(DialogButton::Custom); ++i) {
            if (buttons.has(static_cast<DialogButton>(i)) &&
                static_cast<DialogButton>(i) != DialogButton::Help) {
                result = modalResultOf(static_cast<DialogButton>(i));
                break;
            }
        }
    }
    messages.push_back({std::string(message), type, buttons, result});
    return result;
}

void ScriptedInteraction::showFatalError(std::string_view message) {
    fatalErrors.emplace_back(message);
}

void ScriptedInteraction::progressShow(std::string_view newCaption) {
    caption = newCaption;
    progressVisible = true;
}

void ScriptedInteraction::progressLabels(std::string_view label1, std::string_view label2) {
    labels.emplace_back(std::string(label1) + "|" + std::string(label2));
}

void ScriptedInteraction::progressPosition(int percent) {
    positions.push_back(percent);
}

void ScriptedInteraction::processEvents() {
    ++processEventsCalls;
    if (cancelAtProcessEvents && processEventsCalls >= *cancelAtProcessEvents)
        cancel_ = true;
}

std::optional<std::string> ScriptedInteraction::chooseSaveFile(const FileDialogRequest& request) {
    saveFileRequests.push_back(request);
    if (saveFileAnswers.empty())
        return std::nullopt;
    auto a = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return a;
}

std::optional<std::string> ScriptedInteraction::chooseOpenFile(const FileDialogRequest&) {
    if (openFileAnswers.empty())
        return std::nullopt;
    auto a = openFileAnswers.front();
    openFileAnswers.pop_front();
    return a;
}

} // namespace zarn
