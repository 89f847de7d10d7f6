// Fuzzes the language loader over a generated program directory.
//
// Input: LNG_MAIN.INI, then the language file, then ZARN.INI, separated by "\n----\n"; an
// input without separator is a language file under a fixed index. Byte 0 decides whether
// start-up has begun (fatal errors end loading) or not (loading goes on).
#include "core/lang/LStr.h"
#include "core/lang/Language.h"
#include "core/lang/NamefTables.h"
#include "core/lang/TextEncoding.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string& programDir() {
    // Settings writes are synced to disk; a memory file system keeps runs fast.
    static const zarn::test::TempDir dir("zarn-fuzz-lang", std::filesystem::is_directory("/dev/shm")
                                                               ? "/dev/shm"
                                                               : std::filesystem::path());
    static const std::string path = dir.path().string() + "/";
    return path;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(programDir() + name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string takePart(std::string& rest, bool& found) {
    static const std::string separator = "\n----\n";
    const auto at = rest.find(separator);
    found = at != std::string::npos;
    if (!found) {
        std::string all = std::move(rest);
        rest.clear();
        return all;
    }
    std::string part = rest.substr(0, at);
    rest.erase(0, at + separator.size());
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool startupBegun = (data[0] & 1) != 0;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);

    bool split = false;
    std::string index = takePart(rest, split);
    std::string languageFile;
    std::string settings;
    if (split) {
        bool more = false;
        languageFile = takePart(rest, more);
        settings = rest;
        // The index names files inside the program directory only: no path separators, so a
        // fuzzed name cannot reach device files outside the temporary directory.
        for (char& c : index) {
            if (c == '/')
                c = '_';
        }
    } else {
        languageFile = index;
        index = "[Languages]\nENGLISH1=\nDEUTSCH2=\nX1=\n[ENGLISH1]\nDispName=E\nFile=F.LNG\n"
                "lcid=1060\n[X1]\nDispName=X\nFile=F.LNG\nlcid=1071\n";
    }
    // The loader writes nothing but ZARN.INI, which is rewritten here on every run.
    writeFile("LNG_MAIN.INI", index);
    writeFile("F.LNG", languageFile);
    writeFile("ZARN.INI", settings);

    zarn::TLStr texts;
    zarn::NamefTables namef;
    zarn::ScriptedInteraction ui;
    zarn::TLanguage language(programDir(), texts, namef, ui);
    if (startupBegun)
        language.setStartupBegun();
    if (!language.LoadLanguageList())
        return 0;
    if (language.itemIndex() < 0 ||
        static_cast<size_t>(language.itemIndex()) >= language.languages().size())
        __builtin_trap(); // the stored number must always select an existing language
    const auto applied = language.ApplyLanguage("untitled");

    // Whatever the file held, the text table keeps its capacities.
    for (const auto& key : zarn::requiredLanguageKeys()) {
        const std::string& text = texts.text(key);
        if (text.size() > 4 * zarn::TLStr::capacityOf(key))
            __builtin_trap();
        (void)zarn::displayTextForLcid(text, language.lcid());
    }
    for (const auto& ui : applied.uiTexts)
        (void)zarn::displayText(ui.text, 1250);
    for (int code = 0; code < 1000; code += 37)
        (void)namef.function(code);
    return 0;
}
