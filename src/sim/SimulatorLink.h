// Puts an InstrumentSimulator on a pseudo-terminal, as if the instrument hung on a cable:
// the program opens the slave device like any serial port.
//
// A thread serves the master side until stopped. The link keeps the slave open itself, so
// that the program may open and close its port between commands without the line going dead.
#pragma once

#include "sim/InstrumentSimulator.h"
#include "sim/PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zarn {

struct SimulatorPacing {
    // > 0: output paced at baud / 11 bytes per second (8N2 with start bit), and only a PC
    // whose line runs at this speed is understood.
    int baud = 0;
    int slowMs = 0; // > 0: this pause between any two bytes sent
};

class SimulatorLink {
public:
    // Opens the pseudo-terminal and starts serving; throws std::runtime_error on failure.
    explicit SimulatorLink(InstrumentSimulator simulator, SimulatorPacing pacing = {},
                           const std::string& logPath = {});
    ~SimulatorLink();
    SimulatorLink(const SimulatorLink&) = delete;
    SimulatorLink& operator=(const SimulatorLink&) = delete;

    // The device the program opens, e.g. /dev/pts/3.
    const std::string& slavePath() const { return pty_.slavePath(); }

    // Stops serving and closes the pseudo-terminal (idempotent).
    void stop();
    // Waits until a transfer ended with MEX, or the line hung up; false on time-out.
    bool waitTransferEnded(std::chrono::milliseconds timeout);
    bool hungUp() const { return hungUp_; }
    std::vector<std::string> commandLog() const;
    // Bytes sent to and received from the program so far.
    uint64_t bytesSent() const { return bytesSent_; }
    uint64_t bytesReceived() const { return bytesReceived_; }

private:
    void serve();
    bool send(const std::string& bytes);
    bool writeSome(const char* data, size_t n);
    bool pauseFor(std::chrono::steady_clock::duration d);
    void hangUp();

    InstrumentSimulator simulator_;
    SimulatorPacing pacing_;
    std::ofstream log_;
    size_t logged_ = 0;
    PseudoTerminal pty_;
    int wake_[2] = {-1, -1}; // stop request
    std::chrono::steady_clock::time_point lineFree_{};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<uint64_t> bytesSent_{0};
    std::atomic<uint64_t> bytesReceived_{0};
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool transferEnded_ = false;
    std::thread thread_;
};

} // namespace zarn
