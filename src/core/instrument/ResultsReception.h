// What received records become: rows of the results table in id order, and the installation
// tree derived from their ids (the instrument sends no tree).
#pragma once

#include "core/instrument/InstrumentCommands.h"

#include <functional>

namespace zarn {

class InstallationTree;
class ResultsTable;

// Puts decoded cells into a new row and moves it to its place in id order.
void insertReceivedRow(ResultsTable& table, const ResultCells& cells);

// Rebuilds the tree from the result rows: a root per block (named by field 2 of the names
// cell), a leaf per element change within it (field 3); element 0 right after a block change
// belongs to the root itself. Shows progress and stops early on Cancel. Does nothing when the
// table holds no result row or row 0 is empty. Selects the first node.
void rebuildTreeFromResults(const ResultsTable& table, InstallationTree& tree, UserInteraction& ui,
                            const TLStr& texts);

class Workspace;

// Where Receive Results puts what arrives: the rows and the tree of the workspace, with its
// document (asking before unsaved data is lost, the default file name, the data family code).
// The desktop and zarnctl receive through it alike; a window refreshes itself in onShown.
class ResultsReception {
public:
    ResultsReception(Workspace& workspace, UserInteraction& ui);

    // Called once the results are shown (whether the data family is the instrument's).
    std::function<void(bool familyMatches)> onShown;

    Workspace& workspace() { return workspace_; }
    // Asks whether unsaved data may be lost; false when the user cancels.
    bool mayDiscardData();
    // The family code of the data held; identification updates it, a save writes it.
    int dataFamilyCode() const;
    void setDataFamilyCode(int code);
    // Clears tree and results, makes the file name the default one, fills row 0.
    void beginReception(const IdentificationRow& header);
    // Puts a decoded row into its place in id order.
    void addReceivedRow(const ResultCells& cells);
    // Rebuilds the tree from the rows (shows progress, honours Cancel).
    void rebuildTree();
    // A new structure when the rows gave no node; then onShown.
    void showReceivedResults(bool familyMatches);

private:
    Workspace& workspace_;
    UserInteraction& ui_;
};

} // namespace zarn
