#include "core/instrument/AutoFind.h"

#include "core/base/UserInteraction.h"
#include "core/comm/InstrumentDialogue.h"
#include "core/comm/SerialPort.h"
#include "core/instrument/CommandErrors.h"
#include "core/lang/LStr.h"

namespace zarn {

namespace {

// Opens the port; false when it does not open (no device behind the item, or busy).
bool tryOpen(SerialPort& port) {
    try {
        port.open();
    } catch (const EVaCommError&) {
    }
    return port.isOpen();
}

const TLStr& noTexts() {
    static const TLStr texts;
    return texts;
}

} // namespace

AutoFindResult autoFind(SerialPort& port, ComSelection current, const TransferModeProbe& probe,
                        UserInteraction& ui, const AutoFindOptions& options) {
    AutoFindResult result;
    result.selection = current;
    const ComSelection remembered = current;
    std::string firstError;
    ErrorReporter errors(ui, firstError);
    auto select = [&](ComSelection s) {
        result.selection = s;
        if (options.onSelect)
            options.onSelect(s);
    };

    try {
        ui.clearCancel();
        if (options.onBegin)
            options.onBegin();
    } catch (...) {
        errors.show("13: ERROR");
        return result;
    }

    try {
        const int speeds = options.baudGroupEnabled ? static_cast<int>(ComBaudItems.size()) : 1;
        for (int portIndex = 0; portIndex < ComPortItemCount && !result.found; ++portIndex) {
            for (int speed = 0; speed < speeds; ++speed) {
                ui.processEvents();
                if (ui.cancelRequested())
                    break;
                const ComSelection trying{portIndex,
                                          options.baudGroupEnabled ? speed : remembered.baudIndex};
                select(trying);
                applyPortSettings(port, trying);
                ++result.attempts;
                if (!tryOpen(port))
                    continue;
                const PortCloser closer(port);
                ++result.probes;
                port.purgeAll();
                if (probe.enter && probe.enter(port, ui, AutoFindAckTimeoutMs) == 0) {
                    result.found = true;
                    break;
                }
            }
            if (ui.cancelRequested())
                break;
        }
    } catch (...) {
        errors.show("14: ERROR");
    }

    try {
        if (!result.found) {
            select(remembered);
            applyPortSettings(port, remembered);
            ui.messageDlg(options.notFoundText, DialogType::Error,
                          {DialogButton::Ok, DialogButton::Help}, 2000);
        } else if (tryOpen(port)) {
            const PortCloser closer(port);
            if (probe.leave)
                probe.leave(port, ui);
        }
        if (options.onEnd)
            options.onEnd();
    } catch (...) {
        errors.show("15: ERROR");
    }
    return result;
}

TransferModeProbe instrumentProbe() {
    TransferModeProbe probe;
    probe.enter = [](SerialPort& port, UserInteraction& ui, int idleTimeoutMs) {
        InstrumentDialogue dialogue(port, ui, noTexts());
        dialogue.send(frames::EnterTransferMode);
        return dialogue.awaitAck(idleTimeoutMs);
    };
    probe.leave = [](SerialPort& port, UserInteraction& ui) {
        try {
            InstrumentDialogue dialogue(port, ui, noTexts());
            dialogue.leaveTransferMode();
        } catch (const std::exception&) {
        }
    };
    return probe;
}

} // namespace zarn
