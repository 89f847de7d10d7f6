// TPersonalData: the Operator/Test site dialog. Three operator lines or a logo picture, three
// footer lines and three test-site lines; OK keeps them in memory and in ZARN.INI.
#pragma once

#include "core/base/IniFile.h"
#include "core/inspection/PrintoutHeading.h"
#include "ui/WindowTexts.h"

#include <QDialog>
#include <QSize>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace zarn {

class TLStr;
class UserInteraction;

// The size a logo of `natural` size is shown at: scaled to the available height, then scaled
// down to the available width when it is still wider (both sides alike, rounded).
QSize fitLogo(QSize natural, int availableHeight, int availableWidth);

class TPersonalData : public QDialog, public UiTextTarget {
    Q_OBJECT
public:
    TPersonalData(PrintoutHeading& heading, const PrivateProfile& settings, const TLStr& texts,
                  UserInteraction& ui, QWidget* parent = nullptr);

    // Called after OK, so that the main window clears its saved flag.
    void setAcceptedHandler(std::function<void()> handler) { onAccepted_ = std::move(handler); }
    bool applyUiText(const UiText& text) override;

    // The working values while the dialog is open.
    int workingMode() const { return mode_; }
    const std::string& workingLogo() const { return logo_; }
    bool acceptedFlag() const { return accepted_; }

    QGroupBox* Operater = nullptr;
    QWidget* TextPanel = nullptr;
    QWidget* PicturePanel = nullptr;
    QLineEdit* Operator1 = nullptr;
    QLineEdit* Operator2 = nullptr;
    QLineEdit* Operator3 = nullptr;
    QLabel* OpImage = nullptr;
    QPushButton* LoadBtn = nullptr;
    QPushButton* ToBtn = nullptr;
    QLabel* FooterLab = nullptr;
    QLineEdit* Footer = nullptr;
    QLineEdit* Footer2 = nullptr;
    QLineEdit* Footer3 = nullptr;
    QGroupBox* PanelSite = nullptr;
    QLineEdit* Site1 = nullptr;
    QLineEdit* Site2 = nullptr;
    QLineEdit* Site3 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void ToBtnClick();
    void LoadBtnClick();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateView();
    void loadLogo();

    PrintoutHeading& heading_;
    const PrivateProfile& settings_;
    const TLStr& texts_;
    UserInteraction& ui_;
    std::function<void()> onAccepted_;
    QString textCaption_ = QStringLiteral("Text");
    QString pictureCaption_ = QStringLiteral("Picture");
    int mode_ = 0;
    std::string logo_;
    bool accepted_ = false;
};

} // namespace zarn
