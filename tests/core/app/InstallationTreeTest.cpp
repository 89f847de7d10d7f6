#include "core/app/InstallationTree.h"

#include <gtest/gtest.h>

using namespace zarn;

namespace {

const std::string kObject = "OBJECT";

NodeHandle addNamed(InstallationTree& tree, NodeHandle parent, uint8_t k, std::string_view name) {
    const NodeHandle n = tree.createNode(parent);
    tree.initialiseNode(n, k);
    tree.setText(n, name);
    return n;
}

} // namespace

TEST(InstallationTree, CreateAndInitialise) {
    InstallationTree tree;
    int changes = 0;
    tree.setChangeHandler([&] { ++changes; });
    const NodeHandle root = tree.createNode(NoNode);
    EXPECT_EQ(tree.text(root), "???");
    EXPECT_EQ(tree.image(root), -1);
    EXPECT_EQ(tree.info(root).Kind, 0);
    EXPECT_GT(changes, 0);

    tree.setId(root, 5);
    tree.setMeasures(root, "1");
    tree.initialiseNode(root, kind::Block);
    EXPECT_EQ(tree.text(root), "xxx");
    EXPECT_EQ(tree.info(root).Kind, kind::Block);
    EXPECT_EQ(tree.info(root).Id, 0);
    EXPECT_EQ(tree.info(root).Measures, "");
    EXPECT_EQ(tree.image(root), 1);
    EXPECT_EQ(tree.selectedImage(root), 1);

    tree.initialiseNode(NoNode, kind::Object); // nothing happens
    EXPECT_EQ(tree.nodeCount(), 1u);
}

struct NamingCase {
    const char* title;
    std::vector<std::string> roots;
    std::vector<std::string> leavesUnderFirstRoot;
    std::string expected;
};

class AutomaticRootName : public testing::TestWithParam<NamingCase> {};

TEST_P(AutomaticRootName, NextNumber) {
    const auto& c = GetParam();
    InstallationTree tree;
    NodeHandle first = NoNode;
    for (const auto& name : c.roots) {
        const NodeHandle r = addNamed(tree, NoNode, kind::Object, name);
        if (first == NoNode)
            first = r;
    }
    for (const auto& name : c.leavesUnderFirstRoot)
        addNamed(tree, first, kind::Particular, name);
    const NodeHandle n = tree.createNode(NoNode);
    tree.initialiseNode(n, kind::Object, &kObject);
    EXPECT_EQ(tree.text(n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticRootName,
    testing::Values(NamingCase{"EmptyTree", {}, {}, "OBJECT1"},
                    NamingCase{"Gap", {"OBJECT1", "OBJECT7"}, {}, "OBJECT8"},
                    NamingCase{"NoDigits", {"OBJECT1", "OBJECTX"}, {}, "OBJECT2"},
                    NamingCase{"LeafAnywhere", {"OBJECT1", "OBJECT7"}, {"OBJECT9"}, "OBJECT10"},
                    NamingCase{"DigitsScattered", {"OBJECTa1b2"}, {}, "OBJECT13"},
                    NamingCase{"CaseSensitive", {"object5"}, {}, "OBJECT1"},
                    NamingCase{
                        "PastThirtyTwoBits", {"OBJECT3", "OBJECT99999999999"}, {}, "OBJECT4"},
                    NamingCase{"LargestNumber", {"OBJECT2147483647"}, {}, "OBJECT2147483648"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(InstallationTree, ChildrenAreNumberedPerParent) {
    InstallationTree tree;
    const std::string fuse = "FUSE";
    const NodeHandle a = addNamed(tree, NoNode, kind::Block, "A");
    const NodeHandle b = addNamed(tree, NoNode, kind::Block, "B");
    NodeHandle last = NoNode;
    for (NodeHandle parent : {a, a, b}) {
        last = tree.createNode(parent);
        tree.initialiseNode(last, kind::Fuse, &fuse);
    }
    EXPECT_EQ(tree.text(tree.child(a, 0)), "FUSE1");
    EXPECT_EQ(tree.text(tree.child(a, 1)), "FUSE2");
    EXPECT_EQ(tree.text(last), "FUSE1");
    EXPECT_EQ(tree.indexInParent(tree.child(a, 1)), 1);
    EXPECT_EQ(tree.parent(last), b);
    EXPECT_EQ(tree.rootOf(last), b);
    EXPECT_EQ(tree.lastNode(), last);
}

TEST(InstallationTree, PlacingWithNamingModeOne) {
    InstallationTree tree;
    TreePlacer placer(tree, 1);
    // A leaf before any root becomes a root; later leaves go under the last root.
    const NodeHandle stray = placer.place(kind::Particular);
    const NodeHandle r1 = placer.place(kind::Object);
    const NodeHandle l1 = placer.place(kind::Particular);
    const NodeHandle l2 = placer.place(kind::Fuse);
    const NodeHandle r2 = placer.place(kind::Object);
    const NodeHandle b = placer.place(kind::Block); // level 2: child of the root
    const NodeHandle l3 = placer.place(kind::Particular);

    EXPECT_EQ(tree.parent(stray), NoNode);
    EXPECT_EQ(tree.parent(r1), NoNode);
    EXPECT_EQ(tree.parent(l1), r1);
    EXPECT_EQ(tree.parent(l2), r1);
    EXPECT_EQ(tree.parent(r2), NoNode);
    EXPECT_EQ(tree.parent(b), r2);
    EXPECT_EQ(tree.parent(l3), r2);
    EXPECT_EQ(tree.text(l3), "xxx");
    EXPECT_EQ(tree.info(l3).Kind, kind::Particular);
}

TEST(InstallationTree, PlacingWithoutNamingMode) {
    InstallationTree tree;
    TreePlacer placer(tree, 0);
    const NodeHandle r = placer.place(kind::Object);
    const NodeHandle leaf = placer.place(kind::Fuse); // deeper than allowed: child of last
    const NodeHandle b = placer.place(kind::Block);
    const NodeHandle f = placer.place(kind::Fuse);
    const NodeHandle b2 = placer.place(kind::Block);
    EXPECT_EQ(tree.parent(leaf), r);
    EXPECT_EQ(tree.parent(b), r);
    EXPECT_EQ(tree.parent(f), b);
    EXPECT_EQ(tree.parent(b2), r);
}

TEST(InstallationTree, NodeIds) {
    InstallationTree tree;
    const NodeHandle r = addNamed(tree, NoNode, kind::Object, "r");
    const NodeHandle c = addNamed(tree, r, kind::Block, "c");
    const NodeHandle g = addNamed(tree, c, kind::Fuse, "g");
    tree.setId(r, 4);
    tree.setId(c, 5);
    tree.setId(g, 6);
    EXPECT_EQ(tree.nodeIds(r, 0), (NodeIds{4, 0, 0, 0}));
    EXPECT_EQ(tree.nodeIds(c, 0), (NodeIds{4, 5, 0, 1}));
    EXPECT_EQ(tree.nodeIds(g, 0), (NodeIds{4, 5, 6, 2}));
    EXPECT_EQ(tree.nodeIds(r, 1), (NodeIds{1, 4, 0, 1}));
    EXPECT_EQ(tree.nodeIds(c, 1), (NodeIds{1, 4, 5, 2}));
}

TEST(InstallationTree, ClearAndStableHandles) {
    struct Recorder : TreeObserver {
        std::vector<std::string> events;
        void nodeAboutToBeInserted(NodeHandle p, int row) override {
            events.push_back("+" + std::to_string(p) + ":" + std::to_string(row));
        }
        void nodeAboutToBeRemoved(NodeHandle p, int row) override {
            events.push_back("-" + std::to_string(p) + ":" + std::to_string(row));
        }
    } rec;
    InstallationTree tree;
    tree.addObserver(&rec);
    const NodeHandle a = addNamed(tree, NoNode, kind::Object, "a");
    const NodeHandle a1 = addNamed(tree, a, kind::Particular, "a1");
    const NodeHandle b = addNamed(tree, NoNode, kind::Object, "b");
    tree.setSelected(a1);
    tree.deleteNode(a);
    EXPECT_FALSE(tree.isValid(a));
    EXPECT_FALSE(tree.isValid(a1));
    EXPECT_EQ(tree.selected(), NoNode);
    EXPECT_EQ(tree.indexInParent(b), 0);
    const NodeHandle c = addNamed(tree, NoNode, kind::Object, "c");
    EXPECT_NE(c, a); // handles are never reused
    tree.clear();
    EXPECT_TRUE(tree.empty());
    EXPECT_EQ(tree.nodeCount(), 0u);
    EXPECT_EQ(tree.text(b), "");
    EXPECT_EQ(rec.events, (std::vector<std::string>{"+0:0", "+" + std::to_string(a) + ":0", "+0:1",
                                                    "-0:0", "+0:1", "-0:0", "-0:0"}));
}

TEST(InstallationTree, KindTables) {
    EXPECT_EQ(kindLevel(kind::Object), 1);
    EXPECT_EQ(kindLevel(kind::Circuit), 2);
    EXPECT_EQ(kindLevel(kind::Particular), 3);
    EXPECT_EQ(kindImage(kind::Particular), 15);
    EXPECT_EQ(kindImage(kind::Circuit), 14);
    EXPECT_EQ(kindImage(99), -1);
    EXPECT_EQ(measurementCodes(kind::Rcd).size(), 3u);
    EXPECT_EQ(measurementCodes(kind::Rcd)[2], 18);
    EXPECT_TRUE(measurementCodes(kind::Object).empty());
    EXPECT_EQ(treeImageName(15), "GREEN_SMALL_KROG");
    EXPECT_EQ(treeImageName(16), "");
    EXPECT_EQ(sanitiseNodeName("a\tb\rc\nd"), "a b c d");
}
