// Instrument > Instrument's Data: what the instrument says about itself. On show it presents
// the identification that came with the results; Receive Data asks the instrument anew
// (without touching the results).
#pragma once

#include "core/comm/Identification.h"
#include "core/instrument/InstrumentCommands.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zarn {

class TLStr;
class TVaComm;
class UserInteraction;

class TInstrumentData : public QDialog {
    Q_OBJECT
public:
    TInstrumentData(TVaComm& comm, UserInteraction& ui, const TLStr& texts,
                    QWidget* parent = nullptr);

    // Row 0 of the results table, read each time the window opens.
    void setHeaderRowSource(std::function<IdentificationRow()> source) {
        headerRow_ = std::move(source);
    }
    // Called before the port opens (the main window puts its COM choice on the port).
    void setPreparePort(std::function<void()> prepare) { preparePort_ = std::move(prepare); }
    // Shorter waits for tests.
    void setTimeouts(const DialogueTimeouts& timeouts) { timeouts_ = timeouts; }

    void showData(const InstrumentDataText& data);

    QLabel* LabInstr = nullptr;
    QPlainTextEdit* InstrBox = nullptr;
    QLabel* LabNum = nullptr;
    QLineEdit* NumBox = nullptr;
    QLabel* LabFirm = nullptr;
    QPlainTextEdit* FirmBox = nullptr;
    QLabel* LabUser = nullptr;
    QPlainTextEdit* UserBox = nullptr;
    QPushButton* ReceiveBtn = nullptr;
    QPushButton* OKbtn = nullptr;

    void ReceiveBtnClick();
    bool receiving() const { return receiving_; }
    // Escape and the close box wait while the instrument is asked.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void clearBoxes();

    TVaComm& comm_;
    UserInteraction& ui_;
    const TLStr& texts_;
    DialogueTimeouts timeouts_;
    std::function<IdentificationRow()> headerRow_;
    std::function<void()> preparePort_;
    bool receiving_ = false;
};

} // namespace zarn
