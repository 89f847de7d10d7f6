// The program's own message dialog: translated title and button captions, the type's icon,
// thirteen possible buttons with the platform's modal results (Close 30, Custom 31).
//
// MessageDlg and friends are free functions so that every window can use them; the texts
// they show come from the language in use (setMessageDlgTexts) and stay empty until the
// first language is applied.
#pragma once

#include "core/base/UserInteraction.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QPushButton;

namespace zarn {

inline constexpr int MessageButtonCount = 13;
inline constexpr int MessageTypeCount = 5;

// Button captions (index = DialogButton) and dialog titles (index = DialogType), as bytes.
struct MessageDlgTexts {
    std::array<std::string, MessageButtonCount> buttonCaptions;
    std::array<std::string, MessageTypeCount> dialogTitles;
};

void setMessageDlgTexts(const MessageDlgTexts& texts);
const MessageDlgTexts& messageDlgTexts();

// Called by the Help button with the dialog's help context and help file name.
using MessageHelpHandler = std::function<void(int helpContext, const std::string& helpFile)>;
void setMessageHelpHandler(MessageHelpHandler handler);

// The dialog itself; MessageDlg builds one, runs it modally and destroys it.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    TMessageForm(std::string_view message, DialogType type, ButtonSet buttons, int helpContext,
                 std::string helpFile = {}, QWidget* parent = nullptr);

    // The button of a kind, or nullptr when the dialog does not show it.
    QPushButton* button(DialogButton kind) const;
    QPushButton* defaultButton() const { return default_; }
    QPushButton* escapeButton() const { return escape_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* iconLabel() const { return icon_; }
    // Width available to the message before it wraps: half the screen width.
    static int wrapWidth();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void buttonClicked(DialogButton kind);

    std::array<QPushButton*, MessageButtonCount> buttons_{};
    QPushButton* default_ = nullptr;
    QPushButton* escape_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* icon_ = nullptr;
    int helpContext_ = 0;
    std::string helpFile_;
};

// The common form: x and y of -1 keep the dialog centred on the screen.
int MessageDlgPosHelp(std::string_view message, DialogType type, ButtonSet buttons, int helpContext,
                      int x, int y, const std::string& helpFile = {});
int MessageDlg(std::string_view message, DialogType type, ButtonSet buttons, int helpContext = 0);
int MessageDlgPos(std::string_view message, DialogType type, ButtonSet buttons, int helpContext,
                  int x, int y);
void ShowMessage(std::string_view message);
void ShowMessagePos(std::string_view message, int x, int y);

} // namespace zarn
