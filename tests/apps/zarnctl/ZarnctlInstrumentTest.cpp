// zarnctl receive and identify as a user runs them, against the simulated instrument.
#include "sim/InstrumentSimulator.h"
#include "sim/SimulatorLink.h"
#include "support/TempDir.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>

using namespace zarn;

namespace {

struct Run {
    int status = -1;
    std::string output; // stdout and stderr
};

// zarnctl is built with these tests: a missing executable is a failure, not a skip.
Run zarnctl(const std::string& args) {
    const std::string exe = std::string(ZARN_BIN_DIR) + "/zarnctl";
    Run r;
    if (!std::filesystem::exists(exe)) {
        ADD_FAILURE() << exe << " is missing";
        return r;
    }
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
    const auto& c = GetParam();
    std::vector<std::string> records;
    for (uint16_t e = 1; e <= 4; ++e)
        records.push_back(recordPayload(1, e, 3, {{'R', 4, 3, "> 999"}}));
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), records}, c.faults));
    const test::TempDir dir("zarnctl-receive");
    const auto file = dir.file("received.zrn");
    const auto r = zarnctl("receive --port " + link.slavePath() + " " + c.extra + " -o " + file);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_EQ(std::filesystem::exists(file), c.fileWritten) << r.output;
    // The last command may still be on its way when zarnctl has ended.
    for (int i = 0; i < 100 && link.commandLog().size() < c.commands.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(link.commandLog(), c.commands) << r.output;
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
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), {}}));
    const auto r = zarnctl("identify --port " + link.slavePath());
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("KAVOX 5"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Serial Number: 09341122"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Fanrik Osterlamp"), std::string::npos) << r.output;
}

// A program directory of its own: the shipped language files and a ZARN.INI of the test's.
class ProgramDir {
public:
    explicit ProgramDir(const std::string& settings) {
        for (const auto& e : std::filesystem::directory_iterator(ZARN_DATA_DIR)) {
            const auto name = e.path().filename().string();
            if (name == "LNG_MAIN.INI" || e.path().extension() == ".LNG")
                std::filesystem::copy_file(e.path(), dir_.path() / name);
        }
        dir_.write("ZARN.INI", settings);
    }
    std::string option() const { return "--program-dir " + dir_.path().string(); }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    test::TempDir dir_{"zarnctl-dir"};
};

std::string secondLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    return line;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ZarnctlReceiveFamily, TypeCodeOneHundredAndFourGivesAFileOfFamilyFour) {
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(104), {}}));
    ProgramDir dir("");
    const auto file = dir.file("family4.zrn");
    const auto r = zarnctl(dir.option() + " receive --port " + link.slavePath() + " -o " + file);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(secondLine(file), "4\r");
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct LargeCase {
    const char* name;
    int stored;
    std::optional<int> announced;
    int status;
    const char* says;
};

class ZarnctlReceiveLarge : public testing::TestWithParam<LargeCase> {};

// The file of a reception reopens whole: converting it gives its bytes again. A reception
// larger than a file holds is refused with the reason, not saved to reopen without results.
TEST_P(ZarnctlReceiveLarge, FileReopensWithEveryRecordOrIsRefused) {
    const auto& c = GetParam();
    SimulatorFaults faults;
    faults.countOverride = c.announced;
    SimulatorLink link(
        InstrumentSimulator({defaultIdentificationPayload(), generatedRecords(c.stored)}, faults));
    ProgramDir dir("");
    const auto file = dir.file("large.zrn");
    const auto r = zarnctl(dir.option() + " receive --port " + link.slavePath() + " -o " + file);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_TRUE(contains(r.output, c.says)) << r.output;
    if (c.status != 0) {
        EXPECT_FALSE(std::filesystem::exists(file));
        return;
    }
    const auto again = dir.file("again.zrn");
    const auto converted = zarnctl(dir.option() + " convert " + file + " -o " + again);
    EXPECT_EQ(converted.status, 0) << converted.output;
    EXPECT_EQ(fileBytes(again), fileBytes(file));
}

INSTANTIATE_TEST_SUITE_P(Cases, ZarnctlReceiveLarge,
                         testing::Values(LargeCase{"TenThousand", 10000, std::nullopt, 0,
                                                   "10000 of 10000 records"},
                                         LargeCase{"MoreThanAFileHolds", 65536, 65535, 1,
                                                   "a structure file holds at most 65536 rows"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZarnctlPorts, ComNamesOutsideOneToSixteenAreRefusedAndNothingIsSent) {
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), {}}));
    // COM2 is where the port number stood before it was checked.
    ProgramDir dir("[PORTS]\r\nCOM2=" + link.slavePath() + "\r\nCOM17=/dev/null\r\n");
    for (const char* name : {"COM17", "COM0", "com99"}) {
        const auto file = dir.file("refused.zrn");
        const auto r = zarnctl(dir.option() + " receive --port " + name + " -o " + file);
        EXPECT_EQ(r.status, 2) << name << ": " << r.output;
        EXPECT_TRUE(contains(r.output, "COM1 to COM16")) << r.output;
        EXPECT_FALSE(std::filesystem::exists(file)) << name;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(link.commandLog().empty());

    // The port map's own COM17 key is ignored, and zarnctl says so.
    const auto r = zarnctl(dir.option() + " receive --port COM2 -o " + dir.file("com2.zrn"));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(contains(r.output, "warning: COM17 in section PORTS")) << r.output;
}

TEST(ZarnctlPorts, SetupBaudIsReadAsTheDesktopReadsIt) {
    // The instrument runs at 19200 only; BAUD "+3" is the third list entry, 19200.
    SimulatorPacing at19200;
    at19200.baud = 19200;
    SimulatorLink link(InstrumentSimulator({defaultIdentificationPayload(), {}}), at19200);
    ProgramDir dir("[SETUP]\r\nBAUD=+3\r\n");
    const auto r =
        zarnctl(dir.option() + " receive --port " + link.slavePath() + " -o " + dir.file("b.zrn"));
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(ZarnctlIdentify, FailedIdentificationStillPrintsTheFixedTexts) {
    SimulatorFaults wrongHeader;
    wrongHeader.badIdentification = true;
    SimulatorLink link(InstrumentSimulator(
        {identificationPayload(16, {"Real name", "Real code", "line3", "SN 7", "Real firm"}), {}},
        wrongHeader));
    const auto r = zarnctl("identify --port " + link.slavePath());
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(contains(r.output, "  KAVOX 5\n  K204B\n")) << r.output;
    EXPECT_TRUE(contains(r.output, "Firm Data:\n  Fanrik Osterlamp\n")) << r.output;
    EXPECT_FALSE(contains(r.output, "Real")) << r.output;
    EXPECT_TRUE(contains(r.output, "identification did not arrive")) << r.output;
}

} // namespace
