// A serial port as the instrument commands use it: its life cycle (which port, open, close),
// its line settings, and the byte operations of the dialogue.
//
// TVaComm (the termios port) implements it; tests may plug in other peers. Operations never
// block for longer than asked: reads return only what is queued, and waitForInput() sleeps in
// poll() for at most the given time, so idle waits cost no CPU.
#pragma once

#include "core/comm/LineSettings.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace zarn {

// Errors of the serial port, carrying the exact message text.
class EVaCommError : public std::runtime_error {
public:
    explicit EVaCommError(const std::string& message, int systemError = 0, std::string hint = {})
        : std::runtime_error(message), systemError_(systemError), hint_(std::move(hint)) {}
    int systemError() const { return systemError_; }
    // What the user can do about it (e.g. which group grants access to the device); may be
    // empty. Shown after the message, never part of it.
    const std::string& hint() const { return hint_; }

private:
    int systemError_;
    std::string hint_;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port and sets its line; throws EVaCommError, also when it is open already.
    virtual void open() = 0;
    // Closes the port; nothing when it is closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Which of COM1 .. COM16 open() takes; throws EVaCommError while open.
    virtual void setPortNum(int portNum) = 0;
    // The line: set at open, and at once when changed while open (throws EVaCommError when
    // the device refuses it).
    virtual const LineSettings& lineSettings() const = 0;
    virtual void setLineSettings(const LineSettings& line) = 0;

    // Bytes waiting in the input queue; 0 when closed.
    virtual int inputCount() = 0;
    // Bytes written and not yet sent on the line.
    virtual int outputPending() = 0;
    // Reads up to n queued bytes, never waiting for more; returns the count read.
    virtual int readBytes(uint8_t* buffer, int n) = 0;
    // Queues n bytes for sending; returns the count accepted.
    virtual int writeBytes(const uint8_t* buffer, int n) = 0;
    // Discards both queues.
    virtual void purgeAll() = 0;
    // Sleeps until input arrives, the device goes away, or timeoutMs passes.
    virtual void waitForInput(int timeoutMs) = 0;
    // True once the open device has vanished (cable or adapter pulled); then inputCount and
    // writeBytes fail with EVaCommError and readBytes returns nothing.
    virtual bool deviceLost() const { return false; }
};

} // namespace zarn
