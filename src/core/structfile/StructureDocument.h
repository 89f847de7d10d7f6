// The structure document: the workspace (tree, results, document state) together with what
// travels with it in a structure file — printout heading, comments and protocol pages — and
// the file flows that read and write them (Open, the start-up file, Save and Save As).
#pragma once

#include "core/app/Workspace.h"
#include "core/structfile/StructFile.h"

#include <memory>
#include <string>

namespace zarn {

class StructureDocument {
public:
    explicit StructureDocument(Workspace& workspace);
    StructureDocument(const StructureDocument&) = delete;
    StructureDocument& operator=(const StructureDocument&) = delete;

    Workspace& workspace() { return workspace_; }
    PrintoutHeading& heading() { return heading_; }
    const PrintoutHeading& heading() const { return heading_; }
    PrintoutComments& comments() { return comments_; }
    const PrintoutComments& comments() const { return comments_; }
    TProtocol& protocol() { return protocol_; }
    const TProtocol& protocol() const { return protocol_; }
    StructureParts parts();

    // Data family code of the results in memory, kept by the document state so that
    // receiving results updates it too.
    int32_t familyCode() const { return workspace_.document().dataFamilyCode(); }
    void setFamilyCode(int32_t family) { workspace_.document().setDataFamilyCode(family); }
    // After a read: the file's code when its first line was a structure header; any other
    // file leaves the code of the results in memory as it was.
    void takeFamilyCode(const StructureReadResult& result);

    // Where the file flows ask, report and show progress. `ui` must outlive its use here.
    void setInteraction(UserInteraction* ui) { ui_ = ui; }
    // Whether teardowns leave the protocol's remembered values in ZARN.INI (the desktop does,
    // batch tools do not).
    void setRememberProtocolDefaults(bool on) { rememberDefaults_ = on; }

    // The OPERATOR, SITE and COMMENTS settings (start-up).
    void loadPrintoutSettings();

    // File › Open: asks to keep data, lets the user choose a file and reads it. Nothing when
    // the user cancelled.
    std::optional<StructureReadResult> open();
    // Reads the named file (the start-up parameter, or a chosen one): it becomes the current
    // file, the configuration is applied again and the document counts as saved.
    StructureReadResult openFile(const std::string& path);
    // Writes the document to a file now, without dialogs; true when written (the saved flag
    // is then set).
    bool writeTo(const std::string& path);
    // The document state's writer (Save, Save As): writes the file, or shows why it failed
    // and keeps the old file; the document state sets its saved flag itself.
    bool writeFile(const std::string& path);

    // Closing: the protocol is torn down.
    void close();

private:
    StructureEnvironment environment() const;

    Workspace& workspace_;
    PrintoutHeading heading_;
    PrintoutComments comments_;
    TProtocol protocol_;
    UserInteraction* ui_ = nullptr;
    bool rememberDefaults_ = true;
};

} // namespace zarn
