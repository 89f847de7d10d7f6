// One way from the COM choice to a port that is ready to open, for zarn and zarnctl alike.
//
// The COM choice (SETUP COM and BAUD, or what the COM dialog chose) names one of COM1..COM16
// and one of the six speeds. COM<n> leads to a device through the port map: the devices
// present, then section PORTS of ZARN.INI, then devices given for this run only (zarn
// --simulator puts its pseudo-terminal on COM1). A command line may name the port and the
// speed itself (zarnctl --port and --baud).
#pragma once

#include "core/comm/ComConfiguration.h"
#include "core/comm/PortNames.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarn {

class PrivateProfile;
class TVaComm;

// A --port that names no port the program has (COM0, COM17).
class PortRequestError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// What the command line asks of the port.
struct PortRequest {
    std::optional<std::string> port; // "COM1".."COM16" (any letter case) or a device path
    std::optional<int> speed;        // any line speed; a listed one takes its list entry
};

struct PortSetup {
    ComSelection choice;                   // SETUP COM and BAUD, or the COM dialog's choice
    std::map<int, std::string> runDevices; // COM<n> -> device, for this run only
    PortRequest request;
};

struct PreparedPort {
    // Keys of section PORTS that name no item (COM0, COM17, LPT1 ...); they were ignored.
    // Only filled when the port map was consulted.
    std::vector<std::string> ignoredOverrideKeys;
};

// The COM items of this run: the devices present, the PORTS overrides, the run's devices.
ComPortMap portMapFor(const PrivateProfile& settings, const PortSetup& setup);

// Sets the closed port up for the next instrument command: the choice's port and speed, 8 data
// bits, no parity, 2 stop bits; then a requested COM item replaces the choice's port, a
// requested path is used as it is, and a requested speed replaces the choice's. An open port
// is left alone (PortNum cannot change while open). Throws PortRequestError for a COM name
// outside COM1..COM16.
PreparedPort preparePort(TVaComm& port, const PrivateProfile& settings, const PortSetup& setup);

} // namespace zarn
