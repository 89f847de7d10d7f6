// COM1 .. COM16 on Linux.
//
// The program names its ports COM1 .. COM16. Each name maps onto a device path:
//  - section PORTS of ZARN.INI, keys COM1 .. COM16, gives a path per item and wins;
//  - otherwise the items are filled from COM1 upward with the serial devices present at
//    start-up: the /dev/serial/by-id links (stable across replugging) in name order, then
//    /dev/ttyUSB*, /dev/ttyACM* and /dev/ttyS* in numeric order, each device once.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

class PrivateProfile;

class ComPortMap {
public:
    static constexpr int PortCount = 16;

    // The serial devices under devRoot in the default order, each device once (links are
    // resolved to tell duplicates). sysRoot is consulted to leave out ttyS nodes without a
    // UART behind them.
    static std::vector<std::string> scanDevices(const std::string& devRoot = "/dev",
                                                const std::string& sysRoot = "/sys");
    // COM1 upward from the given devices (beyond 16 they are left out).
    static ComPortMap fromDevices(const std::vector<std::string>& devices);
    // The devices present now, then the PORTS overrides of the settings file.
    static ComPortMap load(const PrivateProfile& settings, const std::string& devRoot = "/dev",
                           const std::string& sysRoot = "/sys");
    // The devices present when first asked (without overrides); computed once per run.
    static const ComPortMap& startup();

    // Applies the PORTS keys COM1 .. COM16 found in the settings file.
    void applyOverrides(const PrivateProfile& settings);
    // The keys of section PORTS that name no item COM1 .. COM16 (COM17, COM0, LPT1 ...):
    // they are ignored, and a program may say so.
    static std::vector<std::string> ignoredOverrideKeys(const PrivateProfile& settings);

    // Device path of COM<portNum>; empty when none (or portNum is outside 1..16).
    const std::string& pathOf(int portNum) const;
    void set(int portNum, std::string path);

    // The port number of a name "COM<n>" (any letter case), 0 when it is no such name.
    static int comNumber(std::string_view name);
    // Whether the name is "COM" and digits (any letter case), whatever the number: COM17
    // and COM0 are such names, only not of a port the program has.
    static bool isComName(std::string_view name);

private:
    std::array<std::string, PortCount> paths_;
};

// What to do about a device that refused access (EACCES): join the group that owns it (usually
// dialout). Empty when the device cannot be examined.
std::string deviceAccessHint(const std::string& path);

} // namespace zarn
