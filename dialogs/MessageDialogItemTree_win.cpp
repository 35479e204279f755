// The message dialog's tree of related messages: filling it from the owner's
// item reader, the details of the selected item, and the height the user gives
// the tree by sizing the window (remembered as "ItemTreePanelHeight").
//
// The item tree panel fills the client area below the details pane: a 7-pixel
// strip with the separator line on top, 6-pixel margins left, right and below,
// and the tree view in between.
#include <algorithm>
#include <optional>

#include "dialogs/MessageDialogForm_win.h"
#include "platform/Texts.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

// The first node of the tree is named after the message type, as the title is.
std::optional<TextId> NodeNameOf(TMessageType type) {
  switch (type) {
    case mltError: return TextId::TitleError;
    case mltWarning: return TextId::TitleWarning;
    case mltInformation: return TextId::TitleInformation;
    case mltConfirmation: return TextId::TitleConfirmation;
  }
  return std::nullopt;
}

}  // namespace

void TMessDlgForm::FillItemsTree(std::int32_t first, std::int32_t last) {
  if (!itemsTree_ || !itemsTree_->Handle()) return;
  // The tree shows one range: a second call replaces the nodes of the first.
  itemsTree_->Clear();
  itemsHaveDetails_ = false;
  ItemTreeOptions options;
  options.addRoot = false;
  options.keepText = true;
  options.itemImage = kItemsTreeItemImage;
  options.groupImage = kItemsTreeGroupImage;
  FillItemTree(first, last, itemsTree_.get(), itemReader_, options,
               [this](TreeNode, const std::string&, const std::string& detail) { ItemDetailsPreSizing(detail); });
  itemsTree_->ExpandAll();
  if (const TreeNode firstNode = itemsTree_->FirstNode(); firstNode != kNoTreeNode) {
    itemsTree_->Select(firstNode);  // its change shows the node's details
    NameFirstNodeAfterType();
  }
  // The caller lays out: the details switch follows the items' details even
  // when the selection did not change.
}

void TMessDlgForm::ItemDetailsPreSizing(const std::string& detail) {
  // The details pane grows to the longest item detail now, so that selecting
  // another item later does not change the window's height.
  if (!detail.empty()) itemsHaveDetails_ = true;
  detailPanelHeight_ =
      std::max(detailPanelHeight_, DetailPanelHeightNeeded(MeasureWrapped(detail, Scale(kDetailLabelWidth)), Dpi()));
}

void TMessDlgForm::NameFirstNodeAfterType() {
  if (!itemsTree_) return;
  const TreeNode firstNode = itemsTree_->FirstNode();
  const std::optional<TextId> name = NodeNameOf(messageType_);
  if (firstNode != kNoTreeNode && name) itemsTree_->SetText(firstNode, LoadText(*name));
}

void TMessDlgForm::ItemsTreeViewChange() { Relayout(); }

std::int32_t TMessDlgForm::SelectedItemIndex() const {
  if (!itemTreeVisible_ || !itemsTree_) return kNoItemIndex;
  return itemsTree_->SelectedItemIndex();
}

void TMessDlgForm::ItemTreePanelResize(int clientHeight) {
  // Only the user's sizing counts; the window's own size changes switch tracking off.
  if (!itemTreeVisible_ || !trackItemTreeHeight_) return;
  PanelStack others = layout_.panels;
  others.itemTree = -1;
  itemTreePanelHeight_ = clientHeight - ClientHeight(others, Dpi());
  Relayout();
}

void TMessDlgForm::AnswerMinMaxInfo(MINMAXINFO& limits) const {
  // Only the height may change, and the tree keeps at least its minimum.
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  PanelStack panels = layout_.panels;
  panels.itemTree = Scale(kMinItemTreeHeight);
  limits.ptMinTrackSize.x = fixedWidth_;
  limits.ptMaxTrackSize.x = fixedWidth_;
  limits.ptMinTrackSize.y = ClientHeight(panels, Dpi()) + (frame.bottom - frame.top) - client.bottom;
}

}  // namespace tolvar
