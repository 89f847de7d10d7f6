#include "sim/SimulatorLink.h"

#include "core/comm/LineTermios.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace zarn {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

timespec toTimespec(std::chrono::steady_clock::duration d) {
    if (d < std::chrono::steady_clock::duration::zero())
        d = std::chrono::steady_clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

} // namespace

SimulatorLink::SimulatorLink(InstrumentSimulator simulator, SimulatorPacing pacing,
                             const std::string& logPath)
    : simulator_(std::move(simulator)), pacing_(pacing) {
    if (!logPath.empty()) {
        log_.open(logPath, std::ios::out | std::ios::trunc);
        if (!log_)
            throw std::runtime_error("cannot write the log file " + logPath);
    }
    pty_.holdSlave();
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw systemError("pipe");
    thread_ = std::thread([this] { serve(); });
}

SimulatorLink::~SimulatorLink() {
    stop();
    closeFd(wake_[0]);
    closeFd(wake_[1]);
}

void SimulatorLink::stop() {
    if (!stopping_.exchange(true)) {
        const char b = 1;
        [[maybe_unused]] auto n = ::write(wake_[1], &b, 1);
    }
    if (thread_.joinable())
        thread_.join();
    pty_.hangUp();
}

bool SimulatorLink::waitTransferEnded(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, timeout, [this] { return transferEnded_ || hungUp_.load(); });
}

std::vector<std::string> SimulatorLink::commandLog() const {
    std::lock_guard lock(mutex_);
    return simulator_.commandLog();
}

bool SimulatorLink::pauseFor(std::chrono::steady_clock::duration d) {
    pollfd p{wake_[0], POLLIN, 0};
    const timespec ts = toTimespec(d);
    ::ppoll(&p, 1, &ts, nullptr);
    return !stopping_;
}

bool SimulatorLink::writeSome(const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(pty_.masterFd(), data, n);
        if (w > 0) {
            data += w;
            n -= static_cast<size_t>(w);
            bytesSent_ += static_cast<uint64_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return false;
        pollfd p[2] = {{pty_.masterFd(), POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        ::poll(p, 2, 100);
        if (stopping_)
            return false;
    }
    return true;
}

bool SimulatorLink::send(const std::string& bytes) {
    using clock = std::chrono::steady_clock;
    if (pacing_.slowMs > 0) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && !pauseFor(std::chrono::milliseconds(pacing_.slowMs)))
                return false;
            if (!writeSome(&bytes[i], 1))
                return false;
        }
        return true;
    }
    if (pacing_.baud <= 0)
        return writeSome(bytes.data(), bytes.size());
    // Each byte occupies the line for 11 bit times; bytes are handed over when the last bit
    // of their chunk would have arrived. Chunks of up to 16 ms keep the wake-ups (and the
    // scheduling delays that come with each) few; a short frame goes in one piece.
    const auto byteTime = std::chrono::duration<double>(11.0 / pacing_.baud);
    const size_t chunk = std::max<size_t>(1, static_cast<size_t>(pacing_.baud * 16 / 11000));
    const auto start = std::max(clock::now(), lineFree_);
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t n = std::min(chunk, bytes.size() - done);
        const auto due =
            start + std::chrono::duration_cast<clock::duration>(byteTime * double(done + n));
        const auto now = clock::now();
        if (due > now && !pauseFor(due - now))
            return false;
        if (!writeSome(bytes.data() + done, n))
            return false;
        done += n;
        lineFree_ = due;
    }
    return true;
}

void SimulatorLink::hangUp() {
    // As an unplugged cable: the program's side sees the line go away.
    pty_.hangUp();
    hungUp_ = true;
    std::lock_guard lock(mutex_);
    ended_.notify_all();
}

void SimulatorLink::serve() {
    // Pacing sleeps are short; the default timer slack (50 us) would stretch every one.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    char buffer[4096];
    while (!stopping_) {
        pollfd p[2] = {{pty_.masterFd(), POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0 && errno != EINTR)
            return;
        if (stopping_)
            return;
        if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::read(pty_.masterFd(), buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            // With the slave held open this does not happen; avoid spinning if it does.
            pauseFor(std::chrono::milliseconds(20));
            continue;
        }
        bytesReceived_ += static_cast<uint64_t>(n);
        // An instrument set to one speed hears only noise from a PC at another.
        if (pacing_.baud > 0 && currentSpeed(pty_.masterFd()) != pacing_.baud)
            continue;
        InstrumentSimulator::Reply reply;
        {
            std::lock_guard lock(mutex_);
            reply = simulator_.receive(std::string_view(buffer, static_cast<size_t>(n)));
            const auto& log = simulator_.commandLog();
            if (log_.is_open()) {
                for (; logged_ < log.size(); ++logged_)
                    log_ << log[logged_] << '\n';
                log_.flush();
            }
        }
        if (!reply.bytes.empty() && !send(reply.bytes))
            return;
        if (reply.hangup) {
            hangUp();
            return;
        }
        if (reply.transferEnded) {
            std::lock_guard lock(mutex_);
            transferEnded_ = true;
            ended_.notify_all();
        }
    }
}

} // namespace zarn
