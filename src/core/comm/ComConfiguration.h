// The COM choice: which of COM1 .. COM16 and which of the six line speeds the program uses,
// how the choice is kept in ZARN.INI (section SETUP, keys COM and BAUD, 1-based list
// positions) and how it reaches the port. Also the automatic search for the instrument
// (Auto Find) over every port and speed, which the COM dialog runs.
#pragma once

#include "core/app/Configuration.h"
#include "core/comm/VaComm.h"

#include <array>
#include <functional>
#include <string>

namespace zarn {

class PrivateProfile;
class UserInteraction;

inline constexpr int ComPortItemCount = 16;
// The speed list in the dialog's order (not ascending): BAUD "1" is 115200.
inline constexpr std::array<int, 6> ComBaudItems = {115200, 38400, 19200, 9600, 4800, 2400};

// "COM1" .. "COM16" for index 0 .. 15.
std::string comPortItem(int portIndex);
// "115200" .. "2400" for index 0 .. 5.
std::string comBaudItem(int baudIndex);
// br115200 .. br2400 for index 0 .. 5 (br9600 outside the list).
TVaBaudrate baudrateOfItem(int baudIndex);

struct ComSelection {
    int portIndex = 0;                               // COM1
    int baudIndex = Configuration::DefaultBaudIndex; // 9600
    bool operator==(const ComSelection&) const = default;
};

// SETUP COM and BAUD, for every program: a whole number n from 1 up to the list's length
// selects entry n; anything else (missing, "0", "-1", "17", text) leaves the entry of `start`.
ComSelection readComSetup(const PrivateProfile& settings, ComSelection start = {});
// Writes both keys; a failed write is ignored.
void writeComSetup(const PrivateProfile& settings, ComSelection selection);

// Puts the selection on the port: PortNum 1..16, the speed, 8 data bits, no parity, 2 stop
// bits. The port must be closed (PortNum cannot change while open).
void applyPortSettings(TVaComm& comm, ComSelection selection);

// What Auto Find needs of the instrument dialogue: the probe and the way back out.
struct TransferModeProbe {
    // Sends enter transfer mode and awaits its acknowledgement with this idle time-out,
    // ending early when ui's cancel flag is raised; returns the acknowledgement result
    // (0 = accepted, the instrument is there). ui is the search's own interaction.
    std::function<int(SerialPort& port, UserInteraction& ui, int idleTimeoutMs)> enter;
    // Sends leave transfer mode and awaits its acknowledgement.
    std::function<void(SerialPort& port, UserInteraction& ui)> leave;
};

struct AutoFindOptions {
    // Whether the speed group may change; when not, each port is tried at its current speed.
    bool baudGroupEnabled = true;
    // The message shown when nothing answered (language text CommError_40).
    std::string notFoundText;
    // Called with each selection tried and with the final one, so the dialog can show it.
    std::function<void(ComSelection)> onSelect;
    // The dialog's own preparation (disable the groups, show the search panel) and its
    // clean-up (enable them again, hide the panel).
    std::function<void()> onBegin;
    std::function<void()> onEnd;
};

struct AutoFindResult {
    bool found = false;
    ComSelection selection; // where the instrument answered, else the selection before
    int probes = 0;         // combinations whose port opened and was asked
    int attempts = 0;       // combinations tried
};

inline constexpr int AutoFindAckTimeoutMs = 2000;

// Tries ports 0..15 and within each the speeds in list order (115200 first) until an
// instrument accepts transfer mode. Each port that opens is purged, asked and closed again;
// one that does not open is skipped. Ends early when the user's cancel flag is set (the
// flag is cleared at the start). When found, the instrument is taken out of transfer mode
// again; when not, the selection before the search comes back and notFoundText is shown.
// Failures show "13: ERROR" (preparing), "14: ERROR" (searching), "15: ERROR" (finishing).
AutoFindResult autoFind(TVaComm& comm, ComSelection current, const TransferModeProbe& probe,
                        UserInteraction& ui, const AutoFindOptions& options = {});

} // namespace zarn
