#include "core/instrument/ResultsReception.h"

#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/Workspace.h"
#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"

namespace zarn {

void insertReceivedRow(ResultsTable& table, const ResultCells& cells) {
    const int row = table.addRow();
    table.setRow(row, cells);
    table.insertOrdered(row);
}

void rebuildTreeFromResults(const ResultsTable& table, InstallationTree& tree, UserInteraction& ui,
                            const TLStr& texts) {
    if (table.rowCount() <= 1 || table.cell(col::Ids, 0).empty())
        return;
    tree.clear();
    ui.progressLabels("", texts.text("Wait_25"));
    ui.progressPosition(0);
    ui.clearCancel();
    int previousBlock = -1;
    int previousElement = -1;
    const int results = table.rowCount() - 1;
    for (int r = 1; r <= results; ++r) {
        const std::string& names = table.cell(col::Names, r);
        int leafKind = text::digitsToInt(text::field(text::field(names, 4), 2, ','));
        if (leafKind < 1 || leafKind > kind::Last)
            leafKind = kind::Particular; // received rows always name PARTICULAR leaves
        const RowIds ids = parseRowIds(table.cell(col::Ids, r));
        if (ids.block != previousBlock) {
            previousElement = 0;
            const NodeHandle root = tree.createNode(NoNode);
            tree.initialiseNode(root, kind::Object);
            tree.setText(root, text::field(names, 2));
            tree.setId(root, ids.block);
        }
        if (ids.element != previousElement) {
            const NodeHandle root = tree.rootOf(tree.lastNode());
            const NodeHandle leaf = tree.createNode(root);
            tree.initialiseNode(leaf, static_cast<uint8_t>(leafKind));
            tree.setText(leaf, text::field(names, 3));
            tree.setId(leaf, ids.element);
        }
        previousBlock = ids.block;
        previousElement = ids.element;
        ui.progressPosition(receptionGauge(r, results));
        ui.processEvents();
        if (ui.cancelRequested())
            break;
    }
    if (!tree.empty())
        tree.setSelected(tree.firstNode());
}

ResultsReception::ResultsReception(Workspace& workspace, UserInteraction& ui)
    : workspace_(workspace), ui_(ui) {}

bool ResultsReception::mayDiscardData() {
    if (workspace_.document().saved() || workspace_.nothingToKeep())
        return true;
    return workspace_.askToKeepData(ui_) != modal::Cancel;
}

int ResultsReception::dataFamilyCode() const {
    return workspace_.document().dataFamilyCode();
}

void ResultsReception::setDataFamilyCode(int code) {
    workspace_.document().setDataFamilyCode(code);
}

void ResultsReception::beginReception(const IdentificationRow& header) {
    auto& doc = workspace_.document();
    doc.setCurrentFileName(doc.defaultFileName());
    workspace_.tree().clear();
    ResultsTable& table = workspace_.results();
    table.clear();
    table.setCell(1, 0, header.instrument);
    table.setCell(2, 0, header.firm);
    table.setCell(3, 0, header.user);
    workspace_.applyConfiguration();
}

void ResultsReception::addReceivedRow(const ResultCells& cells) {
    insertReceivedRow(workspace_.results(), cells);
}

void ResultsReception::rebuildTree() {
    rebuildTreeFromResults(workspace_.results(), workspace_.tree(), ui_, workspace_.texts());
}

void ResultsReception::showReceivedResults(bool familyMatches) {
    if (familyMatches && workspace_.tree().empty())
        workspace_.resetToNewStructure();
    if (onShown)
        onShown(familyMatches);
}

} // namespace zarn
