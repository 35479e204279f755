// The message dialog's tree of related messages, built from an item reader.
// Items come one by one, each with a depth; the builder groups them by depth
// and fills the depths that no item filled with "Skupina" group nodes. It adds
// its nodes to an ItemTreeSink, which the dialog's tree view implements, so the
// grouping can be checked without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tolvar {

// One item of the related-messages tree, as the owner's item reader supplies it.
struct TDialogItem {
  std::int32_t Level = 0;  // depth, 0 for a top-level item
  std::string Text;
  std::string Detail;
};
// Reads item `index`; the detail text is wanted only when `wantDetail` is true.
using TItemReader = std::function<void(std::int32_t index, bool wantDetail, TDialogItem& item)>;

// The item index stored in a node that no item filled: group and root nodes.
inline constexpr std::int32_t kNoItemIndex = -1;

// A node of the tree, as the sink names it; kNoTreeNode stands for the top level.
using TreeNode = std::uintptr_t;
inline constexpr TreeNode kNoTreeNode = 0;

// Where the builder puts its nodes.
class ItemTreeSink {
 public:
  virtual ~ItemTreeSink() = default;
  // Adds a node after the last child of `parent` (kNoTreeNode: a top-level node)
  // with `image` as its image and selected image; returns the new node, never kNoTreeNode.
  virtual TreeNode AddChild(TreeNode parent, const std::string& text, std::int32_t itemIndex, int image) = 0;
  // Gives a node another image and selected image.
  virtual void SetImage(TreeNode node, int image) = 0;
};

struct ItemTreeOptions {
  bool addRoot = false;   // everything below one top-level "Root" node
  bool keepText = true;   // false: the nodes of items get empty texts
  int itemImage = 1;
  int groupImage = 0;
};

// Called for every item's node once it is in the tree, with the item's text and detail.
using ItemNodeCallback = std::function<void(TreeNode node, const std::string& text, const std::string& detail)>;

// Text of the root node that ItemTreeOptions::addRoot adds.
inline constexpr char kItemTreeRootText[] = "Root";

// Adds items first..last to `tree`, in index order. An item deeper than the
// one before it becomes a child of that item (missing depths in between become
// "Skupina" nodes); an item as deep or shallower follows the most recent node of
// its depth as a sibling. A node that gets a child shows the group image. The
// reader is asked for level and text, and again with the detail when `onNode`
// is given. Levels below 0 count as 0. Without a reader or a tree nothing is added.
void FillItemTree(std::int32_t first, std::int32_t last, ItemTreeSink* tree, const TItemReader& reader,
                  const ItemTreeOptions& options, const ItemNodeCallback& onNode = {});

}  // namespace tolvar
