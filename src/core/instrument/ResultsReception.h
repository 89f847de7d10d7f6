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

// A reception host over a results table and a tree; what else belongs to the document
// (asking to discard, file name and caption, the view) comes in through the callbacks.
class TableReceptionHost : public ReceptionHost {
public:
    TableReceptionHost(ResultsTable& table, InstallationTree& tree, UserInteraction& ui,
                       const TLStr& texts)
        : table_(table), tree_(tree), ui_(ui), texts_(texts) {}

    std::function<bool()> mayDiscard;      // default: yes
    std::function<void()> beforeClear;     // e.g. the file name becomes the default one
    std::function<void()> newStructure;    // when the rows gave no node
    std::function<void(bool)> showResults; // after the rebuild (family matches)

    bool mayDiscardData() override { return mayDiscard ? mayDiscard() : true; }
    int dataFamilyCode() const override { return familyCode_; }
    void setDataFamilyCode(int code) override { familyCode_ = code; }
    void beginReception(const IdentificationRow& header) override;
    void addReceivedRow(const ResultCells& cells) override { insertReceivedRow(table_, cells); }
    void rebuildTree(bool familyMatches) override;
    void showReceivedResults(bool familyMatches) override;

private:
    ResultsTable& table_;
    InstallationTree& tree_;
    UserInteraction& ui_;
    const TLStr& texts_;
    int familyCode_ = InstrumentFamilyCode;
};

class Workspace;

// The reception host of the main window's document: asks before unsaved data is lost, makes
// the file name the default one, re-applies the configuration, and starts a new structure
// when the received rows gave no node; `showResults` lets a window refresh itself. The data
// family code is the document's, so that saving afterwards writes the instrument's.
class WorkspaceReception : public TableReceptionHost {
public:
    WorkspaceReception(Workspace& workspace, UserInteraction& ui);
    int dataFamilyCode() const override;
    void setDataFamilyCode(int code) override;
    void beginReception(const IdentificationRow& header) override;

private:
    Workspace& workspace_;
};

} // namespace zarn
