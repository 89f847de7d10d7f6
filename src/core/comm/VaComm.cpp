#include "core/comm/VaComm.h"

#include "core/comm/LineTermios.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace zarn {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PollSliceMs = 20; // longest sleep between two looks at the port's state
const char* const WhileOpen = "Can't perform this operation while port is open";
const char* const OutputFull = "Output buffer is full. Please check comm status.";

std::string systemText(int error) {
    return std::system_category().message(error);
}

// "<what> (<errno>), <system text>", the form of every driver failure.
std::string withSystemError(const std::string& what, int error) {
    return what + " (" + std::to_string(error) + "), " + systemText(error);
}

[[noreturn]] void raise(const std::string& what, int error, std::string hint = {}) {
    throw EVaCommError(withSystemError(what, error), error, std::move(hint));
}

bool isGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

} // namespace

TVaCommEvents commEvents(std::initializer_list<TVaCommEvent> events) {
    TVaCommEvents set;
    for (auto e : events)
        set.set(static_cast<size_t>(e));
    return set;
}

TVaComm::~TVaComm() {
    close();
}

// --- properties -------------------------------------------------------------------------

void TVaComm::failWhenOpen() const {
    if (isOpen())
        throw EVaCommError(WhileOpen);
}

void TVaComm::setPortNum(int portNum) {
    failWhenOpen();
    portNum_ = portNum;
}

void TVaComm::setDeviceName(std::string format) {
    failWhenOpen();
    deviceName_ = std::move(format);
}

void TVaComm::setLineSettings(const LineSettings& line) {
    line_ = line;
    if (isOpen() && updateDCB_)
        sendLineSettings();
}

void TVaComm::setBaudrate(TVaBaudrate baudrate) {
    LineSettings line = line_;
    line.baudrate = baudrate;
    if (baudrate != TVaBaudrate::brUser)
        line.userBaudrate = 0;
    setLineSettings(line);
}

void TVaComm::setUserBaudrate(int speed) {
    LineSettings line = line_;
    line.userBaudrate = speed;
    line.baudrate = TVaBaudrate::brUser;
    setLineSettings(line);
}

void TVaComm::setParity(TVaParity parity) {
    LineSettings line = line_;
    line.parity = parity;
    setLineSettings(line);
}

void TVaComm::setParityCheck(bool on) {
    LineSettings line = line_;
    line.parityCheck = on;
    setLineSettings(line);
}

void TVaComm::setDatabits(TVaDatabits databits) {
    LineSettings line = line_;
    line.databits = databits;
    setLineSettings(line);
}

void TVaComm::setStopbits(TVaStopbits stopbits) {
    LineSettings line = line_;
    line.stopbits = stopbits;
    setLineSettings(line);
}

void TVaComm::setFlowControl(const TVaFlowControl& flowControl) {
    LineSettings line = line_;
    line.flowControl = flowControl;
    setLineSettings(line);
}

void TVaComm::setBuffers(const TVaBuffers& buffers) {
    failWhenOpen();
    buffers_ = buffers;
}

void TVaComm::setMonitorEvents(TVaCommEvents events) {
    failWhenOpen();
    windowsOnly_.monitorEvents = events;
}

void TVaComm::setDirectWrite(bool on) {
    failWhenOpen();
    windowsOnly_.directWrite = on;
}

void TVaComm::setUpdateDCB(bool on) {
    failWhenOpen();
    updateDCB_ = on;
}

std::string TVaComm::formattedDeviceName() const {
    std::string name = deviceName_;
    auto at = name.find("%d");
    if (at != std::string::npos)
        name.replace(at, 2, std::to_string(portNum_));
    return name;
}

std::string TVaComm::devicePath() const {
    std::string name = formattedDeviceName();
    if (name.find('/') != std::string::npos)
        return name;
    int com = ComPortMap::comNumber(name);
    const ComPortMap& map = portMap_ ? *portMap_ : ComPortMap::startup();
    return com > 0 ? map.pathOf(com) : std::string();
}

// --- line settings ----------------------------------------------------------------------

void TVaComm::sendLineSettings() {
    if (!isOpen() || !updateDCB_)
        return;
    const char* what = "Error writing dcb";
    const auto settings = termiosFor(line_);
    if (!settings)
        raise(what, EINVAL);
    if (int error = applyTermios(fd_, *settings))
        raise(what, error);
}

// --- open and close ---------------------------------------------------------------------

void TVaComm::open() {
    failWhenOpen();
    std::string name = formattedDeviceName();
    std::string path = devicePath();
    const std::string shown = path.empty() ? name : path;
    const std::string what = "Unable to open specified device " + shown;
    if (path.empty()) // a COM item without a device: never open a relative file "COM9"
        raise(what, ENOENT);

    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        raise(what, error, error == EACCES ? deviceAccessHint(path) : std::string());
    }
    // TIOCEXCL keeps other programs out; root is not stopped by it, but by the lock.
    if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        raise(what, error);
    }
    fd_ = fd;
    lost_ = false;
    lostError_ = 0;
    afterHangUp_.clear();
    try {
        sendLineSettings();
    } catch (...) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    if (onOpen) {
        try {
            onOpen();
        } catch (...) {
        }
    }
}

void TVaComm::close() {
    if (!isOpen())
        return;
    {
        std::lock_guard lock(readLock_);
        // The exclusive flag outlives this descriptor when another one stays open (the
        // simulator keeps its end): clear it so that the next open succeeds.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        lost_ = false;
        afterHangUp_.clear();
    }
    if (onClose) {
        try {
            onClose();
        } catch (...) {
        }
    }
}

// --- lost device ------------------------------------------------------------------------

void TVaComm::markLost(int error) {
    if (!lost_.exchange(true))
        lostError_ = error ? error : EIO;
}

// The far side is gone: whatever had arrived before is still readable once.
void TVaComm::drainAfterHangUp() {
    uint8_t chunk[4096];
    for (;;) {
        ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) {
            afterHangUp_.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || isGoneError(errno))
            markLost(n == 0 ? EIO : errno);
        return;
    }
}

void TVaComm::raiseLost(const char* what) const {
    raise(what, lostError_.load());
}

// --- reading ----------------------------------------------------------------------------

int TVaComm::inputCount() {
    if (!isOpen())
        return 0;
    std::lock_guard lock(readLock_);
    if (!afterHangUp_.empty())
        return static_cast<int>(std::min<size_t>(afterHangUp_.size(), INT32_MAX));
    if (lost_)
        raiseLost("Error retrieving statistics");
    int queued = 0;
    if (::ioctl(fd_, TIOCINQ, &queued) != 0) {
        int error = errno;
        if (!isGoneError(error))
            raise("Error retrieving statistics", error);
        drainAfterHangUp();
        markLost(error);
        if (!afterHangUp_.empty())
            return static_cast<int>(afterHangUp_.size());
        raiseLost("Error retrieving statistics");
    }
    return std::max(queued, 0);
}

int TVaComm::readBytes(uint8_t* buffer, int n) {
    if (!isOpen() || buffer == nullptr || n <= 0)
        return 0;
    std::lock_guard lock(readLock_);
    size_t want = static_cast<size_t>(n);
    size_t got = std::min(want, afterHangUp_.size());
    std::copy_n(afterHangUp_.begin(), got, buffer);
    afterHangUp_.erase(0, got);
    while (got < want && !lost_) {
        ssize_t r = ::read(fd_, buffer + got, want - got);
        if (r > 0) {
            got += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno == EAGAIN)
            break;
        if (r == 0 || isGoneError(errno)) {
            markLost(r == 0 ? EIO : errno);
            break;
        }
        raise("Read error", errno);
    }
    return static_cast<int>(got);
}

std::optional<uint8_t> TVaComm::readByte() {
    uint8_t b = 0;
    if (readBytes(&b, 1) == 1)
        return b;
    return std::nullopt;
}

void TVaComm::waitForInput(int timeoutMs) {
    if (!isOpen())
        return;
    auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    if (lost_ && afterHangUp_.empty()) {
        // Nothing more can come; sleeping keeps a caller's polling loop from spinning.
        std::this_thread::sleep_until(deadline);
        return;
    }
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        int slice = static_cast<int>(std::clamp<long long>(left.count(), 0, PollSliceMs));
        pollfd p{fd_, POLLIN, 0};
        int r = ::poll(&p, 1, slice);
        if (r < 0 && errno != EINTR)
            return;
        if (r > 0) {
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                std::lock_guard lock(readLock_);
                drainAfterHangUp();
                markLost(EIO);
            }
            return;
        }
        if (slice == 0)
            return;
    }
}

// --- writing ----------------------------------------------------------------------------

int TVaComm::outputPending() {
    if (!isOpen() || lost_)
        return 0;
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
        return 0;
    return std::max(queued, 0);
}

int TVaComm::writeBytes(const uint8_t* buffer, int n) {
    if (!isOpen() || buffer == nullptr || n <= 0)
        return 0;
    if (lost_)
        raiseLost("Write error");
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(std::max(buffers_.writeTimeout, 0));
    size_t sent = 0;
    const size_t total = static_cast<size_t>(n);
    while (sent < total) {
        const ssize_t r = ::write(fd_, buffer + sent, total - sent);
        if (r > 0) {
            sent += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN) {
            const int error = errno;
            if (isGoneError(error)) {
                markLost(error);
                raiseLost("Write error");
            }
            raise("Write error", error);
        }
        // The driver's queue is full: wait for room, but not for ever. A command cut short
        // would confuse the instrument, so the caller learns of it.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            throw EVaCommError(OutputFull);
        pollfd p{fd_, POLLOUT, 0};
        const int ready =
            ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), PollSliceMs)));
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            markLost(EIO);
            raiseLost("Write error");
        }
    }
    return n;
}

// --- purge ------------------------------------------------------------------------------

void TVaComm::purgeAll() {
    if (!isOpen())
        return;
    std::lock_guard lock(readLock_);
    afterHangUp_.clear();
    if (::tcflush(fd_, TCIOFLUSH) != 0) {
        int error = errno;
        if (isGoneError(error))
            markLost(error);
        raise("Error clearing buffers", error);
    }
}

} // namespace zarn
