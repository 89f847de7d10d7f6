#include "core/session/ProgramSession.h"

#include "core/base/IniFile.h"
#include "core/inspection/ProtLanguage.h"
#include "core/lang/LanguageKeys.h"

namespace zarn {

ProgramSession::ProgramSession(ProgramPaths paths, UserInteraction& ui)
    : paths_(std::move(paths)), ui_(ui), workspace_(paths_.dataDir, paths_.settingsFile),
      language_(paths_.dataDir, workspace_.texts(), workspace_.namef(), ui),
      structure_(workspace_) {
    language_.setSettingsPath(paths_.settingsFile);
    structure_.setInteraction(&ui_);
}

SessionTexts ProgramSession::startUp() {
    language_.setStartupBegun();
    language_.setChoiceForRunOnly(runLanguage_.has_value());
    if (!language_.LoadLanguageList()) {
        SessionTexts failed;
        failed.failure = SessionTexts::Failure::LanguageList;
        return failed;
    }
    if (runLanguage_) {
        if (*runLanguage_ < 0 ||
            static_cast<size_t>(*runLanguage_) >= language_.languages().size()) {
            SessionTexts failed;
            failed.failure = SessionTexts::Failure::NoSuchLanguage;
            return failed;
        }
        language_.setItemIndex(*runLanguage_);
    }
    SessionTexts result =
        takeLanguage(language_.ApplyLanguage(workspace_.document().currentFileName()));
    if (!result.ok())
        return result;
    DocumentState& document = workspace_.document();
    document.setCurrentFileName({});
    document.setSaved(true);
    portSetup_.choice = readComSetup(workspace_.settings());
    return result;
}

void ProgramSession::loadUserSettings() {
    structure_.loadPrintoutSettings();
    workspace_.loadDefaultNames();
}

SessionTexts ProgramSession::changeLanguage(int index) {
    LanguageSelection selection(language_);
    selection.activate();
    selection.choose(index);
    SessionTexts result = takeLanguage(selection.ok(workspace_.document().currentFileName()));
    if (result.ok())
        workspace_.resetDefaultNames();
    return result;
}

SessionTexts ProgramSession::takeLanguage(AppliedLanguage applied) {
    SessionTexts result;
    if (applied.terminate || language_.terminateRequested()) {
        result.failure = SessionTexts::Failure::LanguageTexts;
        return result;
    }
    result.uiTexts = std::move(applied.uiTexts);
    DocumentState& document = workspace_.document();
    if (!applied.currentFileName.empty() || !document.currentFileName().empty())
        document.setCurrentFileName(applied.currentFileName);
    if (!loadProtocolTexts(result))
        return result;
    if (!readEditionTexts()) {
        result.failure = SessionTexts::Failure::EditionTexts;
        return result;
    }
    workspace_.applyConfiguration();
    return result;
}

bool ProgramSession::loadProtocolTexts(SessionTexts& result) {
    const auto file = IniDocument::load(language_.languageFilePath());
    const auto applied =
        TProtLanguage::ApplyProtocolTexts(file.value_or(IniDocument{}), structure_.protocol());
    if (!applied.ok) {
        ui_.showFatalError(applied.message());
        result.failure = SessionTexts::Failure::ProtocolTexts;
        result.missingKey = applied.missingKey;
        return false;
    }
    structure_.protocol().setHeaderCharset(language_.charset());
    return true;
}

// The few texts of this edition (caption, extension, help file, About texts) are read from
// the language file after the rest of it.
bool ProgramSession::readEditionTexts() {
    for (const std::string& key : editionKeys()) {
        std::string value = language_.ReadText(key);
        if (language_.terminateRequested())
            return false;
        workspace_.texts().set(key, value);
    }
    return true;
}

void ProgramSession::useDeviceForRun(int portIndex, std::string device) {
    if (portIndex < 0 || portIndex >= ComPortItemCount)
        return;
    portSetup_.runDevices[portIndex + 1] = std::move(device);
    portSetup_.choice.portIndex = portIndex;
}

ComPortMap ProgramSession::portMap() const {
    return portMapFor(workspace_.settings(), portSetup_);
}

PreparedPort ProgramSession::preparePort(TVaComm& port) const {
    return zarn::preparePort(port, workspace_.settings(), portSetup_);
}

} // namespace zarn
