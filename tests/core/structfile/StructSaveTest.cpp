#include "StructFixture.h"
#include "core/app/AtomicFile.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zarn;
using namespace zarn::test;
namespace fs = std::filesystem;

namespace {

class SaveTarget : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zarn_save_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "plan.zs").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string fileBytes() const {
        std::string bytes;
        readWholeFile(path_, bytes);
        return bytes;
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        return names;
    }

    fs::path dir_;
    std::string path_;
};

// Makes every file write beyond `bytes` fail as on a full disk (EFBIG instead of a signal).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

TEST_F(SaveTarget, WritesTheFileAndReadsItBack) {
    Doc d;
    fillRich(d);
    ScriptedInteraction ui;
    const auto saved = saveStructureFile(path_, d.parts, 16, {&ui, &d.texts, nullptr});
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(fileBytes(), writeStructure(d.parts, 16, {}));

    Doc back;
    const auto read = readStructureFile(path_, back.parts, {&ui, &back.texts, nullptr});
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(describeTree(back.tree), describeTree(d.tree));
}

TEST_F(SaveTarget, FullDiskKeepsTheOldFileByteForByte) {
    const std::string old = "*** INSTAL STRUCTURE v11\r\nprevious contents\r\n";
    std::ofstream(path_, std::ios::binary) << old;
    Doc d;
    fillRich(d);
    for (int i = 0; i < 300; ++i) // make it well above the limit below
        d.table.setCell(5, d.table.addRow(), std::string(100, 'x'));
    ScriptedInteraction ui;
    StructureSaveResult saved;
    {
        FileSizeLimit limit(4096);
        saved = saveStructureFile(path_, d.parts, 16, {&ui, &d.texts, nullptr});
    }
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(fileBytes(), old);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"plan.zs"}); // no temporary file left
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].type, DialogType::Error);
    EXPECT_NE(ui.messages[0].text.find(path_), std::string::npos);
    EXPECT_FALSE(ui.progressVisible);
}

TEST_F(SaveTarget, MissingFolderFailsWithMessage) {
    Doc d;
    ScriptedInteraction ui;
    const auto saved =
        saveStructureFile((dir_ / "no" / "x.zs").string(), d.parts, 16, {&ui, &d.texts, nullptr});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(SaveTarget, UnreadableFileShowsFileNotExistAndChangesNothing) {
    Doc d;
    fillRich(d);
    ScriptedInteraction ui;
    for (const std::string& name : {path_ + ".missing", dir_.string()}) {
        const auto read = readStructureFile(name, d.parts, {&ui, &d.texts, nullptr});
        EXPECT_FALSE(read.opened);
    }
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "File does not exist");
    EXPECT_EQ(d.tree.nodeCount(), 6u);
    EXPECT_EQ(d.table.rowCount(), 4);
}
