#include "core/base/AtomicFile.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"
#include "support/TestDocument.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>

using namespace zarn;
using namespace zarn::test;
namespace fs = std::filesystem;

namespace {

class SaveTarget : public ::testing::Test {
protected:
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

    TempDir tmp_{"zarn-save"};
    const fs::path dir_ = tmp_.path();
    const std::string path_ = tmp_.file("plan.zs");
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
    TestDocument d;
    fillRich(d);
    ScriptedInteraction ui;
    const auto saved = saveStructureFile(path_, d.parts, 16, {&ui, &d.texts, nullptr});
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(fileBytes(), writeStructure(d.parts, 16, {}));

    TestDocument back;
    const auto read = readStructureFile(path_, back.parts, {&ui, &back.texts, nullptr});
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(describeTree(back.tree), describeTree(d.tree));
}

TEST_F(SaveTarget, FullDiskKeepsTheOldFileByteForByte) {
    const std::string old = "*** INSTAL STRUCTURE v11\r\nprevious contents\r\n";
    std::ofstream(path_, std::ios::binary) << old;
    TestDocument d;
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

TEST_F(SaveTarget, OnlyTablesTheReaderTakesAreSaved) {
    struct Case {
        const char* name;
        int extraRows;
        int cols;
        bool saved;
    };
    const Case cases[] = {{"largest", 0, 10, true},
                          {"a row too many", 1, 10, false},
                          {"a column too many", 0, structfile::MaxColumns + 1, false}};
    for (const auto& c : cases) {
        const std::string old = "*** INSTAL STRUCTURE v11\r\nprevious contents\r\n";
        std::ofstream(path_, std::ios::binary) << old;
        TestDocument d;
        if (c.cols > structfile::MaxColumns)
            fillRich(d);
        else
            fillLarge(d);
        for (int i = 0; i < c.extraRows; ++i)
            d.table.setCell(1, d.table.addRow(), "1\r200\r9");
        d.table.setColCount(c.cols);
        ScriptedInteraction ui;
        const auto saved = saveStructureFile(path_, d.parts, 16, {&ui, &d.texts, nullptr});
        EXPECT_EQ(saved.ok, c.saved) << c.name;
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"plan.zs"}) << c.name;
        if (c.saved) {
            // Reopened whole, and written again to the same bytes.
            const std::string bytes = fileBytes();
            TestDocument back;
            EXPECT_TRUE(back.read(bytes).tookWholeFile()) << c.name;
            EXPECT_EQ(back.write(), bytes) << c.name;
            EXPECT_TRUE(ui.messages.empty());
            continue;
        }
        EXPECT_EQ(fileBytes(), old) << c.name;
        EXPECT_NE(saved.error.find("at most 65536 rows (65535 results) and 1000 columns"),
                  std::string::npos)
            << saved.error;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.messages[0].type, DialogType::Error);
        EXPECT_EQ(ui.messages[0].text.find(path_), 0u);
        EXPECT_FALSE(ui.progressVisible);
    }
}

TEST_F(SaveTarget, MissingFolderFailsWithMessage) {
    TestDocument d;
    ScriptedInteraction ui;
    const auto saved =
        saveStructureFile((dir_ / "no" / "x.zs").string(), d.parts, 16, {&ui, &d.texts, nullptr});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(SaveTarget, UnreadableFileShowsFileNotExistAndChangesNothing) {
    TestDocument d;
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

// Saving through a symbolic link writes the file at the end of the chain and keeps the links
// and the file's permission bits.
TEST_F(SaveTarget, SaveThroughLinkWritesTheTargetAndKeepsTheLink) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link (in dir) -> as written
        std::string target;                                     // relative to dir
        std::optional<fs::perms> existingMode;                  // nothing: target is missing
    };
    const Case cases[] = {
        {"relative link", {{"plan.zs", "real/plan.zs"}}, "real/plan.zs", fs::perms(0640)},
        {"chain",
         {{"plan.zs", "@hop"}, {"hop", "deep/../other/target.zs"}},
         "other/target.zs",
         fs::perms(0604)},
        {"dangling link", {{"plan.zs", "new.zs"}}, "new.zs", std::nullopt},
    };
    TestDocument d;
    fillRich(d);
    const std::string bytes = writeStructure(d.parts, 16, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        for (const char* sub : {"real", "other", "deep"})
            fs::create_directories(dir_ / sub);
        const fs::path target = dir_ / c.target;
        if (c.existingMode) {
            std::ofstream(target, std::ios::binary) << "old";
            fs::permissions(target, *c.existingMode);
        }
        for (const auto& [link, to] : c.links) // "@name" is an absolute link into dir
            fs::create_symlink(to[0] == '@' ? dir_ / to.substr(1) : fs::path(to), dir_ / link);

        ScriptedInteraction ui;
        const auto saved = saveStructureFile(path_, d.parts, 16, {&ui, &d.texts, nullptr});
        ASSERT_TRUE(saved.ok) << saved.error;
        for (const auto& [link, to] : c.links) {
            ASSERT_TRUE(fs::is_symlink(dir_ / link)) << link;
            EXPECT_EQ(fs::read_symlink(dir_ / link),
                      to[0] == '@' ? dir_ / to.substr(1) : fs::path(to));
        }
        std::string written;
        ASSERT_TRUE(readWholeFile(target.string(), written));
        EXPECT_EQ(written, bytes);
        if (c.existingMode) {
            EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, *c.existingMode);
        }
        // No temporary file is left beside the target.
        for (const auto& e : fs::recursive_directory_iterator(dir_))
            EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    }
}

TEST_F(SaveTarget, LinkLoopFailsAndChangesNothing) {
    fs::create_symlink("b", dir_ / "a");
    fs::create_symlink("a", dir_ / "b");
    TestDocument d;
    ScriptedInteraction ui;
    const auto saved =
        saveStructureFile((dir_ / "a").string(), d.parts, 16, {&ui, &d.texts, nullptr});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(dir_ / "a"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "b"));
}
