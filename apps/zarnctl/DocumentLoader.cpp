#include "DocumentLoader.h"

#include "core/lang/TextEncoding.h"

#include <algorithm>
#include <filesystem>

namespace zarnctl {

LoadedDocument::LoadedDocument(Context& ctx, std::optional<int> language)
    : session_(ctx.paths, ctx.ui) {
    // A batch tool leaves the settings alone.
    session_.structure().setRememberProtocolDefaults(false);
    if (language)
        session_.useLanguageForRun(*language - 1);
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
    case Failure::NoSuchLanguage: {
        const auto& names = session_.language().displayNames();
        std::string list;
        for (size_t i = 0; i < names.size(); ++i)
            list += (i ? ", " : "") + std::to_string(i + 1) + " " + names[i];
        throw UsageError("there is no language " + std::to_string(language.value_or(0)) + " in " +
                         dir + "LNG_MAIN.INI; it lists " + list);
    }
    }
    codePage_ = zarn::codePageForLcid(session_.language().lcid());
    uiTexts_ = started.uiTexts;
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

zarn::StructureReadResult LoadedDocument::readResults(const std::string& path) {
    auto result = read(path);
    if (!result.version)
        throw CommandError(path + " is not a structure file");
    if (!result.productFamily())
        throw CommandError(path + " holds results of data family " + std::to_string(result.family) +
                           ", which this program does not read");
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
