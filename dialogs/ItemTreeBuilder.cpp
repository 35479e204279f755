#include "dialogs/ItemTreeBuilder.h"

#include <algorithm>
#include <vector>

#include "platform/Texts.h"

namespace tolvar {

void FillItemTree(std::int32_t first, std::int32_t last, ItemTreeSink* tree, const TItemReader& reader,
                  const ItemTreeOptions& options, const ItemNodeCallback& onNode) {
  if (!reader || !tree) return;
  const std::string groupText = LoadText(TextId::TreeGroup);

  // path[k] is the most recent node at depth k; each entry is a child of the one before.
  std::vector<TreeNode> path;
  if (options.addRoot) path.push_back(tree->AddChild(kNoTreeNode, kItemTreeRootText, kNoItemIndex, options.itemImage));

  // 64-bit counters: a range ending at the largest index still ends.
  for (std::int64_t index = first; index <= last; ++index) {
    const auto itemIndex = static_cast<std::int32_t>(index);
    TDialogItem item;
    reader(itemIndex, false, item);
    if (!options.keepText) item.Text.clear();
    // A negative depth would cut the path below its root; it counts as a top-level item.
    std::int64_t level = std::max<std::int32_t>(item.Level, 0);
    if (options.addRoot) ++level;

    const auto depth = static_cast<std::int64_t>(path.size()) - 1;  // of the path's last node
    TreeNode node = kNoTreeNode;
    if (level > depth) {
      // Deeper than the path: the depths in between become group nodes, the
      // deepest one is the item's own node.
      for (std::int64_t missing = depth + 1; missing <= level; ++missing) {
        const TreeNode parent = path.empty() ? kNoTreeNode : path.back();
        if (parent != kNoTreeNode) tree->SetImage(parent, options.groupImage);
        const bool itemsOwn = missing == level;
        node = tree->AddChild(parent, itemsOwn ? item.Text : groupText, itemsOwn ? itemIndex : kNoItemIndex,
                              options.itemImage);
        path.push_back(node);
      }
    } else {
      // As deep or shallower: the next sibling of the most recent node of that depth.
      path.resize(static_cast<std::size_t>(level) + 1);
      const TreeNode parent = path.size() >= 2 ? path[path.size() - 2] : kNoTreeNode;
      node = tree->AddChild(parent, item.Text, itemIndex, options.itemImage);
      path.back() = node;
    }

    if (onNode) {
      TDialogItem full;
      reader(itemIndex, true, full);
      onNode(node, full.Text, full.Detail);
    }
  }
}

}  // namespace tolvar
