// TCommentBox: the Comments dialog. Up to 200 comment lines and 5 autotest lines, and the
// three switches (print comments, print autotest comments, number pages).
#pragma once

#include "core/base/IniFile.h"
#include "core/inspection/PrintoutComments.h"

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace zarn {

// Lines of a memo as the program counts them: a final line break opens no new line.
int memoLineCount(const QString& text);

class TCommentBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int CommentsLimit = PrintoutComments::LineCount;
    static constexpr int SCommLimit = PrintoutComments::AutotestLineCount;

    TCommentBox(PrintoutComments& comments, const PrivateProfile& settings,
                QWidget* parent = nullptr);

    // Called after OK, so that the main window clears its saved flag.
    void setAcceptedHandler(std::function<void()> handler) { onAccepted_ = std::move(handler); }

    QCheckBox* checkComments = nullptr;
    QPlainTextEdit* Comments = nullptr;
    QWidget* SCommPanel = nullptr;
    QCheckBox* checkSComm = nullptr;
    QPlainTextEdit* SComm = nullptr;
    QCheckBox* checkPageNum = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void OkBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct MemoState {
        QPlainTextEdit* memo;
        int limit;
        QString text; // the text before the latest key press
        int caret = 0;
        bool restoring = false;
    };
    void keyPressed(MemoState& m);
    void memoChanged(MemoState& m);
    void remember(MemoState& m);

    PrintoutComments& comments_;
    const PrivateProfile& settings_;
    std::function<void()> onAccepted_;
    MemoState comments_state_{};
    MemoState scomm_state_{};
};

} // namespace zarn
