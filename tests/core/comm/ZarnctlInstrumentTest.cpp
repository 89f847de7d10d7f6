// zarnctl receive and identify as a user runs them, against the simulated instrument.
#include "core/comm/InstrumentSimulator.h"
#include "core/comm/SimulatorLink.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>

using namespace zarn;

namespace {

struct Run {
    int status = -1;
    std::string output; // stdout and stderr
};

Run zarnctl(const std::string& args) {
    const std::string exe = std::string(ZARN_BIN_DIR) + "/zarnctl";
    Run r;
    FILE* p = ::popen((exe + " " + args + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.output.append(buf.data(), n);
    const int w = ::pclose(p);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
    return r;
}

struct ReceiveCase {
    const char* name;
    SimulatorFaults faults;
    const char* extra;
    int status;
    bool fileWritten;
    std::vector<std::string> commands;
};

SimulatorFaults fault(void (*set)(SimulatorFaults&)) {
    SimulatorFaults f;
    set(f);
    return f;
}

class ZarnctlReceive : public testing::TestWithParam<ReceiveCase> {};

TEST_P(ZarnctlReceive, ExitStatusSaysHowItWent) {
    if (!std::filesystem::exists(std::string(ZARN_BIN_DIR) + "/zarnctl"))
        GTEST_SKIP() << "zarnctl not built";
    const auto& c = GetParam();
    std::vector<std::string> records;
    for (uint16_t e = 1; e <= 4; ++e)
        records.push_back(recordPayload(1, e, 3, {{'R', 4, 3, "> 999"}}));
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), records}, c.faults));
    const auto file = std::filesystem::temp_directory_path() /
                      ("zarnctl-receive-" + std::string(c.name) + ".str");
    std::filesystem::remove(file);
    const auto r =
        zarnctl("receive --port " + link.slavePath() + " " + c.extra + " -o " + file.string());
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_EQ(std::filesystem::exists(file), c.fileWritten) << r.output;
    // The last command may still be on its way when zarnctl has ended.
    for (int i = 0; i < 100 && link.commandLog().size() < c.commands.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(link.commandLog(), c.commands) << r.output;
    std::filesystem::remove(file);
}

const std::vector<std::string> whole = {"MRD", "MWH", "MNU", "MSS", "MRE",
                                        "MRE", "MRE", "MRE", "MRE", "MEX"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ZarnctlReceive,
    testing::Values(ReceiveCase{"AllArrived", {}, "", 0, true, whole},
                    ReceiveCase{"RecordsMissing",
                                fault([](SimulatorFaults& f) { f.stopAfter = 2; }),
                                "",
                                3,
                                true,
                                {"MRD", "MWH", "MNU", "MSS", "MRE", "MRE", "MRE", "MEX"}},
                    ReceiveCase{"RetriesThenGivesUp",
                                fault([](SimulatorFaults& f) { f.refuse = true; }),
                                "--retries 2",
                                4,
                                false,
                                {"MRD", "MRD", "MRD", "MEX"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ZarnctlIdentify, PrintsTheInstrumentsData) {
    if (!std::filesystem::exists(std::string(ZARN_BIN_DIR) + "/zarnctl"))
        GTEST_SKIP() << "zarnctl not built";
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), {}}));
    const auto r = zarnctl("identify --port " + link.slavePath());
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("KAVOX 5"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Serial Number: 09341122"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Fanrik Osterlamp"), std::string::npos) << r.output;
}

} // namespace
