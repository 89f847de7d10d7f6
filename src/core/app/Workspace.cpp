#include "core/app/Workspace.h"

#include "core/base/TextRoutines.h"

#include <array>

namespace zarn {

Workspace::Workspace(std::string programDir) : Workspace(std::move(programDir), {}) {}

Workspace::Workspace(std::string programDir, std::string settingsFile)
    : document_(std::move(programDir)),
      settings_(settingsFile.empty() ? document_.programFile("ZARN.INI")
                                     : std::move(settingsFile)) {
    tree_.setChangeHandler([this] { document_.setSaved(false); });
    results_.setChangeHandler([this] { document_.setSaved(false); });
}

bool Workspace::nothingToKeep() const {
    return results_.rowCount() <= 1 && tree_.nodeCount() <= 1;
}

int Workspace::askToKeepData(UserInteraction& ui) {
    return document_.askToKeepData(ui, texts_, nothingToKeep());
}

bool Workspace::newStructure(UserInteraction& ui) {
    if (!document_.saved() && !nothingToKeep() && askToKeepData(ui) == modal::Cancel)
        return false;
    resetToNewStructure();
    return true;
}

void Workspace::resetToNewStructure() {
    tree_.clear();
    results_.clear();
    const NodeHandle root = tree_.createNode(NoNode);
    tree_.initialiseNode(root, Configuration::RootKind,
                         &defaultNames_.name(Configuration::RootKind));
    tree_.setSelected(root);
    document_.setCurrentFileName(document_.defaultFileName());
    document_.setSaved(true);
}

void Workspace::renameNode(NodeHandle node, std::string_view newName) {
    if (!tree_.isValid(node))
        return;
    const std::string name = sanitiseNodeName(newName);
    const NodeIds ids = nodeIds(node);
    const int fieldIndex = std::min(ids.level, 2); // names cell field 0..2
    for (int r = 1; r < results_.rowCount(); ++r) {
        const RowIds& row = results_.ids(r);
        if (row.object != ids.object)
            continue;
        if (ids.level >= 1 && row.block != ids.block)
            continue;
        if (ids.level >= 2 && row.element != ids.element)
            continue;
        const std::string& cell = results_.cell(col::Names, r);
        std::array<std::string, 4> fields;
        for (int f = 0; f < 4; ++f)
            fields[static_cast<size_t>(f)] = text::field(cell, f + 1);
        fields[static_cast<size_t>(fieldIndex)] = name;
        results_.setCell(col::Names, r, text::join(fields, text::CR));
    }
    tree_.setText(node, name);
}

ResultsViewContent Workspace::resultsView(NodeHandle node) const {
    return buildResultsView(results_, tree_, node, Configuration::NamingMode, namef_, texts_,
                            defaultColumnRoles());
}

} // namespace zarn
