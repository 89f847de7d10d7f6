// The program's start-up, shared by zarn and zarnctl.
//
// A session owns what the main window owns without its windows: the workspace (tree, results,
// document state, texts, settings), the language and the structure document with its
// printout heading, comments and protocol pages. It starts up in one order for both faces:
// the program directory, the language list and the chosen language (with its failure
// rules), the protocol texts, the edition texts, the configuration and the COM choice. The
// windows take the texts meant for them from the result.
//
// A start-up or a language change that fails has told the user already (the language's
// error boxes); the program must then end.
#pragma once

#include "core/app/Workspace.h"
#include "core/lang/Language.h"
#include "core/session/PortSetup.h"
#include "core/session/ProgramPaths.h"
#include "core/structfile/StructureDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace zarn {

class TVaComm;
class UserInteraction;

struct SessionTexts {
    enum class Failure {
        None,
        LanguageList,   // LNG_MAIN.INI missing, empty or with an incomplete entry
        LanguageTexts,  // a text of section LANGUAGE is missing, or the language file
        ProtocolTexts,  // a text of section PROTOCOL is missing (missingKey)
        EditionTexts,   // one of the edition's own texts is missing
        NoSuchLanguage, // the language chosen for the run is not in the list (nothing shown)
    };
    Failure failure = Failure::None;
    std::string missingKey;      // with ProtocolTexts
    std::vector<UiText> uiTexts; // for the windows, in reading order

    bool ok() const { return failure == Failure::None; }
};

class ProgramSession {
public:
    // `ui` must outlive the session.
    ProgramSession(ProgramPaths paths, UserInteraction& ui);
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    const ProgramPaths& paths() const { return paths_; }
    UserInteraction& ui() { return ui_; }
    Workspace& workspace() { return workspace_; }
    const Workspace& workspace() const { return workspace_; }
    TLanguage& language() { return language_; }
    const TLanguage& language() const { return language_; }
    StructureDocument& structure() { return structure_; }
    const StructureDocument& structure() const { return structure_; }

    // The first activation: texts, configuration, an untitled saved document, the COM
    // choice of SETUP COM and BAUD.
    SessionTexts startUp();
    // Start-up takes language `index` (0-based, in the order of LNG_MAIN.INI) instead of the
    // stored choice, and leaves the stored choice as it is (zarnctl demo --language).
    void useLanguageForRun(int index) { runLanguage_ = index; }
    // The settings the desktop shows besides: OPERATOR, SITE and COMMENTS, and DEFNAMES. A
    // batch tool leaves them out, so that what it writes depends on its input alone.
    void loadUserSettings();
    // Select Language > OK on entry `index`: the choice is stored, the texts are loaded
    // again, the configuration is applied and the default names are reset.
    SessionTexts changeLanguage(int index);

    // --- the port -----------------------------------------------------------------------
    ComSelection portChoice() const { return portSetup_.choice; }
    void setPortChoice(ComSelection choice) { portSetup_.choice = choice; }
    // For this run, COM<portIndex + 1> leads to `device` and is chosen (zarn --simulator).
    void useDeviceForRun(int portIndex, std::string device);
    // The port and speed a command line asked for (zarnctl --port, --baud).
    void setPortRequest(PortRequest request) { portSetup_.request = std::move(request); }
    // The COM items with their devices, as the COM dialog shows them.
    ComPortMap portMap() const;
    // Sets the port up for the next instrument command (see preparePort in PortSetup.h).
    PreparedPort preparePort(TVaComm& port) const;

private:
    // After a language was applied: the document's name, the protocol and edition texts.
    SessionTexts takeLanguage(AppliedLanguage applied);
    bool loadProtocolTexts(SessionTexts& result);
    bool readEditionTexts();

    ProgramPaths paths_;
    UserInteraction& ui_;
    Workspace workspace_;
    TLanguage language_;
    StructureDocument structure_;
    PortSetup portSetup_;
    std::optional<int> runLanguage_;
};

} // namespace zarn
