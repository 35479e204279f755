#include "dialogs/ItemsTreeView_win.h"

#include "platform/Controls_win.h"
#include "platform/Picture_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr COLORREF kImageKeyColor = RGB(255, 0, 255);  // pink: transparent in the program's pictures

HTREEITEM AsItem(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }
TreeNode AsNode(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }

// The two images (16 x 16 at 96 dpi) side by side in the bitmap resource
// ITEMTREEIMAGES, at the size of `scale`, masked where they are transparent.
UniqueImageList LoadTreeImages(const DpiScale& scale) {
  const int size = scale.Scale(kItemsTreeImageSize);
  UniqueImageList list(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0));
  if (!list) return list;
  const Picture strip = LoadBitmapStrip(L"ITEMTREEIMAGES", 2, kItemsTreeImageSize, kItemsTreeImageSize, scale);
  const UniqueBitmap bitmap = BitmapWithKey(strip, ::GetSysColor(COLOR_WINDOW), kImageKeyColor);
  if (bitmap) ::ImageList_AddMasked(list.get(), bitmap.get(), kImageKeyColor);
  return list;
}

}  // namespace

TItemsTreeView::TItemsTreeView(HWND parent, int id) {
  // The tree view class is registered by the common controls on request.
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&classes);
  // Read-only: no label editing; the selection stays visible while the buttons have the focus.
  tree_ = CreateControl(parent, {.className = WC_TREEVIEWW,
                                 .style = WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                          TVS_SHOWSELALWAYS,
                                 .exStyle = WS_EX_CLIENTEDGE,
                                 .id = id,
                                 .visible = false});
}

void TItemsTreeView::SetScale(const DpiScale& scale, HFONT font) {
  if (!tree_) return;
  UniqueImageList images = LoadTreeImages(scale);
  ::SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
  images_ = std::move(images);  // the old list goes once the tree no longer shows it
  ::SendMessageW(tree_, TVM_SETINDENT, static_cast<WPARAM>(scale.Scale(kItemsTreeIndent)), 0);
  if (font) ::SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
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
