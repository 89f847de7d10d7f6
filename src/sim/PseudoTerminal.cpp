#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace zarn {

namespace {

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        throwErrno("posix_openpt");
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        int saved = errno;
        closeAll();
        errno = saved;
        throwErrno("pseudo-terminal set-up");
    }
    slavePath_ = name;
    // Raw mode on the master sets the pair's line discipline: no echo of what the master
    // writes, no CR/LF translation, all 8 bits.
    termios t{};
    if (::tcgetattr(master_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    closeAll();
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(std::exchange(other.master_, -1)), heldSlave_(std::exchange(other.heldSlave_, -1)),
      slavePath_(std::move(other.slavePath_)) {}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    if (this != &other) {
        closeAll();
        master_ = std::exchange(other.master_, -1);
        heldSlave_ = std::exchange(other.heldSlave_, -1);
        slavePath_ = std::move(other.slavePath_);
    }
    return *this;
}

void PseudoTerminal::holdSlave() {
    if (heldSlave_ >= 0 || master_ < 0)
        return;
    heldSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (heldSlave_ < 0)
        throwErrno("open pseudo-terminal slave");
}

size_t PseudoTerminal::write(std::string_view bytes, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t sent = 0;
    while (master_ >= 0 && sent < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            break;
        int left = remainingMs(deadline);
        if (left == 0)
            break;
        pollfd p{master_, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR)
            break;
    }
    return sent;
}

bool PseudoTerminal::waitReadable(int timeoutMs) {
    if (master_ < 0)
        return false;
    pollfd p{master_, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    return r > 0 && (p.revents & POLLIN) != 0;
}

std::string PseudoTerminal::readSome(int timeoutMs, size_t maxBytes) {
    std::string out;
    if (master_ < 0 || !waitReadable(timeoutMs))
        return out;
    char buf[4096];
    while (out.size() < maxBytes) {
        size_t want = std::min(sizeof buf, maxBytes - out.size());
        ssize_t n = ::read(master_, buf, want);
        if (n <= 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

std::string PseudoTerminal::readExactly(size_t n, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string out;
    while (out.size() < n) {
        int left = remainingMs(deadline);
        std::string part = readSome(left, n - out.size());
        if (part.empty()) // time-out, or the other side is gone
            break;
        out += part;
    }
    return out;
}

void PseudoTerminal::hangUp() {
    closeAll();
}

void PseudoTerminal::closeAll() noexcept {
    if (heldSlave_ >= 0)
        ::close(heldSlave_);
    if (master_ >= 0)
        ::close(master_);
    heldSlave_ = -1;
    master_ = -1;
}

} // namespace zarn
