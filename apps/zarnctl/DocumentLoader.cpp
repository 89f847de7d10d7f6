#include "DocumentLoader.h"

#include "core/inspection/ProtLanguage.h"
#include "core/lang/TextEncoding.h"

#include <filesystem>

namespace zarnctl {

LoadedDocument::LoadedDocument(Context& ctx) : ctx_(ctx), workspace_(ctx.programDir) {
    language_ = std::make_unique<zarn::TLanguage>(ctx.programDir, workspace_.texts(),
                                                  workspace_.namef(), ctx.ui);
    language_->setStartupBegun();
    if (!language_->LoadLanguageList())
        throw CommandError("the language list in " + ctx.programDir + " cannot be used");
    const auto applied = language_->ApplyLanguage();
    if (applied.terminate || language_->terminateRequested())
        throw CommandError("the language file of " + ctx.programDir + " is incomplete");
    codePage_ = zarn::codePageForLcid(language_->lcid());
    workspace_.applyConfiguration();

    document_ = std::make_unique<zarn::StructureDocument>(workspace_);
    // A batch tool leaves the settings alone.
    document_->setRememberProtocolDefaults(false);
    document_->setInteraction(&ctx.ui);
    const auto languageFile = zarn::IniDocument::load(language_->languageFilePath());
    const auto texts = zarn::TProtLanguage::ApplyProtocolTexts(
        languageFile.value_or(zarn::IniDocument{}), document_->protocol());
    if (!texts.ok) {
        ctx.ui.showFatalError(texts.message());
        throw CommandError("the language file lacks protocol text " + texts.missingKey);
    }
}

zarn::StructureReadResult LoadedDocument::read(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        throw CommandError("cannot read " + path);
    auto result =
        zarn::readStructureFile(path, document_->parts(), {nullptr, &workspace_.texts(), nullptr});
    if (!result.opened)
        throw CommandError("cannot read " + path);
    document_->takeFamilyCode(result);
    return result;
}

std::string LoadedDocument::display(std::string_view bytes) const {
    return zarn::displayText(bytes, codePage_);
}

} // namespace zarnctl
