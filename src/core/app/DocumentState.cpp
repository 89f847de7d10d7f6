#include "core/app/DocumentState.h"

#include "core/app/Configuration.h"
#include "core/base/TextRoutines.h"
#include "core/lang/TextCapacity.h"

#include <cctype>
#include <cstdio>

namespace zarn {

DocumentState::DocumentState(std::string programDir) {
    setProgramDir(std::move(programDir));
}

void DocumentState::setProgramDir(std::string dir) {
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    programDir_ = std::move(dir);
}

std::string DocumentState::programFile(std::string_view name) const {
    return programDir_ + std::string(name);
}

void DocumentState::changed() {
    if (onChange_)
        onChange_();
}

void DocumentState::setCurrentFileName(std::string name) {
    current_ = std::move(name);
    changed();
}

void DocumentState::setSaved(bool saved) {
    if (saved_ == saved)
        return;
    saved_ = saved;
    changed();
}

std::string DocumentState::caption() const {
    return captionText_ + ": " + current_;
}

std::string DocumentState::saveFilter() const {
    return typeName_ + " (*." + extension_ + ")|*." + extension_;
}

void DocumentState::applyConfiguration(const TLStr& texts) {
    const std::string oldDefault = default_;

    // The help file name is upper-cased and points at the compiled help; the directory keeps
    // its case, which matters on this system.
    std::string help = texts.text("HelpFileMini_12");
    for (char& c : help)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (const size_t at = help.find(".HLP"); at != std::string::npos)
        help.replace(at + 1, 3, "CHM");
    helpFile_ = programDir_ + help;

    extension_ = cutToCapacity(texts.text("ExtensionMini_3"), NameCapacity);
    captionText_ = texts.text("MainCaptionMini_20");
    typeName_ = texts.text("StructFiles_13");
    productName_ = texts.text("InstrNameMini_20");
    versionLine_ = texts.text("Version_20") + " " + std::string(Configuration::Version);
    versionLine2_ = versionLine_ + "-QZ";

    default_ = cutToCapacity(texts.text("Noname_8") + "." + extension_, NameCapacity);
    if (current_ == oldDefault)
        current_ = default_;
    // Only a dot in the file's own name starts an extension, not one in a directory name. The
    // extension matches whatever its case, as the file system the format comes from has it, so
    // "PLAN.ZRN" stays the file that was opened.
    const size_t slash = current_.rfind('/');
    const size_t dot = current_.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        !text::equalsIgnoreCase(std::string_view(current_).substr(dot + 1), extension_))
        current_ = current_.substr(0, dot + 1) + extension_;
    changed();
}

bool DocumentState::write(const std::string& path) {
    if (!writer_ || !writer_(path))
        return false;
    setSaved(true);
    return true;
}

int DocumentState::askToKeepData(UserInteraction& ui, const TLStr& texts, bool nothingToKeep) {
    if (nothingToKeep)
        return modal::Yes;
    while (!saved_) {
        std::string question = texts.text("SaveResults_30");
        question += hasChosenFile() ? std::string("\r") + current_ + " ?" : std::string(" ?");
        const int answer =
            ui.messageDlg(question, DialogType::Confirmation,
                          {DialogButton::Yes, DialogButton::No, DialogButton::Cancel});
        if (answer == modal::Cancel)
            return modal::Cancel;
        if (answer == modal::No)
            return modal::No;
        if (answer != modal::Yes)
            return modal::Cancel; // a dialog closed some other way keeps the data
        if (hasChosenFile())
            write(current_);
        else
            saveAs(ui, texts);
        // A failed write leaves the flag clear, so the question comes again.
    }
    return modal::Yes;
}

bool DocumentState::save(UserInteraction& ui, const TLStr& texts) {
    if (hasChosenFile())
        return write(current_);
    return saveAs(ui, texts);
}

bool DocumentState::saveAs(UserInteraction& ui, const TLStr& texts) {
    FileDialogRequest request;
    request.title = texts.text("SaveAs_30");
    request.filterName = typeName_;
    request.extension = extension_;
    request.proposedName = current_;
    for (;;) {
        auto chosen = ui.chooseSaveFile(request);
        if (!chosen)
            return false;
        std::string name = *chosen;
        const size_t slash = name.rfind('/');
        const size_t dot = name.rfind('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            name += "." + extension_;
        if (fileIsReadable(name)) {
            const std::string question =
                name + "\r" + texts.text("AlreadyExists_40") + "\r" + texts.text("ReplaceIt_40");
            const int answer =
                ui.messageDlg(question, DialogType::Warning,
                              {DialogButton::Yes, DialogButton::No, DialogButton::Cancel});
            if (answer == modal::No) {
                changed();
                request.proposedName = name;
                continue;
            }
            if (answer != modal::Yes) {
                changed();
                return false;
            }
        }
        setCurrentFileName(name);
        return write(name);
    }
}

bool fileIsReadable(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

} // namespace zarn
