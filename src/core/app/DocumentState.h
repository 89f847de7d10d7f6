// The state of the document in use: which structure file it is, whether it is saved, and the
// flows that keep unsaved results from being lost (ask to keep data, Save, Save As).
//
// Writing the structure file itself is not done here: the owner supplies a writer. Every
// question goes through UserInteraction.
#pragma once

#include "core/app/Configuration.h"
#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zarn {

class DocumentState {
public:
    static constexpr size_t NameCapacity = 100; // default file name and extension

    // Writes the structure file to the path; false when it failed (the writer reports why).
    using FileWriter = std::function<bool(const std::string& path)>;

    explicit DocumentState(std::string programDir = {});

    // Directory of the executable, with a trailing "/".
    const std::string& programDir() const { return programDir_; }
    void setProgramDir(std::string dir);
    // A bare file name (ZARN.INI, language files, help file) in the program directory.
    std::string programFile(std::string_view name) const;

    const std::string& currentFileName() const { return current_; }
    void setCurrentFileName(std::string name);
    const std::string& defaultFileName() const { return default_; }
    const std::string& extension() const { return extension_; }
    const std::string& captionText() const { return captionText_; }
    const std::string& structFilesTypeName() const { return typeName_; }
    const std::string& helpFileName() const { return helpFile_; }
    // About box: product name and the two version lines.
    const std::string& productName() const { return productName_; }
    const std::string& versionLine() const { return versionLine_; }
    const std::string& versionLine2() const { return versionLine2_; }

    // The window caption: caption text + ": " + current file name.
    std::string caption() const;

    bool saved() const { return saved_; }
    void setSaved(bool saved);

    // Data family code of the results in memory: the product's until a structure file or an
    // instrument's identification says otherwise. Saving writes it as the file's family line.
    int32_t dataFamilyCode() const { return dataFamily_; }
    void setDataFamilyCode(int32_t code) { dataFamily_ = code; }

    // Called whenever the caption or the saved flag may have changed.
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }
    void setFileWriter(FileWriter writer) { writer_ = std::move(writer); }

    // Takes the language's texts for the extension, captions and file names, rebuilds the
    // default file name (Noname_8 + "." + extension) and moves the current file name along: the
    // old default becomes the new default, and a name with a dot gets the new extension.
    void applyConfiguration(const TLStr& texts);

    // The save dialog's filter: "<type name> (*.<ext>)|*.<ext>".
    std::string saveFilter() const;

    // Before data would be lost. `nothingToKeep` is true when the results table holds only its
    // identification row and the tree at most one node. Returns modal::Yes (go on, saved or
    // nothing to save), modal::No (go on, discard) or modal::Cancel (stop).
    int askToKeepData(UserInteraction& ui, const TLStr& texts, bool nothingToKeep);
    // File › Save: to the current file when it has been chosen, else Save As. True when the
    // file was written.
    bool save(UserInteraction& ui, const TLStr& texts);
    // File › Save As: choose a name (asking before replacing a file), make it current and write.
    // True when the file was written.
    bool saveAs(UserInteraction& ui, const TLStr& texts);

private:
    bool hasChosenFile() const { return !current_.empty() && current_ != default_; }
    bool write(const std::string& path);
    void changed();

    std::string programDir_;
    std::string current_;
    std::string default_;
    std::string extension_;
    std::string captionText_;
    std::string typeName_;
    std::string helpFile_;
    std::string productName_;
    std::string versionLine_;
    std::string versionLine2_;
    bool saved_ = true;
    int32_t dataFamily_ = Configuration::FamilyCode;
    FileWriter writer_;
    std::function<void()> onChange_;
};

// Whether a file of that name can be opened for reading.
bool fileIsReadable(const std::string& path);

} // namespace zarn
