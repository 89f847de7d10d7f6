// zarn's command line, read before the window system starts, and where the program finds
// its files.
#include "core/session/CommandLine.h"

#include "core/lang/LanguageFixture.h"
#include "core/session/ProgramPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zarn {
namespace {

struct ArgsCase {
    const char* name;
    std::vector<std::string> args;
    std::string programDir;
    std::string file;
    bool error;
};

class ZarnCommandLine : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ZarnCommandLine, Reads) {
    const ArgsCase& c = GetParam();
    const CommandLine cl = parseCommandLine(c.args);
    EXPECT_EQ(!cl.error.empty(), c.error) << cl.error;
    if (c.error)
        return;
    EXPECT_EQ(cl.programDir.value_or(""), c.programDir);
    EXPECT_EQ(cl.file.value_or(""), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZarnCommandLine,
    ::testing::Values(
        ArgsCase{"Nothing", {}, "", "", false}, ArgsCase{"File", {"a.zrn"}, "", "a.zrn", false},
        ArgsCase{"DirAndFile", {"--program-dir", "/opt/z", "b.zrn"}, "/opt/z", "b.zrn", false},
        ArgsCase{"FileThenDirEquals", {"c.zrn", "--program-dir=/x"}, "/x", "c.zrn", false},
        ArgsCase{"DirMissing", {"--program-dir"}, "", "", true},
        ArgsCase{"UnknownOption", {"--frobnicate"}, "", "", true},
        // Qt's own options are passed over, values included.
        ArgsCase{"QtOptions",
                 {"-platform", "offscreen", "--style=fusion", "-reverse", "d.zrn"},
                 "",
                 "d.zrn",
                 false},
        ArgsCase{"QtOptionValueLooksLikeAFile",
                 {"-qwindowtitle", "t.zrn", "e.zrn"},
                 "",
                 "e.zrn",
                 false}),
    [](const ::testing::TestParamInfo<ArgsCase>& info) { return std::string(info.param.name); });

TEST(ZarnCommandLine, HelpVersionAndSimulator) {
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"a.zrn", "-h"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
    EXPECT_TRUE(parseCommandLine({"--simulator"}).simulator);
    EXPECT_FALSE(parseCommandLine({"--bogus", "--help"}).error.empty());
}

TEST(ProgramPaths, ProgramDirHoldsEverything) {
    const ProgramPaths p = ProgramPaths::resolve("/nonexistent/bin", std::string("/opt/zarn"));
    EXPECT_EQ(p.dataDir, "/opt/zarn/");
    EXPECT_EQ(p.settingsFile, "/opt/zarn/ZARN.INI");
}

// XDG_CONFIG_HOME pointed into a folder of the test for as long as it lives.
class ConfigHome {
public:
    explicit ConfigHome(const std::string& dir) {
        if (const char* before = std::getenv("XDG_CONFIG_HOME"))
            saved_ = before;
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    ~ConfigHome() {
        saved_ ? ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

private:
    std::optional<std::string> saved_;
};

struct LayoutCase {
    const char* name;
    bool portable;          // LNG_MAIN.INI beside the executable
    bool oldSettingsBeside; // a ZARN.INI beside the executable from an earlier version
    const char* dataDir;    // relative to the root
    const char* settings;   // relative to the root
    const char* settingsText;
};

class ProgramLayout : public ::testing::TestWithParam<LayoutCase> {};

// bin/ is writable here (as /usr/bin is to root): only a portable program keeps its settings
// there; an installed one keeps them in the config home whoever runs it.
TEST_P(ProgramLayout, DataAndSettings) {
    const LayoutCase& c = GetParam();
    zarn::testing::ProgramDir root;
    const std::string r = root.path();
    std::filesystem::create_directories(r + "bin");
    std::filesystem::create_directories(r + "share/zarn");
    if (c.portable)
        std::ofstream(r + "bin/LNG_MAIN.INI") << "";
    if (c.oldSettingsBeside)
        std::ofstream(r + "bin/ZARN.INI") << "[SETUP]\r\nCOM=3\r\n";
    ConfigHome home(r + "config");

    const ProgramPaths p = ProgramPaths::resolve(r + "bin", std::nullopt);
    EXPECT_EQ(p.dataDir, r + c.dataDir);
    EXPECT_EQ(p.settingsFile, r + c.settings);
    std::ifstream in(p.settingsFile, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text, c.settingsText);
    // Resolving again changes nothing: settings written meanwhile are not overwritten.
    if (!c.portable) {
        std::ofstream(p.settingsFile, std::ios::binary) << "[SETUP]\r\nCOM=5\r\n";
        EXPECT_EQ(ProgramPaths::resolve(r + "bin", std::nullopt).settingsFile, p.settingsFile);
        std::ifstream again(p.settingsFile, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "[SETUP]\r\nCOM=5\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramLayout,
    ::testing::Values(LayoutCase{"Portable", true, false, "bin/", "bin/ZARN.INI", ""},
                      LayoutCase{"PortableWithSettings", true, true, "bin/", "bin/ZARN.INI",
                                 "[SETUP]\r\nCOM=3\r\n"},
                      LayoutCase{"Installed", false, false, "share/zarn/", "config/zarn/ZARN.INI",
                                 ""},
                      // Settings an earlier version kept beside the executable come along once.
                      LayoutCase{"InstalledWithOldSettings", false, true, "share/zarn/",
                                 "config/zarn/ZARN.INI", "[SETUP]\r\nCOM=3\r\n"}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(ProgramPaths, ReadOnlyProgramDirKeepsSettingsInTheConfigHome) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere; the zarnctl install test covers this as nobody";
    zarn::testing::ProgramDir root;
    const std::string r = root.path();
    std::filesystem::create_directories(r + "bin");
    ::chmod((r + "bin").c_str(), 0555);
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before ? before : "";
    ::setenv("XDG_CONFIG_HOME", (r + "config").c_str(), 1);
    const ProgramPaths p = ProgramPaths::resolve(r + "bin", std::nullopt);
    before ? ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    ::chmod((r + "bin").c_str(), 0755);
    EXPECT_EQ(p.settingsFile, r + "config/zarn/ZARN.INI");
    EXPECT_TRUE(std::filesystem::is_directory(r + "config/zarn"));
}

TEST(ProgramPaths, ExecutableDirIsTheTestsOwn) {
    const std::string dir = ProgramPaths::executableDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(dir, std::string(ZARN_BIN_DIR)));
}

} // namespace
} // namespace zarn
