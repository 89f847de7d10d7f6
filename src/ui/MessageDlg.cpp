#include "ui/MessageDlg.h"

#include "print/DisplayText.h"
#include "ui/ButtonGlyphs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace zarn {

namespace {

MessageDlgTexts& textsStore() {
    static MessageDlgTexts texts;
    return texts;
}

MessageHelpHandler& helpHandlerStore() {
    static MessageHelpHandler handler;
    return handler;
}

constexpr std::array<const char*, MessageButtonCount> ButtonNames = {
    "Yes", "No",      "OK",       "Cancel", "Abort", "Retry", "Ignore",
    "All", "NoToAll", "YesToAll", "Help",   "Close", "Custom"};

// a * b / c rounded to the nearest integer, as the window system's MulDiv does.
int mulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

constexpr int TextFlags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop;

// Line breaks of the program's texts are CR (sometimes CR LF).
QString messageText(std::string_view bytes) {
    QString text = toDisplay(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QRect screenGeometry() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

// A label that draws its text with exactly the flags it was measured with, so that the
// wrapping the dialog computed is the wrapping the user sees.
class MessageText : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect(), TextFlags, text());
    }
};

} // namespace

void setMessageDlgTexts(const MessageDlgTexts& texts) {
    textsStore() = texts;
}
const MessageDlgTexts& messageDlgTexts() {
    return textsStore();
}
void setMessageHelpHandler(MessageHelpHandler handler) {
    helpHandlerStore() = std::move(handler);
}

int TMessageForm::wrapWidth() {
    return screenGeometry().width() / 2;
}

TMessageForm::TMessageForm(std::string_view message, DialogType type, ButtonSet buttons,
                           int helpContext, std::string helpFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      helpContext_(helpContext), helpFile_(std::move(helpFile)) {
    setObjectName(QStringLiteral("TMessageForm"));
    const QFont dialogFont = QApplication::font("QMessageBox");
    setFont(dialogFont);
    const QFontMetrics fm(dialogFont);

    // Sizes follow the dialog font: average letter width and line height.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int w = std::max(1, fm.horizontalAdvance(letters) / 52);
    const int h = std::max(1, fm.height());
    const int hMargin = mulDiv(8, w, 4);
    const int vMargin = mulDiv(8, h, 8);
    const int hSpacing = mulDiv(10, w, 4);
    const int vSpacing = mulDiv(10, h, 8);
    const int buttonWidth = mulDiv(60, w, 4);
    const int buttonHeight = mulDiv(18, h, 8);
    const int buttonSpacing = mulDiv(4, w, 4);

    const QString text = messageText(message);
    const QRect textRect = fm.boundingRect(QRect(0, 0, wrapWidth(), 0), TextFlags, text);
    const int tw = textRect.width() + 1;
    const int th = textRect.height();

    const bool hasIcon = type != DialogType::Custom;
    const int iconTextWidth = hasIcon ? tw + hSpacing + 32 : tw;
    const int iconTextHeight = hasIcon ? std::max(th, 32) : th;

    int count = 0;
    for (int i = 0; i < MessageButtonCount; ++i)
        count += buttons.has(static_cast<DialogButton>(i)) ? 1 : 0;
    const int groupWidth = count == 0 ? 0 : count * buttonWidth + (count - 1) * buttonSpacing;

    const int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * hMargin;
    const int clientHeight = iconTextHeight + buttonHeight + vSpacing + 2 * vMargin;
    setFixedSize(clientWidth, clientHeight);
    const QRect screen = screenGeometry();
    move(screen.x() + screen.width() / 2 - clientWidth / 2,
         screen.y() + screen.height() / 2 - clientHeight / 2);

    setWindowTitle(toDisplay(messageDlgTexts().dialogTitles[static_cast<size_t>(type)]));

    if (hasIcon) {
        icon_ = new QLabel(this);
        icon_->setObjectName(QStringLiteral("Image"));
        icon_->setPixmap(dialogTypeIcon(type));
        icon_->setGeometry(hMargin, vMargin, 32, 32);
    }
    message_ = new MessageText(text, this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setWordWrap(true);
    message_->setGeometry(iconTextWidth - tw + hMargin, vMargin, tw, th);

    const std::optional<DialogButton> def = defaultButtonOf(buttons);
    const std::optional<DialogButton> esc = escapeButtonOf(buttons);
    int x = (clientWidth - groupWidth) / 2;
    const int y = iconTextHeight + vMargin + vSpacing;
    for (int i = 0; i < MessageButtonCount; ++i) {
        const auto kind = static_cast<DialogButton>(i);
        if (!buttons.has(kind))
            continue;
        auto* b = new QPushButton(
            toDisplay(messageDlgTexts().buttonCaptions[static_cast<size_t>(i)]), this);
        b->setObjectName(QString::fromLatin1(ButtonNames[static_cast<size_t>(i)]));
        b->setIcon(buttonGlyph(kind));
        b->setGeometry(x, y, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
        connect(b, &QPushButton::clicked, this, [this, kind] { buttonClicked(kind); });
        buttons_[static_cast<size_t>(i)] = b;
        if (def && *def == kind)
            default_ = b;
        if (esc && *esc == kind)
            escape_ = b;
    }
    if (default_) {
        default_->setDefault(true);
        default_->setFocus();
    }
}

QPushButton* TMessageForm::button(DialogButton kind) const {
    return buttons_[static_cast<size_t>(kind)];
}

void TMessageForm::buttonClicked(DialogButton kind) {
    if (kind == DialogButton::Help) {
        // Help shows the topic and leaves the question open.
        if (const auto& handler = helpHandlerStore())
            handler(helpContext_, helpFile_);
        return;
    }
    done(modalResultOf(kind));
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (escape_)
            escape_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Closing the window answers like Escape; without such a button it answers Cancel.
void TMessageForm::reject() {
    if (escape_)
        escape_->click();
    else
        done(modal::Cancel);
}

int MessageDlgPosHelp(std::string_view message, DialogType type, ButtonSet buttons, int helpContext,
                      int x, int y, const std::string& helpFile) {
    TMessageForm form(message, type, buttons, helpContext, helpFile, QApplication::activeWindow());
    if (x >= 0)
        form.move(x, form.y());
    if (y >= 0)
        form.move(form.x(), y);
    return form.exec();
}

int MessageDlg(std::string_view message, DialogType type, ButtonSet buttons, int helpContext) {
    return MessageDlgPosHelp(message, type, buttons, helpContext, -1, -1);
}

int MessageDlgPos(std::string_view message, DialogType type, ButtonSet buttons, int helpContext,
                  int x, int y) {
    return MessageDlgPosHelp(message, type, buttons, helpContext, x, y);
}

void ShowMessage(std::string_view message) {
    MessageDlgPosHelp(message, DialogType::Custom, {DialogButton::Ok}, 0, -1, -1);
}

void ShowMessagePos(std::string_view message, int x, int y) {
    MessageDlgPosHelp(message, DialogType::Custom, {DialogButton::Ok}, 0, x, y);
}

} // namespace zarn
