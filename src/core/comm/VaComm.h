// TVaComm: the serial port the program opens for each instrument command.
//
// On Linux the port is a terminal device in raw mode. Open takes it for exclusive use (TIOCEXCL
// keeps other programs out, flock() also keeps out root and a second TVaComm), sets the line
// (8 data bits, no parity, 2 stop bits, no flow control, DTR and RTS inactive in the program's
// use) and starts the writer thread, which hands queued bytes to the driver so that a write
// never blocks the caller. Reads only take what is already queued.
//
// A device that vanishes while open (USB adapter pulled, pseudo-terminal peer gone) is a lost
// device: bytes that had arrived can still be read, then every operation fails or returns
// nothing at once; nothing waits on it.
//
// Not carried over from the Windows component: the reader thread (nothing consumes its
// notifications; reception works by polling inputCount) and the driver queue sizes, which a
// terminal device does not let the program choose.
#pragma once

#include "core/comm/PortNames.h"
#include "core/comm/SerialPort.h"

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zarn {

enum class TVaBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
// Bits per second of a baud-rate value; 0 for brUser.
int speedOf(TVaBaudrate baudrate);

enum class TVaParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TVaDatabits { db4, db5, db6, db7, db8 };
enum class TVaStopbits { sb1, sb15, sb2 };
enum class TVaControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TVaControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

struct TVaFlowControl {
    bool outCtsFlow = false;
    bool outDsrFlow = false;
    TVaControlDtr controlDtr = TVaControlDtr::dtrDisabled;
    TVaControlRts controlRts = TVaControlRts::rtsDisabled;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    bool operator==(const TVaFlowControl&) const = default;
};

struct TVaBuffers {
    int readSize = 30000;
    int writeSize = 2048;    // capacity of the writer's buffer
    int readTimeout = 1000;  // ms; also the limit of a direct write
    int writeTimeout = 1000; // ms a write waits for room in the writer's buffer
    bool operator==(const TVaBuffers&) const = default;
};

struct TVaEventChars {
    uint8_t xonChar = 17;
    uint8_t xoffChar = 19;
    uint8_t errorChar = 0;
    uint8_t eventChar = 0;
    uint8_t eofChar = 0;
    bool operator==(const TVaEventChars&) const = default;
};

enum class TVaCommEvent {
    ceBreak,
    ceCts,
    ceDsr,
    ceError,
    ceRing,
    ceRlsd,
    ceRxChar,
    ceTxEmpty,
    ceRxFlag,
    cePErr,
    ceRx80Full,
    ceEvent1,
    ceEvent2
};
using TVaCommEvents = std::bitset<13>;
TVaCommEvents commEvents(std::initializer_list<TVaCommEvent> events);

struct TVaCommOptions {
    bool errorChar = false; // coErrorChar
    bool nullStrip = false; // coNullStrip
    bool operator==(const TVaCommOptions&) const = default;
};

// How to get access to a device that refused it: named from the group that owns the device
// (usually dialout). Empty when the device cannot be examined.
std::string deviceAccessHint(const std::string& path);

class TVaComm : public SerialPort {
public:
    TVaComm();
    ~TVaComm() override;
    TVaComm(const TVaComm&) = delete;
    TVaComm& operator=(const TVaComm&) = delete;

    // --- properties --------------------------------------------------------------------
    // Changing one of these while open fails with "Can't perform this operation while port
    // is open": portNum, deviceName, directWrite, updateDCB, buffers, monitorEvents.
    // The line settings may change while open and then reach the device at once.
    int portNum() const { return portNum_; }
    void setPortNum(int portNum);
    // Format of the device name: "%d" stands for portNum. "COM<n>" names go through the
    // port map; a name with a '/' is a device path.
    const std::string& deviceName() const { return deviceName_; }
    void setDeviceName(std::string format);
    TVaBaudrate baudrate() const { return baudrate_; }
    void setBaudrate(TVaBaudrate baudrate);
    int userBaudrate() const { return userBaudrate_; }
    void setUserBaudrate(int speed);
    TVaParity parity() const { return parity_; }
    void setParity(TVaParity parity);
    bool parityCheck() const { return parityCheck_; }
    void setParityCheck(bool on);
    TVaDatabits databits() const { return databits_; }
    void setDatabits(TVaDatabits databits);
    TVaStopbits stopbits() const { return stopbits_; }
    void setStopbits(TVaStopbits stopbits);
    const TVaFlowControl& flowControl() const { return flowControl_; }
    void setFlowControl(const TVaFlowControl& flowControl);
    const TVaEventChars& eventChars() const { return eventChars_; }
    void setEventChars(const TVaEventChars& eventChars);
    TVaCommOptions options() const { return options_; }
    void setOptions(TVaCommOptions options);
    const TVaBuffers& buffers() const { return buffers_; }
    void setBuffers(const TVaBuffers& buffers);
    TVaCommEvents monitorEvents() const { return monitorEvents_; }
    void setMonitorEvents(TVaCommEvents events);
    bool directWrite() const { return directWrite_; }
    void setDirectWrite(bool on);
    bool updateDCB() const { return updateDCB_; }
    void setUpdateDCB(bool on);

    // Where COM<n> names lead; without one, the devices present at start-up.
    void setPortMap(ComPortMap map) { portMap_ = std::move(map); }
    // The device name with the port number filled in ("COM3" or a path).
    std::string formattedDeviceName() const;
    // The path open() uses ("" for a COM item without a device).
    std::string devicePath() const;

    std::function<void()> onOpen;
    std::function<void()> onClose;

    // --- operations --------------------------------------------------------------------
    void open();
    void close();
    bool isOpen() const { return fd_ >= 0; }
    bool active() const override { return isOpen(); }
    // True once the open device has vanished; cleared by close().
    bool deviceLost() const override { return lost_.load(); }

    int inputCount() override;
    int outputPending() override;
    int readBytes(uint8_t* buffer, int n) override;
    std::optional<uint8_t> readByte();
    int writeBytes(const uint8_t* buffer, int n) override;
    int writeBytes(std::string_view bytes) {
        return writeBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                          static_cast<int>(bytes.size()));
    }
    void purgeAll() override;
    void waitForInput(int timeoutMs) override;

private:
    void failWhenOpen() const;
    void sendLineSettings();   // when open and updateDCB
    void lineSettingChanged(); // re-sends while open
    void startWriter();
    void stopWriter();
    void writerLoop();
    // Hands bytes to the driver; stops early on terminate, flush request or a write error.
    size_t writeToDriver(const uint8_t* data, size_t n);
    int directWriteBytes(const uint8_t* buffer, int n);
    // Called when the device turned out to be gone: keeps what was still queued.
    void markLost(int error);
    void drainAfterHangUp();
    [[noreturn]] void raiseLost(const char* format) const;

    // Properties.
    int portNum_ = 2;
    std::string deviceName_ = "COM%d";
    TVaBaudrate baudrate_ = TVaBaudrate::br9600;
    int userBaudrate_ = 0;
    TVaParity parity_ = TVaParity::paNone;
    bool parityCheck_ = false;
    TVaDatabits databits_ = TVaDatabits::db8;
    TVaStopbits stopbits_ = TVaStopbits::sb2;
    TVaFlowControl flowControl_;
    TVaEventChars eventChars_;
    TVaCommOptions options_;
    TVaBuffers buffers_;
    TVaCommEvents monitorEvents_;
    bool directWrite_ = false;
    bool updateDCB_ = true;
    std::optional<ComPortMap> portMap_;

    // Port state.
    int fd_ = -1;
    std::string openedPath_;
    std::atomic<bool> lost_{false};
    std::atomic<int> lostError_{0};
    std::string afterHangUp_; // bytes read out of a vanished device, not yet taken
    std::mutex readLock_;     // foreground read, purge, statistics and close

    // Writer thread and its buffer (guarded by bufferLock_).
    std::mutex bufferLock_;
    std::condition_variable bufferChanged_;
    std::vector<uint8_t> buffer_;
    uint64_t bufferGeneration_ = 0; // bumped when the buffer is emptied by purge
    std::atomic<bool> terminate_{false};
    std::atomic<bool> flushRequest_{false};
    bool flushDone_ = false;
    std::thread writer_;
};

} // namespace zarn
