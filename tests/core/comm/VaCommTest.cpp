#include "core/comm/VaComm.h"

#include "core/comm/LineTermios.h"
#include "sim/PseudoTerminal.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace zarn;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A port on the slave end of a fresh pseudo-terminal; the test plays the instrument.
class PortOnPty : public ::testing::Test {
protected:
    PortOnPty() { port.setDeviceName(pty.slavePath()); }

    termios lineOfPeer() {
        termios t{};
        EXPECT_EQ(tcgetattr(pty.masterFd(), &t), 0);
        return t;
    }

    // Waits (like the dialogue does) until n bytes are queued or 2 s pass.
    int awaitInput(int n) {
        auto end = Clock::now() + 2s;
        while (port.inputCount() < n && Clock::now() < end)
            port.waitForInput(20);
        return port.inputCount();
    }

    std::string readAll(int n) {
        std::string out(static_cast<size_t>(n), '\0');
        int got = port.readBytes(reinterpret_cast<uint8_t*>(out.data()), n);
        out.resize(static_cast<size_t>(std::max(got, 0)));
        return out;
    }

    PseudoTerminal pty;
    TVaComm port;
};

long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EVaCommError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST_F(PortOnPty, OpensRawEightNoneTwoWithoutFlowControl) {
    port.open();
    ASSERT_TRUE(port.isOpen());
    termios t = lineOfPeer();
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK));
    EXPECT_FALSE(t.c_lflag & (ECHO | ICANON | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_EQ(currentSpeed(pty.masterFd()), 9600);
}

struct SpeedCase {
    TVaBaudrate baudrate;
    int userSpeed; // used with brUser
    long expected;
};

class PortSpeed : public PortOnPty, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(PortSpeed, ReachesTheDeviceAtOpenAndWhileOpen) {
    const SpeedCase& c = GetParam();
    auto choose = [&] {
        if (c.baudrate == TVaBaudrate::brUser)
            port.setUserBaudrate(c.userSpeed);
        else
            port.setBaudrate(c.baudrate);
    };
    choose();
    port.open();
    EXPECT_EQ(currentSpeed(pty.masterFd()), c.expected);
    port.close();

    // Changed while open: sent at once.
    port.setBaudrate(TVaBaudrate::br2400);
    port.open();
    EXPECT_EQ(currentSpeed(pty.masterFd()), 2400);
    choose();
    EXPECT_EQ(currentSpeed(pty.masterFd()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Speeds, PortSpeed,
                         ::testing::Values(SpeedCase{TVaBaudrate::br115200, 0, 115200},
                                           SpeedCase{TVaBaudrate::br38400, 0, 38400},
                                           SpeedCase{TVaBaudrate::br19200, 0, 19200},
                                           SpeedCase{TVaBaudrate::br4800, 0, 4800},
                                           SpeedCase{TVaBaudrate::br14400, 0, 14400},
                                           SpeedCase{TVaBaudrate::br256000, 0, 256000},
                                           SpeedCase{TVaBaudrate::brUser, 250000, 250000}));

TEST_F(PortOnPty, LineSettingsChangedWhileOpenAreSentAtOnce) {
    port.open();
    port.setStopbits(TVaStopbits::sb1);
    EXPECT_FALSE(lineOfPeer().c_cflag & CSTOPB);
    TVaFlowControl flow;
    flow.xonXoffOut = true;
    flow.outCtsFlow = true;
    port.setFlowControl(flow);
    EXPECT_TRUE(lineOfPeer().c_iflag & IXON);
    EXPECT_TRUE(lineOfPeer().c_cflag & CRTSCTS);
    port.setFlowControl(TVaFlowControl{});
    port.setStopbits(TVaStopbits::sb2);
    termios t = lineOfPeer();
    EXPECT_FALSE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_cflag & CSTOPB);

    // A pseudo-terminal carries only 8 data bits without parity: the refusal shows that the
    // setting went to the device at once. The port stays open and usable.
    const std::string refused = "Error writing dcb (22), Invalid argument";
    EXPECT_EQ(errorOf([&] { port.setParity(TVaParity::paEven); }), refused);
    EXPECT_EQ(errorOf([&] { port.setDatabits(TVaDatabits::db4); }), refused);
    EXPECT_EQ(errorOf([&] { port.setUserBaudrate(0); }), refused);
    EXPECT_TRUE(port.isOpen());

    // Without UpdateDCB nothing is sent.
    port.close();
    port.setUpdateDCB(false);
    port.setParity(TVaParity::paNone);
    port.setDatabits(TVaDatabits::db8);
    port.setBaudrate(TVaBaudrate::br9600);
    port.open();
    EXPECT_NO_THROW(port.setParity(TVaParity::paEven));
    EXPECT_FALSE(lineOfPeer().c_cflag & PARENB);
}

TEST(TVaCommProperties, UserBaudrateAndBaudrateSwitchEachOther) {
    TVaComm port;
    EXPECT_EQ(port.portNum(), 2);
    EXPECT_EQ(port.formattedDeviceName(), "COM2");
    EXPECT_EQ(port.baudrate(), TVaBaudrate::br9600);
    port.setUserBaudrate(250000);
    EXPECT_EQ(port.baudrate(), TVaBaudrate::brUser);
    port.setBaudrate(TVaBaudrate::br2400);
    EXPECT_EQ(port.userBaudrate(), 0);
    EXPECT_EQ(speedOf(TVaBaudrate::br56000), 56000);
    EXPECT_EQ(speedOf(TVaBaudrate::br128000), 128000);
}

TEST_F(PortOnPty, SettingsThatNeedAClosedPortFailWhileOpen) {
    const std::string whileOpen = "Can't perform this operation while port is open";
    port.open();
    const std::vector<std::pair<const char*, std::function<void()>>> setters = {
        {"PortNum", [&] { port.setPortNum(3); }},
        {"DeviceName", [&] { port.setDeviceName("/dev/null"); }},
        {"DirectWrite", [&] { port.setDirectWrite(true); }},
        {"UpdateDCB", [&] { port.setUpdateDCB(false); }},
        {"Buffers", [&] { port.setBuffers(TVaBuffers{}); }},
        {"MonitorEvents", [&] { port.setMonitorEvents({}); }},
        {"Open", [&] { port.open(); }},
    };
    for (const auto& [name, set] : setters)
        EXPECT_EQ(errorOf(set), whileOpen) << name;
    EXPECT_EQ(port.deviceName(), pty.slavePath());
    EXPECT_FALSE(port.directWrite());
    EXPECT_TRUE(port.isOpen());

    port.close();
    port.close(); // closing twice is harmless
    for (const auto& [name, set] : setters) {
        if (std::string(name) != "Open" && std::string(name) != "DeviceName") {
            EXPECT_EQ(errorOf(set), "(no error)") << name;
        }
    }
}

TEST_F(PortOnPty, SecondOpenOfTheSameDeviceFailsEvenForRoot) {
    // The peer keeps a descriptor of the device open, as the simulator does; that keeps the
    // device's exclusive flag alive after a close unless the port clears it.
    pty.holdSlave();
    port.open();
    TVaComm other;
    other.setDeviceName(pty.slavePath());
    EXPECT_EQ(errorOf([&] { other.open(); }), "Unable to open specified device " + pty.slavePath() +
                                                  " (16), Device or resource busy");
    EXPECT_FALSE(other.isOpen());

    // Once closed, the device is free again.
    port.close();
    other.open();
    EXPECT_TRUE(other.isOpen());
    other.close();
    port.open();
    EXPECT_TRUE(port.isOpen());
}

TEST(TVaCommOpen, MissingDevicesGiveTheOpenErrorAndStayClosed) {
    TVaComm port;
    port.setPortMap(ComPortMap{}); // no devices at all
    port.setPortNum(9);
    EXPECT_EQ(errorOf([&] { port.open(); }),
              "Unable to open specified device COM9 (2), No such file or directory");
    EXPECT_FALSE(port.isOpen());

    port.setDeviceName("/dev/zarn-no-such-tty");
    EXPECT_EQ(errorOf([&] { port.open(); }),
              "Unable to open specified device /dev/zarn-no-such-tty (2), No such file or "
              "directory");
    EXPECT_FALSE(port.isOpen());

    // Closed ports answer quietly.
    uint8_t b = 0;
    EXPECT_EQ(port.inputCount(), 0);
    EXPECT_EQ(port.outputPending(), 0);
    EXPECT_EQ(port.readBytes(&b, 1), 0);
    EXPECT_EQ(port.writeBytes(&b, 1), 0);
    EXPECT_NO_THROW(port.purgeAll());
}

TEST(TVaCommOpen, ComItemsGoThroughThePortMap) {
    PseudoTerminal pty;
    ComPortMap map;
    map.set(3, pty.slavePath());
    TVaComm port;
    port.setPortMap(map);
    port.setPortNum(3);
    EXPECT_EQ(port.devicePath(), pty.slavePath());
    port.open();
    port.writeBytes("MNU");
    EXPECT_EQ(pty.readExactly(3, 2000), "MNU");
}

TEST(TVaCommOpen, NonTerminalIsRefused) {
    TVaComm port;
    port.setDeviceName("/dev/null");
    std::string error = errorOf([&] { port.open(); });
    EXPECT_EQ(error,
              "Unable to open specified device /dev/null (25), Inappropriate ioctl for device");
    EXPECT_FALSE(port.isOpen());
}

class PortTransfer : public PortOnPty, public ::testing::WithParamInterface<bool> {};

TEST_P(PortTransfer, BytesPassBothWaysUnchanged) {
    port.setDirectWrite(GetParam());
    port.open();

    // Every byte value, CR, LF, NUL and XON/XOFF included, in a block bigger than the
    // driver's queue.
    std::string out;
    for (int i = 0; i < 5000; ++i)
        out.push_back(static_cast<char>((i * 7) & 0xFF));
    EXPECT_EQ(port.writeBytes(out), 5000);
    EXPECT_EQ(pty.readExactly(out.size(), 3000), out);
    auto end = Clock::now() + 2s;
    while (port.outputPending() > 0 && Clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(port.outputPending(), 0);

    // Reads never wait: nothing queued gives 0 at once.
    uint8_t b = 0;
    auto start = Clock::now();
    EXPECT_EQ(port.readBytes(&b, 1), 0);
    EXPECT_FALSE(port.readByte().has_value());
    EXPECT_LT(msSince(start), 50);

    const std::string in("SER\x01\x00\r\n\x11\x13\xFF", 10);
    ASSERT_EQ(pty.write(in), in.size());
    ASSERT_EQ(awaitInput(10), 10);
    EXPECT_EQ(readAll(4), in.substr(0, 4));
    EXPECT_EQ(port.readByte(), std::optional<uint8_t>(0));
    EXPECT_EQ(readAll(100), in.substr(5)); // asks for more than is there: gets what is there
    EXPECT_EQ(port.inputCount(), 0);
}

// DirectWrite is kept as a setting; every write is direct either way.
INSTANTIATE_TEST_SUITE_P(DirectWriteSetting, PortTransfer, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

TEST_F(PortOnPty, FullOutputBufferTimesOutWithItsMessage) {
    TVaBuffers buffers;
    buffers.writeTimeout = 100;
    port.setBuffers(buffers);
    port.open();
    // Nobody reads the far end: the driver's queue fills.
    const std::string block(1000, 'x');
    std::string error;
    for (int i = 0; i < 2000 && error.empty(); ++i) {
        try {
            port.writeBytes(block);
        } catch (const EVaCommError& e) {
            error = e.what();
        }
    }
    EXPECT_EQ(error, "Output buffer is full. Please check comm status.");

    // Purge lets go of everything that waited, here and in the driver.
    port.purgeAll();
    EXPECT_EQ(port.outputPending(), 0);
    EXPECT_EQ(port.writeBytes("MRD"), 3);
    std::string seen = pty.readSome(1000);
    while (seen.size() < 3 || seen.substr(seen.size() - 3) != "MRD") {
        std::string more = pty.readSome(1000);
        if (more.empty())
            break;
        seen += more;
    }
    EXPECT_EQ(seen.substr(seen.size() - 3), "MRD");
}

TEST_F(PortOnPty, PurgeAllDiscardsWaitingInput) {
    port.open();
    pty.write("stale bytes");
    ASSERT_EQ(awaitInput(11), 11);
    port.purgeAll();
    EXPECT_EQ(port.inputCount(), 0);
    pty.write("SER");
    ASSERT_EQ(awaitInput(3), 3);
    EXPECT_EQ(readAll(3), "SER");
}

TEST_F(PortOnPty, WaitForInputWakesOnDataAndOtherwiseTimesOut) {
    port.open();
    auto start = Clock::now();
    port.waitForInput(150);
    long idle = msSince(start);
    EXPECT_GE(idle, 140);
    EXPECT_LT(idle, 1000);

    std::thread peer([&] {
        std::this_thread::sleep_for(100ms);
        pty.write("S");
    });
    start = Clock::now();
    port.waitForInput(3000);
    long woke = msSince(start);
    peer.join();
    EXPECT_LT(woke, 1500);
    EXPECT_EQ(port.inputCount(), 1);
}

class PeerHangUp : public PortOnPty, public ::testing::WithParamInterface<std::string> {};

TEST_P(PeerHangUp, IsALostDeviceThatNeverHangs) {
    const std::string arrived = GetParam();
    port.open();
    if (!arrived.empty()) {
        pty.write(arrived);
        ASSERT_EQ(awaitInput(static_cast<int>(arrived.size())), static_cast<int>(arrived.size()));
    }
    pty.hangUp();

    auto start = Clock::now();
    port.waitForInput(2000); // wakes because the device went away
    EXPECT_LT(msSince(start), 1000);
    EXPECT_TRUE(port.deviceLost());

    // Bytes that had arrived can be read once if the driver kept them (a pseudo-terminal
    // discards them on hang-up); then every operation fails or gives nothing.
    if (!arrived.empty()) {
        std::string kept = readAll(100);
        EXPECT_EQ(kept, arrived.substr(0, kept.size()));
    }
    EXPECT_EQ(readAll(10), "");
    EXPECT_EQ(errorOf([&] { port.inputCount(); }),
              "Error retrieving statistics (5), Input/output error");
    EXPECT_EQ(errorOf([&] { port.writeBytes("MEX"); }), "Write error (5), Input/output error");
    EXPECT_NE(errorOf([&] { port.purgeAll(); }), "(no error)");

    // A later wait sleeps its time instead of returning at once (callers poll in a loop).
    start = Clock::now();
    port.waitForInput(60);
    EXPECT_GE(msSince(start), 50);

    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.deviceLost());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutBytesInFlight, PeerHangUp,
                         ::testing::Values(std::string(), std::string("SRE\x05", 4)),
                         [](const auto& info) { return info.param.empty() ? "Idle" : "Data"; });

TEST_F(PortOnPty, LostWhileWriting) {
    port.open();
    pty.hangUp();
    // The write finds the device gone and says so.
    std::string error;
    auto start = Clock::now();
    for (int i = 0; i < 100 && error.empty(); ++i) {
        error = errorOf([&] { port.writeBytes("MRE"); });
        if (error == "(no error)")
            error.clear();
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(error, "Write error (5), Input/output error");
    EXPECT_LT(msSince(start), 2000);
    EXPECT_EQ(port.outputPending(), 0);
}

TEST(TVaCommOpen, AccessHintNamesTheDevicesGroup) {
    std::string path =
        (std::filesystem::temp_directory_path() / ("zarn-hint-" + std::to_string(::getpid())))
            .string();
    std::ofstream(path) << "";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const group* g = ::getgrgid(st.st_gid);
    const std::string name = g ? g->gr_name : std::to_string(st.st_gid);
    const std::string hint = deviceAccessHint(path);
    EXPECT_NE(hint.find(path), std::string::npos) << hint;
    EXPECT_NE(hint.find("group \"" + name + "\""), std::string::npos) << hint;
    EXPECT_NE(hint.find("usermod -aG " + name), std::string::npos) << hint;
    std::filesystem::remove(path);
    EXPECT_EQ(deviceAccessHint(path), "");

    // Where the system refuses the open, the error carries the hint (not as root: root is
    // never refused).
    if (::geteuid() != 0) {
        std::ofstream(path) << "";
        ::chmod(path.c_str(), 0);
        TVaComm port;
        port.setDeviceName(path);
        try {
            port.open();
            ADD_FAILURE() << "opened";
        } catch (const EVaCommError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to open specified device " + path + " (13), Permission denied");
            EXPECT_EQ(e.hint(), deviceAccessHint(path));
        }
        std::filesystem::remove(path);
    }
}
