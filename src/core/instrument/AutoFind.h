// Auto Find: the search over COM1 .. COM16 and the six speeds for a port where the instrument
// answers, which the COM dialog and zarnctl find-port run.
#pragma once

#include "core/comm/ComConfiguration.h"

#include <functional>
#include <string>

namespace zarn {

class SerialPort;
class UserInteraction;

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
AutoFindResult autoFind(SerialPort& port, ComSelection current, const TransferModeProbe& probe,
                        UserInteraction& ui, const AutoFindOptions& options = {});

// The instrument's own steps: enter transfer mode with the probe's time-out, and leave it again
// after a find (errors ignored).
TransferModeProbe instrumentProbe();

} // namespace zarn
