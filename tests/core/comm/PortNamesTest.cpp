#include "core/comm/PortNames.h"

#include "core/base/IniFile.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zarn;
namespace fs = std::filesystem;

namespace {

// A throw-away /dev and /sys with the nodes a test needs.
class FakeDev : public ::testing::Test {
protected:
    FakeDev() {
        fs::create_directories(dev() / "serial" / "by-id");
        fs::create_directories(sys());
    }

    fs::path dev() const { return root / "dev"; }
    fs::path sys() const { return root / "sys"; }
    void node(const std::string& name) { std::ofstream(dev() / name) << ""; }
    void byId(const std::string& name, const std::string& target) {
        fs::create_symlink(fs::path("../..") / target, dev() / "serial" / "by-id" / name);
    }
    void uartType(const std::string& name, int type) {
        fs::create_directories(sys() / "class" / "tty" / name);
        std::ofstream(sys() / "class" / "tty" / name / "type") << type << "\n";
    }
    std::string d(const std::string& rel) const { return (dev() / rel).string(); }

    test::TempDir tmp{"zarn-dev"};
    const fs::path root = tmp.path();
};

} // namespace

TEST_F(FakeDev, DefaultOrderIsStableLinksThenNumberedNodesEachDeviceOnce) {
    for (auto n : {"ttyS10", "ttyS2", "ttyS0", "ttyS1", "ttyUSB10", "ttyUSB1", "ttyUSB2", "ttyACM0",
                   "ttyACM1", "ttyprintk", "tty1", "ttySX"})
        node(n);
    byId("usb-FTDI_FT232R_B-if00-port0", "ttyUSB2");
    byId("usb-Arduino_A-if00", "ttyACM1");
    byId("usb-gone-if00", "ttyUSB7"); // dangling: the adapter went away
    uartType("ttyS1", 0);             // a ttyS node without a UART
    uartType("ttyS2", 4);

    EXPECT_EQ(ComPortMap::scanDevices(dev().string(), sys().string()),
              (std::vector<std::string>{
                  d("serial/by-id/usb-Arduino_A-if00"),
                  d("serial/by-id/usb-FTDI_FT232R_B-if00-port0"),
                  d("ttyUSB1"),
                  d("ttyUSB10"),
                  d("ttyACM0"),
                  d("ttyS0"),
                  d("ttyS2"),
                  d("ttyS10"),
              }));
}

TEST_F(FakeDev, MapFillsFromComOneAndSettingsOverride) {
    node("ttyUSB0");
    node("ttyS0");
    const fs::path ini = root / "ZARN.INI";
    std::ofstream(ini) << "[SETUP]\r\nCOM=3\r\n[PORTS]\r\nCOM2=/dev/pts/7\r\ncom16 = /dev/ttyX\r\n"
                          "COM17=/dev/ignored\r\nCOM1=\r\nCOM0=/dev/x\r\nLPT1=/dev/y\r\n";
    ComPortMap map = ComPortMap::load(PrivateProfile(ini.string()), dev().string(), sys().string());
    EXPECT_EQ(map.pathOf(1), d("ttyUSB0")); // an empty key leaves the default
    EXPECT_EQ(map.pathOf(2), "/dev/pts/7"); // the override replaces ttyS0
    EXPECT_EQ(map.pathOf(3), "");
    EXPECT_EQ(map.pathOf(16), "/dev/ttyX");
    EXPECT_EQ(map.pathOf(0), "");
    EXPECT_EQ(map.pathOf(17), "");
    EXPECT_EQ(ComPortMap::ignoredOverrideKeys(PrivateProfile(ini.string())),
              (std::vector<std::string>{"COM17", "COM0", "LPT1"}));

    // Without a settings file (or a /dev) nothing breaks.
    ComPortMap none = ComPortMap::load(PrivateProfile((root / "missing.ini").string()),
                                       (root / "nodev").string(), sys().string());
    for (int n = 1; n <= ComPortMap::PortCount; ++n)
        EXPECT_EQ(none.pathOf(n), "");
}

TEST(ComPortMap, MoreThanSixteenDevicesLeaveTheRestOut) {
    std::vector<std::string> devices;
    for (int i = 0; i < 20; ++i)
        devices.push_back("/dev/ttyUSB" + std::to_string(i));
    ComPortMap map = ComPortMap::fromDevices(devices);
    EXPECT_EQ(map.pathOf(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.pathOf(16), "/dev/ttyUSB15");
}

TEST(ComPortMap, ComNumbers) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"COM1", 1}, {"com16", 16}, {"Com3", 3},       {"COM", 0},  {"COM0", 0},
        {"COMX", 0}, {"COM1a", 0},  {"/dev/ttyS0", 0}, {"LPT1", 0}, {"COM99", 99},
    };
    for (const auto& [name, n] : cases)
        EXPECT_EQ(ComPortMap::comNumber(name), n) << name;
    for (const char* name : {"COM1", "com17", "COM0", "COM00099999999999"})
        EXPECT_TRUE(ComPortMap::isComName(name)) << name;
    for (const char* name : {"COM", "COMX", "COM1a", "/dev/COM1", "xCOM1", "COM-1"})
        EXPECT_FALSE(ComPortMap::isComName(name)) << name;
}
