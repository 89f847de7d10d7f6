#include "core/comm/LineTermios.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace zarn {

namespace {

// Sets (on) or clears a modem line. Pseudo-terminals and some adapters have none: fine.
int setModemLine(int fd, int line, bool on) {
    int bits = line;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return 0;
    return (errno == ENOTTY || errno == EINVAL) ? 0 : errno;
}

} // namespace

std::optional<LineTermios> termiosFor(const LineSettings& line) {
    const int speed = line.speed();
    if (speed <= 0 || line.databits == TVaDatabits::db4)
        return std::nullopt;
    LineTermios t;
    t.speed = static_cast<uint32_t>(speed);
    t.cflag = CLOCAL | CREAD;
    switch (line.databits) {
    case TVaDatabits::db4: // refused above: no terminal device sends 4-bit bytes
    case TVaDatabits::db5:
        t.cflag |= CS5;
        break;
    case TVaDatabits::db6:
        t.cflag |= CS6;
        break;
    case TVaDatabits::db7:
        t.cflag |= CS7;
        break;
    case TVaDatabits::db8:
        t.cflag |= CS8;
        break;
    }
    switch (line.parity) {
    case TVaParity::paNone:
        break;
    case TVaParity::paOdd:
        t.cflag |= PARENB | PARODD;
        break;
    case TVaParity::paEven:
        t.cflag |= PARENB;
        break;
    case TVaParity::paMark:
        t.cflag |= PARENB | CMSPAR | PARODD;
        break;
    case TVaParity::paSpace:
        t.cflag |= PARENB | CMSPAR;
        break;
    }
    // One and a half stop bits exist only with 5 data bits, where UARTs send them for CSTOPB.
    if (line.stopbits != TVaStopbits::sb1)
        t.cflag |= CSTOPB;
    const TVaFlowControl& flow = line.flowControl;
    if (flow.outCtsFlow || flow.controlRts == TVaControlRts::rtsHandshake)
        t.cflag |= CRTSCTS;
    if (line.parityCheck)
        t.iflag |= INPCK;
    if (flow.xonXoffOut)
        t.iflag |= IXON;
    if (flow.xonXoffIn)
        t.iflag |= IXOFF;
    if (flow.txContinueOnXoff)
        t.iflag |= IXANY;
    t.vstart = flow.xonChar;
    t.vstop = flow.xoffChar;
    t.dtr = flow.controlDtr != TVaControlDtr::dtrDisabled;
    t.rts = flow.controlRts == TVaControlRts::rtsEnabled ||
            flow.controlRts == TVaControlRts::rtsHandshake;
    return t;
}

int applyTermios(int fd, const LineTermios& settings) {
    struct termios2 k {};
    k.c_iflag = settings.iflag;
    k.c_oflag = settings.oflag;
    k.c_cflag = settings.cflag | BOTHER | (BOTHER << IBSHIFT);
    k.c_lflag = settings.lflag;
    k.c_cc[VMIN] = settings.vmin;
    k.c_cc[VTIME] = settings.vtime;
    k.c_cc[VSTART] = settings.vstart;
    k.c_cc[VSTOP] = settings.vstop;
    k.c_ispeed = settings.speed;
    k.c_ospeed = settings.speed;
    if (::ioctl(fd, TCSETS2, &k) != 0)
        return errno;
    // A driver keeps what it cannot do (a pseudo-terminal has no parity) and says nothing; a
    // line that runs other than asked is refused here.
    constexpr tcflag_t Framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    struct termios2 now {};
    if (::ioctl(fd, TCGETS2, &now) != 0)
        return errno;
    if ((now.c_cflag & Framing) != (k.c_cflag & Framing))
        return EINVAL;
    if (int error = setModemLine(fd, TIOCM_DTR, settings.dtr))
        return error;
    return setModemLine(fd, TIOCM_RTS, settings.rts);
}

long currentSpeed(int fd) {
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return -1;
    return static_cast<long>(t.c_ospeed);
}

} // namespace zarn
