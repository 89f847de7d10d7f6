#include "support/ScriptedInteraction.h"

namespace zarn {

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
