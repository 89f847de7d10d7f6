// What the core asks of the person in front of the program.
//
// Every flow that needs the user (a Yes/No/Cancel question, a message, a progress display
// with a Cancel button, letting pending events run, choosing a file name) goes through this
// interface. The desktop implements it with dialogs, zarnctl with the terminal, and tests
// with a scripted user (tests/support), so all of them run the same core code.
//
// Texts are the program's bytes (language texts, file names, instrument strings); the
// implementation decodes them for display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

// Dialog types; the index is the slot of the translated title.
enum class DialogType : int {
    Warning = 0,
    Error = 1,
    Information = 2,
    Confirmation = 3,
    Custom = 4
};

// Buttons in display order; the index is the slot of the translated caption.
enum class DialogButton : int {
    Yes = 0,
    No,
    Ok,
    Cancel,
    Abort,
    Retry,
    Ignore,
    All,
    NoToAll,
    YesToAll,
    Help,
    Close,
    Custom
};

// A set of dialog buttons.
class ButtonSet {
public:
    constexpr ButtonSet() = default;
    constexpr ButtonSet(std::initializer_list<DialogButton> buttons) {
        for (auto b : buttons)
            bits_ |= bit(b);
    }
    constexpr bool has(DialogButton b) const { return (bits_ & bit(b)) != 0; }
    constexpr ButtonSet& add(DialogButton b) {
        bits_ |= bit(b);
        return *this;
    }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr uint16_t bits() const { return bits_; }

private:
    static constexpr uint16_t bit(DialogButton b) {
        return static_cast<uint16_t>(1u << static_cast<unsigned>(b));
    }
    uint16_t bits_ = 0;
};

// Modal results returned by message dialogs.
namespace modal {
inline constexpr int None = 0;
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int All = 8;
inline constexpr int NoToAll = 9;
inline constexpr int YesToAll = 10;
inline constexpr int Close = 30;
inline constexpr int Custom = 31;
} // namespace modal

// The modal result a button returns (Help returns None: it does not close the dialog).
int modalResultOf(DialogButton button);

struct FileDialogRequest {
    std::string title;
    std::string filterName;   // e.g. "Structure files"
    std::string extension;    // without dot
    std::string proposedName; // full path or bare name
};

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // The program's message dialog; returns the modal result of the chosen button.
    virtual int messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                           int helpContext = 0) = 0;
    // Custom type, OK only.
    virtual void showMessage(std::string_view message) {
        messageDlg(message, DialogType::Custom, {DialogButton::Ok});
    }
    // The instrument did not accept transfer mode. `question` asks whether to stop trying; the
    // dialog offers Yes (stop), No (try again) and Help. True to try again.
    virtual bool askRetryTransfer(std::string_view question);
    // The few fatal errors of start-up, shown with the platform's plain error box.
    virtual void showFatalError(std::string_view message) {
        messageDlg(message, DialogType::Error, {DialogButton::Ok});
    }

    // The shared progress dialog: caption, two labels, a 0..100 gauge and Cancel.
    virtual void progressShow(std::string_view caption) = 0;
    virtual void progressLabels(std::string_view label1, std::string_view label2) = 0;
    virtual void progressPosition(int percent) = 0;
    virtual void progressCancelVisible(bool visible) = 0;
    virtual void progressHide() = 0;
    // What the gauge counts, for a face that shows the figures beside it (records received
    // of those counted); the dialog shows the gauge alone.
    virtual void progressCount(int /*done*/, int /*total*/) {}

    // The shared cancel flag; Cancel of the progress dialog sets it.
    virtual bool cancelRequested() const = 0;
    virtual void clearCancel() = 0;

    // Lets pending window events run (so that Cancel can be pressed during long work).
    virtual void processEvents() = 0;

    // File choosers; nothing when the user cancels.
    virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
};

// The button a dialog takes as default (Enter): OK, else Yes, else Retry.
std::optional<DialogButton> defaultButtonOf(ButtonSet buttons);
// The button that answers Escape: Cancel, else No, else OK.
std::optional<DialogButton> escapeButtonOf(ButtonSet buttons);

} // namespace zarn
