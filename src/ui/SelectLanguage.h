// Configuration > Select Language: one radio button per language of the list. OK hands the
// choice to the main window, which stores and applies it at once; Cancel or closing the
// window puts the selection back as it was when the dialog opened.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QVBoxLayout;

namespace zarn {

class TSelectLanguage : public QDialog {
    Q_OBJECT
public:
    explicit TSelectLanguage(QWidget* parent = nullptr);

    // Display names of the languages, in list order, as bytes.
    void setLanguages(const std::vector<std::string>& dispNames);
    int count() const;
    int itemIndex() const;
    void setItemIndex(int index);

    // Runs when OK is pressed, with the selected index, before the dialog closes.
    void setOkHandler(std::function<void(int)> handler) { okHandler_ = std::move(handler); }

    QGroupBox* LangGroup = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void OKBtnClick();

    QButtonGroup* group_ = nullptr;
    QVBoxLayout* radios_ = nullptr;
    int remembered_ = 0;
    std::function<void(int)> okHandler_;
};

} // namespace zarn
