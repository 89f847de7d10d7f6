// The line of a serial port: speed, framing and flow control, as a terminal device carries them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zarn {

enum class TVaBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};

struct BaudrateSpeed {
    TVaBaudrate baudrate;
    int bitsPerSecond; // 0 for brUser: the speed is the user's
};

// Every baud-rate value with its speed, in enumeration order.
inline constexpr std::array<BaudrateSpeed, 16> BaudrateSpeeds = {{
    {TVaBaudrate::brUser, 0},
    {TVaBaudrate::br110, 110},
    {TVaBaudrate::br300, 300},
    {TVaBaudrate::br600, 600},
    {TVaBaudrate::br1200, 1200},
    {TVaBaudrate::br2400, 2400},
    {TVaBaudrate::br4800, 4800},
    {TVaBaudrate::br9600, 9600},
    {TVaBaudrate::br14400, 14400},
    {TVaBaudrate::br19200, 19200},
    {TVaBaudrate::br38400, 38400},
    {TVaBaudrate::br56000, 56000},
    {TVaBaudrate::br57600, 57600},
    {TVaBaudrate::br115200, 115200},
    {TVaBaudrate::br128000, 128000},
    {TVaBaudrate::br256000, 256000},
}};

// Bits per second of a baud-rate value; 0 for brUser.
constexpr int speedOf(TVaBaudrate baudrate) {
    const auto i = static_cast<size_t>(baudrate);
    return i < BaudrateSpeeds.size() ? BaudrateSpeeds[i].bitsPerSecond : 0;
}

// The baud-rate value of a speed; brUser when no value stands for it.
constexpr TVaBaudrate baudrateOf(int bitsPerSecond) {
    for (const auto& entry : BaudrateSpeeds)
        if (bitsPerSecond > 0 && entry.bitsPerSecond == bitsPerSecond)
            return entry.baudrate;
    return TVaBaudrate::brUser;
}

enum class TVaParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TVaDatabits { db4, db5, db6, db7, db8 };
enum class TVaStopbits { sb1, sb15, sb2 };
enum class TVaControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TVaControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

// Flow control and the modem lines. DTR handshake and RTS toggle have no terminal
// counterpart: the line is held active, as with "enabled" (DTR) or left inactive (RTS toggle).
struct TVaFlowControl {
    bool outCtsFlow = false;
    TVaControlDtr controlDtr = TVaControlDtr::dtrDisabled;
    TVaControlRts controlRts = TVaControlRts::rtsDisabled;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    bool txContinueOnXoff = false;
    uint8_t xonChar = 17;
    uint8_t xoffChar = 19;
    bool operator==(const TVaFlowControl&) const = default;
};

struct LineSettings {
    TVaBaudrate baudrate = TVaBaudrate::br9600;
    int userBaudrate = 0; // bits per second when baudrate is brUser
    TVaDatabits databits = TVaDatabits::db8;
    TVaParity parity = TVaParity::paNone;
    bool parityCheck = false;
    TVaStopbits stopbits = TVaStopbits::sb2;
    TVaFlowControl flowControl;

    constexpr int speed() const {
        return baudrate == TVaBaudrate::brUser ? userBaudrate : speedOf(baudrate);
    }
    bool operator==(const LineSettings&) const = default;
};

} // namespace zarn
