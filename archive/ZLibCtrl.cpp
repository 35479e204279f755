#include "archive/ZLibCtrl.h"

#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "archive/ArchiveFormat.h"
#include "archive/EntryName.h"
#include "archive/ZStream.h"
#include "platform/Path.h"
#include "platform/Texts.h"

namespace tolvar {
namespace {

struct Entry {
  std::string rawName;  // as stored: 8-bit text in the archive's code page
  std::uint8_t kind = 0;
  std::int64_t size = 0;
};

// Reads exactly count bytes of an entry; an archive that ends earlier is damaged.
void ReadEntryBytes(Stream& archive, void* buffer, std::size_t count) {
  if (archive.Read(buffer, count) != count) throw EZDecompressionError("archive entry cut short");
}

Entry ReadEntry(Stream& archive) {
  Entry entry;
  std::array<std::uint8_t, 2> length{};
  ReadEntryBytes(archive, length.data(), length.size());
  entry.rawName.resize(static_cast<std::size_t>(length[0] | length[1] << 8));
  ReadEntryBytes(archive, entry.rawName.data(), entry.rawName.size());
  std::array<std::uint8_t, kEntryRecordSize> record{};
  ReadEntryBytes(archive, record.data(), record.size());
  entry.kind = record[0];
  entry.size = ReadInt64Le(record.data() + kEntrySizeOffset);
  return entry;
}

// The entry's name as UTF-8 when it is safe as one path component.
std::optional<std::string> UsableName(const CodePage& codePage, const std::string& rawName) {
  auto name = codePage.ToUtf8(rawName);
  if (!name || !IsSafeEntryName(*name)) return std::nullopt;
  return name;
}

// The extraction folder as a path and as the held folders from the target down:
// entering adds one folder, leaving drops one, each in constant time.
class FolderStack {
 public:
  FolderStack(std::string target, std::unique_ptr<ArchiveFolder> held) : path_(std::move(target)) {
    held_.push_back(std::move(held));
  }
  const std::string& Path() const noexcept { return path_; }
  const ArchiveFolder* Current() const noexcept { return held_.back().get(); }
  std::size_t Depth() const noexcept { return nameLengths_.size(); }
  void Enter(const std::string& name, std::unique_ptr<ArchiveFolder> held) {
    path_ += name + "\\";
    nameLengths_.push_back(name.size() + 1);
    held_.push_back(std::move(held));
  }
  void Leave() {
    if (nameLengths_.empty()) return;
    path_.resize(path_.size() - nameLengths_.back());
    nameLengths_.pop_back();
    held_.pop_back();
  }

 private:
  std::string path_;
  std::vector<std::size_t> nameLengths_;
  std::vector<std::unique_ptr<ArchiveFolder>> held_;
};

// Records why the extraction stops, when the caller asked; nothing is copied
// otherwise.
void Report(const ExtractEnvironment& environment, ExtractFailure::Kind kind, const std::string& folder,
            const std::string& name, std::size_t level = 0) {
  if (environment.failure) *environment.failure = {kind, folder, name, level};
}

}  // namespace

void TTranslateZLibEventClass::ZLibNotify(Stream&) {
  flag_ = false;
  if (OnExtractChunk) OnExtractChunk(archive_, flag_);
}

std::int32_t BlockCount(std::int64_t size) {
  if (size <= 0) return 0;
  const std::int64_t count = size / 32768 + 1;
  return count > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(count);
}

std::string ArchiveResultText(std::uint8_t code) {
  switch (code) {
    case ArchiveNotFound: return LoadText(TextId::ArchiveNotFound);
    case ArchiveOpenError: return LoadText(TextId::ArchiveOpenError);
    case ArchiveBadFormat: return LoadText(TextId::ArchiveBadFormat);
    case ArchiveWriteError: return LoadText(TextId::ArchiveWriteError);
    default: return {};
  }
}

namespace {

// Another entry follows while the archive's position is below its size. A
// position or size that cannot be told is damage, never the end of the archive.
bool MoreEntries(Stream& archive) {
  const std::int64_t position = archive.Position();
  const std::int64_t size = archive.Size();
  if (position < 0 || size < 0) throw EZDecompressionError("the archive's size cannot be read");
  return position < size;
}

std::uint8_t Extract(const ExtractEnvironment& environment, const std::string& archivePath,
                     const std::string& targetFolder, const ExtractCallbacks& callbacks) {
  ArchiveFileSystem& files = environment.fileSystem;
  if (!files.FileExists(archivePath)) return ArchiveNotFound;
  const std::unique_ptr<Stream> archive = files.OpenForReading(archivePath);
  if (!archive) return ArchiveOpenError;

  std::array<std::uint8_t, kArchiveHeaderSize> header{};
  if (archive->Read(header.data(), header.size()) != header.size() ||
      std::memcmp(header.data(), kArchiveSignature.data(), kArchiveSignature.size()) != 0) {
    return ArchiveBadFormat;
  }

  const std::string target = IncludeTrailingBackslash(targetFolder);
  // The extraction folder and every folder above it up to the target, each held
  // (null where it could not be made: a file created in it fails with 4).
  FolderStack folders(target, files.OpenTarget(target));

  TTranslateZLibEventClass translator(*archive);
  translator.OnExtractChunk = callbacks.OnExtractChunk;
  std::int64_t chunks = 0;
  const TNotifyEvent notify = [&](Stream& sender) {
    ++chunks;
    translator.ZLibNotify(sender);
  };
  const std::int32_t progressTotal = ReadInt32Le(header.data() + kProgressTotalOffset);
  if (callbacks.OnExtractStart) callbacks.OnExtractStart(*archive, progressTotal);

  while (MoreEntries(*archive)) {
    const Entry entry = ReadEntry(*archive);
    if (entry.kind == kEntryFile || entry.kind == kEntryEnterFolder) {
      const auto name = UsableName(environment.codePage, entry.rawName);
      if (!name) {
        Report(environment, ExtractFailure::Kind::RefusedName, folders.Path(), entry.rawName);
        return ArchiveWriteError;
      }
      if (entry.kind == kEntryFile) {
        const std::string path = folders.Path() + *name;
        if (callbacks.OnExtractFile) {
          callbacks.OnExtractFile(*archive, BlockCount(entry.size), target, path.substr(target.size()));
        }
        const ArchiveFolder* folder = folders.Current();
        std::unique_ptr<Stream> output =
            folder && files.PathFits(path) ? files.CreateNewFile(*folder, *name) : nullptr;
        if (!output) {
          Report(environment, ExtractFailure::Kind::CannotCreate, folders.Path(), *name);
          return ArchiveWriteError;
        }
        try {
          CopyDecompressed(*archive, *output, notify, entry.size);
        } catch (const EShortWriteError&) {
          Report(environment, ExtractFailure::Kind::ShortWrite, folders.Path(), *name);
          return ArchiveWriteError;
        }
        output.reset();
        if (!files.FinishFile(*folder, *name)) {
          Report(environment, ExtractFailure::Kind::CannotKeep, folders.Path(), *name);
          return ArchiveWriteError;
        }
      } else {
        // Deeper than the platform can name: stop now rather than walk on.
        if (!files.PathFits(folders.Path() + *name + "\\")) {
          Report(environment, ExtractFailure::Kind::TooDeep, folders.Path(), *name, folders.Depth() + 1);
          return ArchiveWriteError;
        }
        const ArchiveFolder* parent = folders.Current();
        // Only the new folder is made: its parent is there, and held.
        folders.Enter(*name, parent ? files.EnterFolder(*parent, *name) : nullptr);
      }
    } else if (entry.kind == kEntryLeaveFolder) {
      folders.Leave();  // never above the target
    }
    // Other kinds: the name and record are consumed and nothing changes.
  }

  // The header counts the chunks of every file: an archive that ends before they
  // have all come was cut short (a download or a copy that stopped early), even
  // when it ends between two entries. A count that is too small is tolerated.
  if (chunks < progressTotal) throw EZDecompressionError("the archive ends before all the data its header announces");
  if (callbacks.OnExtractFinish) callbacks.OnExtractFinish(*archive);
  return ArchiveOk;
}

}  // namespace

std::uint8_t ExtractArchive(const ExtractEnvironment& environment, const std::string& archivePath,
                            const std::string& targetFolder, const ExtractCallbacks& callbacks) {
  try {
    return Extract(environment, archivePath, targetFolder, callbacks);
  } catch (const EStreamReadFailure&) {
    // The medium could not be read: the archive is as good as damaged.
    throw EZDecompressionError("the archive cannot be read");
  }
}

std::uint8_t ExtractArchive(const std::string& archivePath, const std::string& targetFolder,
                            const TExtractStartEvent& OnExtractStart, const TExtractChunkEvent& OnExtractChunk,
                            const TExtractFinishEvent& OnExtractFinish, const TExtractFileEvent& OnExtractFile) {
  const ExtractEnvironment environment{DiskFileSystem(), SystemAnsiCodePage()};
  return ExtractArchive(environment, archivePath, targetFolder,
                        {OnExtractStart, OnExtractChunk, OnExtractFinish, OnExtractFile});
}

}  // namespace tolvar
