#include "ui/CommentBox.h"

#include "core/structfile/StructFile.h"
#include "print/DisplayText.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <vector>

namespace zarn {

int memoLineCount(const QString& text) {
    if (text.isEmpty())
        return 0;
    const int breaks = static_cast<int>(text.count(QLatin1Char('\n')));
    return text.endsWith(QLatin1Char('\n')) ? breaks : breaks + 1;
}

namespace {

QStringList memoLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

// The memo's lines as the bytes to keep. A line the user did not touch keeps its bytes, also
// when lines above it were added or removed.
class StoredLines {
public:
    StoredLines(const QStringList& typed, int count,
                const std::function<std::string(int)>& original) {
        std::vector<std::string> before;
        for (int n = 1; n <= count; ++n)
            before.push_back(original(n));
        for (int n = 1; n <= count; ++n) {
            if (n > typed.size()) {
                lines_.emplace_back();
                continue;
            }
            const QString& line = typed[n - 1];
            const std::string& same = before[static_cast<size_t>(n - 1)];
            std::string stored = toStored(line, same);
            if (stored != same) {
                const auto moved = std::find_if(before.begin(), before.end(), [&](const auto& b) {
                    return toDisplay(b) == line;
                });
                if (moved != before.end())
                    stored = *moved;
            }
            lines_.push_back(std::move(stored));
        }
    }
    const std::string& line(int n) const { return lines_[static_cast<size_t>(n - 1)]; }

private:
    std::vector<std::string> lines_;
};

void setCaret(QPlainTextEdit* memo, int position) {
    QTextCursor c = memo->textCursor();
    c.setPosition(std::clamp(position, 0, static_cast<int>(memo->toPlainText().size())));
    memo->setTextCursor(c);
}

} // namespace

TCommentBox::TCommentBox(PrintoutComments& comments, const PrivateProfile& settings,
                         QWidget* parent)
    : QDialog(parent), comments_(comments), settings_(settings) {
    setObjectName(QStringLiteral("TCommentBox"));
    setWindowTitle(QStringLiteral("Comments"));

    auto* layout = new QVBoxLayout(this);
    checkComments = new QCheckBox(QStringLiteral("Comments"), this);
    checkComments->setObjectName(QStringLiteral("checkComments"));
    layout->addWidget(checkComments);
    Comments = new QPlainTextEdit(this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setFrameShape(QFrame::NoFrame);
    Comments->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont memoFont(QStringLiteral("MS Sans Serif"));
    memoFont.setPixelSize(11);
    Comments->setFont(memoFont);
    layout->addWidget(Comments);

    // The autotest comments are kept but their panel is not shown by this edition.
    SCommPanel = new QWidget(this);
    SCommPanel->setObjectName(QStringLiteral("SCommPanel"));
    auto* scommLayout = new QVBoxLayout(SCommPanel);
    checkSComm = new QCheckBox(QStringLiteral("Autotest comments"), SCommPanel);
    checkSComm->setObjectName(QStringLiteral("checkSComm"));
    scommLayout->addWidget(checkSComm);
    SComm = new QPlainTextEdit(SCommPanel);
    SComm->setObjectName(QStringLiteral("SComm"));
    SComm->setLineWrapMode(QPlainTextEdit::NoWrap);
    scommLayout->addWidget(SComm);
    SCommPanel->hide();
    layout->addWidget(SCommPanel);

    checkPageNum = new QCheckBox(QStringLiteral("Page numbers"), this);
    checkPageNum->setObjectName(QStringLiteral("checkPageNum"));
    layout->addWidget(checkPageNum);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);

    comments_state_.memo = Comments;
    comments_state_.limit = CommentsLimit;
    scomm_state_.memo = SComm;
    scomm_state_.limit = SCommLimit;
    for (MemoState* m : {&comments_state_, &scomm_state_}) {
        m->memo->installEventFilter(this);
        connect(m->memo, &QPlainTextEdit::textChanged, this, [this, m] { memoChanged(*m); });
    }
    connect(OkBtn, &QPushButton::clicked, this, &TCommentBox::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TCommentBox::showEvent(QShowEvent* event) {
    // 65 letters "M" wide and 31 lines high in the memo's font.
    const QFontMetrics fm(Comments->font());
    Comments->setMinimumSize(fm.horizontalAdvance(QString(65, QLatin1Char('M'))) + 8,
                             fm.lineSpacing() * 31 + 8);
    adjustSize();

    QStringList lines;
    for (int n = 1; n <= PrintoutComments::LineCount; ++n)
        lines << toDisplay(comments_.line(n));
    // Empty lines at the end carry nothing.
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList autotest;
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
        autotest << toDisplay(comments_.autotestLine(n));
    while (!autotest.isEmpty() && autotest.last().isEmpty())
        autotest.removeLast();
    for (auto [m, l] : {std::pair{&comments_state_, &lines}, std::pair{&scomm_state_, &autotest}}) {
        m->restoring = true;
        m->memo->setPlainText(l->join(QLatin1Char('\n')));
        m->restoring = false;
        remember(*m);
    }
    const std::string& s = comments_.storedSwitches();
    const bool valid = s.size() >= 3;
    checkComments->setChecked(valid && s[0] != '0');
    checkSComm->setChecked(valid && s[1] != '0');
    checkPageNum->setChecked(valid && s[2] != '0');
    QDialog::showEvent(event);
}

bool TCommentBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (watched == Comments)
            keyPressed(comments_state_);
        else if (watched == SComm)
            keyPressed(scomm_state_);
    }
    return QDialog::eventFilter(watched, event);
}

void TCommentBox::remember(MemoState& m) {
    m.text = m.memo->toPlainText();
    m.caret = m.memo->textCursor().position();
}

// Before a key takes effect: blanks and line breaks at the very end are dropped while the
// caret is not there, so the memo never grows invisible lines.
void TCommentBox::keyPressed(MemoState& m) {
    const int caret = m.memo->textCursor().position();
    QString text = m.memo->toPlainText();
    int end = static_cast<int>(text.size());
    while (caret < end && text.at(end - 1).unicode() <= 32)
        --end;
    if (end != text.size()) {
        text.truncate(end);
        m.restoring = true;
        m.memo->setPlainText(text);
        m.restoring = false;
        setCaret(m.memo, caret);
    }
    remember(m);
}

// Input beyond the line limit is undone: back to the text before the key (or the paste).
void TCommentBox::memoChanged(MemoState& m) {
    if (m.restoring)
        return;
    if (memoLineCount(m.memo->toPlainText()) <= m.limit)
        return;
    m.restoring = true;
    m.memo->setPlainText(m.text);
    setCaret(m.memo, m.caret);
    QStringList lines = memoLines(m.memo->toPlainText());
    if (lines.size() > m.limit) {
        lines = lines.mid(0, m.limit);
        m.memo->setPlainText(lines.join(QLatin1Char('\n')));
        setCaret(m.memo, m.caret);
    }
    m.restoring = false;
}

void TCommentBox::OkBtnClick() {
    // Lines go in as a structure file can hold them, so that memory and file agree.
    using structfile::CommentField;
    const QStringList lines = memoLines(Comments->toPlainText());
    const StoredLines commentBytes(lines, PrintoutComments::LineCount,
                                   [this](int n) { return comments_.line(n); });
    for (int n = 1; n <= PrintoutComments::LineCount; ++n)
        comments_.setLine(
            n, structfile::storableCommentText(CommentField::Comment, commentBytes.line(n)));
    const QStringList autotest = memoLines(SComm->toPlainText());
    const StoredLines autotestBytes(autotest, PrintoutComments::AutotestLineCount,
                                    [this](int n) { return comments_.autotestLine(n); });
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
        comments_.setAutotestLine(
            n, structfile::storableCommentText(CommentField::Autotest, autotestBytes.line(n)));
    std::string switches;
    for (QCheckBox* box : {checkComments, checkSComm, checkPageNum})
        switches += box->isChecked() ? '1' : '0';
    comments_.setSwitches(switches);
    comments_.save(settings_);
    if (onAccepted_)
        onAccepted_();
    accept();
}

} // namespace zarn
