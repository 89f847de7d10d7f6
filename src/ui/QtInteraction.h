// The desktop's answer to zarn::UserInteraction: the program's message dialog, the shared
// progress dialog TGaugeDlg and the Qt file dialogs.
#pragma once

#include "core/base/UserInteraction.h"

#include <QPointer>
#include <QWidget>

namespace zarn {

class TGaugeDlg;

class QtInteraction : public UserInteraction {
public:
    // The gauge may be created later (setGauge); until then progress calls do nothing.
    explicit QtInteraction(QWidget* owner = nullptr);

    void setGauge(TGaugeDlg* gauge) { gauge_ = gauge; }
    TGaugeDlg* gauge() const { return gauge_; }
    // The cancel flag the gauge's Cancel raises.
    bool& cancelFlag() { return cancel_; }

    int messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                   int helpContext = 0) override;
    void showMessage(std::string_view message) override;
    void showFatalError(std::string_view message) override;

    void progressShow(std::string_view caption) override;
    void progressLabels(std::string_view label1, std::string_view label2) override;
    void progressPosition(int percent) override;
    void progressCancelVisible(bool visible) override;
    void progressHide() override;

    bool cancelRequested() const override { return cancel_; }
    void clearCancel() override { cancel_ = false; }
    void processEvents() override;

    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> owner_;
    QPointer<TGaugeDlg> gauge_;
    bool cancel_ = false;
};

// The platform's plain error box, used for the fatal errors of start-up.
void showPlainError(std::string_view message);

} // namespace zarn
