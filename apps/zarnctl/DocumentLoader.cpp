#include "DocumentLoader.h"

#include "core/lang/TextEncoding.h"
#include "core/inspection/ProtLanguage.h"

#include <algorithm>
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
    uiTexts_ = applied.uiTexts;
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

std::string LoadedDocument::uiText(std::string_view window, std::string_view control) const {
    for (const auto& t : uiTexts_) {
        if (t.role == zarn::TextRole::Caption && t.window == window && t.control == control)
            return t.text;
    }
    return {};
}

zarn::NodeHandle nodeAtPath(const zarn::InstallationTree& tree, const std::string& path) {
    zarn::NodeHandle node = zarn::NoNode;
    size_t start = 0;
    while (start <= path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos)
            dot = path.size();
        const std::string part = path.substr(start, dot - start);
        if (part.empty() || part.size() > 9 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw UsageError("PATH must be positions from 1 separated by dots, like 1.2");
        const int position = numberOption("--node", part, 1, 999999999);
        if (position < 1 || position > tree.childCount(node))
            throw CommandError("there is no node " + path);
        node = tree.child(node, position - 1);
        start = dot + 1;
    }
    return node;
}

std::string LoadedDocument::display(std::string_view bytes) const {
    return zarn::displayText(bytes, codePage_);
}

} // namespace zarnctl
