#include "core/app/InstallationTree.h"

#include "core/base/TextRoutines.h"

#include <algorithm>
#include <array>

namespace zarn {

namespace {

struct KindRow {
    int level;
    int image;
};

// Index = kind code.
constexpr std::array<KindRow, 14> kKinds{{
    {3, -1}, // 0: not initialised
    {1, 0},  // OBJECT
    {1, 0},  // OBJECTIT
    {2, 1},  // BLOCK
    {2, 2},  // STRELOVOD
    {2, 3},  // GIP
    {2, 14}, // CIRCUIT
    {3, 4},  // FUSE
    {3, 5},  // STEBER
    {3, 6},  // POVEZAVA 1
    {3, 7},  // POVEZAVA 2
    {3, 8},  // OZEMLJITEV
    {3, 9},  // RCD
    {3, 15}, // PARTICULAR
}};

constexpr std::array<int, 8> kFuseCodes{1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::array<int, 3> kSteberCodes{11, 12, 13};
constexpr std::array<int, 1> kPovezava1Codes{14};
constexpr std::array<int, 2> kPovezava2Codes{15, 16};
constexpr std::array<int, 1> kOzemljitevCodes{17};
constexpr std::array<int, 3> kRcdCodes{9, 10, 18};
constexpr std::array<int, 16> kParticularCodes{1, 2,  3,  4,  5,  6,  7,  8,
                                               9, 10, 11, 12, 13, 14, 15, 16};

constexpr std::array<std::string_view, TreeImageCount> kImageNames{
    "HISA", "BLOK", "STRELA", "GIP",       "FUSE",       "STEBER",   "CONN1",   "CONN2",
    "GND",  "RCD",  "CANCEL", "BLUE_KROG", "GREEN_KROG", "RED_KROG", "KVADRAT", "GREEN_SMALL_KROG"};

} // namespace

int kindLevel(uint8_t kind) {
    return kind < kKinds.size() ? kKinds[kind].level : 3;
}

int kindImage(uint8_t kind) {
    return kind < kKinds.size() ? kKinds[kind].image : -1;
}

bool isLeafKind(uint8_t kind) {
    return kind >= kind::Fuse && kind <= kind::Particular;
}

std::span<const int> measurementCodes(uint8_t k) {
    switch (k) {
    case kind::Fuse:
        return kFuseCodes;
    case kind::Steber:
        return kSteberCodes;
    case kind::Povezava1:
        return kPovezava1Codes;
    case kind::Povezava2:
        return kPovezava2Codes;
    case kind::Ozemljitev:
        return kOzemljitevCodes;
    case kind::Rcd:
        return kRcdCodes;
    case kind::Particular:
        return kParticularCodes;
    default:
        return {};
    }
}

std::string_view treeImageName(int index) {
    return index >= 0 && index < TreeImageCount ? kImageNames[static_cast<size_t>(index)]
                                                : std::string_view{};
}

struct InstallationTree::Node {
    std::string text;
    TMyElementInfo info;
    int image = -1;
    int selectedImage = -1;
    NodeHandle parent = NoNode;
    int row = 0; // index among the parent's children
    std::vector<NodeHandle> children;
};

InstallationTree::InstallationTree() = default;
InstallationTree::~InstallationTree() = default;

void InstallationTree::addObserver(TreeObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void InstallationTree::removeObserver(TreeObserver* observer) {
    std::erase(observers_, observer);
}

InstallationTree::Node* InstallationTree::node(NodeHandle h) {
    return h != NoNode && h <= nodes_.size() ? nodes_[h - 1].get() : nullptr;
}

const InstallationTree::Node* InstallationTree::node(NodeHandle h) const {
    return h != NoNode && h <= nodes_.size() ? nodes_[h - 1].get() : nullptr;
}

std::vector<NodeHandle>& InstallationTree::childList(NodeHandle parent) {
    Node* p = node(parent);
    return p ? p->children : roots_;
}

bool InstallationTree::isValid(NodeHandle h) const {
    return node(h) != nullptr;
}

void InstallationTree::changed() {
    ++revision_;
    if (onChange_)
        onChange_();
}

void InstallationTree::notifyChanged(NodeHandle h) {
    changed();
    for (auto* o : observers_)
        o->nodeChanged(h);
}

NodeHandle InstallationTree::parent(NodeHandle h) const {
    const Node* n = node(h);
    return n ? n->parent : NoNode;
}

const std::vector<NodeHandle>& InstallationTree::children(NodeHandle h) const {
    const Node* n = node(h);
    return n ? n->children : roots_;
}

int InstallationTree::childCount(NodeHandle h) const {
    if (h != NoNode && !node(h))
        return 0;
    return static_cast<int>(children(h).size());
}

NodeHandle InstallationTree::child(NodeHandle h, int row) const {
    if (h != NoNode && !node(h))
        return NoNode;
    const auto& list = children(h);
    return row >= 0 && static_cast<size_t>(row) < list.size() ? list[static_cast<size_t>(row)]
                                                              : NoNode;
}

int InstallationTree::indexInParent(NodeHandle h) const {
    const Node* n = node(h);
    return n ? n->row : -1;
}

int InstallationTree::depth(NodeHandle h) const {
    int d = -1;
    for (const Node* n = node(h); n; n = node(n->parent))
        ++d;
    return d;
}

NodeHandle InstallationTree::lastNode() const {
    if (roots_.empty())
        return NoNode;
    NodeHandle h = roots_.back();
    while (!node(h)->children.empty())
        h = node(h)->children.back();
    return h;
}

NodeHandle InstallationTree::rootOf(NodeHandle h) const {
    const Node* n = node(h);
    if (!n)
        return NoNode;
    while (n->parent != NoNode) {
        h = n->parent;
        n = node(h);
    }
    return h;
}

std::vector<NodeHandle> InstallationTree::allNodes() const {
    std::vector<NodeHandle> out;
    out.reserve(nodeCount_);
    std::vector<NodeHandle> stack(roots_.rbegin(), roots_.rend());
    while (!stack.empty()) {
        NodeHandle h = stack.back();
        stack.pop_back();
        out.push_back(h);
        const auto& ch = node(h)->children;
        stack.insert(stack.end(), ch.rbegin(), ch.rend());
    }
    return out;
}

const std::string& InstallationTree::text(NodeHandle h) const {
    static const std::string empty;
    const Node* n = node(h);
    return n ? n->text : empty;
}

void InstallationTree::setText(NodeHandle h, std::string_view text) {
    if (Node* n = node(h)) {
        n->text = std::string(text);
        notifyChanged(h);
    }
}

const TMyElementInfo& InstallationTree::info(NodeHandle h) const {
    static const TMyElementInfo none;
    const Node* n = node(h);
    return n ? n->info : none;
}

void InstallationTree::setInfo(NodeHandle h, TMyElementInfo info) {
    if (Node* n = node(h)) {
        n->info = std::move(info);
        notifyChanged(h);
    }
}

void InstallationTree::setId(NodeHandle h, int32_t id) {
    if (Node* n = node(h)) {
        n->info.Id = id;
        notifyChanged(h);
    }
}

void InstallationTree::setMeasures(NodeHandle h, std::string_view measures) {
    if (Node* n = node(h)) {
        n->info.Measures = std::string(measures);
        notifyChanged(h);
    }
}

int InstallationTree::image(NodeHandle h) const {
    const Node* n = node(h);
    return n ? n->image : -1;
}

int InstallationTree::selectedImage(NodeHandle h) const {
    const Node* n = node(h);
    return n ? n->selectedImage : -1;
}

NodeHandle InstallationTree::createNode(NodeHandle parent) {
    if (!node(parent))
        parent = NoNode;
    auto& list = childList(parent);
    const int row = static_cast<int>(list.size());
    for (auto* o : observers_)
        o->nodeAboutToBeInserted(parent, row);
    auto n = std::make_unique<Node>();
    n->text = "???";
    n->parent = parent;
    n->row = row;
    nodes_.push_back(std::move(n));
    const auto h = static_cast<NodeHandle>(nodes_.size());
    childList(parent).push_back(h);
    ++nodeCount_;
    changed();
    for (auto* o : observers_)
        o->nodeInserted(h);
    return h;
}

std::string InstallationTree::automaticName(NodeHandle h, std::string_view base) const {
    // Wide enough that a candidate numbered INT32_MAX still gets a successor.
    int64_t number = 1;
    auto consider = [&](NodeHandle c) {
        const std::string& name = node(c)->text;
        if (c == h || name.size() < base.size() || name.compare(0, base.size(), base) != 0)
            return;
        const int64_t n = text::digitsToInt(std::string_view(name).substr(base.size()));
        if (n >= number)
            number = n + 1;
    };
    const Node* self = node(h);
    if (self && self->parent != NoNode) {
        for (NodeHandle c : node(self->parent)->children)
            consider(c);
    } else {
        for (NodeHandle c : allNodes())
            consider(c);
    }
    return std::string(base) + text::toText(number);
}

void InstallationTree::initialiseNode(NodeHandle h, uint8_t kind, const std::string* baseName) {
    Node* n = node(h);
    if (!n)
        return;
    n->info.Kind = kind;
    n->info.Id = 0;
    n->info.Measures.clear();
    n->image = kindImage(kind);
    n->selectedImage = n->image;
    // The new node takes part in the numbering with an empty name.
    n->text.clear();
    n->text = baseName ? automaticName(h, *baseName) : std::string("xxx");
    notifyChanged(h);
}

void InstallationTree::eraseSubtree(NodeHandle h) {
    Node* n = node(h);
    for (NodeHandle c : n->children)
        eraseSubtree(c);
    if (selected_ == h)
        selected_ = NoNode;
    nodes_[h - 1].reset();
    --nodeCount_;
}

void InstallationTree::deleteNode(NodeHandle h) {
    Node* n = node(h);
    if (!n)
        return;
    const NodeHandle parent = n->parent;
    const int row = n->row;
    for (auto* o : observers_)
        o->nodeAboutToBeRemoved(parent, row);
    const NodeHandle oldSelection = selected_;
    eraseSubtree(h);
    auto& list = childList(parent);
    list.erase(list.begin() + row);
    for (size_t i = static_cast<size_t>(row); i < list.size(); ++i)
        node(list[i])->row = static_cast<int>(i);
    changed();
    for (auto* o : observers_)
        o->nodeRemoved(parent, row);
    if (oldSelection != selected_)
        for (auto* o : observers_)
            o->selectionChanged(selected_);
}

void InstallationTree::clear() {
    setSelected(lastNode());
    while (!roots_.empty())
        deleteNode(roots_.front());
}

void InstallationTree::setSelected(NodeHandle h) {
    if (!node(h))
        h = NoNode;
    if (h == selected_)
        return;
    selected_ = h;
    for (auto* o : observers_)
        o->selectionChanged(h);
}

NodeIds InstallationTree::nodeIds(NodeHandle h, int namingMode) const {
    NodeIds ids;
    const Node* n = node(h);
    if (!n)
        return ids;
    const Node* p = node(n->parent);
    const Node* g = p ? node(p->parent) : nullptr;
    if (namingMode == 1) {
        ids.object = 1;
        if (!p) {
            ids.block = n->info.Id;
            ids.level = 1;
        } else {
            ids.block = p->info.Id;
            ids.element = n->info.Id;
            ids.level = depth(h) + 1;
        }
        return ids;
    }
    if (!p) {
        ids.object = n->info.Id;
        ids.level = 0;
    } else if (!g) {
        ids.object = p->info.Id;
        ids.block = n->info.Id;
        ids.level = 1;
    } else {
        ids.object = g->info.Id;
        ids.block = p->info.Id;
        ids.element = n->info.Id;
        ids.level = depth(h);
    }
    return ids;
}

NodeHandle TreePlacer::place(uint8_t kind) {
    int wanted = kindLevel(kind);
    if (namingMode_ == 1 && wanted == 3)
        wanted = 2;
    NodeHandle at = last_;
    int level = lastLevel_;
    while (at != NoNode && level > wanted - 1) {
        at = tree_.parent(at);
        --level;
    }
    if (wanted == 1 || at == NoNode) {
        at = NoNode;
        level = 0;
    }
    const NodeHandle h = tree_.createNode(at);
    tree_.initialiseNode(h, kind);
    last_ = h;
    lastLevel_ = level + 1;
    return h;
}

std::string sanitiseNodeName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace zarn
