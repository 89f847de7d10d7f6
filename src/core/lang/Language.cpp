#include "core/lang/Language.h"

#include "core/base/IniFile.h"
#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <algorithm>
#include <charconv>

namespace zarn {

namespace {

constexpr std::string_view IndexFileName = "LNG_MAIN.INI";
constexpr std::string_view SettingsFileName = "ZARN.INI";
constexpr std::string_view LanguageSection = "LANGUAGE";

// Keys of languages that an older index may still list but whose files are not maintained.
// They compare byte for byte: ESPA\xD1OL2 carries the Windows-1252 byte of the letter N tilde.
constexpr std::string_view RetiredLanguageKeys[] = {
    "ITALIANO2", "ITALIANO_QUELD", "ESPA\xD1OL2", "HUNGARIAN1",  "SVENSKA2",
    "DEUTSCH2",  "MAKEDONSKI1",    "PORTUGUES1",  "NEDERLANDS1", "ROMANIAN1"};

bool isRetired(std::string_view key) {
    return std::find(std::begin(RetiredLanguageKeys), std::end(RetiredLanguageKeys), key) !=
           std::end(RetiredLanguageKeys);
}

// A decimal integer with an optional sign that fits 32 bits.
std::optional<int> parseInteger(std::string_view textValue) {
    textValue = text::trim(textValue);
    if (!textValue.empty() && textValue.front() == '+')
        textValue.remove_prefix(1);
    int value = 0;
    const auto* end = textValue.data() + textValue.size();
    const auto [ptr, ec] = std::from_chars(textValue.data(), end, value);
    if (textValue.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Keys compare case-insensitively in ASCII, as in every INI file of the program.
std::string lowerCase(std::string_view key) {
    std::string out(key);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string withTrailingSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

} // namespace

TLanguage::TLanguage(std::string programDir, TLStr& texts, NamefTables& namef, UserInteraction& ui)
    : programDir_(withTrailingSeparator(std::move(programDir))), texts_(texts), namef_(namef),
      ui_(ui) {}

TLanguage::~TLanguage() = default;

std::string TLanguage::settingsPath() const {
    return settingsFile_.empty() ? programDir_ + std::string(SettingsFileName) : settingsFile_;
}

void TLanguage::fail(const std::string& message, bool resetLanguage) {
    ui_.showFatalError(message);
    // The next start then uses the first language, so a broken file cannot lock the user out.
    if (resetLanguage && !choiceForRunOnly_)
        PrivateProfile(settingsPath()).write("SETUP", "Language", "1");
}

bool TLanguage::LoadLanguageList() {
    terminate_ = false;
    languages_.clear();
    displayNames_.clear();
    itemIndex_ = -1;

    const auto index = IniDocument::load(programDir_ + std::string(IndexFileName));
    if (index) {
        for (auto& key : index->keys("Languages")) {
            if (!isRetired(key))
                languages_.push_back(std::move(key));
        }
    }
    if (languages_.empty()) {
        fail("Error in LANGUAGE.INI", false);
        terminate_ = true;
        return false;
    }

    auto entry = [&](const std::string& key, std::string_view name) -> std::optional<std::string> {
        std::string value = index->read(key, name);
        if (value.empty()) {
            fail("Error in LNG_MAIN.INI\r" + std::string(name), true);
            terminate_ = true;
            return std::nullopt;
        }
        return value;
    };
    for (const auto& key : languages_) {
        auto name = entry(key, "DispName");
        if (!name)
            return false;
        displayNames_.push_back(std::move(*name));
    }
    // Every language must have a usable lcid; the character set is taken when one is opened.
    for (const auto& key : languages_) {
        const auto lcidText = entry(key, "lcid");
        if (!lcidText)
            return false;
        if (!parseInteger(*lcidText)) {
            fail("Error in LNG_MAIN.INI\rlcid", true);
            terminate_ = true;
            return false;
        }
    }

    itemIndex_ = 0;
    const PrivateProfile settings(settingsPath());
    int n = text::digitsToInt(settings.read("SETUP", "LANGUAGE", "0"));
    if (n > static_cast<int>(languages_.size()))
        n = 1;
    if (n > 0)
        itemIndex_ = n - 1;
    return true;
}

void TLanguage::setItemIndex(int index) {
    itemIndex_ = (index >= 0 && static_cast<size_t>(index) < languages_.size()) ? index : -1;
}

std::optional<std::string> TLanguage::ReadLanguageEntry(std::string_view languageKey,
                                                        std::string_view name) {
    const auto index = IniDocument::load(programDir_ + std::string(IndexFileName));
    std::string value = index ? index->read(languageKey, name) : std::string();
    if (value.empty()) {
        fail("Error in LNG_MAIN.INI\r" + std::string(name), true);
        terminate_ = true;
        return std::nullopt;
    }
    return value;
}

uint8_t TLanguage::CharsetForLcid(int lcid) {
    return lcid == 1071 ? CyrillicCharset : DefaultCharset;
}

std::optional<TLanguage::SelectedLanguage> TLanguage::OpenSelectedLanguage() {
    if (itemIndex_ < 0 || static_cast<size_t>(itemIndex_) >= languages_.size()) {
        fail("Error in LANGUAGE.INI", false);
        terminate_ = true;
        return std::nullopt;
    }
    currentKey_ = languages_[static_cast<size_t>(itemIndex_)];
    auto file = ReadLanguageEntry(currentKey_, "File");
    if (!file)
        return std::nullopt;
    const auto lcidText = ReadLanguageEntry(currentKey_, "lcid");
    if (!lcidText)
        return std::nullopt;
    const auto lcid = parseInteger(*lcidText);
    if (!lcid) {
        fail("Error in LNG_MAIN.INI\rlcid", true);
        terminate_ = true;
        return std::nullopt;
    }
    currentFile_ = *file;
    lcid_ = *lcid;
    charset_ = CharsetForLcid(lcid_);
    return SelectedLanguage{currentKey_, currentFile_};
}

std::string TLanguage::languageFilePath() const {
    return programDir_ + currentFile_;
}

std::string TLanguage::ReadText(std::string_view key) {
    const auto it = languageTexts_.find(lowerCase(key));
    std::string value = it == languageTexts_.end() ? std::string() : it->second;
    if (value.empty()) {
        fail("Error in LANGUAGE.INI\r" + std::string(key), true);
        if (startupBegun_)
            terminate_ = true;
    }
    return value;
}

AppliedLanguage TLanguage::ApplyLanguage(std::string_view currentFileName) {
    terminate_ = false;
    AppliedLanguage out;
    out.currentFileName = std::string(currentFileName);

    const std::string oldDefault =
        texts_.defaultFileName().empty() ? std::string("..") : texts_.defaultFileName();

    if (!OpenSelectedLanguage()) {
        out.terminate = true;
        return out;
    }
    // A missing file reads as a file without keys: the first key reports it.
    const auto file = IniDocument::load(languageFilePath());
    languageTexts_.clear();
    if (file) {
        // Looked up once per key of the plan: an index instead of a scan per key.
        for (const auto& entry : file->entries(LanguageSection)) {
            const auto split = text::splitAt(entry, '=');
            languageTexts_.try_emplace(lowerCase(text::trim(split.before)),
                                       text::trim(split.after));
        }
    }

    for (const auto& step : languageKeyPlan()) {
        std::string value = ReadText(step.key);
        if (terminate_) {
            out.terminate = true;
            return out;
        }
        // Protocol table headings may span lines; the results view turns "$" into a line
        // break itself and the export into a comma, so only "Glava" keys are converted here.
        if (step.key.starts_with("Glava"))
            value = text::replaceChar(value, '$', text::CR);
        if (step.toTable)
            texts_.set(step.key, value);
        if (step.toUi) {
            if (step.role == TextRole::DialogButton)
                texts_.setButtonCaption(static_cast<size_t>(step.index), value);
            else if (step.role == TextRole::DialogTitle)
                texts_.setDialogTitle(static_cast<size_t>(step.index), value);
            out.uiTexts.push_back(
                {step.window, step.control, step.role, step.index, step.item, value});
        }
        if (step.key == "Measurements_30") {
            for (const auto& label : defaultNameLabels())
                out.uiTexts.push_back({"TDefaultNames", std::string(label.label), TextRole::Caption,
                                       -1, -1, texts_.text(label.kindKey) + ":"});
        }
    }
    // Column 0 has no unit, nor has column 4 of the first lightning-rod table.
    for (const char* key : {"GlavaE0_0", "GlavaFE0_0", "GlavaS1E0_0", "GlavaS1E4_0", "GlavaS2E0_0"})
        texts_.set(key, "");
    texts_.setDefaultFileName(texts_.text("Noname_8") + "." + texts_.text("ExtensionVEKO_3"));

    const auto namef = file ? file->entries("NAMEF") : std::vector<std::string>();
    if (namef.empty()) {
        fail("Error in NAMEF", true);
        terminate_ = true;
        out.terminate = true;
        return out;
    }
    namef_.load(namef);

    // An untitled structure takes the untitled name of the new language.
    if (out.currentFileName == oldDefault)
        out.currentFileName = texts_.defaultFileName();
    out.charset = charset_;
    return out;
}

AppliedLanguage LanguageSelection::ok(std::string_view currentFileName) {
    // Stored before the texts are applied: a broken language file resets it to 1.
    PrivateProfile(language_.settingsPath())
        .write("SETUP", "Language", text::toText(language_.itemIndex() + 1));
    AppliedLanguage applied = language_.ApplyLanguage(currentFileName);
    remembered_ = language_.itemIndex();
    return applied;
}

} // namespace zarn
