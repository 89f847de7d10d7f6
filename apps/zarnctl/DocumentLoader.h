// What the document commands share: the program's session started as zarn starts it (language,
// texts, configuration), and a structure file read into it with every rule of the reader.
#pragma once

#include "Command.h"
#include "core/app/Workspace.h"
#include "core/session/ProgramSession.h"
#include "core/structfile/StructureDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace zarnctl {

class LoadedDocument {
public:
    // Starts the session in the program directory (a broken language installation is a
    // CommandError). `language` (from 1, in the order of LNG_MAIN.INI) is taken for this run
    // instead of the stored choice, which stays as it is; a number the list lacks is a
    // UsageError.
    explicit LoadedDocument(Context& ctx, std::optional<int> language = std::nullopt);

    // Reads the structure file; a file that cannot be read is a CommandError.
    zarn::StructureReadResult read(const std::string& path);
    // As read(), for commands that write what they read: a file that is no structure file, or
    // holds results of another family, is a CommandError.
    zarn::StructureReadResult readResults(const std::string& path);

    zarn::ProgramSession& session() { return session_; }
    zarn::Workspace& workspace() { return session_.workspace(); }
    zarn::StructureDocument& document() { return session_.structure(); }
    // The stored bytes as UTF-8 for output: UTF-8 stays, other bytes are decoded with the
    // code page of the language in use.
    std::string display(std::string_view bytes) const;
    // Code page of stored bytes that are not UTF-8.
    int codePage() const { return codePage_; }
    // The language's caption of a window's control ("TPersonalData", "Operater"); empty when
    // the language file has none.
    std::string uiText(std::string_view window, std::string_view control) const;

private:
    zarn::ProgramSession session_;
    int codePage_ = 1252;
    std::vector<zarn::UiText> uiTexts_;
};

// The node at a path of 1-based child positions from the roots ("1.2": the second child of
// the first root). A malformed path is a UsageError, a missing node a CommandError.
zarn::NodeHandle nodeAtPath(const zarn::InstallationTree& tree, const std::string& path);

} // namespace zarnctl
