// What the main window owns, without the window: the installation tree, the results table,
// the document state, the text table, the NAMEF tables, the default names and the settings.
//
// The operations here join these parts: renaming a node renames its result rows, a new
// structure clears everything behind the "keep data?" question, and every change of the tree or
// the results clears the saved flag. The desktop and zarnctl drive the same object.
#pragma once

#include "core/app/Configuration.h"
#include "core/app/DefaultNames.h"
#include "core/app/DocumentState.h"
#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/ResultsView.h"
#include "core/base/IniFile.h"
#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <string>
#include <string_view>

namespace zarn {

class Workspace {
public:
    // `programDir` holds ZARN.INI and the language files.
    explicit Workspace(std::string programDir);
    // With ZARN.INI elsewhere than in the program directory.
    Workspace(std::string programDir, std::string settingsFile);
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    InstallationTree& tree() { return tree_; }
    const InstallationTree& tree() const { return tree_; }
    ResultsTable& results() { return results_; }
    const ResultsTable& results() const { return results_; }
    DocumentState& document() { return document_; }
    const DocumentState& document() const { return document_; }
    TLStr& texts() { return texts_; }
    const TLStr& texts() const { return texts_; }
    NamefTables& namef() { return namef_; }
    const NamefTables& namef() const { return namef_; }
    DefaultNames& defaultNames() { return defaultNames_; }
    const DefaultNames& defaultNames() const { return defaultNames_; }
    // ZARN.INI (in the program directory unless given).
    const PrivateProfile& settings() const { return settings_; }

    // Re-derives the document's language-dependent names (after start-up, a language change, a
    // file read and receiving results).
    void applyConfiguration() { document_.applyConfiguration(texts_); }
    // DEFNAMES at start-up, and their reset after a language change.
    void loadDefaultNames() { defaultNames_.load(settings_, texts_); }
    void resetDefaultNames() { defaultNames_.reset(settings_, texts_); }

    // True when there is nothing that could be lost: only the identification row and at most
    // one node.
    bool nothingToKeep() const;
    int askToKeepData(UserInteraction& ui);
    bool save(UserInteraction& ui) { return document_.save(ui, texts_); }
    bool saveAs(UserInteraction& ui) { return document_.saveAs(ui, texts_); }

    // Starts a structure with one automatically named root (asking first when unsaved data
    // would be lost; false when the user cancels). The root is selected, the file name becomes
    // the default one and the document counts as saved.
    bool newStructure(UserInteraction& ui);
    // The same without asking: used when received results yield no node.
    void resetToNewStructure();

    // Renames a node after an in-place edit, and with it every result row of the node: field 1,
    // 2 or 3 of the names cell, by the node's level. TAB, CR and LF in the name become spaces,
    // as they would break the cell and file formats. The saved flag is cleared.
    void renameNode(NodeHandle node, std::string_view newName);

    // Node ids with this product's naming mode.
    NodeIds nodeIds(NodeHandle node) const {
        return tree_.nodeIds(node, Configuration::NamingMode);
    }

    // The results view for a node (the selected one by default).
    ResultsViewContent resultsView(NodeHandle node) const;
    ResultsViewContent resultsView() const { return resultsView(tree_.selected()); }
    std::vector<std::string> viewHeadings() const {
        return zarn::viewHeadings(texts_, defaultColumnRoles());
    }

private:
    DocumentState document_;
    PrivateProfile settings_;
    InstallationTree tree_;
    ResultsTable results_;
    TLStr texts_;
    NamefTables namef_;
    DefaultNames defaultNames_;
};

} // namespace zarn
