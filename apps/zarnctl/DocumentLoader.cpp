#include "DocumentLoader.h"

#include "core/lang/TextEncoding.h"

#include <filesystem>

namespace zarnctl {

LoadedDocument::LoadedDocument(Context& ctx) : session_(ctx.paths, ctx.ui) {
    // A batch tool leaves the settings alone.
    session_.structure().setRememberProtocolDefaults(false);
    const zarn::SessionTexts started = session_.startUp();
    const std::string& dir = ctx.paths.dataDir;
    using Failure = zarn::SessionTexts::Failure;
    switch (started.failure) {
    case Failure::None:
        break;
    case Failure::LanguageList:
        throw CommandError("the language list in " + dir + " cannot be used");
    case Failure::LanguageTexts:
    case Failure::EditionTexts:
        throw CommandError("the language file of " + dir + " is incomplete");
    case Failure::ProtocolTexts:
        throw CommandError("the language file lacks protocol text " + started.missingKey);
    }
    codePage_ = zarn::codePageForLcid(session_.language().lcid());
}

zarn::StructureReadResult LoadedDocument::read(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        throw CommandError("cannot read " + path);
    auto& ws = workspace();
    auto result =
        zarn::readStructureFile(path, document().parts(), {nullptr, &ws.texts(), nullptr});
    if (!result.opened)
        throw CommandError("cannot read " + path);
    document().takeFamilyCode(result);
    return result;
}

std::string LoadedDocument::display(std::string_view bytes) const {
    return zarn::displayText(bytes, codePage_);
}

} // namespace zarnctl
