// TMargins: the report's four margins in centimetres. The texts are kept as typed (a decimal
// comma stays a comma); Save writes them to ZARN.INI section MARGINS.
#pragma once

#include "core/app/PrintMargins.h"
#include "core/base/IniFile.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zarn {

class TMargins : public QDialog {
    Q_OBJECT
public:
    explicit TMargins(const PrivateProfile& settings, QWidget* parent = nullptr);

    // The stored texts: read at start-up and again after Save.
    const MarginTexts& texts() const { return texts_; }
    void load() { texts_ = MarginTexts::load(settings_); }
    // Whether the last showing ended with Save.
    bool saved() const { return saved_; }
    // Called after Save, so that the main window clears its saved flag.
    void setSavedHandler(std::function<void()> handler) { onSaved_ = std::move(handler); }

    QLabel* LeftLab = nullptr;
    QLabel* RightLab = nullptr;
    QLabel* TopLab = nullptr;
    QLabel* BottomLab = nullptr;
    QLineEdit* MarLeft = nullptr;
    QLineEdit* MarRight = nullptr;
    QLineEdit* MarTop = nullptr;
    QLineEdit* MarBottom = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void FormShow();
    void SaveBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit(MarginSide side) const;

    const PrivateProfile& settings_;
    MarginTexts texts_;
    bool saved_ = false;
    std::function<void()> onSaved_;
};

} // namespace zarn
