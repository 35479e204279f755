// The dialog's item tree as the builder makes it, over a sink that records the
// nodes: grouping by depth, "Skupina" nodes for missing depths, images, the
// root node, the per-node callback, and levels outside the reader's contract.
#include "dialogs/ItemTreeBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvar {
namespace {

// Remembers every node with its parent; renders the tree as indented lines.
class RecordingTree : public ItemTreeSink {
 public:
  struct Node {
    TreeNode parent;
    std::string text;
    std::int32_t itemIndex;
    int image;
  };

  TreeNode AddChild(TreeNode parent, const std::string& text, std::int32_t itemIndex, int image) override {
    EXPECT_TRUE(parent == kNoTreeNode || parent <= nodes.size()) << "unknown parent " << parent;
    nodes.push_back({parent, text, itemIndex, image});
    return nodes.size();  // 1-based: 0 is the top level
  }
  void SetImage(TreeNode node, int image) override {
    ASSERT_TRUE(node >= 1 && node <= nodes.size()) << "unknown node " << node;
    nodes[node - 1].image = image;
  }

  // "text image index" per node, two blanks per depth, children in the order added.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    Render(kNoTreeNode, 0, lines);
    return lines;
  }

  std::vector<Node> nodes;

 private:
  void Render(TreeNode parent, int depth, std::vector<std::string>& lines) const {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      if (nodes[i].parent != parent) continue;
      lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + nodes[i].text + " " +
                      std::to_string(nodes[i].image) + " " + std::to_string(nodes[i].itemIndex));
      Render(i + 1, depth + 1, lines);
    }
  }
};

// Items named A, B, C... by index from `first`, at the given levels, each with a detail.
struct Items {
  std::int32_t first = 0;
  std::vector<std::int32_t> levels;
  std::vector<std::pair<std::int32_t, bool>> calls;  // index, wantDetail

  TItemReader Reader() {
    return [this](std::int32_t index, bool wantDetail, TDialogItem& item) {
      calls.emplace_back(index, wantDetail);
      const auto at = static_cast<std::size_t>(index - first);
      item.Level = levels.at(at);
      item.Text = std::string(1, static_cast<char>('A' + at));
      if (wantDetail) item.Detail = "detail " + item.Text;
    };
  }
  std::int32_t Last() const { return first + (static_cast<std::int32_t>(levels.size()) - 1); }
};

std::vector<std::string> Build(Items& items, const ItemTreeOptions& options = {}) {
  RecordingTree tree;
  FillItemTree(items.first, items.Last(), &tree, items.Reader(), options);
  return tree.Lines();
}

using Lines = std::vector<std::string>;

TEST(ItemTreeBuilder, LevelsOfTheDocumentedExample) {
  Items items{.levels = {0, 1, 1, 0, 2}};
  // A and D got children and show the group image, so does the group node.
  EXPECT_EQ(Build(items), (Lines{"A 0 0", "  B 1 1", "  C 1 2", "D 0 3", "  Skupina 0 -1", "    E 1 4"}));
}

TEST(ItemTreeBuilder, AMissingDepthBecomesAGroupNode) {
  Items items{.levels = {0, 2}};
  EXPECT_EQ(Build(items), (Lines{"A 0 0", "  Skupina 0 -1", "    B 1 1"}));
  // An item deeper than anything before it, first in the range: groups above it.
  Items deepFirst{.first = 7, .levels = {2, 0}};
  EXPECT_EQ(Build(deepFirst), (Lines{"Skupina 0 -1", "  Skupina 0 -1", "    A 1 7", "B 1 8"}));
}

TEST(ItemTreeBuilder, ASingleItemIsOneNodeWithTheItemImage) {
  Items items{.first = 5, .levels = {0}};
  EXPECT_EQ(Build(items), Lines{"A 1 5"});
}

TEST(ItemTreeBuilder, AShallowerItemFollowsTheLastNodeOfItsDepth) {
  Items items{.levels = {0, 1, 2, 3, 1, 2, 0}};
  EXPECT_EQ(Build(items),
            (Lines{"A 0 0", "  B 0 1", "    C 0 2", "      D 1 3", "  E 0 4", "    F 1 5", "G 1 6"}));
}

TEST(ItemTreeBuilder, LevelsBelowZeroCountAsTopLevelItems) {
  Items items{.levels = {0, 1, -1, 2, -2147483647 - 1}};
  EXPECT_EQ(Build(items), (Lines{"A 0 0", "  B 1 1", "C 0 2", "  Skupina 0 -1", "    D 1 3", "E 1 4"}));
  // Under a root node they stay below the root.
  Items rooted{.levels = {-5, 1}};
  ItemTreeOptions withRoot;
  withRoot.addRoot = true;
  EXPECT_EQ(Build(rooted, withRoot), (Lines{"Root 0 -1", "  A 0 0", "    B 1 1"}));
}

TEST(ItemTreeBuilder, RootNodeEmptyTextsAndOtherImages) {
  Items items{.levels = {0, 0, 1}};
  ItemTreeOptions options;
  options.addRoot = true;
  options.keepText = false;
  options.itemImage = 7;
  options.groupImage = 3;
  EXPECT_EQ(Build(items, options), (Lines{"Root 3 -1", "   7 0", "   3 1", "     7 2"}));

  // A root without items is a lone root node.
  RecordingTree tree;
  FillItemTree(0, -1, &tree, items.Reader(), options);
  EXPECT_EQ(tree.Lines(), Lines{"Root 7 -1"});
}

TEST(ItemTreeBuilder, ThePerNodeCallbackGetsEachItemsNodeTextAndDetail) {
  Items items{.first = 10, .levels = {0, 2, 1}};
  RecordingTree tree;
  struct Seen {
    TreeNode node;
    std::string text, detail;
  };
  std::vector<Seen> seen;
  ItemTreeOptions options;
  options.keepText = false;  // the callback still gets the item's text
  FillItemTree(items.first, items.Last(), &tree, items.Reader(), options,
               [&](TreeNode node, const std::string& text, const std::string& detail) {
                 seen.push_back({node, text, detail});
               });
  ASSERT_EQ(seen.size(), 3u);
  const std::vector<std::string> texts{seen[0].text, seen[1].text, seen[2].text};
  EXPECT_EQ(texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(seen[1].detail, "detail B");
  for (const Seen& s : seen) {
    ASSERT_GE(s.node, 1u);
    ASSERT_LE(s.node, tree.nodes.size());
  }
  // Each callback names the node that holds its item, not a group above it.
  EXPECT_EQ(tree.nodes[seen[0].node - 1].itemIndex, 10);
  EXPECT_EQ(tree.nodes[seen[1].node - 1].itemIndex, 11);
  EXPECT_EQ(tree.nodes[seen[2].node - 1].itemIndex, 12);
  // Level and text first, then again with the detail, item by item.
  const std::vector<std::pair<std::int32_t, bool>> calls{{10, false}, {10, true}, {11, false},
                                                         {11, true},  {12, false}, {12, true}};
  EXPECT_EQ(items.calls, calls);
}

TEST(ItemTreeBuilder, WithoutReaderTreeOrItemsNothingIsAdded) {
  Items items{.levels = {0, 1}};
  RecordingTree tree;
  FillItemTree(0, 1, &tree, nullptr, {});
  FillItemTree(0, 1, nullptr, items.Reader(), {});
  FillItemTree(1, 0, &tree, items.Reader(), {});
  EXPECT_TRUE(tree.nodes.empty());
  EXPECT_TRUE(items.calls.empty());
  // Without a callback the reader is never asked for details.
  FillItemTree(0, 1, &tree, items.Reader(), {});
  EXPECT_EQ(items.calls, (std::vector<std::pair<std::int32_t, bool>>{{0, false}, {1, false}}));
}

TEST(ItemTreeBuilder, ARangeEndingAtTheLargestIndexEnds) {
  constexpr std::int32_t kLargest = 2147483647;
  Items items{.first = kLargest - 1, .levels = {0, 1}};
  EXPECT_EQ(Build(items), (Lines{"A 0 2147483646", "  B 1 2147483647"}));
}

}  // namespace
}  // namespace tolvar
