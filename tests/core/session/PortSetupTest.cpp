// One port set-up for the desktop and zarnctl: the COM choice, the PORTS overrides of ZARN.INI,
// the devices of this run and the command line's --port and --baud.
#include "core/session/PortSetup.h"

#include "core/base/IniFile.h"
#include "core/comm/VaComm.h"
#include "core/lang/LanguageFixture.h"
#include "sim/PseudoTerminal.h"

#include <gtest/gtest.h>

namespace zarn {
namespace {

using zarn::testing::ProgramDir;

struct PortCase {
    const char* name;
    std::string portsSection; // lines of section PORTS
    PortSetup setup;
    std::string devicePath;
    TVaBaudrate baudrate;
    int userBaudrate;
    std::vector<std::string> ignoredKeys;
};

class PreparePort : public ::testing::TestWithParam<PortCase> {};

TEST_P(PreparePort, LeadsToTheDeviceAtTheSpeed) {
    const PortCase& c = GetParam();
    ProgramDir dir;
    dir.write("ZARN.INI", "[PORTS]\r\n" + c.portsSection);
    const PrivateProfile settings(dir.path() + "ZARN.INI");
    TVaComm port;
    const PreparedPort prepared = preparePort(port, settings, c.setup);
    EXPECT_EQ(port.devicePath(), c.devicePath);
    EXPECT_EQ(port.baudrate(), c.baudrate);
    EXPECT_EQ(port.userBaudrate(), c.userBaudrate);
    EXPECT_EQ(port.parity(), TVaParity::paNone);
    EXPECT_EQ(port.databits(), TVaDatabits::db8);
    EXPECT_EQ(port.stopbits(), TVaStopbits::sb2);
    EXPECT_EQ(prepared.ignoredOverrideKeys, c.ignoredKeys);
}

PortSetup setupOf(ComSelection choice, std::map<int, std::string> runDevices = {},
                  std::optional<std::string> port = {}, std::optional<int> speed = {}) {
    return {choice, std::move(runDevices), {std::move(port), speed}};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreparePort,
    ::testing::Values(PortCase{"ChoiceThroughPorts",
                               "COM3=/dev/zarn-a\r\n",
                               setupOf({2, 0}),
                               "/dev/zarn-a",
                               TVaBaudrate::br115200,
                               0,
                               {}},
                      PortCase{"RunDeviceWinsOverPorts",
                               "COM1=/dev/zarn-a\r\n",
                               setupOf({0, 3}, {{1, "/tmp/zarn-sim"}}),
                               "/tmp/zarn-sim",
                               TVaBaudrate::br9600,
                               0,
                               {}},
                      PortCase{"RunDeviceOnlyOnItsItem",
                               "COM2=/dev/zarn-b\r\n",
                               setupOf({1, 3}, {{1, "/tmp/zarn-sim"}}),
                               "/dev/zarn-b",
                               TVaBaudrate::br9600,
                               0,
                               {}},
                      PortCase{"PortOptionReplacesTheChoicesPort",
                               "COM4=/dev/zarn-d\r\n",
                               setupOf({0, 5}, {}, "com4"),
                               "/dev/zarn-d",
                               TVaBaudrate::br2400,
                               0,
                               {}},
                      PortCase{"PortOptionPathIsUsedAsItIs",
                               "COM17=/dev/zarn-x\r\n",
                               setupOf({0, 3}, {}, "/dev/pts/77"),
                               "/dev/pts/77",
                               TVaBaudrate::br9600,
                               0,
                               {}},
                      PortCase{"ListedSpeedTakesItsEntry",
                               "COM1=/dev/zarn-a\r\n",
                               setupOf({0, 3}, {}, "COM1", 19200),
                               "/dev/zarn-a",
                               TVaBaudrate::br19200,
                               0,
                               {}},
                      PortCase{"OtherSpeedIsAUserSpeed",
                               "",
                               setupOf({0, 0}, {}, "/dev/pts/78", 57600),
                               "/dev/pts/78",
                               TVaBaudrate::brUser,
                               57600,
                               {}},
                      PortCase{"KeysNamingNoItemAreIgnored",
                               "COM17=/dev/zarn-x\r\nLPT1=/dev/zarn-y\r\nCOM2=/dev/zarn-b\r\n",
                               setupOf({1, 3}),
                               "/dev/zarn-b",
                               TVaBaudrate::br9600,
                               0,
                               {"COM17", "LPT1"}}),
    [](const ::testing::TestParamInfo<PortCase>& info) { return std::string(info.param.name); });

TEST(PreparePort, ComNameOutsideTheItemsIsRefused) {
    ProgramDir dir;
    const PrivateProfile settings(dir.path() + "ZARN.INI");
    for (const char* name : {"COM0", "COM17", "com99"}) {
        TVaComm port;
        EXPECT_THROW(preparePort(port, settings, setupOf({}, {}, name)), PortRequestError) << name;
    }
}

TEST(PreparePort, AnOpenPortIsLeftAlone) {
    ProgramDir dir;
    const PrivateProfile settings(dir.path() + "ZARN.INI");
    PseudoTerminal pty;
    TVaComm port;
    preparePort(port, settings, setupOf({0, 3}, {}, pty.slavePath()));
    port.open();
    // A COM item while open would need PortNum to change, which an open port refuses.
    EXPECT_NO_THROW(preparePort(port, settings, setupOf({5, 0}, {}, "COM6")));
    EXPECT_EQ(port.devicePath(), pty.slavePath());
    EXPECT_EQ(port.baudrate(), TVaBaudrate::br9600);
    port.close();
}

TEST(PortMapFor, ShowsTheRunsDevicesOverTheSettings) {
    ProgramDir dir;
    dir.write("ZARN.INI", "[PORTS]\r\nCOM1=/dev/zarn-a\r\nCOM2=/dev/zarn-b\r\n");
    const ComPortMap map =
        portMapFor(PrivateProfile(dir.path() + "ZARN.INI"), setupOf({}, {{1, "/tmp/sim"}}));
    EXPECT_EQ(map.pathOf(1), "/tmp/sim");
    EXPECT_EQ(map.pathOf(2), "/dev/zarn-b");
}

} // namespace
} // namespace zarn
