// The user of tests, benchmarks and fuzz harnesses: answers come from a script, and every
// message and progress step is recorded, so a test can see what a person would have seen.
#pragma once

#include "core/base/UserInteraction.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarn {

class ScriptedInteraction : public UserInteraction {
public:
    struct Message {
        std::string text;
        DialogType type;
        ButtonSet buttons;
        int result;
    };

    // Answers given to message dialogs in turn; when none is left, the dialog's default
    // answer is given (OK, else Yes, else Retry, else the first button).
    std::deque<int> answers;
    std::deque<std::optional<std::string>> saveFileAnswers;
    std::deque<std::optional<std::string>> openFileAnswers;
    // What the save dialogs were opened with, in turn.
    std::vector<FileDialogRequest> saveFileRequests;
    // When set, the cancel flag is raised on the n-th call of processEvents (1-based).
    std::optional<int> cancelAtProcessEvents;

    std::vector<Message> messages;
    std::vector<std::string> fatalErrors;
    std::vector<int> positions;
    std::vector<std::string> labels;
    std::string caption;
    bool progressVisible = false;
    bool cancelButtonVisible = true;
    // The last figures beside the gauge (done, total); -1 before any.
    std::pair<int, int> progressCounted{-1, -1};
    int processEventsCalls = 0;

    int messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                   int helpContext = 0) override;
    void showFatalError(std::string_view message) override;
    void progressShow(std::string_view caption) override;
    void progressLabels(std::string_view label1, std::string_view label2) override;
    void progressPosition(int percent) override;
    void progressCancelVisible(bool visible) override { cancelButtonVisible = visible; }
    void progressHide() override { progressVisible = false; }
    void progressCount(int done, int total) override { progressCounted = {done, total}; }
    bool cancelRequested() const override { return cancel_; }
    void clearCancel() override { cancel_ = false; }
    void requestCancel() { cancel_ = true; }
    void processEvents() override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;

private:
    bool cancel_ = false;
};

} // namespace zarn
