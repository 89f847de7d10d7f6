// The language files delivered in data/: a missing text ends the program at start-up, so
// every shipped language must be complete.
#include "LanguageFixture.h"
#include "core/base/TextRoutines.h"
#include "core/lang/TextEncoding.h"

#include <gtest/gtest.h>
#include <set>

using namespace zarn;
using namespace zarn::testing;

namespace {

const std::string DataDir = std::string(ZARN_SOURCE_DIR) + "/data/";

IniDocument loadData(const std::string& name) {
    auto doc = IniDocument::load(DataDir + name);
    EXPECT_TRUE(doc.has_value()) << name;
    return doc ? *doc : IniDocument();
}

std::vector<std::string> shippedLanguages() {
    return loadData("LNG_MAIN.INI").keys("Languages");
}

// NAMEF keys of a file with their values.
std::map<std::string, std::string> namefOf(const IniDocument& doc) {
    std::map<std::string, std::string> out;
    for (const auto& line : doc.entries("NAMEF")) {
        const auto eq = line.find('=');
        out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

} // namespace

TEST(ShippedLanguages, IndexListsTheThreeLanguagesEnglishFirst) {
    const auto index = loadData("LNG_MAIN.INI");
    const auto keys = shippedLanguages();
    ASSERT_GE(keys.size(), 3u);
    EXPECT_EQ(keys[0], "ENGLISH1");
    const std::map<std::string, std::string> lcids = {
        {"ENGLISH1", "1033"}, {"SLOVENSKI1", "1060"}, {"DEUTSCH1", "1031"}};
    for (const auto& [key, lcid] : lcids) {
        EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << key;
        EXPECT_EQ(index.read(key, "lcid"), lcid) << key;
    }
}

class ShippedLanguage : public ::testing::TestWithParam<std::string> {
protected:
    std::string fileName() const { return loadData("LNG_MAIN.INI").read(GetParam(), "File"); }
};

TEST_P(ShippedLanguage, HoldsEveryRequiredText) {
    const auto file = fileName();
    ASSERT_FALSE(file.empty());
    const auto doc = loadData(file);
    for (const auto& key : requiredLanguageKeys())
        EXPECT_FALSE(doc.read("LANGUAGE", key).empty()) << file << ": LANGUAGE " << key;
    for (const auto& key : protocolTextKeys())
        EXPECT_FALSE(doc.read("PROTOCOL", key).empty()) << file << ": PROTOCOL " << key;
    EXPECT_FALSE(doc.entries("NAMEF").empty()) << file;
}

TEST_P(ShippedLanguage, IsUtf8AndNamesThisProduct) {
    const auto file = fileName();
    const auto doc = loadData(file);
    EXPECT_TRUE(isValidUtf8(doc.bytes())) << file;
    EXPECT_EQ(doc.read("LANGUAGE", "ExtensionMini_3"), "zrn");
    EXPECT_EQ(doc.read("LANGUAGE", "ExtensionVEKO_3"), "zrn");
    const std::map<std::string, std::string> help = {
        {"ENGLISH1", "ZARN_EN.HTM"}, {"SLOVENSKI1", "ZARN_SL.HTM"}, {"DEUTSCH1", "ZARN_DE.HTM"}};
    if (help.count(GetParam())) {
        EXPECT_EQ(doc.read("LANGUAGE", "HelpFileMini_12"), help.at(GetParam()));
    }
}

// The instrument sends codes; every language must name the same codes, within the lengths
// the tables keep (a longer name would be cut on screen).
TEST_P(ShippedLanguage, NamefCoversTheSameCodesAsEnglishWithinCapacity) {
    const auto english = namefOf(loadData("ENGLISH.LNG"));
    const auto mine = namefOf(loadData(fileName()));
    std::set<std::string> englishKeys, myKeys;
    for (const auto& [k, v] : english)
        englishKeys.insert(k);
    for (const auto& [k, v] : mine)
        myKeys.insert(k);
    EXPECT_EQ(myKeys, englishKeys);

    NamefTables tables;
    std::vector<std::string> lines;
    for (const auto& [k, v] : mine)
        lines.push_back(k + "=" + v);
    tables.load(lines);
    for (int code = 1; code <= 20; ++code)
        EXPECT_FALSE(tables.function(code).empty()) << "function " << code;
    for (const auto& [key, value] : mine) {
        const int code = std::stoi(key.substr(key.find_first_of("0123456789")));
        std::string stored;
        if (key.starts_with("funkcija"))
            stored = tables.function(code);
        else if (key.starts_with("velicina"))
            stored = tables.quantity(code);
        else if (key.starts_with("enota"))
            stored = tables.unit(code);
        else if (key.starts_with("text"))
            stored = text::replaceChar(tables.text(code), ' ', '_');
        EXPECT_EQ(stored, value) << fileName() << " " << key;
    }
}

// The whole start-up path over the shipped files: list, texts and NAMEF, without a message.
TEST_P(ShippedLanguage, LoadsThroughTheLanguageObject) {
    const auto languages = shippedLanguages();
    const auto position = std::find(languages.begin(), languages.end(), GetParam());
    ProgramDir dir;
    for (const auto& entry : std::filesystem::directory_iterator(DataDir)) {
        if (entry.is_regular_file())
            std::filesystem::copy_file(entry.path(), dir.path() + entry.path().filename().string());
    }
    dir.write("ZARN.INI",
              "[SETUP]\nLanguage=" + std::to_string(position - languages.begin() + 1) + "\n");
    LanguageRig rig(dir);
    rig.language.setStartupBegun();
    ASSERT_TRUE(rig.language.LoadLanguageList());
    const auto applied = rig.language.ApplyLanguage();
    EXPECT_FALSE(applied.terminate);
    EXPECT_TRUE(rig.messages().empty());
    EXPECT_EQ(rig.language.currentKey(), GetParam());
    EXPECT_EQ(rig.texts.defaultFileName().substr(rig.texts.defaultFileName().size() - 4), ".zrn");
    for (const auto& key : editionKeys())
        EXPECT_FALSE(rig.language.ReadText(key).empty()) << key;
    EXPECT_FALSE(rig.language.terminateRequested());
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedLanguage, ::testing::ValuesIn(shippedLanguages()),
                         [](const auto& info) { return info.param; });
