// The installation structure: a tree of named measuring places.
//
// Roots stand for objects (for this instrument family: the instrument's blocks), leaves for the
// measuring points inside them. Every node carries a TMyElementInfo; result rows refer to nodes
// by the ids of the node and its ancestors, never by handle.
//
// The tree is a plain model with stable handles, meant to be wrapped by a Qt item model:
//  - a NodeHandle stays valid until its node is deleted and is never reused;
//  - parent(), childCount(), child() and indexInParent() give the item-model structure, with
//    NoNode as the invisible root whose children are the tree's roots;
//  - a TreeObserver hears about every structural and data change, and revision() counts them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

// The record each node carries.
struct TMyElementInfo {
    uint8_t Kind = 0;     // node kind 1..13; 0 only between creation and initialisation
    std::string Measures; // character i is "1" when measurement i of the kind's list is chosen
    int32_t Id = 0;       // the node's number among its siblings, used by result rows
};

// Node kind codes.
namespace kind {
inline constexpr uint8_t Object = 1;
inline constexpr uint8_t ObjectIt = 2;
inline constexpr uint8_t Block = 3;
inline constexpr uint8_t Strelovod = 4; // lightning rod
inline constexpr uint8_t Gip = 5;
inline constexpr uint8_t Circuit = 6;
inline constexpr uint8_t Fuse = 7;
inline constexpr uint8_t Steber = 8; // pole / electrode
inline constexpr uint8_t Povezava1 = 9;
inline constexpr uint8_t Povezava2 = 10;
inline constexpr uint8_t Ozemljitev = 11; // earthing
inline constexpr uint8_t Rcd = 12;
inline constexpr uint8_t Particular = 13;
inline constexpr uint8_t Last = 13;
} // namespace kind

// Tree level at which a node of the kind is placed: 1 (root) .. 3 (leaf). Unknown kinds, which
// only a damaged file can hold, count as leaves (3).
int kindLevel(uint8_t kind);
// Image index of the kind in the tree's image list; -1 for an unknown kind.
int kindImage(uint8_t kind);
// True for the leaf kinds 7..13, which carry a measurement selection.
bool isLeafKind(uint8_t kind);
// The ordered measurement codes (1..18) of a leaf kind; empty for other kinds.
std::span<const int> measurementCodes(uint8_t kind);

// The sixteen tree images, in image-list order ("HISA", "BLOK", ... "GREEN_SMALL_KROG").
inline constexpr int TreeImageCount = 16;
std::string_view treeImageName(int index);

using NodeHandle = uint32_t;
inline constexpr NodeHandle NoNode = 0;

// Receives the changes of a tree; every method has an empty default.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    // A node is about to become child `row` of `parent` (NoNode: a root) / has become it.
    virtual void nodeAboutToBeInserted(NodeHandle /*parent*/, int /*row*/) {}
    virtual void nodeInserted(NodeHandle /*node*/) {}
    // Child `row` of `parent` is about to be deleted with its subtree / has been deleted.
    virtual void nodeAboutToBeRemoved(NodeHandle /*parent*/, int /*row*/) {}
    virtual void nodeRemoved(NodeHandle /*parent*/, int /*row*/) {}
    // Text, image or record of a node changed.
    virtual void nodeChanged(NodeHandle /*node*/) {}
    virtual void selectionChanged(NodeHandle /*node*/) {}
};

// The ids by which result rows refer to a node, and the level that decides which of them count.
struct NodeIds {
    int32_t object = 0;
    int32_t block = 0;
    int32_t element = 0;
    int level = 0; // 0 root .. 2 or more; naming mode 1 counts one deeper
    friend bool operator==(const NodeIds&, const NodeIds&) = default;
};

class InstallationTree {
public:
    InstallationTree();
    ~InstallationTree();
    InstallationTree(const InstallationTree&) = delete;
    InstallationTree& operator=(const InstallationTree&) = delete;

    // Called after every change of the tree (the owner clears the document's saved flag).
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }
    void addObserver(TreeObserver* observer);
    void removeObserver(TreeObserver* observer);
    // Counts every change; a view can compare it to see whether it is up to date.
    uint64_t revision() const { return revision_; }

    // --- structure -------------------------------------------------------------------------
    bool isValid(NodeHandle node) const;
    bool empty() const { return roots_.empty(); }
    size_t nodeCount() const { return nodeCount_; }
    NodeHandle parent(NodeHandle node) const;
    // Children of `node`; of NoNode: the roots.
    int childCount(NodeHandle node) const;
    NodeHandle child(NodeHandle node, int row) const;
    const std::vector<NodeHandle>& children(NodeHandle node) const;
    int indexInParent(NodeHandle node) const;
    // Depth from 0 (a root).
    int depth(NodeHandle node) const;
    NodeHandle firstNode() const { return roots_.empty() ? NoNode : roots_.front(); }
    // The last node in display order (the deepest last descendant of the last root).
    NodeHandle lastNode() const;
    NodeHandle rootOf(NodeHandle node) const;
    // Every node in display order (pre-order).
    std::vector<NodeHandle> allNodes() const;

    // --- node data ---------------------------------------------------------------------------
    const std::string& text(NodeHandle node) const;
    void setText(NodeHandle node, std::string_view text);
    const TMyElementInfo& info(NodeHandle node) const;
    // Changes the record; the tree reports the change.
    void setInfo(NodeHandle node, TMyElementInfo info);
    void setId(NodeHandle node, int32_t id);
    void setMeasures(NodeHandle node, std::string_view measures);
    int image(NodeHandle node) const;
    int selectedImage(NodeHandle node) const;

    // --- operations --------------------------------------------------------------------------
    // Adds a node as the last child of `parent` (NoNode: the last root) with the text "???",
    // no image and a zeroed record. An invalid parent adds a root.
    NodeHandle createNode(NodeHandle parent);
    // Sets the kind with Id 0, empty Measures and the kind's images, and names the node:
    // with `baseName` the automatic name (base + next number), without it "xxx".
    void initialiseNode(NodeHandle node, uint8_t kind, const std::string* baseName = nullptr);
    // The automatic name a node would get from `baseName` among its candidates: the siblings
    // for a child, every node of the tree for a root.
    std::string automaticName(NodeHandle node, std::string_view baseName) const;
    // Deletes the node with its subtree.
    void deleteNode(NodeHandle node);
    // Selects the last node, then deletes the first node until none is left.
    void clear();

    NodeHandle selected() const { return selected_; }
    void setSelected(NodeHandle node);

    // Ids of the node as result rows carry them. Naming mode 1 shifts them one place: the
    // object id becomes 1, a root gives (1, Id, 0) at level 1 and a child (1, parent Id, Id) at
    // level 2.
    NodeIds nodeIds(NodeHandle node, int namingMode) const;

private:
    struct Node;
    Node* node(NodeHandle h);
    const Node* node(NodeHandle h) const;
    std::vector<NodeHandle>& childList(NodeHandle parent);
    void changed();
    void notifyChanged(NodeHandle h);
    void eraseSubtree(NodeHandle h);

    std::vector<std::unique_ptr<Node>> nodes_; // by handle - 1; null once deleted
    std::vector<NodeHandle> roots_;
    size_t nodeCount_ = 0;
    NodeHandle selected_ = NoNode;
    uint64_t revision_ = 0;
    std::function<void()> onChange_;
    std::vector<TreeObserver*> observers_;
};

// Places the nodes of a structure file one after another. Each node goes one level below the
// nearest preceding node that sits one level above the node's kind level; with naming mode 1
// leaves (level 3) are placed at level 2, directly under the roots.
class TreePlacer {
public:
    TreePlacer(InstallationTree& tree, int namingMode) : tree_(tree), namingMode_(namingMode) {}
    // Creates and initialises (without automatic name) a node of the kind; returns it.
    NodeHandle place(uint8_t kind);

private:
    InstallationTree& tree_;
    int namingMode_;
    NodeHandle last_ = NoNode;
    int lastLevel_ = 0;
};

// A name the user typed, made safe for the one-value-per-line structure file: TAB, CR and LF
// become spaces.
std::string sanitiseNodeName(std::string_view name);

} // namespace zarn
