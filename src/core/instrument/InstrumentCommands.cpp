#include "core/instrument/InstrumentCommands.h"

#include "core/app/Workspace.h"
#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"
#include "core/comm/SerialPort.h"
#include "core/instrument/CommandErrors.h"
#include "core/instrument/ResultsReception.h"
#include "core/lang/LStr.h"

#include <algorithm>
#include <exception>

namespace zarn {

int receptionGauge(int received, int count) {
    if (count < 1)
        return 100;
    return static_cast<int>((static_cast<int64_t>(received) * 200 + count) / (2 * count));
}

ReceiveOutcome receiveResults(SerialPort& port, UserInteraction& ui, ResultsReception& host,
                              const DialogueTimeouts& timeouts) {
    const TLStr& texts = host.workspace().texts();
    const NamefTables& namef = host.workspace().namef();
    ReceiveOutcome out;
    ErrorReporter errors(ui, out.error);
    try {
        port.open();
    } catch (const std::exception& e) {
        errors.show("11: COMM ERROR", e);
        out.status = ReceiveOutcome::Status::PortNotOpened;
        return out;
    }
    const PortCloser closer(port);
    bool failed = false;
    bool missing = false;
    try {
        if (!host.mayDiscardData()) {
            out.status = ReceiveOutcome::Status::Declined;
            return out;
        }
        InstrumentDialogue dialogue(port, ui, texts, timeouts);
        failed |= !errors.step("2: ERROR", [&] {
            ui.clearCancel();
            ui.progressShow(texts.text("ReceiveResults_30"));
            ui.progressLabels("", texts.text("Searching_30"));
            ui.progressPosition(0);
        });

        int entered = TransferModeGivenUp;
        failed |= !errors.step("12: ERROR", [&] { entered = dialogue.enterTransferMode(); });
        if (entered == TransferModeEntered) {
            InstrumentDialogue::IdentifyResult id;
            failed |= !errors.step("3: ERROR", [&] { id = dialogue.identify(); });
            // Name, code and firm are the fixed texts also when identification failed.
            applyFixedTexts(id.id);
            if (id.id.familyCode)
                host.setDataFamilyCode(*id.id.familyCode);
            ui.progressLabels("", texts.text("ReceivingResults_30"));
            int factor = 1;
            failed |= !errors.step("6: ERROR", [&] {
                failed |= !errors.step("4: ERROR", [&] { out.count = dialogue.countRecords(); });
                factor = std::max(1, out.count / 250);
                host.beginReception(identificationRowOf(id.id));
            });
            out.familyMatches = host.dataFamilyCode() == InstrumentFamilyCode;

            failed |= !errors.step("7: ERROR", [&] {
                if (!out.familyMatches)
                    return;
                dialogue.send(frames::StartSending);
                dialogue.awaitAck(timeouts.ack);
                dialogue.setRecordTimeout(factor * timeouts.recordUnit);
                int result = RecordRead;
                do {
                    InstrumentDialogue::RecordResult rec;
                    if (!errors.step("8: ERROR", [&] { rec = dialogue.readRecord(); })) {
                        failed = true;
                        rec.result = RecordFaulty;
                    }
                    result = rec.result;
                    if (result == RecordRead) {
                        const auto row = decodeRecord(rec.payload, namef);
                        // A payload too short for its ids names no place; it is not kept,
                        // and counts as missing.
                        if (row.complete) {
                            host.addReceivedRow(row.cells);
                            ++out.received;
                        }
                    }
                    ui.progressCount(out.received, out.count);
                    ui.progressPosition(receptionGauge(out.received, out.count));
                    ui.processEvents();
                } while (!ui.cancelRequested() && result == RecordRead);
                if (result != RecordRead && out.received < out.count) {
                    missing = true;
                    ui.messageDlg(texts.text("MeasuresMissing_30") + text::CR +
                                      text::toText(out.received) + "/" + text::toText(out.count),
                                  DialogType::Error, {DialogButton::Ok}, 1);
                }
                dialogue.setRecordTimeout(timeouts.recordUnit);
            });
            // A vanished device cannot take the command; saying so once is enough.
            if (!port.deviceLost())
                failed |= !errors.step("7: ERROR", [&] { dialogue.leaveTransferMode(); });

            failed |= !errors.step("8: ERROR", [&] { host.rebuildTree(); });
            failed |=
                !errors.step("9: ERROR", [&] { host.showReceivedResults(out.familyMatches); });
        }
        failed |= !errors.step("10: ERROR", [&] { ui.progressHide(); });

        if (port.deviceLost())
            out.status = ReceiveOutcome::Status::DeviceLost;
        else if (entered != TransferModeEntered)
            out.status = ReceiveOutcome::Status::NotEntered;
        else if (missing)
            out.status = ReceiveOutcome::Status::RecordsMissing;
        else if (failed)
            out.status = ReceiveOutcome::Status::Failed;
        else
            out.status = ReceiveOutcome::Status::Received;
    } catch (const std::exception& e) {
        errors.show("12: ERROR", e);
        out.status =
            port.deviceLost() ? ReceiveOutcome::Status::DeviceLost : ReceiveOutcome::Status::Failed;
    }
    return out;
}

InstrumentDataOutcome receiveInstrumentData(SerialPort& port, UserInteraction& ui,
                                            const TLStr& texts, const DialogueTimeouts& timeouts) {
    InstrumentDataOutcome out;
    try {
        port.open();
    } catch (const std::exception& e) {
        out.error = reasonOf(e); // the window stays as it is
        return out;
    }
    out.portOpened = true;
    const PortCloser closer(port);
    ErrorReporter errors(ui, out.error);
    InstrumentDialogue dialogue(port, ui, texts, timeouts);
    ui.clearCancel();
    ui.progressShow(texts.text("Receiving_30"));
    ui.progressLabels("", texts.text("Searching_30"));
    ui.progressPosition(0);
    int entered = TransferModeGivenUp;
    errors.step("12: ERROR", [&] { entered = dialogue.enterTransferMode(); });
    if (entered == TransferModeEntered) {
        out.entered = true;
        InstrumentDialogue::IdentifyResult id;
        errors.step("3: ERROR", [&] {
            id = dialogue.identify();
            ui.progressPosition(100);
            dialogue.pause(100);
        });
        applyFixedTexts(id.id);
        out.identified = id.ok;
        out.data = instrumentDataOf(id.id);
        if (!port.deviceLost())
            errors.step("7: ERROR", [&] { dialogue.leaveTransferMode(); });
    }
    ui.progressHide();
    return out;
}

} // namespace zarn
