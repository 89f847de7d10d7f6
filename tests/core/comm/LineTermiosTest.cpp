// The terminal settings of a line, worked out without a device.
#include "core/comm/LineTermios.h"

#include <gtest/gtest.h>
#include <termios.h>

using namespace zarn;

namespace {

struct TermiosCase {
    const char* name;
    LineSettings line;
    // Expected, over raw 8N2 at 9600 with CREAD and CLOCAL.
    uint32_t cflag;
    uint32_t iflag;
    uint32_t speed;
    bool dtr;
    bool rts;
};

LineSettings with(void (*change)(LineSettings&)) {
    LineSettings line;
    change(line);
    return line;
}

constexpr uint32_t Base = CREAD | CLOCAL;

class TermiosFor : public testing::TestWithParam<TermiosCase> {};

TEST_P(TermiosFor, GivesRawTransferWithTheLinesFraming) {
    const auto& c = GetParam();
    const auto t = termiosFor(c.line);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->cflag, c.cflag);
    EXPECT_EQ(t->iflag, c.iflag);
    EXPECT_EQ(t->oflag, 0u) << "no output processing";
    EXPECT_EQ(t->lflag, 0u) << "no echo, no line editing, no signals";
    EXPECT_EQ(t->speed, c.speed);
    EXPECT_EQ(t->dtr, c.dtr);
    EXPECT_EQ(t->rts, c.rts);
    EXPECT_EQ(t->vmin, 1);
    EXPECT_EQ(t->vtime, 0);
    EXPECT_EQ(t->vstart, c.line.flowControl.xonChar);
    EXPECT_EQ(t->vstop, c.line.flowControl.xoffChar);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TermiosFor,
    testing::Values(
        TermiosCase{"ProgramsLine", LineSettings{}, Base | CS8 | CSTOPB, 0, 9600, false, false},
        TermiosCase{"OneStopBit", with([](LineSettings& l) { l.stopbits = TVaStopbits::sb1; }),
                    Base | CS8, 0, 9600, false, false},
        TermiosCase{"OneAndAHalfIsTwo", with([](LineSettings& l) {
                        l.stopbits = TVaStopbits::sb15;
                        l.databits = TVaDatabits::db5;
                    }),
                    Base | CS5 | CSTOPB, 0, 9600, false, false},
        TermiosCase{"SixAndSevenBits", with([](LineSettings& l) {
                        l.databits = TVaDatabits::db6;
                        l.stopbits = TVaStopbits::sb1;
                    }),
                    Base | CS6, 0, 9600, false, false},
        TermiosCase{"SevenEven", with([](LineSettings& l) {
                        l.databits = TVaDatabits::db7;
                        l.parity = TVaParity::paEven;
                    }),
                    Base | CS7 | PARENB | CSTOPB, 0, 9600, false, false},
        TermiosCase{"OddChecked", with([](LineSettings& l) {
                        l.parity = TVaParity::paOdd;
                        l.parityCheck = true;
                    }),
                    Base | CS8 | PARENB | PARODD | CSTOPB, INPCK, 9600, false, false},
        TermiosCase{"Mark", with([](LineSettings& l) { l.parity = TVaParity::paMark; }),
                    Base | CS8 | PARENB | CMSPAR | PARODD | CSTOPB, 0, 9600, false, false},
        TermiosCase{"Space", with([](LineSettings& l) { l.parity = TVaParity::paSpace; }),
                    Base | CS8 | PARENB | CMSPAR | CSTOPB, 0, 9600, false, false},
        TermiosCase{"XonXoffBothWaysWithOwnCharacters", with([](LineSettings& l) {
                        l.flowControl.xonXoffIn = true;
                        l.flowControl.xonXoffOut = true;
                        l.flowControl.txContinueOnXoff = true;
                        l.flowControl.xonChar = 1;
                        l.flowControl.xoffChar = 2;
                    }),
                    Base | CS8 | CSTOPB, IXON | IXOFF | IXANY, 9600, false, false},
        TermiosCase{"CtsFlow", with([](LineSettings& l) { l.flowControl.outCtsFlow = true; }),
                    Base | CS8 | CSTOPB | CRTSCTS, 0, 9600, false, false},
        TermiosCase{"RtsHandshake", with([](LineSettings& l) {
                        l.flowControl.controlRts = TVaControlRts::rtsHandshake;
                    }),
                    Base | CS8 | CSTOPB | CRTSCTS, 0, 9600, false, true},
        TermiosCase{"ModemLinesEnabled", with([](LineSettings& l) {
                        l.flowControl.controlDtr = TVaControlDtr::dtrEnabled;
                        l.flowControl.controlRts = TVaControlRts::rtsEnabled;
                    }),
                    Base | CS8 | CSTOPB, 0, 9600, true, true},
        TermiosCase{"DtrHandshakeHoldsDtrRtsToggleDoesNotHoldRts", with([](LineSettings& l) {
                        l.flowControl.controlDtr = TVaControlDtr::dtrHandshake;
                        l.flowControl.controlRts = TVaControlRts::rtsToggle;
                    }),
                    Base | CS8 | CSTOPB, 0, 9600, true, false},
        TermiosCase{"SpeedWithoutATermiosCode",
                    with([](LineSettings& l) { l.baudrate = TVaBaudrate::br14400; }),
                    Base | CS8 | CSTOPB, 0, 14400, false, false},
        TermiosCase{"UsersSpeed", with([](LineSettings& l) {
                        l.baudrate = TVaBaudrate::brUser;
                        l.userBaudrate = 250000;
                    }),
                    Base | CS8 | CSTOPB, 0, 250000, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TermiosForRefuses, LinesNoTerminalDeviceCarries) {
    LineSettings fourBits;
    fourBits.databits = TVaDatabits::db4;
    EXPECT_FALSE(termiosFor(fourBits));
    LineSettings noSpeed;
    noSpeed.baudrate = TVaBaudrate::brUser; // and userBaudrate 0
    EXPECT_FALSE(termiosFor(noSpeed));
    noSpeed.userBaudrate = -5;
    EXPECT_FALSE(termiosFor(noSpeed));
}

TEST(BaudrateSpeeds, OneTableBothWays) {
    for (size_t i = 0; i < BaudrateSpeeds.size(); ++i) {
        const auto& entry = BaudrateSpeeds[i];
        EXPECT_EQ(static_cast<size_t>(entry.baudrate), i) << "in enumeration order";
        EXPECT_EQ(speedOf(entry.baudrate), entry.bitsPerSecond);
        EXPECT_EQ(baudrateOf(entry.bitsPerSecond), entry.baudrate);
    }
    EXPECT_EQ(speedOf(TVaBaudrate::br56000), 56000);
    EXPECT_EQ(baudrateOf(0), TVaBaudrate::brUser);
    EXPECT_EQ(baudrateOf(250000), TVaBaudrate::brUser);
    static_assert(speedOf(TVaBaudrate::br115200) == 115200);
}

} // namespace
