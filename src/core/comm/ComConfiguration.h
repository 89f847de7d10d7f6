// The COM choice: which of COM1 .. COM16 and which of the six line speeds the program uses,
// how the choice is kept in ZARN.INI (section SETUP, keys COM and BAUD, 1-based list
// positions) and how it reaches the port.
#pragma once

#include "core/app/Configuration.h"
#include "core/comm/SerialPort.h"

#include <array>
#include <string>

namespace zarn {

class PrivateProfile;

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
void applyPortSettings(SerialPort& port, ComSelection selection);

} // namespace zarn
