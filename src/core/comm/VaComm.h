// TVaComm: the serial port the program opens for each instrument command.
//
// On Linux the port is a terminal device in raw mode. Open takes it for exclusive use (TIOCEXCL
// keeps other programs out, flock() also keeps out root and a second TVaComm) and sets the line
// (8 data bits, no parity, 2 stop bits, no flow control, DTR and RTS inactive in the program's
// use). Reads only take what is already queued; writes hand the bytes to the driver at once
// (the commands are a few bytes, which the driver always has room for).
//
// A device that vanishes while open (USB adapter pulled, pseudo-terminal peer gone) is a lost
// device: bytes that had arrived can still be read, then every operation fails or returns
// nothing at once; nothing waits on it.
//
// Not carried over from the Windows component: the reader thread (nothing consumes its
// notifications; reception works by polling inputCount), the writer thread (a direct write
// is as fast and never leaves bytes behind at close) and whatever TVaWindowsOnly holds.
#pragma once

#include "core/comm/PortNames.h"
#include "core/comm/SerialPort.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace zarn {

// Queue sizes and wait limits. Only writeTimeout is used here: the driver's queues have their
// own sizes, and reads never wait.
struct TVaBuffers {
    int readSize = 30000;
    int writeSize = 2048;
    int readTimeout = 1000;
    int writeTimeout = 1000; // ms a write waits for the driver to take its bytes
    bool operator==(const TVaBuffers&) const = default;
};

// The XON and XOFF characters are part of the flow control; these are the others.
struct TVaEventChars {
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

// Properties of the Windows component that a Linux terminal device has no use for. They stay
// settable and keep their values, so that settings made for the component mean the same, but
// nothing here ever reaches the device.
struct TVaWindowsOnly {
    bool outDsrFlow = false;     // no DSR flow control on a terminal device
    bool dsrSensitivity = false; // bytes are never dropped for a low DSR
    TVaEventChars eventChars;
    TVaCommOptions options;
    // No reader thread: reception polls the input count.
    TVaCommEvents monitorEvents = commEvents({TVaCommEvent::ceRxChar, TVaCommEvent::ceTxEmpty});
    bool directWrite = false; // every write is direct
    bool operator==(const TVaWindowsOnly&) const = default;
};

class TVaComm : public SerialPort {
public:
    TVaComm() = default;
    ~TVaComm() override;
    TVaComm(const TVaComm&) = delete;
    TVaComm& operator=(const TVaComm&) = delete;

    // --- properties --------------------------------------------------------------------
    // Changing one of these while open fails with "Can't perform this operation while port
    // is open": portNum, deviceName, directWrite, updateDCB, buffers, monitorEvents.
    // The line settings may change while open and then reach the device at once.
    int portNum() const { return portNum_; }
    void setPortNum(int portNum) override;
    // Format of the device name: "%d" stands for portNum. "COM<n>" names go through the
    // port map; a name with a '/' is a device path.
    const std::string& deviceName() const { return deviceName_; }
    void setDeviceName(std::string format);

    const LineSettings& lineSettings() const override { return line_; }
    // Kept also when the device refuses it (the error says so).
    void setLineSettings(const LineSettings& line) override;
    TVaBaudrate baudrate() const { return line_.baudrate; }
    void setBaudrate(TVaBaudrate baudrate);
    int userBaudrate() const { return line_.userBaudrate; }
    void setUserBaudrate(int speed);
    TVaParity parity() const { return line_.parity; }
    void setParity(TVaParity parity);
    bool parityCheck() const { return line_.parityCheck; }
    void setParityCheck(bool on);
    TVaDatabits databits() const { return line_.databits; }
    void setDatabits(TVaDatabits databits);
    TVaStopbits stopbits() const { return line_.stopbits; }
    void setStopbits(TVaStopbits stopbits);
    const TVaFlowControl& flowControl() const { return line_.flowControl; }
    void setFlowControl(const TVaFlowControl& flowControl);
    const TVaBuffers& buffers() const { return buffers_; }
    void setBuffers(const TVaBuffers& buffers);
    bool updateDCB() const { return updateDCB_; }
    void setUpdateDCB(bool on);

    // Kept for the Windows component's settings; none reaches the device.
    const TVaWindowsOnly& windowsOnly() const { return windowsOnly_; }
    const TVaEventChars& eventChars() const { return windowsOnly_.eventChars; }
    void setEventChars(const TVaEventChars& eventChars) { windowsOnly_.eventChars = eventChars; }
    TVaCommOptions options() const { return windowsOnly_.options; }
    void setOptions(TVaCommOptions options) { windowsOnly_.options = options; }
    TVaCommEvents monitorEvents() const { return windowsOnly_.monitorEvents; }
    void setMonitorEvents(TVaCommEvents events);
    bool directWrite() const { return windowsOnly_.directWrite; }
    void setDirectWrite(bool on);
    void setDsrFlow(bool outDsrFlow, bool dsrSensitivity) {
        windowsOnly_.outDsrFlow = outDsrFlow;
        windowsOnly_.dsrSensitivity = dsrSensitivity;
    }

    // Where COM<n> names lead; without one, the devices present at start-up.
    void setPortMap(ComPortMap map) { portMap_ = std::move(map); }
    // The device name with the port number filled in ("COM3" or a path).
    std::string formattedDeviceName() const;
    // The path open() uses ("" for a COM item without a device).
    std::string devicePath() const;

    std::function<void()> onOpen;
    std::function<void()> onClose;

    // --- operations --------------------------------------------------------------------
    void open() override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    // True once the open device has vanished; cleared by close().
    bool deviceLost() const override { return lost_.load(); }

    int inputCount() override;
    // Bytes the driver has not sent yet.
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
    void sendLineSettings(); // when open and updateDCB
    // Called when the device turned out to be gone: keeps what was still queued.
    void markLost(int error);
    void drainAfterHangUp();
    [[noreturn]] void raiseLost(const char* format) const;

    // What the device gets.
    int portNum_ = 2;
    std::string deviceName_ = "COM%d";
    LineSettings line_;
    TVaBuffers buffers_;
    bool updateDCB_ = true;
    std::optional<ComPortMap> portMap_;
    TVaWindowsOnly windowsOnly_;

    // Port state.
    int fd_ = -1;
    std::atomic<bool> lost_{false};
    std::atomic<int> lostError_{0};
    std::string afterHangUp_; // bytes read out of a vanished device, not yet taken
    std::mutex readLock_;     // read, purge, statistics and close
};

} // namespace zarn
