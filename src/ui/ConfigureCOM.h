// Configuration > COM Port: which of COM1 .. COM16 and which speed the program uses. Each COM
// item shows the device it stands for on this machine. OK stores the choice in ZARN.INI;
// however the dialog closes, the port gets the last confirmed choice (so Cancel discards).
// Auto Find asks every port at every speed until an instrument answers; its panel's Cancel
// ends the search.
#pragma once

#include "core/base/IniFile.h"
#include "core/comm/VaComm.h"
#include "core/instrument/AutoFind.h"

#include <QDialog>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace zarn {

class TLStr;
class UserInteraction;

class TConfigureCOM : public QDialog {
    Q_OBJECT
public:
    TConfigureCOM(TVaComm& comm, UserInteraction& ui, QWidget* parent = nullptr);

    // Where OK writes SETUP COM and BAUD.
    void setSettings(PrivateProfile settings) { settings_ = std::move(settings); }
    // Shows the device path of each COM item.
    void setPortMap(const ComPortMap& map);
    // The dialogue steps Auto Find uses to ask for an instrument. They are given the search's
    // interaction, whose cancel flag the search panel's Cancel raises.
    void setProbe(TransferModeProbe probe) { probe_ = std::move(probe); }
    // Captions from the language; also the message shown when Auto Find finds nothing.
    void applyLanguage(const TLStr& texts);
    void setNotFoundText(std::string text) { notFoundText_ = std::move(text); }

    ComSelection selection() const;
    void setSelection(ComSelection selection);
    bool searching() const { return searching_; }

    QGroupBox* COMPortGrp = nullptr;
    QGroupBox* BaudRateGrp = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* FindBtn = nullptr;
    QWidget* PanelFind = nullptr;
    QLabel* SearchLab = nullptr;
    QLabel* WaitLab = nullptr;
    QPushButton* Cancel2Btn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    void OKBtnClick();
    void FindBtnClick();
    void Cancel2BtnClick();
    void setSearching(bool on);

    TVaComm& comm_;
    UserInteraction& ui_;
    std::optional<PrivateProfile> settings_;
    TransferModeProbe probe_;
    std::string notFoundText_;
    QButtonGroup* ports_ = nullptr;
    QButtonGroup* bauds_ = nullptr;
    QLabel* paths_[ComPortItemCount] = {};
    ComSelection saved_;
    bool searching_ = false;
    bool stop_ = false;
    bool baudGroupWasEnabled_ = true;
};

} // namespace zarn
