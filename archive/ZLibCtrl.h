// The archive extractor: unpacks a ZLib32 archive (see ArchiveFormat.h) into a
// target folder, reports progress through four optional callbacks and returns a
// small result code that ArchiveResultText turns into the user's message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/ArchiveFileSystem.h"
#include "archive/CodePage.h"
#include "archive/ExtractFailure.h"
#include "archive/ZLibFce.h"
#include "platform/Stream.h"

namespace tolvar {

// Result codes of ExtractArchive.
enum : std::uint8_t {
  ArchiveOk = 0,          // all entries processed
  ArchiveNotFound = 1,    // the archive path names no existing file
  ArchiveOpenError = 2,   // the archive exists but cannot be opened
  ArchiveBadFormat = 3,   // shorter than its header, or not the signature
  ArchiveWriteError = 4,  // an output file cannot be created or written, or a name is refused
};

// The callbacks; each may be empty (skipped). The first argument is the open
// archive: a callback may look at its position and size but must not move it.
using TExtractStartEvent = std::function<void(Stream& archive, std::int32_t progressTotal)>;
using TExtractChunkEvent = std::function<void(Stream& archive, bool& flag)>;
using TExtractFinishEvent = std::function<void(Stream& archive)>;
// blockCount: BlockCount of the file's size; targetFolder ends with a backslash;
// relativeName: the file's path below the target folder.
using TExtractFileEvent = std::function<void(Stream& archive, std::int32_t blockCount,
                                             const std::string& targetFolder, const std::string& relativeName)>;

struct ExtractCallbacks {
  TExtractStartEvent OnExtractStart;
  TExtractChunkEvent OnExtractChunk;
  TExtractFinishEvent OnExtractFinish;
  TExtractFileEvent OnExtractFile;
};

// Where the extractor works: the file system, the code page of the names, and
// (optional) where to record what went wrong when the result is 4, for tools.
struct ExtractEnvironment {
  ArchiveFileSystem& fileSystem;
  const CodePage& codePage;
  ExtractFailure* failure = nullptr;
};

// Turns the member copy's notifications into chunk callbacks: each notification
// clears the flag and hands the archive stream (not the notification's sender)
// and the flag to the chunk callback. One lives for one extraction.
class TTranslateZLibEventClass {
 public:
  explicit TTranslateZLibEventClass(Stream& archive) : archive_(archive) {}

  TExtractChunkEvent OnExtractChunk;  // empty at construction

  void ZLibNotify(Stream& sender);
  // ZLibNotify bound to this object, for CopyDecompressed.
  TNotifyEvent Handler() {
    return [this](Stream& sender) { ZLibNotify(sender); };
  }

 private:
  Stream& archive_;
  bool flag_ = false;  // cleared before each call; nothing reads it afterwards
};

// Unpacks the archive into targetFolder (with or without trailing backslash),
// creating the folder and its subfolders. Returns 0..4. Callbacks, in order:
// OnExtractStart once; per file entry OnExtractFile once, then OnExtractChunk
// once per inflated chunk of up to 32768 bytes; OnExtractFinish once after the
// last entry (not after 4 and not when an error is raised).
//
// Damaged archives raise EZDecompressionError (corrupt or cut-short member data,
// an entry cut short, a member that asks for a preset dictionary, a member that
// inflates to more or less than its record's size, an archive that ends before
// its files have delivered the chunks that its header's progress total
// announces, a read or a size query that the device fails); the output file
// being written is closed and stays with what it holds, never more than the
// record's size. A progress total that is too small is tolerated. An archive
// that ends right after a header whose total is 0 is empty: 0, with
// OnExtractStart and OnExtractFinish.
//
// Names are checked before use (IsSafeEntryName); an unsafe one stops with 4 and
// creates nothing. A leave-folder entry never leaves the target folder. A write
// that falls short (a full disk) stops with 4. Each enter-folder entry makes only
// its own folder, in the folder held above it; nesting deeper than the platform
// can name (PathFits) stops with 4 at once. Nothing is written through a link
// below the target (see ArchiveFileSystem). Each file, once written in full and
// closed, goes to the file system's FinishFile; a refusal there stops with 4.
std::uint8_t ExtractArchive(const ExtractEnvironment& environment, const std::string& archivePath,
                            const std::string& targetFolder, const ExtractCallbacks& callbacks);

// The same on the machine's disk, with names in the system's ANSI code page.
std::uint8_t ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                            const TExtractStartEvent& OnExtractStart, const TExtractChunkEvent& OnExtractChunk,
                            const TExtractFinishEvent& OnExtractFinish, const TExtractFileEvent& OnExtractFile);

// The user's message for a result code; empty for 0 and for codes outside 1..4.
std::string ArchiveResultText(std::uint8_t code);

// The number of 32 KB blocks reported for a file of `size` bytes: size div 32768
// + 1 for a positive size (so exactly 32768 gives 2), otherwise 0; capped at the
// largest 32-bit value.
std::int32_t BlockCount(std::int64_t size);

}  // namespace tolvar
