// The robot's eyes and hands for tree view controls, in this process or in
// another one: it reads every node (text, depth, images, data value, state) and
// clicks a node as the mouse would. Item texts and rectangles travel through a
// buffer in the tree's own process, since the tree view messages carry pointers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvar::test {

struct TreeNodeInfo {
  HTREEITEM handle = nullptr;
  std::string text;
  int depth = 0;  // 0 for a top-level node
  int image = -1;
  int selectedImage = -1;
  std::int64_t data = 0;  // the node's data value (lParam)
  bool selected = false;
  bool expanded = false;
  bool hasChildren = false;
};

// Every node of the tree in display order, each parent before its children.
std::vector<TreeNodeInfo> ReadTreeNodes(HWND tree);

// The nodes as indented lines "text image data", two blanks per depth, to
// compare a whole tree at once.
std::vector<std::string> TreeLines(const std::vector<TreeNodeInfo>& nodes);

// The selected node, or nothing.
std::optional<TreeNodeInfo> SelectedTreeNode(HWND tree);

// The rectangle of a node's text in the tree's client coordinates; nothing
// when the node is not visible.
std::optional<RECT> TreeNodeBounds(HWND tree, HTREEITEM node);

// Scrolls a node into view and clicks the middle of its text; false when it
// cannot be shown.
bool ClickTreeNode(HWND tree, HTREEITEM node);

}  // namespace tolvar::test
