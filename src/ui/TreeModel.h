// The installation structure as an item model for the tree view `Tree`. The core tree stays
// the source of truth: the model only translates its changes into model signals and hands
// in-place edits to the main window, which renames the node and its result rows.
#pragma once

#include "core/app/InstallationTree.h"
#include "ui/TreeImages.h"

#include <QAbstractItemModel>
#include <functional>

namespace zarn {

class InstallationTreeModel : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT
public:
    InstallationTreeModel(InstallationTree& tree, const TreeImages& images,
                          QObject* parent = nullptr);
    ~InstallationTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QModelIndex indexOf(NodeHandle node) const;
    NodeHandle nodeOf(const QModelIndex& index) const;

    // Whether names may be edited in place (the configuration's renaming setting).
    void setRenamingAllowed(bool allowed) { renaming_ = allowed; }
    bool renamingAllowed() const { return renaming_; }
    // Receives an accepted in-place edit: the node and the new name as stored bytes.
    void setRenameHandler(std::function<void(NodeHandle, const std::string&)> handler) {
        onRename_ = std::move(handler);
    }

signals:
    // The core tree selected a node (a new structure, a rebuilt tree).
    void coreSelectionChanged(zarn::NodeHandle node);

private:
    void selectionChanged(NodeHandle node) override { emit coreSelectionChanged(node); }
    void nodeAboutToBeInserted(NodeHandle parent, int row) override;
    void nodeInserted(NodeHandle node) override;
    void nodeAboutToBeRemoved(NodeHandle parent, int row) override;
    void nodeRemoved(NodeHandle parent, int row) override;
    void nodeChanged(NodeHandle node) override;

    InstallationTree& tree_;
    const TreeImages& images_;
    bool renaming_ = true;
    std::function<void(NodeHandle, const std::string&)> onRename_;
};

} // namespace zarn
