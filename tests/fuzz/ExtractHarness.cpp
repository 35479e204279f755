#include "tests/fuzz/ExtractHarness.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "tests/support/MemoryFileSystem.h"

namespace tolvar::fuzz {
namespace {

constexpr char kArchive[] = "D:\\WIZARD.zl";
constexpr const char* kTarget = kFuzzTarget;
// Bounds what a small input may inflate to (a "zip bomb" ends with a short write).
constexpr std::uint64_t kCapacity = 8u << 20;
// A Windows path without the long-path prefix.
constexpr std::size_t kPathLimit = 259;

// A component that a file system could read as anything but a plain name below
// its folder. Written independently of the extractor's own rules, and looser:
// it catches escapes, not every name the extractor refuses.
bool Escapes(const std::string& component) {
  if (component.empty() || component == "." || component == "..") return true;
  std::string trimmed = component;
  while (!trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ' ')) trimmed.pop_back();
  if (trimmed.empty()) return true;  // "...", ". ." and the like
  for (const char c : component) {
    if (c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20) return true;
  }
  std::string stem = trimmed.substr(0, trimmed.find('.'));
  std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::toupper(c); });
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string CheckCreatedPath(const std::string& path) {
  const std::string target = kTarget;
  if (target.starts_with(path)) return {};  // the target folder and its parents
  if (!path.starts_with(target)) return "created outside the target: " + path;
  std::string relative = path.substr(target.size());
  if (relative.ends_with("\\")) relative.pop_back();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find('\\', start);
    const std::string component = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (Escapes(component)) return "created under an unsafe name: " + path;
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

namespace {

// What another user may have planted in the target before the run: links to an
// outside folder and file under names the seed archives use (in other letter
// cases too), and a second name of an outside file.
constexpr char kOutside[] = "C:\\Outside\\";
const MemoryFileSystem::Bytes kOutsideBytes = {'o', 'u', 't'};

void PlantLinks(MemoryFileSystem& files) {
  const std::string target = kTarget;
  files.AddFile(std::string(kOutside) + "secret", kOutsideBytes);
  files.AddFile(std::string(kOutside) + "hard", kOutsideBytes);
  for (const char* folder : {"A", "data", "Sub", "d"}) files.AddFolderLink(target + folder, kOutside);
  for (const char* file : {"x", "SETUPOSTREL.EXE", "last", "one"}) {
    files.AddFileLink(target + file, std::string(kOutside) + "secret");
  }
  for (const char* file : {"Y", "first", "big"}) files.AddHardLink(target + file, std::string(kOutside) + "hard");
}

// Nothing outside the target changed: the planted files keep their bytes, the
// hard-linked one lost only the names in the target, nothing new appeared.
std::string CheckOutside(const MemoryFileSystem& files) {
  for (const char* name : {"secret", "hard"}) {
    if (files.FileBytes(std::string(kOutside) + name) != kOutsideBytes) return std::string("written through a link: ") + name;
  }
  for (const std::string& path : files.FilePaths()) {
    if (path.starts_with(kOutside) && path != std::string(kOutside) + "secret" &&
        path != std::string(kOutside) + "hard") {
      return "created through a link: " + path;
    }
  }
  return {};
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

}  // namespace

std::string CheckExtraction(const std::uint8_t* data, std::size_t size) {
  MemoryFileSystem files;
  files.AddFile(kArchive, MemoryFileSystem::Bytes(data, data + size));
  files.SetCapacity(kCapacity);
  files.SetPathLimit(kPathLimit);
  PlantLinks(files);
  const std::size_t createdBefore = files.CreatedPaths().size();
  // The block count that each file's record gives, by the file's path: no file
  // may hold more than its record allows (32768 bytes per block, none for 0).
  std::map<std::string, std::int64_t> allowed;

  // The callbacks come in the documented order: start, then files with their
  // chunks, then finish; never a chunk outside a file.
  std::string order;
  std::int64_t announcedChunks = 0;
  std::int64_t chunks = 0;
  ExtractCallbacks callbacks;
  callbacks.OnExtractStart = [&](Stream&, std::int32_t total) {
    order += order.empty() ? "S" : "!";
    announcedChunks = total;
  };
  callbacks.OnExtractFile = [&](Stream&, std::int32_t blocks, const std::string& target, const std::string& relative) {
    order += target == kTarget && order.starts_with("S") && !order.ends_with("E") ? "F" : "!";
    allowed[Upper(target + relative)] = std::int64_t{blocks} * 32768;
  };
  callbacks.OnExtractChunk = [&](Stream&, bool& flag) {
    order += order.ends_with("F") || order.ends_with("c") ? "c" : "!";
    ++chunks;
    flag = true;
  };
  callbacks.OnExtractFinish = [&](Stream&) { order += order.starts_with("S") ? "E" : "!"; };

  std::string problem;
  int result = -1;
  try {
    result = ExtractArchive({files, CodePage1250()}, kArchive, kTarget, callbacks);
  } catch (const EZDecompressionError&) {
    // The archive's own damage: a sound way to end.
  } catch (const std::exception& error) {
    problem = std::string("unexpected error: ") + error.what();
  }
  if (result > 4) problem = "result " + std::to_string(result);
  if (result == 0 && !order.ends_with("E")) problem = "success without the finish callback";
  if (result != 0 && order.ends_with("E")) problem = "the finish callback after a failure";
  // Fewer chunks than the header announces: the archive was cut, so success is a lie.
  if (result == 0 && chunks < announcedChunks) problem = "success for an archive cut short of its header's chunks";
  if (order.find('!') != std::string::npos) problem = "callbacks out of order: " + order.substr(0, 64);
  if (files.OpenStreams() != 0) problem = "a stream was left open";
  const auto& created = files.CreatedPaths();
  for (std::size_t i = createdBefore; i < created.size() && problem.empty(); ++i) {
    problem = CheckCreatedPath(created[i]);
  }
  if (problem.empty()) problem = CheckOutside(files);
  for (std::size_t i = createdBefore; i < created.size(); ++i) {
    const std::string& path = created[i];
    const auto limit = allowed.find(Upper(path));
    const auto bytes = files.FileBytes(path);
    if (problem.empty() && limit != allowed.end() && bytes && static_cast<std::int64_t>(bytes->size()) > limit->second) {
      problem = "more written than the record allows: " + path;
    }
  }
  return problem;
}

}  // namespace tolvar::fuzz
