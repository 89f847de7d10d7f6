// The language object: the list of languages, and loading one language into the text table,
// the windows (as a list of texts to apply) and the NAMEF tables.
//
// Files, all in the program directory:
//   LNG_MAIN.INI  section [Languages] lists the language keys in dialog order; a section per
//                 key gives DispName (shown in the dialog), File (the language file) and lcid.
//   language file sections LANGUAGE (every text), PROTOCOL (protocol forms) and NAMEF.
//   ZARN.INI      [SETUP] Language = 1-based number of the chosen language (missing/0: first).
//
// A language file lacking a text is a broken installation: the error is shown with the plain
// error box and the start-up language is reset to the first one. The program must then end;
// this class reports that (terminateRequested()) and leaves ending to the caller.
#pragma once

#include "core/lang/LanguageKeys.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zarn {

class IniDocument;
class NamefTables;
class TLStr;
class UserInteraction;

// What loading a language produced.
struct AppliedLanguage {
    bool terminate = false;      // a required text was missing: the program must end
    std::vector<UiText> uiTexts; // texts for the windows, in reading order
    std::string currentFileName; // the structure-file name after the change
    uint8_t charset = 1;         // font character set of the language
};

class TLanguage {
public:
    static constexpr uint8_t DefaultCharset = 1;
    static constexpr uint8_t CyrillicCharset = 204;

    // `programDir` is the directory of LNG_MAIN.INI, the language files and ZARN.INI.
    TLanguage(std::string programDir, TLStr& texts, NamefTables& namef, UserInteraction& ui);
    ~TLanguage();
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

    // Set at the main window's first activation, before LoadLanguageList, never cleared.
    // Before it is set, a missing text is reported and left empty and loading goes on.
    void setStartupBegun() { startupBegun_ = true; }
    bool startupBegun() const { return startupBegun_; }

    // Reads the language list (without the retired keys) and selects the stored language.
    // False when the program must end.
    bool LoadLanguageList();

    // Loads the selected language: section LANGUAGE into the text table and the window texts,
    // section NAMEF into the NAMEF tables. `currentFileName` is the structure file in use; an
    // untitled structure takes the new language's untitled name.
    AppliedLanguage ApplyLanguage(std::string_view currentFileName = {});

    // The value of a key of section LANGUAGE of the language file last opened by
    // ApplyLanguage; "" on failure (reported; see terminateRequested()).
    std::string ReadText(std::string_view key);

    // The value of `name` in the language's section of LNG_MAIN.INI; nothing on failure
    // (reported, and the program must end).
    std::optional<std::string> ReadLanguageEntry(std::string_view languageKey,
                                                 std::string_view name);

    static uint8_t CharsetForLcid(int lcid);

    struct SelectedLanguage {
        std::string key;
        std::string file; // as LNG_MAIN.INI names it, relative to the program directory
    };
    // Takes the selected entry as the current language and reads its file name and lcid.
    // Nothing when that fails (reported, and the program must end).
    std::optional<SelectedLanguage> OpenSelectedLanguage();

    // Full path of the current language's file (after OpenSelectedLanguage or ApplyLanguage),
    // for the readers of sections PROTOCOL and NAMEF.
    std::string languageFilePath() const;

    bool terminateRequested() const { return terminate_; }

    // ZARN.INI, by default in the program directory; an installed program whose directory is
    // not writable keeps it elsewhere.
    void setSettingsPath(std::string path) { settingsFile_ = std::move(path); }
    std::string settingsPath() const;
    // A language chosen for one run only: a broken language file then leaves the stored
    // choice alone, since the stored language may be sound.
    void setChoiceForRunOnly(bool on) { choiceForRunOnly_ = on; }

    const std::string& programDir() const { return programDir_; }
    const std::string& currentKey() const { return currentKey_; }
    const std::vector<std::string>& languages() const { return languages_; }
    // Names shown by the radio buttons of the Select Language dialog, one per language.
    const std::vector<std::string>& displayNames() const { return displayNames_; }
    // The selected radio button (-1 when there is none).
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    uint8_t charset() const { return charset_; }
    int lcid() const { return lcid_; }

private:
    void fail(const std::string& message, bool resetLanguage);

    std::string programDir_;
    std::string settingsFile_;
    TLStr& texts_;
    NamefTables& namef_;
    UserInteraction& ui_;

    bool startupBegun_ = false;
    bool choiceForRunOnly_ = false;
    bool terminate_ = false;
    std::string currentKey_;
    std::string currentFile_;
    std::vector<std::string> languages_;
    std::vector<std::string> displayNames_;
    int itemIndex_ = -1;
    uint8_t charset_ = DefaultCharset;
    int lcid_ = 0;
    // Section LANGUAGE of the open language file, by key in lower case (first entry wins);
    // empty when the file is missing.
    std::unordered_map<std::string, std::string> languageTexts_;
};

// The logic of the Select Language dialog around the language object.
class LanguageSelection {
public:
    explicit LanguageSelection(TLanguage& language) : language_(language) {}

    // The dialog is shown: remember the selection.
    void activate() { remembered_ = language_.itemIndex(); }
    // The user clicks a radio button.
    void choose(int index) { language_.setItemIndex(index); }
    // OK: store the choice in ZARN.INI, then load it. The caller then reloads the protocol
    // texts, runs the edition set-up, resets the default names and refreshes the views.
    AppliedLanguage ok(std::string_view currentFileName);
    // The dialog closes (OK, Cancel or the window's close box): back to the remembered
    // selection, so Cancel changes nothing.
    void closeQuery() { language_.setItemIndex(remembered_); }

private:
    TLanguage& language_;
    int remembered_ = -1;
};

} // namespace zarn
