// Files replaced together: targets change only on commit, all of them, and nothing is left
// behind either way.
#include "core/base/StagedFiles.h"

#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace zarn {
namespace {

std::set<std::string> names(const std::filesystem::path& dir) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.insert(e.path().filename().string());
    return out;
}

// The folder before: a.txt and b.txt of an earlier run, other.txt of somebody else.
struct Folder {
    Folder() {
        dir.write("a.txt", "old a");
        dir.write("b.txt", "old b");
        dir.write("other.txt", "keep");
        ::chmod(dir.file("a.txt").c_str(), 0640);
    }
    test::TempDir dir{"staged"};
};

TEST(StagedFiles, CommitReplacesEveryTargetAndLeavesOtherFilesAlone) {
    Folder f;
    {
        StagedFiles staged(f.dir.path().string());
        ASSERT_TRUE(writeFileAtomically(staged.stage("a.txt"), "new a").ok);
        ASSERT_TRUE(writeFileAtomically(staged.stage("b.txt"), "new b").ok);
        ASSERT_TRUE(writeFileAtomically(staged.stage("c.txt"), "new c").ok);
        // Nothing has changed yet.
        EXPECT_EQ(f.dir.read("a.txt"), "old a");
        EXPECT_FALSE(std::filesystem::exists(staged.target("c.txt")));
        const WriteResult done = staged.commit();
        ASSERT_TRUE(done.ok) << done.message;
    }
    EXPECT_EQ(names(f.dir.path()), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "other.txt"}));
    EXPECT_EQ(f.dir.read("a.txt"), "new a");
    EXPECT_EQ(f.dir.read("b.txt"), "new b");
    EXPECT_EQ(f.dir.read("c.txt"), "new c");
    EXPECT_EQ(f.dir.read("other.txt"), "keep");
    struct stat st {};
    ASSERT_EQ(::stat(f.dir.file("a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(StagedFiles, WithoutACompleteCommitEveryTargetStaysAsItWas) {
    for (const bool tryCommit : {false, true}) {
        Folder f;
        {
            StagedFiles staged(f.dir.path().string());
            ASSERT_TRUE(writeFileAtomically(staged.stage("a.txt"), "new a").ok);
            staged.stage("b.txt"); // never written: an interrupted run
            if (tryCommit) {
                const WriteResult done = staged.commit();
                EXPECT_FALSE(done.ok);
                EXPECT_NE(done.message.find("b.txt"), std::string::npos) << done.message;
            }
        }
        EXPECT_EQ(names(f.dir.path()), (std::set<std::string>{"a.txt", "b.txt", "other.txt"}))
            << tryCommit;
        EXPECT_EQ(f.dir.read("a.txt"), "old a");
        EXPECT_EQ(f.dir.read("b.txt"), "old b");
    }
}

} // namespace
} // namespace zarn
