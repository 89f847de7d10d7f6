#include "ui/TreeModel.h"

#include "print/DisplayText.h"

namespace zarn {

InstallationTreeModel::InstallationTreeModel(InstallationTree& tree, const TreeImages& images,
                                             QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), images_(images) {
    tree_.addObserver(this);
}

InstallationTreeModel::~InstallationTreeModel() {
    tree_.removeObserver(this);
}

QModelIndex InstallationTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const NodeHandle p = nodeOf(parent);
    if (parent.isValid() && p == NoNode)
        return {};
    if (row >= tree_.childCount(p))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(tree_.child(p, row)));
}

QModelIndex InstallationTreeModel::parent(const QModelIndex& child) const {
    const NodeHandle node = nodeOf(child);
    if (node == NoNode)
        return {};
    return indexOf(tree_.parent(node));
}

int InstallationTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const NodeHandle p = nodeOf(parent);
    if (parent.isValid() && p == NoNode)
        return 0;
    return tree_.childCount(p);
}

int InstallationTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant InstallationTreeModel::data(const QModelIndex& index, int role) const {
    const NodeHandle node = nodeOf(index);
    if (node == NoNode)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return toDisplay(tree_.text(node));
    case Qt::DecorationRole:
        return images_.icon(tree_.image(node));
    default:
        return {};
    }
}

bool InstallationTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const NodeHandle node = nodeOf(index);
    if (role != Qt::EditRole || node == NoNode || !renaming_)
        return false;
    const std::string name = toStored(value.toString(), tree_.text(node));
    if (onRename_)
        onRename_(node, name);
    return true;
}

Qt::ItemFlags InstallationTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (renaming_)
        f |= Qt::ItemIsEditable;
    return f;
}

QModelIndex InstallationTreeModel::indexOf(NodeHandle node) const {
    if (node == NoNode || !tree_.isValid(node))
        return {};
    return createIndex(tree_.indexInParent(node), 0, static_cast<quintptr>(node));
}

NodeHandle InstallationTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid())
        return NoNode;
    const auto node = static_cast<NodeHandle>(index.internalId());
    return tree_.isValid(node) ? node : NoNode;
}

void InstallationTreeModel::nodeAboutToBeInserted(NodeHandle parent, int row) {
    beginInsertRows(indexOf(parent), row, row);
}

void InstallationTreeModel::nodeInserted(NodeHandle) {
    endInsertRows();
}

void InstallationTreeModel::nodeAboutToBeRemoved(NodeHandle parent, int row) {
    beginRemoveRows(indexOf(parent), row, row);
}

void InstallationTreeModel::nodeRemoved(NodeHandle, int) {
    endRemoveRows();
}

void InstallationTreeModel::nodeChanged(NodeHandle node) {
    const QModelIndex i = indexOf(node);
    if (i.isValid())
        emit dataChanged(i, i);
}

} // namespace zarn
