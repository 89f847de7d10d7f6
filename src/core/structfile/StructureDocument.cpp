#include "core/structfile/StructureDocument.h"

namespace zarn {

StructureDocument::StructureDocument(Workspace& workspace)
    : workspace_(workspace), protocol_(workspace.texts()) {}

StructureParts StructureDocument::parts() {
    return {workspace_.tree(), workspace_.results(), heading_, comments_, protocol_};
}

StructureEnvironment StructureDocument::environment() const {
    return {ui_, &workspace_.texts(), rememberDefaults_ ? &workspace_.settings() : nullptr};
}

void StructureDocument::loadPrintoutSettings() {
    heading_.load(workspace_.settings());
    comments_.load(workspace_.settings());
}

std::optional<StructureReadResult> StructureDocument::open() {
    if (!ui_)
        return std::nullopt;
    if (workspace_.askToKeepData(*ui_) == modal::Cancel)
        return std::nullopt;
    auto& doc = workspace_.document();
    FileDialogRequest request;
    request.title = workspace_.texts().text("Open_30");
    request.filterName = doc.structFilesTypeName();
    request.extension = doc.extension();
    auto chosen = ui_->chooseOpenFile(request);
    if (!chosen)
        return std::nullopt;
    return openFile(*chosen);
}

StructureReadResult StructureDocument::openFile(const std::string& path) {
    auto& doc = workspace_.document();
    doc.setCurrentFileName(path);
    const auto result = readStructureFile(path, parts(), environment());
    if (!result.opened)
        return result;
    takeFamilyCode(result);
    workspace_.applyConfiguration();
    doc.setSaved(true);
    return result;
}

void StructureDocument::takeFamilyCode(const StructureReadResult& result) {
    if (result.opened && result.version != 0)
        setFamilyCode(result.family);
}

bool StructureDocument::writeFile(const std::string& path) {
    return saveStructureFile(path, parts(), familyCode(), environment()).ok;
}

bool StructureDocument::writeTo(const std::string& path) {
    if (!writeFile(path))
        return false;
    workspace_.document().setSaved(true);
    return true;
}

void StructureDocument::close() {
    protocol_.ClearProtocol(rememberDefaults_ ? &workspace_.settings() : nullptr);
}

} // namespace zarn
