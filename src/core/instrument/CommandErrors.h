// The error path of the instrument commands: numbered messages, and the port closed on every
// way out.
#pragma once

#include "core/base/UserInteraction.h"
#include "core/comm/SerialPort.h"

#include <exception>
#include <string>
#include <string_view>

namespace zarn {

// The text of a failure, with what the user can do about it on a line of its own.
std::string reasonOf(const std::exception& e);

// Shows a numbered message with the reason below it; remembers the first error.
class ErrorReporter {
public:
    ErrorReporter(UserInteraction& ui, std::string& first) : ui_(ui), first_(first) {}

    void show(std::string_view number, const std::exception& e);
    // Shows the number alone.
    void show(std::string_view number);

    // Runs a step; a failure is shown under its number and the command goes on.
    template <typename F>
    bool step(std::string_view number, F&& f) {
        try {
            f();
            return true;
        } catch (const std::exception& e) {
            show(number, e);
            return false;
        } catch (...) {
            show(number);
            return false;
        }
    }

private:
    UserInteraction& ui_;
    std::string& first_;
};

// Closes an opened port when the command leaves its scope, by any path.
class PortCloser {
public:
    explicit PortCloser(SerialPort& port) : port_(port) {}
    ~PortCloser() {
        try {
            port_.close();
        } catch (...) {
        }
    }
    PortCloser(const PortCloser&) = delete;
    PortCloser& operator=(const PortCloser&) = delete;

private:
    SerialPort& port_;
};

} // namespace zarn
