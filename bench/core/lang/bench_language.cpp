// Loading a whole language as start-up and a language switch do: the language list, every
// text of section LANGUAGE, the NAMEF tables and the protocol captions of section PROTOCOL.
#include "core/base/IniFile.h"
#include "core/lang/LStr.h"
#include "core/lang/Language.h"
#include "core/lang/LanguageKeys.h"
#include "core/lang/NamefTables.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

// The shipped data in a temporary program directory, with SETUP Language chosen.
class ProgramDir {
public:
    explicit ProgramDir(int language) : path_(dir_.path().string() + "/") {
        for (const auto& entry : std::filesystem::directory_iterator(ZARN_DATA_DIR)) {
            if (entry.is_regular_file() &&
                (entry.path().extension() == ".LNG" || entry.path().filename() == "LNG_MAIN.INI"))
                std::filesystem::copy_file(entry.path(), path_ + entry.path().filename().string());
        }
        zarn::PrivateProfile(path_ + "ZARN.INI")
            .write("SETUP", "Language", std::to_string(language));
    }
    const std::string& path() const { return path_; }

private:
    zarn::test::TempDir dir_{"zarn-bench-lang"};
    std::string path_;
};

// The floor: reading and splitting the language file once, without looking anything up.
void LanguageLoad_BaselineParseFile(benchmark::State& state) {
    ProgramDir dir(2);
    for (auto _ : state) {
        auto doc = zarn::IniDocument::load(dir.path() + "SLOVENSKI.LNG");
        benchmark::DoNotOptimize(doc);
    }
}
BENCHMARK(LanguageLoad_BaselineParseFile)
    ->Name("LanguageLoad/BaselineParseFile")
    ->Unit(benchmark::kMillisecond);

void LanguageLoad_WholeLanguage(benchmark::State& state) {
    ProgramDir dir(2);
    zarn::TLStr texts;
    zarn::NamefTables namef;
    zarn::ScriptedInteraction ui;
    for (auto _ : state) {
        zarn::TLanguage language(dir.path(), texts, namef, ui);
        language.setStartupBegun();
        language.LoadLanguageList();
        const auto applied = language.ApplyLanguage("");
        // Protocol captions, as the protocol window reads them after the language.
        const auto file = zarn::IniDocument::load(language.languageFilePath());
        size_t protocolBytes = 0;
        for (const auto& key : zarn::protocolTextKeys())
            protocolBytes += file->read("PROTOCOL", key).size();
        if (applied.terminate || !ui.fatalErrors.empty() || protocolBytes == 0)
            state.SkipWithError("the shipped language failed to load");
        benchmark::DoNotOptimize(applied);
    }
    state.SetLabel("goal: ms<20");
}
BENCHMARK(LanguageLoad_WholeLanguage)
    ->Name("LanguageLoad/WholeLanguage")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
