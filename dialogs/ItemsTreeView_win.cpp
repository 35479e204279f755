#include "dialogs/ItemsTreeView_win.h"

#include "platform/Controls_win.h"
#include "platform/Text.h"

namespace tolvar {
namespace {

constexpr COLORREF kImageKeyColor = RGB(255, 0, 255);  // pink: transparent in the program's pictures

HTREEITEM AsItem(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }
TreeNode AsNode(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }

// The two 16 x 16 images side by side in the bitmap resource ITEMTREEIMAGES.
UniqueImageList LoadTreeImages() {
  UniqueImageList list(::ImageList_Create(kItemsTreeImageSize, kItemsTreeImageSize, ILC_COLOR24 | ILC_MASK, 2, 0));
  if (!list) return list;
  const UniqueBitmap strip(static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), L"ITEMTREEIMAGES", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (strip) ::ImageList_AddMasked(list.get(), strip.get(), kImageKeyColor);
  return list;
}

}  // namespace

TItemsTreeView::TItemsTreeView(HWND parent, int id, HFONT font) {
  // The tree view class is registered by the common controls on request.
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&classes);
  images_ = LoadTreeImages();
  // Read-only: no label editing; the selection stays visible while the buttons have the focus.
  tree_ = CreateControl(parent, {.className = WC_TREEVIEWW,
                                 .style = WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                          TVS_SHOWSELALWAYS,
                                 .exStyle = WS_EX_CLIENTEDGE,
                                 .id = id,
                                 .visible = false,
                                 .font = font});
  if (!tree_) return;
  ::SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
  ::SendMessageW(tree_, TVM_SETINDENT, kItemsTreeIndent, 0);
}

TreeNode TItemsTreeView::AddChild(TreeNode parent, const std::string& text, std::int32_t itemIndex, int image) {
  std::wstring wide = Utf8ToUtf16(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == kNoTreeNode ? TVI_ROOT : AsItem(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = wide.data();
  insert.item.lParam = itemIndex;
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  const auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_INSERTITEMW, 0,
                                                                reinterpret_cast<LPARAM>(&insert)));
  return AsNode(item);
}

void TItemsTreeView::SetImage(TreeNode node, int image) {
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = AsItem(node);
  item.iImage = image;
  item.iSelectedImage = image;
  ::SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TItemsTreeView::Clear() { ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

void TItemsTreeView::ExpandAll() { ExpandBelow(TVI_ROOT); }

void TItemsTreeView::ExpandBelow(HTREEITEM parent) {
  auto child = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
  while (child) {
    // A node opens only when it has children; a leaf ignores the request.
    ::SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(child));
    ExpandBelow(child);
    child = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
  }
}

TreeNode TItemsTreeView::FirstNode() const {
  return AsNode(reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
}

void TItemsTreeView::Select(TreeNode node) {
  ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(AsItem(node)));
}

void TItemsTreeView::SetText(TreeNode node, const std::string& text) {
  std::wstring wide = Utf8ToUtf16(text);
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT;
  item.hItem = AsItem(node);
  item.pszText = wide.data();
  ::SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::int32_t TItemsTreeView::SelectedItemIndex() const {
  const auto selected = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!selected) return kNoItemIndex;
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = selected;
  if (!::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return kNoItemIndex;
  return static_cast<std::int32_t>(item.lParam);
}

}  // namespace tolvar
