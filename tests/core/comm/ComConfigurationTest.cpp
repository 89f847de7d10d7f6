#include "core/comm/ComConfiguration.h"

#include "core/base/IniFile.h"
#include "core/comm/VaComm.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zarn;
namespace fs = std::filesystem;

namespace {

fs::path tempIni(const std::string& text) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    fs::path p = fs::temp_directory_path() /
                 ("zarn-com-" + std::to_string(::getpid()) + "-" + name + ".ini");
    std::ofstream(p, std::ios::binary) << text;
    return p;
}

} // namespace

struct SetupCase {
    const char* ini;
    ComSelection expected;
};

class ReadComSetup : public ::testing::TestWithParam<SetupCase> {};

TEST_P(ReadComSetup, SelectsListPositionsAndIgnoresTheRest) {
    fs::path ini = tempIni(GetParam().ini);
    EXPECT_EQ(readComSetup(PrivateProfile(ini.string())), GetParam().expected);
    fs::remove(ini);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadComSetup,
    ::testing::Values(SetupCase{"", {0, 3}}, SetupCase{"[SETUP]\nCOM=3\nBAUD=4\n", {2, 3}},
                      SetupCase{"[SETUP]\nCOM=16\nBAUD=1\n", {15, 0}}, // 1 is 115200
                      SetupCase{"[SETUP]\nBAUD=6\n", {0, 5}},
                      SetupCase{"[SETUP]\nCOM=0\nBAUD=7\n", {0, 3}},
                      SetupCase{"[SETUP]\nCOM=-1\nBAUD=0\n", {0, 3}},
                      SetupCase{"[SETUP]\nCOM=17\nBAUD=-1\n", {0, 3}},
                      SetupCase{"[SETUP]\nCOM=3x\nBAUD= 2 \n", {0, 1}},
                      SetupCase{"[SETUP]\nCOM=0003\nBAUD=\n", {2, 3}},
                      // The desktop always read these as whole numbers; zarnctl must agree.
                      SetupCase{"[SETUP]\nCOM=+3\nBAUD=+1\n", {2, 0}},
                      SetupCase{"[SETUP]\nCOM=\t2\nBAUD=99999999999\n", {1, 3}},
                      SetupCase{"[SETUP]\nCOM=1.5\nBAUD=--2\n", {0, 3}}));

TEST(ComSetup, WriteStoresOneBasedPositionsAndReadsBack) {
    fs::path ini = tempIni("[SETUP]\r\nLNG=English\r\n");
    PrivateProfile settings(ini.string());
    writeComSetup(settings, {2, 0});
    EXPECT_EQ(IniDocument::load(ini.string())->bytes(),
              "[SETUP]\r\nLNG=English\r\nCOM=3\r\nBAUD=1\r\n");
    EXPECT_EQ(readComSetup(settings), (ComSelection{2, 0}));
    fs::remove(ini);
}

TEST(ComSetup, ItemsAndApplyPortSettings) {
    EXPECT_EQ(comPortItem(0), "COM1");
    EXPECT_EQ(comPortItem(15), "COM16");
    const std::vector<std::pair<std::string, TVaBaudrate>> speeds = {
        {"115200", TVaBaudrate::br115200}, {"38400", TVaBaudrate::br38400},
        {"19200", TVaBaudrate::br19200},   {"9600", TVaBaudrate::br9600},
        {"4800", TVaBaudrate::br4800},     {"2400", TVaBaudrate::br2400}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(comBaudItem(i), speeds[static_cast<size_t>(i)].first);
        TVaComm comm;
        comm.setParity(TVaParity::paOdd);
        comm.setStopbits(TVaStopbits::sb1);
        comm.setDatabits(TVaDatabits::db7);
        applyPortSettings(comm, {i + 5, i});
        EXPECT_EQ(comm.portNum(), i + 6);
        EXPECT_EQ(comm.baudrate(), speeds[static_cast<size_t>(i)].second);
        EXPECT_EQ(comm.parity(), TVaParity::paNone);
        EXPECT_EQ(comm.databits(), TVaDatabits::db8);
        EXPECT_EQ(comm.stopbits(), TVaStopbits::sb2);
    }
}
