#include "platform/HeldFolder.h"

#include "platform/Path.h"

namespace tolvar {
namespace {

char FoldForComparison(char c) {
#ifdef _WIN32
  // Windows file names match without regard to letter case.
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
#endif
  return c;
}

bool StartsWithPath(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldForComparison(text[i]) != FoldForComparison(prefix[i])) return false;
  }
  return true;
}

bool IsRelative(const std::string& path) {
  return !(path.starts_with("\\") || (path.size() >= 2 && path[1] == ':'));
}

}  // namespace

std::optional<std::string> PathBelow(const std::string& root, const std::string& path) {
  const std::string folder = IncludeTrailingBackslash(path);
  if (root.empty()) {
    if (!IsRelative(path)) return std::nullopt;
    return ExcludeTrailingBackslash(folder);
  }
  const std::string base = IncludeTrailingBackslash(root);
  if (!StartsWithPath(folder, base)) return std::nullopt;
  return ExcludeTrailingBackslash(folder.substr(base.size()));
}

std::optional<HeldFolderChain> OpenFolderChain(const std::string& trustedRoot, const std::string& path,
                                               const void* securityAttributes) {
  const std::optional<std::string> below = PathBelow(trustedRoot, path);
  if (!below) return std::nullopt;
  HeldFolderChain chain;
  auto root = HeldFolder::OpenTrusted(trustedRoot);
  if (!root) return std::nullopt;
  chain.folders_.push_back(std::move(root));
  std::size_t start = 0;
  while (start < below->size()) {
    std::size_t end = below->find('\\', start);
    if (end == std::string::npos) end = below->size();
    const std::string name = below->substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;  // a doubled backslash, "\.\"
    if (name == "..") return std::nullopt;      // would climb out of what was checked
    auto child = chain.folders_.back()->EnterChild(name, securityAttributes);
    if (!child) return std::nullopt;
    chain.folders_.push_back(std::move(child));
  }
  return chain;
}

}  // namespace tolvar
