#include "core/comm/ComConfiguration.h"

#include "core/app/Configuration.h"
#include "core/base/IniFile.h"
#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"

namespace zarn {

namespace {

// A 1-based list position written by the dialog; 0 when the text is no such position.
// The text is a whole decimal number, as the program has always read it ("0", "-1", "17"
// and text are no position in a list of 16).
int listPosition(const std::string& value, int count) {
    const auto n = parseInteger(value);
    return n && *n >= 1 && *n <= count ? *n : 0;
}

void showError(UserInteraction& ui, const char* text) {
    ui.messageDlg(text, DialogType::Error, {DialogButton::Ok});
}

} // namespace

std::string comPortItem(int portIndex) {
    return "COM" + std::to_string(portIndex + 1);
}

std::string comBaudItem(int baudIndex) {
    if (baudIndex < 0 || baudIndex >= static_cast<int>(ComBaudItems.size()))
        return {};
    return std::to_string(ComBaudItems[static_cast<size_t>(baudIndex)]);
}

TVaBaudrate baudrateOfItem(int baudIndex) {
    switch (baudIndex) {
    case 0:
        return TVaBaudrate::br115200;
    case 1:
        return TVaBaudrate::br38400;
    case 2:
        return TVaBaudrate::br19200;
    case 4:
        return TVaBaudrate::br4800;
    case 5:
        return TVaBaudrate::br2400;
    default:
        return TVaBaudrate::br9600;
    }
}

ComSelection readComSetup(const PrivateProfile& settings, ComSelection start) {
    ComSelection s = start;
    if (int n = listPosition(settings.read("SETUP", "COM", "-1"), ComPortItemCount))
        s.portIndex = n - 1;
    if (int n = listPosition(settings.read("SETUP", "BAUD", "-1"),
                             static_cast<int>(ComBaudItems.size())))
        s.baudIndex = n - 1;
    return s;
}

void writeComSetup(const PrivateProfile& settings, ComSelection selection) {
    settings.write("SETUP", "COM", std::to_string(selection.portIndex + 1));
    settings.write("SETUP", "BAUD", std::to_string(selection.baudIndex + 1));
}

void applyPortSettings(TVaComm& comm, ComSelection selection) {
    if (selection.portIndex >= 0 && selection.portIndex < ComPortItemCount)
        comm.setPortNum(selection.portIndex + 1);
    comm.setBaudrate(baudrateOfItem(selection.baudIndex));
    comm.setParity(TVaParity::paNone);
    comm.setDatabits(TVaDatabits::db8);
    comm.setStopbits(TVaStopbits::sb2);
}

AutoFindResult autoFind(TVaComm& comm, ComSelection current, const TransferModeProbe& probe,
                        UserInteraction& ui, const AutoFindOptions& options) {
    AutoFindResult result;
    result.selection = current;
    ComSelection remembered = current;
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
        showError(ui, "13: ERROR");
        return result;
    }

    try {
        for (int port = 0; port < ComPortItemCount && !result.found; ++port) {
            const int speeds = options.baudGroupEnabled ? static_cast<int>(ComBaudItems.size()) : 1;
            for (int speed = 0; speed < speeds; ++speed) {
                ui.processEvents();
                if (ui.cancelRequested())
                    break;
                ComSelection trying{port, options.baudGroupEnabled ? speed : remembered.baudIndex};
                select(trying);
                applyPortSettings(comm, trying);
                ++result.attempts;
                try {
                    comm.open();
                } catch (const EVaCommError&) {
                    // No device behind this item, or busy: on to the next one.
                }
                if (!comm.isOpen())
                    continue;
                int answer = -1;
                try {
                    ++result.probes;
                    comm.purgeAll();
                    if (probe.enter)
                        answer = probe.enter(comm, ui, AutoFindAckTimeoutMs);
                } catch (...) {
                    comm.close();
                    throw;
                }
                comm.close();
                if (answer == 0) {
                    result.found = true;
                    break;
                }
            }
            if (ui.cancelRequested())
                break;
        }
    } catch (...) {
        comm.close();
        showError(ui, "14: ERROR");
    }

    try {
        if (!result.found) {
            select(remembered);
            applyPortSettings(comm, remembered);
            ui.messageDlg(options.notFoundText, DialogType::Error,
                          {DialogButton::Ok, DialogButton::Help}, 2000);
        } else {
            try {
                comm.open();
            } catch (const EVaCommError&) {
            }
            if (comm.isOpen()) {
                try {
                    if (probe.leave)
                        probe.leave(comm, ui);
                } catch (...) {
                    comm.close();
                    throw;
                }
                comm.close();
            }
        }
        if (options.onEnd)
            options.onEnd();
    } catch (...) {
        showError(ui, "15: ERROR");
    }
    return result;
}

} // namespace zarn
