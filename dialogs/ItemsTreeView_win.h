// The message dialog's tree of related messages: a read-only common-controls
// tree view with its two images (0 = group, 1 = item), into which the item tree
// builder adds its nodes. Every node keeps the item index it shows (-1 for a
// group) as its data value, where the dialog and test robots read it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "dialogs/ItemTreeBuilder.h"
#include "platform/DpiScale.h"
#include "platform/Handle_win.h"

namespace tolvar {

struct ImageListTraits {
  using Value = HIMAGELIST;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value list) noexcept { ::ImageList_Destroy(list); }
};
using UniqueImageList = UniqueHandle<ImageListTraits>;

// At 96 dpi; the tree scales them to its DPI.
inline constexpr int kItemsTreeIndent = 19;
inline constexpr int kItemsTreeImageSize = 16;
inline constexpr int kItemsTreeGroupImage = 0;
inline constexpr int kItemsTreeItemImage = 1;

class TItemsTreeView : public ItemTreeSink {
 public:
  // Creates the tree view, hidden, as child `id` of `parent`; SetScale gives it
  // its images, indent and font. The image list outlives the control: the
  // parent window must be destroyed first.
  TItemsTreeView(HWND parent, int id);
  TItemsTreeView(const TItemsTreeView&) = delete;
  TItemsTreeView& operator=(const TItemsTreeView&) = delete;

  HWND Handle() const noexcept { return tree_; }

  // Images and indent for a DPI, and the font of that DPI (not owned).
  void SetScale(const DpiScale& scale, HFONT font);

  TreeNode AddChild(TreeNode parent, const std::string& text, std::int32_t itemIndex, int image) override;
  void SetImage(TreeNode node, int image) override;

  void Clear();
  // Opens every node that has children.
  void ExpandAll();
  // The first top-level node, or kNoTreeNode for an empty tree.
  TreeNode FirstNode() const;
  void Select(TreeNode node);
  void SetText(TreeNode node, const std::string& text);
  // The item index of the selected node; -1 when nothing is selected or the node is a group.
  std::int32_t SelectedItemIndex() const;

 private:
  void ExpandBelow(HTREEITEM parent);

  UniqueImageList images_;
  HWND tree_ = nullptr;
};

}  // namespace tolvar
