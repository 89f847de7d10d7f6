// A pseudo-terminal pair: the master end is held here, the slave end is a serial device path
// (/dev/pts/N) that TVaComm opens like any other port. Tests and the simulated instrument
// use the master end as the far side of the cable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zarn {

class PseudoTerminal {
public:
    // Opens a new pair with the master in raw mode (no echo, no line editing, 8 bits), so
    // bytes pass unchanged both ways. Throws std::system_error on failure.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The device path of the slave end, e.g. "/dev/pts/3".
    const std::string& slavePath() const { return slavePath_; }
    // The master descriptor (non-blocking); -1 after hangUp().
    int masterFd() const { return master_; }
    bool isOpen() const { return master_ >= 0; }

    // Keeps a descriptor of the slave end open here. Without it the master reports a hang-up
    // (POLLHUP, read errors) whenever no program has the slave open, e.g. between two
    // commands of the desktop program, which open and close the port each time.
    void holdSlave();

    // Sends all bytes, waiting for room up to timeoutMs in total. Returns the count sent.
    size_t write(std::string_view bytes, int timeoutMs = 2000);
    // Reads what arrives within timeoutMs (waits for the first byte only), at most maxBytes.
    std::string readSome(int timeoutMs, size_t maxBytes = 65536);
    // Reads until n bytes arrived or timeoutMs passed without a complete result.
    std::string readExactly(size_t n, int timeoutMs);
    // Waits until input arrives or timeoutMs passes; true when bytes are waiting.
    bool waitReadable(int timeoutMs);

    // Closes the master (and the held slave): the program's side sees the device vanish,
    // as when a cable is unplugged.
    void hangUp();

private:
    void closeAll() noexcept;

    int master_ = -1;
    int heldSlave_ = -1;
    std::string slavePath_;
};

} // namespace zarn
