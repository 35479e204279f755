#include "tools/zl32/ListJson.h"

#include <cstdio>

#include "archive/ArchiveFormat.h"
#include "platform/Utf.h"

namespace tolvar::zl32 {
namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

const char* TypeOf(std::uint8_t kind) {
  switch (kind) {
    case kEntryFile: return "file";
    case kEntryEnterFolder: return "folder";
    default: return "other";
  }
}

std::string PathOf(const ArchiveListEntry& entry) {
  if (entry.path.empty()) return "null";
  std::string path = entry.path;
  for (char& c : path) c = c == '\\' ? '/' : c;
  return JsonString(path);
}

std::string Field(const char* key, const std::string& value) { return std::string("\"") + key + "\": " + value; }
std::string Field(const char* key, std::int64_t value) { return Field(key, std::to_string(value)); }

}  // namespace

std::string JsonString(std::string_view text) {
  // Malformed UTF-8 comes back with U+FFFD in its place.
  const std::string utf8 = U16ToUtf8(Utf8ToU16(text));
  std::string json = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string ListAsJson(const ArchiveInspection& inspection, const std::string& archive, const CodePage& codePage) {
  std::int64_t files = 0;
  std::int64_t folders = 0;
  std::int64_t bytes = 0;
  std::string entries;
  for (const ArchiveListEntry& entry : inspection.entries) {
    if (entry.kind == kEntryLeaveFolder) continue;
    const auto name = codePage.ToUtf8(entry.rawName);
    std::string item = "{" + Field("type", JsonString(TypeOf(entry.kind)));
    if (entry.kind != kEntryFile && entry.kind != kEntryEnterFolder) item += ", " + Field("kind", entry.kind);
    item += ", " + Field("name", name ? JsonString(*name) : "null") + ", " + Field("rawName", JsonString(Hex(entry.rawName))) +
            ", " + Field("path", PathOf(entry)) + ", " + Field("depth", entry.depth) + ", " +
            Field("offset", entry.offset);
    if (entry.kind == kEntryFile) {
      item += ", " + Field("size", entry.recordSize) + ", " + Field("packedSize", entry.packedSize);
      ++files;
      bytes += entry.inflatedSize;
    }
    if (entry.kind == kEntryEnterFolder) ++folders;
    entries += (entries.empty() ? "\n    " : ",\n    ") + item + "}";
  }
  std::string faults;
  for (const std::string& fault : inspection.faults) faults += (faults.empty() ? "" : ", ") + JsonString(fault);

  return "{\n  " + Field("format", JsonString("zl32 list")) + ",\n  " + Field("version", 1) + ",\n  " +
         Field("archive", JsonString(archive)) + ",\n  " + Field("codepage", codePage.Number()) + ",\n  " +
         Field("progressTotal", inspection.progressTotal) + ",\n  " + Field("entries", "[" + entries + "\n  ]") +
         ",\n  " + Field("files", files) + ",\n  " + Field("folders", folders) + ",\n  " + Field("bytes", bytes) +
         ",\n  " + Field("damaged", inspection.damaged ? "true" : "false") + ",\n  " +
         Field("faults", "[" + faults + "]") + "\n}\n";
}

}  // namespace tolvar::zl32
