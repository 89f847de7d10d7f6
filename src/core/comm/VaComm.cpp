#include "core/comm/VaComm.h"

#include "core/comm/TermiosSpeed.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace zarn {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PollSliceMs = 20;   // longest sleep between two looks at the port's state
constexpr int FlushWaitMs = 2000; // purge waits this long for the writer to let go
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

std::string deviceAccessHint(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    std::string group = std::to_string(st.st_gid);
    for (size_t size = 4096; size <= 1 << 20; size *= 4) {
        std::vector<char> buf(size);
        struct group entry {};
        struct group* found = nullptr;
        int r = ::getgrgid_r(st.st_gid, &entry, buf.data(), buf.size(), &found);
        if (r == ERANGE)
            continue;
        if (r == 0 && found != nullptr && found->gr_name != nullptr)
            group = found->gr_name;
        break;
    }
    return "On Linux, access to " + path + " is given to the members of the group \"" + group +
           "\". Add your user to it (sudo usermod -aG " + group +
           " $USER), then log out and in again.";
}

namespace {

speed_t standardCode(int speed) {
    switch (speed) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

// Sets (on) or clears a modem line. Pseudo-terminals and some adapters have none: fine.
int setModemLine(int fd, int line, bool on) {
    int bits = line;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return 0;
    return (errno == ENOTTY || errno == EINVAL) ? 0 : errno;
}

} // namespace

int speedOf(TVaBaudrate baudrate) {
    switch (baudrate) {
    case TVaBaudrate::brUser:
        return 0;
    case TVaBaudrate::br110:
        return 110;
    case TVaBaudrate::br300:
        return 300;
    case TVaBaudrate::br600:
        return 600;
    case TVaBaudrate::br1200:
        return 1200;
    case TVaBaudrate::br2400:
        return 2400;
    case TVaBaudrate::br4800:
        return 4800;
    case TVaBaudrate::br9600:
        return 9600;
    case TVaBaudrate::br14400:
        return 14400;
    case TVaBaudrate::br19200:
        return 19200;
    case TVaBaudrate::br38400:
        return 38400;
    case TVaBaudrate::br56000:
        return 56000;
    case TVaBaudrate::br57600:
        return 57600;
    case TVaBaudrate::br115200:
        return 115200;
    case TVaBaudrate::br128000:
        return 128000;
    case TVaBaudrate::br256000:
        return 256000;
    }
    return 0;
}

TVaCommEvents commEvents(std::initializer_list<TVaCommEvent> events) {
    TVaCommEvents set;
    for (auto e : events)
        set.set(static_cast<size_t>(e));
    return set;
}

TVaComm::TVaComm()
    : monitorEvents_(commEvents({TVaCommEvent::ceRxChar, TVaCommEvent::ceTxEmpty})) {}

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

void TVaComm::setBaudrate(TVaBaudrate baudrate) {
    baudrate_ = baudrate;
    if (baudrate != TVaBaudrate::brUser)
        userBaudrate_ = 0;
    lineSettingChanged();
}

void TVaComm::setUserBaudrate(int speed) {
    userBaudrate_ = speed;
    baudrate_ = TVaBaudrate::brUser;
    lineSettingChanged();
}

void TVaComm::setParity(TVaParity parity) {
    parity_ = parity;
    lineSettingChanged();
}

void TVaComm::setParityCheck(bool on) {
    parityCheck_ = on;
    lineSettingChanged();
}

void TVaComm::setDatabits(TVaDatabits databits) {
    databits_ = databits;
    lineSettingChanged();
}

void TVaComm::setStopbits(TVaStopbits stopbits) {
    stopbits_ = stopbits;
    lineSettingChanged();
}

void TVaComm::setFlowControl(const TVaFlowControl& flowControl) {
    flowControl_ = flowControl;
    lineSettingChanged();
}

void TVaComm::setEventChars(const TVaEventChars& eventChars) {
    eventChars_ = eventChars;
    lineSettingChanged();
}

void TVaComm::setOptions(TVaCommOptions options) {
    options_ = options;
    lineSettingChanged();
}

void TVaComm::setBuffers(const TVaBuffers& buffers) {
    failWhenOpen();
    buffers_ = buffers;
}

void TVaComm::setMonitorEvents(TVaCommEvents events) {
    failWhenOpen();
    monitorEvents_ = events;
}

void TVaComm::setDirectWrite(bool on) {
    failWhenOpen();
    directWrite_ = on;
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

void TVaComm::lineSettingChanged() {
    if (isOpen() && updateDCB_)
        sendLineSettings();
}

void TVaComm::sendLineSettings() {
    if (!isOpen() || !updateDCB_)
        return;
    const char* what = "Error writing dcb";
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        raise(what, errno);
    ::cfmakeraw(&t);

    t.c_cflag &=
        ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CLOCAL | CREAD;
    switch (databits_) {
    case TVaDatabits::db4:
        raise(what, EINVAL); // no terminal device sends 4-bit bytes
    case TVaDatabits::db5:
        t.c_cflag |= CS5;
        break;
    case TVaDatabits::db6:
        t.c_cflag |= CS6;
        break;
    case TVaDatabits::db7:
        t.c_cflag |= CS7;
        break;
    case TVaDatabits::db8:
        t.c_cflag |= CS8;
        break;
    }
    switch (parity_) {
    case TVaParity::paNone:
        break;
    case TVaParity::paOdd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case TVaParity::paEven:
        t.c_cflag |= PARENB;
        break;
    case TVaParity::paMark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case TVaParity::paSpace:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // One and a half stop bits exist only with 5 data bits, where UARTs send them for CSTOPB.
    if (stopbits_ != TVaStopbits::sb1)
        t.c_cflag |= CSTOPB;
    if (flowControl_.outCtsFlow || flowControl_.controlRts == TVaControlRts::rtsHandshake)
        t.c_cflag |= CRTSCTS;

    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    if (parityCheck_)
        t.c_iflag |= INPCK;
    if (flowControl_.xonXoffOut)
        t.c_iflag |= IXON;
    if (flowControl_.xonXoffIn)
        t.c_iflag |= IXOFF;
    if (flowControl_.txContinueOnXoff)
        t.c_iflag |= IXANY;
    t.c_cc[VSTART] = eventChars_.xonChar;
    t.c_cc[VSTOP] = eventChars_.xoffChar;
    // With O_NONBLOCK a read returns what is queued or EAGAIN; VMIN = 1 keeps a read of 0
    // for end of file (a vanished device) instead of "nothing yet".
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    int speed = baudrate_ == TVaBaudrate::brUser ? userBaudrate_ : speedOf(baudrate_);
    if (speed <= 0)
        raise(what, EINVAL);
    speed_t code = standardCode(speed);
    if (code != B0) {
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        raise(what, errno);
    if (code == B0) {
        if (int error = termios_speed::setArbitrary(fd_, speed))
            raise(what, error);
    }

    bool dtr = flowControl_.controlDtr != TVaControlDtr::dtrDisabled;
    bool rts = flowControl_.controlRts == TVaControlRts::rtsEnabled ||
               flowControl_.controlRts == TVaControlRts::rtsHandshake;
    if (int error = setModemLine(fd_, TIOCM_DTR, dtr))
        raise(what, error);
    if (int error = setModemLine(fd_, TIOCM_RTS, rts))
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
    openedPath_ = path;
    lost_ = false;
    lostError_ = 0;
    afterHangUp_.clear();
    try {
        sendLineSettings();
        // Driver queue sizes, time-outs and the event mask have no counterpart here: the
        // queues are the driver's own and reads never wait (non-blocking descriptor).
        if (!directWrite_)
            startWriter();
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
        stopWriter();
        // The exclusive flag outlives this descriptor when another one stays open (the
        // simulator keeps its end): clear it so that the next open succeeds.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        lost_ = false;
        afterHangUp_.clear();
        std::lock_guard bufferLock(bufferLock_);
        buffer_.clear();
    }
    if (onClose)
        onClose();
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
    if (!isOpen())
        return 0;
    if (directWrite_) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
            return 0;
        return std::max(queued, 0);
    }
    std::lock_guard lock(bufferLock_);
    return static_cast<int>(buffer_.size());
}

int TVaComm::writeBytes(const uint8_t* buffer, int n) {
    if (!isOpen() || buffer == nullptr || n <= 0)
        return 0;
    if (lost_)
        raiseLost("Write error");
    if (directWrite_)
        return directWriteBytes(buffer, n);

    // A block larger than the writer's buffer goes in pieces, each waiting for room.
    const size_t capacity = static_cast<size_t>(std::max(buffers_.writeSize, 1));
    size_t done = 0;
    const size_t total = static_cast<size_t>(n);
    while (done < total) {
        size_t piece = std::min(capacity, total - done);
        std::unique_lock lock(bufferLock_);
        auto limit = std::chrono::milliseconds(std::max(buffers_.writeTimeout, 0));
        bool room = bufferChanged_.wait_for(
            lock, limit, [&] { return buffer_.size() + piece <= capacity || lost_; });
        if (lost_) {
            lock.unlock();
            raiseLost("Write error");
        }
        if (!room)
            throw EVaCommError(OutputFull);
        buffer_.insert(buffer_.end(), buffer + done, buffer + done + piece);
        done += piece;
        lock.unlock();
        bufferChanged_.notify_all(); // data waiting
    }
    return n;
}

int TVaComm::directWriteBytes(const uint8_t* buffer, int n) {
    std::lock_guard lock(bufferLock_);
    auto deadline = Clock::now() + std::chrono::milliseconds(std::max(buffers_.readTimeout, 0));
    size_t sent = 0;
    const size_t total = static_cast<size_t>(n);
    while (sent < total) {
        ssize_t r = ::write(fd_, buffer + sent, total - sent);
        if (r > 0) {
            sent += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN) {
            int error = errno;
            if (isGoneError(error))
                markLost(error);
            raise("Write error", error);
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), PollSliceMs)));
    }
    return static_cast<int>(sent);
}

void TVaComm::startWriter() {
    {
        std::lock_guard lock(bufferLock_);
        buffer_.clear();
        buffer_.reserve(static_cast<size_t>(std::max(buffers_.writeSize, 1)));
        flushDone_ = false;
    }
    terminate_ = false;
    flushRequest_ = false;
    writer_ = std::thread([this] { writerLoop(); });
}

void TVaComm::stopWriter() {
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(bufferLock_);
        terminate_ = true;
    }
    bufferChanged_.notify_all();
    writer_.join();
}

void TVaComm::writerLoop() {
    std::unique_lock lock(bufferLock_);
    for (;;) {
        bufferChanged_.wait(
            lock, [&] { return terminate_ || flushRequest_ || (!buffer_.empty() && !lost_); });
        if (terminate_)
            return;
        if (flushRequest_) {
            flushRequest_ = false;
            flushDone_ = true;
            lock.unlock();
            bufferChanged_.notify_all();
            lock.lock();
            continue;
        }
        std::vector<uint8_t> chunk(buffer_.begin(), buffer_.end());
        uint64_t generation = bufferGeneration_;
        lock.unlock();
        size_t written = writeToDriver(chunk.data(), chunk.size());
        lock.lock();
        if (generation == bufferGeneration_)
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(written));
        if (lost_)
            buffer_.clear(); // nothing will ever take these bytes
        lock.unlock();
        bufferChanged_.notify_all(); // room for waiting writes
        lock.lock();
    }
}

size_t TVaComm::writeToDriver(const uint8_t* data, size_t n) {
    size_t sent = 0;
    while (sent < n && !terminate_ && !flushRequest_) {
        ssize_t r = ::write(fd_, data + sent, n - sent);
        if (r > 0) {
            sent += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN) {
            // A line error: the device is gone or refuses bytes; either way they are lost.
            markLost(isGoneError(errno) ? errno : EIO);
            return sent;
        }
        pollfd p{fd_, POLLOUT, 0};
        int ready = ::poll(&p, 1, PollSliceMs);
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            markLost(EIO);
            return sent;
        }
    }
    return sent;
}

// --- purge ------------------------------------------------------------------------------

void TVaComm::purgeAll() {
    if (!isOpen())
        return;
    std::lock_guard lock(readLock_);
    if (writer_.joinable()) {
        std::unique_lock bufferLock(bufferLock_);
        flushDone_ = false;
        flushRequest_ = true;
        bufferChanged_.notify_all();
        bool answered = bufferChanged_.wait_for(bufferLock, std::chrono::milliseconds(FlushWaitMs),
                                                [&] { return flushDone_; });
        if (answered) {
            buffer_.clear();
            ++bufferGeneration_;
        }
        flushRequest_ = false;
        bufferLock.unlock();
        bufferChanged_.notify_all();
    }
    afterHangUp_.clear();
    if (::tcflush(fd_, TCIOFLUSH) != 0) {
        int error = errno;
        if (isGoneError(error))
            markLost(error);
        raise("Error clearing buffers", error);
    }
}

} // namespace zarn
