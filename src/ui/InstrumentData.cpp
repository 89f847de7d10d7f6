#include "ui/InstrumentData.h"

#include "core/comm/VaComm.h"
#include "print/DisplayText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace zarn {

namespace {

QPlainTextEdit* memo(QWidget* parent, const char* name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

void setLines(QPlainTextEdit* box, const std::vector<std::string>& lines) {
    QStringList shown;
    for (const auto& l : lines)
        shown << toDisplay(l);
    box->setPlainText(shown.join('\n'));
    box->moveCursor(QTextCursor::Start);
}

} // namespace

TInstrumentData::TInstrumentData(TVaComm& comm, UserInteraction& ui, const TLStr& texts,
                                 QWidget* parent)
    : QDialog(parent), comm_(comm), ui_(ui), texts_(texts) {
    setObjectName("TInstrumentData");
    setWindowTitle("Instrument's Data");
    auto* grid = new QGridLayout(this);
    LabInstr = new QLabel("Instrument:", this);
    LabInstr->setObjectName("LabInstr");
    InstrBox = memo(this, "InstrBox");
    LabNum = new QLabel("Serial Number:", this);
    LabNum->setObjectName("LabNum");
    NumBox = new QLineEdit(this);
    NumBox->setObjectName("NumBox");
    NumBox->setReadOnly(true);
    LabFirm = new QLabel("Firm Data:", this);
    LabFirm->setObjectName("LabFirm");
    FirmBox = memo(this, "FirmBox");
    LabUser = new QLabel("User Data:", this);
    LabUser->setObjectName("LabUser");
    UserBox = memo(this, "UserBox");
    ReceiveBtn = new QPushButton("&Receive Data", this);
    ReceiveBtn->setObjectName("ReceiveBtn");
    OKbtn = new QPushButton("OK", this);
    OKbtn->setObjectName("OKbtn");
    OKbtn->setDefault(true);

    grid->addWidget(LabInstr, 0, 0);
    grid->addWidget(InstrBox, 1, 0, 1, 2);
    grid->addWidget(LabNum, 2, 0);
    grid->addWidget(NumBox, 2, 1);
    grid->addWidget(LabFirm, 3, 0);
    grid->addWidget(FirmBox, 4, 0, 1, 2);
    grid->addWidget(LabUser, 5, 0);
    grid->addWidget(UserBox, 6, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ReceiveBtn);
    buttons->addStretch();
    buttons->addWidget(OKbtn);
    grid->addLayout(buttons, 7, 0, 1, 2);

    connect(ReceiveBtn, &QPushButton::clicked, this, [this] { ReceiveBtnClick(); });
    connect(OKbtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TInstrumentData::clearBoxes() {
    InstrBox->clear();
    NumBox->clear();
    FirmBox->clear();
    UserBox->clear();
}

void TInstrumentData::showData(const InstrumentDataText& data) {
    clearBoxes();
    setLines(InstrBox, data.instrumentLines);
    NumBox->setText(toDisplay(data.serialNumber));
    NumBox->setCursorPosition(0);
    setLines(FirmBox, data.firmLines);
    setLines(UserBox, data.userLines);
}

void TInstrumentData::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showData(instrumentDataOf(headerRow_ ? headerRow_() : IdentificationRow{}));
}

void TInstrumentData::ReceiveBtnClick() {
    if (receiving_)
        return;
    receiving_ = true;
    ReceiveBtn->setEnabled(false);
    OKbtn->setEnabled(false);
    if (preparePort_)
        preparePort_();
    const auto out = receiveInstrumentData(comm_, ui_, texts_, timeouts_);
    ReceiveBtn->setEnabled(true);
    OKbtn->setEnabled(true);
    receiving_ = false;
    if (out.data)
        showData(*out.data);
}

void TInstrumentData::reject() {
    if (!receiving_)
        QDialog::reject();
}

} // namespace zarn
