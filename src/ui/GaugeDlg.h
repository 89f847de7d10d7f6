// The shared progress dialog of long operations: caption, two labels, a 0..100 gauge and
// Cancel. Cancel only raises the shared cancel flag; the running operation sees it at its
// next check and ends on its own.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zarn {

class TGaugeDlg : public QDialog {
    Q_OBJECT
public:
    // cancelFlag is main-window state that outlives the dialog.
    explicit TGaugeDlg(bool& cancelFlag, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* CancelBtn = nullptr;

    void setPosition(int percent);
    void setCancelVisible(bool visible);
    int helpContext() const { return helpContext_; }
    void setHelpContext(int context) { helpContext_ = context; }

protected:
    void reject() override;

private:
    bool& cancelFlag_;
    int helpContext_ = 0;
};

} // namespace zarn
