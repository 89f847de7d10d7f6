// How a line becomes the settings of a Linux terminal device.
//
// The settings go to the device in one termios2 call, so that any speed (14400, 56000, a
// user's) is set together with the framing. The kernel's termios2 header cannot share a file
// with <termios.h>; this header includes neither.
#pragma once

#include "core/comm/LineSettings.h"

#include <cstdint>
#include <optional>

namespace zarn {

// Terminal settings with the kernel's flag values; the speed is kept apart from the flags.
struct LineTermios {
    uint32_t iflag = 0;
    uint32_t oflag = 0;
    uint32_t cflag = 0; // without speed bits
    uint32_t lflag = 0;
    uint8_t vmin = 1; // with a non-blocking descriptor a read of 0 then means a vanished device
    uint8_t vtime = 0;
    uint8_t vstart = 17;
    uint8_t vstop = 19;
    uint32_t speed = 0; // bits per second, any value
    bool dtr = false;   // modem lines, held while the port is open
    bool rts = false;
    bool operator==(const LineTermios&) const = default;
};

// Raw 8-bit transfer with the line's framing and flow control. Empty when no terminal device
// can carry the line (4 data bits, no speed).
std::optional<LineTermios> termiosFor(const LineSettings& line);

// Puts the settings on an open terminal device; 0 on success, else errno.
int applyTermios(int fd, const LineTermios& settings);

// The output speed of a terminal device in bits per second; -1 when it cannot be read.
long currentSpeed(int fd);

} // namespace zarn
