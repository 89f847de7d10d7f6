// zarnctl demo as a user runs it: the structure file it writes holds every record the
// simulated instrument generates, decoded in the language asked for, with the tree their ids
// make, and its log holds the commands of one whole transfer.
#include "core/comm/RecordDecoder.h"
#include "core/session/ProgramSession.h"
#include "core/structfile/StructFile.h"
#include "sim/InstrumentSimulator.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>

using namespace zarn;

namespace {

int runZarnctl(const std::string& args, std::string& output) {
    const std::string exe = std::string(ZARN_BIN_DIR) + "/zarnctl";
    FILE* p = ::popen((exe + " " + args + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        output.append(buf.data(), n);
    const int w = ::pclose(p);
    return WIFEXITED(w) ? WEXITSTATUS(w) : -1;
}

struct DemoCase {
    const char* name;
    int records;
    std::optional<int> language; // from 1
};

class ZarnctlDemo : public testing::TestWithParam<DemoCase> {};

TEST_P(ZarnctlDemo, StructureFileHoldsEveryGeneratedRecord) {
#ifndef ZARNCTL_HAS_DEMO
    GTEST_SKIP() << "zarnctl is built without the printing layer, so without demo";
#endif
    const auto& c = GetParam();
    const test::TempDir dir("zarnctl-demo");
    std::string output;
    std::string args = "demo " + dir.file("out") + " --records " + std::to_string(c.records);
    if (c.language)
        args += " --language " + std::to_string(*c.language);
    ASSERT_EQ(runZarnctl(args, output), 0) << output;

    // The expected rows: the generator's payloads decoded with the NAMEF texts of the language.
    ScriptedInteraction ui;
    ProgramSession session({std::string(ZARN_DATA_DIR) + "/", dir.file("ZARN.INI")}, ui);
    if (c.language)
        session.useLanguageForRun(*c.language - 1);
    ASSERT_TRUE(session.startUp().ok());
    const auto payloads = generatedRecords(c.records);
    const auto read = readStructureFile(dir.file("out/demo.zrn"), session.structure().parts(),
                                        {nullptr, &session.workspace().texts(), nullptr});
    ASSERT_TRUE(read.opened && read.trusted);
    const auto& table = session.workspace().results();
    ASSERT_EQ(table.resultCount(), c.records);
    std::set<std::string> blocks;
    std::set<std::pair<std::string, std::string>> places;
    for (int r = 1; r <= c.records; ++r) {
        const auto expected =
            decodeRecord(payloads[static_cast<size_t>(r - 1)], session.workspace().namef());
        for (int col = 0; col < ResultColumnCount; ++col)
            ASSERT_EQ(table.cell(col, r), expected.cells[static_cast<size_t>(col)])
                << "row " << r << " column " << col;
        const std::string& ids = table.cell(1, r); // "1" CR block CR element
        const size_t a = ids.find('\r');
        const size_t b = ids.find('\r', a + 1);
        blocks.insert(ids.substr(a + 1, b - a - 1));
        places.insert({ids.substr(a + 1, b - a - 1), ids.substr(b + 1)});
    }
    // A root per block, a leaf per place within it.
    const auto& tree = session.workspace().tree();
    std::set<std::string> roots;
    std::set<std::pair<std::string, std::string>> leaves;
    for (NodeHandle root : tree.children(NoNode)) {
        const std::string block = std::to_string(tree.info(root).Id);
        roots.insert(block);
        for (NodeHandle leaf : tree.children(root))
            leaves.insert({block, std::to_string(tree.info(leaf).Id)});
    }
    EXPECT_EQ(roots, blocks);
    EXPECT_EQ(leaves, places);

    std::vector<std::string> commands = {"MRD", "MWH", "MNU", "MSS"};
    commands.insert(commands.end(), static_cast<size_t>(c.records) + 1, "MRE");
    commands.push_back("MEX");
    std::string log;
    for (const auto& command : commands)
        log += command + "\n";
    EXPECT_EQ(dir.read("out/demo.log"), log);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZarnctlDemo,
                         testing::Values(DemoCase{"Default", 200, std::nullopt},
                                         DemoCase{"OneRecord", 1, std::nullopt},
                                         DemoCase{"German", 1500, 3},
                                         DemoCase{"MostAFileHolds", structfile::MaxRows - 1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
