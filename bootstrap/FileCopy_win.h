// Copying one file from the installation medium into the setup folder, block by
// block, with progress reports and the caller's windows kept responsive.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Path.h"

namespace tolvar {

// Progress of a copy: the caller's two paths, unchanged, and the whole percentage.
using CopyProgressCallback = void (*)(const PathString& source, const PathString& target, std::uint8_t percent);

// True when something bears the source's name, so that the copy tells what it
// is instead of asking for the disk again: a file, whatever else the folder lists
// (a FIFO, a device node), and any path into the device namespace.
bool SourcePresent(const std::string& path);

// Copies `source` to `target` in 2048-byte blocks. A source that is not a plain
// file on a disk (a pipe, a device, a FIFO, a path into the device namespace) is
// not read: it fails like one that cannot be opened. The target's folder is created
// first (with all parents, see ForceSharedDirectories), the target is made as a
// new file (a read-only copy is replaced; a link or a file with other names loses
// this name and is never written through; a name that is not one plain name
// cannot be made), and after every block the pending window messages are processed
// when a pump is due (ProcessMessagesIfDue: about once per frame). With a callback,
// it is called with 0
// before anything else, then whenever the percentage has grown by at least `step`
// points. True when the whole source arrived: exactly the size it had when it was
// opened. Every failure but a missing source is shown to the user (an error with
// the single button "&Zavřít"); a short write, a failed read and a source that
// ends early or grows meanwhile all say that the source could not be copied. A
// target written in part stays on disk.
bool CopyFileWithProgress(const PathString& source, const PathString& target, CopyProgressCallback callback,
                          std::uint8_t step);

}  // namespace tolvar
