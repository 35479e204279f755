// `zl32 list --json`: the archive's tree for scripts, in a shape that only
// grows. Version 1:
//
//   {"format": "zl32 list", "version": 1,
//    "archive": "<the path as given>", "codepage": 1250, "progressTotal": 3,
//    "entries": [
//      {"type": "file", "name": "setupostrel.exe", "rawName": "7365...", "path": "setupostrel.exe",
//       "depth": 0, "offset": 38, "size": 70000, "packedSize": 253},
//      {"type": "folder", "name": "data", "rawName": "64617461", "path": "data", "depth": 0, "offset": 330},
//      {"type": "other", "kind": 7, ...}],
//    "files": 2, "folders": 1, "bytes": 70003,
//    "damaged": false, "faults": []}
//
// Entries come in archive order; leave entries are left out (depth tells the
// nesting). "name" is the name decoded in the code page, null when it does not
// decode; "rawName" its bytes in hexadecimal; "path" the names from the top
// joined with "/", null when a name on the way is not a safe name. "size" is
// what the record gives, "packedSize" the member's compressed length (0 when
// its data is damaged). A later version adds keys and never changes these.
#pragma once

#include <string>

#include "archive/ArchiveCheck.h"
#include "archive/CodePage.h"

namespace tolvar::zl32 {

std::string ListAsJson(const ArchiveInspection& inspection, const std::string& archive, const CodePage& codePage);

// A JSON string literal of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);

}  // namespace tolvar::zl32
