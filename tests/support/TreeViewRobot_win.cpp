#include "tests/support/TreeViewRobot_win.h"

#include <functional>

#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "tests/support/RobotInput_win.h"

namespace tolvar::test {
namespace {

constexpr std::size_t kTextChars = 1024;

// A block of memory in the process that owns a window, for the structures and
// texts that tree view messages point to. Works for this process too.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process_) address_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }

  explicit operator bool() const noexcept { return address_ != nullptr; }
  char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T written = 0;
    return offset + size <= size_ && ::WriteProcessMemory(process_.get(), At(offset), data, size, &written) &&
           written == size;
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T read = 0;
    return offset + size <= size_ && ::ReadProcessMemory(process_.get(), At(offset), data, size, &read) &&
           read == size;
  }

 private:
  UniqueKernelHandle process_;
  void* address_ = nullptr;
  std::size_t size_;
};

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM from) {
  return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

std::optional<TreeNodeInfo> ReadNode(HWND tree, const RemoteBuffer& buffer, HTREEITEM handle, int depth) {
  // The item structure first, its text buffer after it.
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
  item.hItem = handle;
  item.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
  item.pszText = reinterpret_cast<wchar_t*>(buffer.At(sizeof item));
  item.cchTextMax = static_cast<int>(kTextChars);
  const wchar_t nothing = 0;
  if (!buffer.Write(0, &item, sizeof item) || !buffer.Write(sizeof item, &nothing, sizeof nothing)) return std::nullopt;
  if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.At(0)))) return std::nullopt;
  TVITEMW answer{};
  std::wstring text(kTextChars, L'\0');
  if (!buffer.Read(0, &answer, sizeof answer) ||
      !buffer.Read(sizeof answer, text.data(), kTextChars * sizeof(wchar_t))) {
    return std::nullopt;
  }
  text.resize(text.find(L'\0') == std::wstring::npos ? kTextChars - 1 : text.find(L'\0'));
  TreeNodeInfo node;
  node.handle = handle;
  node.text = Utf16ToUtf8(text);
  node.depth = depth;
  node.image = answer.iImage;
  node.selectedImage = answer.iSelectedImage;
  node.data = static_cast<std::int64_t>(answer.lParam);
  node.selected = (answer.state & TVIS_SELECTED) != 0;
  node.expanded = (answer.state & TVIS_EXPANDED) != 0;
  node.hasChildren = Next(tree, TVGN_CHILD, handle) != nullptr;
  return node;
}

}  // namespace

std::vector<TreeNodeInfo> ReadTreeNodes(HWND tree) {
  std::vector<TreeNodeInfo> nodes;
  const RemoteBuffer buffer(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
  if (!buffer) return nodes;
  const std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM first, int depth) {
    for (HTREEITEM handle = first; handle; handle = Next(tree, TVGN_NEXT, handle)) {
      if (auto node = ReadNode(tree, buffer, handle, depth)) nodes.push_back(std::move(*node));
      walk(Next(tree, TVGN_CHILD, handle), depth + 1);
    }
  };
  walk(Next(tree, TVGN_ROOT, nullptr), 0);
  return nodes;
}

std::vector<std::string> TreeLines(const std::vector<TreeNodeInfo>& nodes) {
  std::vector<std::string> lines;
  for (const TreeNodeInfo& node : nodes) {
    lines.push_back(std::string(static_cast<std::size_t>(node.depth) * 2, ' ') + node.text + " " +
                    std::to_string(node.image) + " " + std::to_string(node.data));
  }
  return lines;
}

std::optional<TreeNodeInfo> SelectedTreeNode(HWND tree) {
  for (TreeNodeInfo& node : ReadTreeNodes(tree)) {
    if (node.selected) return std::move(node);
  }
  return std::nullopt;
}

std::optional<RECT> TreeNodeBounds(HWND tree, HTREEITEM node) {
  // The message takes the node in the rectangle and answers in it; TRUE: the text part only.
  const RemoteBuffer buffer(tree, sizeof(RECT));
  if (!buffer || !buffer.Write(0, &node, sizeof node)) return std::nullopt;
  if (!::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.At(0)))) return std::nullopt;
  RECT bounds{};
  if (!buffer.Read(0, &bounds, sizeof bounds)) return std::nullopt;
  return bounds;
}

bool ClickTreeNode(HWND tree, HTREEITEM node) {
  // Scrolled into view first, as the user would scroll to it.
  ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
  const auto bounds = TreeNodeBounds(tree, node);
  if (!bounds) return false;
  ClickAt(tree, POINT{(bounds->left + bounds->right) / 2, (bounds->top + bounds->bottom) / 2});
  return true;
}

}  // namespace tolvar::test
