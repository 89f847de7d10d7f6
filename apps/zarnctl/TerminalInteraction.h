// The user, as zarnctl sees it: messages go to standard error, questions take their default
// answer (there is nobody to ask), progress is not shown and nothing is ever cancelled.
#pragma once

#include "core/base/UserInteraction.h"

#include <ostream>

namespace zarnctl {

class TerminalInteraction : public zarn::UserInteraction {
public:
    explicit TerminalInteraction(std::ostream& err) : err_(err) {}

    int messageDlg(std::string_view message, zarn::DialogType type, zarn::ButtonSet buttons,
                   int helpContext = 0) override;
    void showFatalError(std::string_view message) override;
    void progressShow(std::string_view) override {}
    void progressLabels(std::string_view, std::string_view) override {}
    void progressPosition(int) override {}
    void progressCancelVisible(bool) override {}
    void progressHide() override {}
    bool cancelRequested() const override { return false; }
    void clearCancel() override {}
    void processEvents() override {}
    std::optional<std::string> chooseSaveFile(const zarn::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const zarn::FileDialogRequest&) override {
        return std::nullopt;
    }

    // Number of messages shown so far (errors and warnings included).
    int messageCount() const { return messages_; }

private:
    std::ostream& err_;
    int messages_ = 0;
};

} // namespace zarnctl
