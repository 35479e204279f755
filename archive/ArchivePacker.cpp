#include "archive/ArchivePacker.h"

#include <algorithm>

#include "platform/Path.h"

namespace tolvar {
namespace {

struct Folder {
  std::string name;
  std::vector<std::string> files;
  std::vector<Folder> folders;
};

// Reads the tree and checks every name before anything is written.
Folder Scan(PackSource& source, const CodePage& codePage, const std::string& path, const std::string& relative,
            std::string name) {
  PackSource::Listing listing = source.List(path);
  std::sort(listing.files.begin(), listing.files.end());
  std::sort(listing.folders.begin(), listing.folders.end());
  Folder folder{std::move(name), {}, {}};
  for (const std::string& file : listing.files) {
    try {
      EncodeEntryName(file, codePage);
    } catch (const EArchivePackError& error) {
      throw EArchivePackError(relative + file + ": " + error.what());
    }
    folder.files.push_back(file);
  }
  for (const std::string& sub : listing.folders) {
    try {
      EncodeEntryName(sub, codePage);
    } catch (const EArchivePackError& error) {
      throw EArchivePackError(relative + sub + ": " + error.what());
    }
    folder.folders.push_back(Scan(source, codePage, path + sub + "\\", relative + sub + "\\", sub));
  }
  return folder;
}

void Write(PackSource& source, ArchiveWriter& writer, const Folder& folder, const std::string& path,
           const std::string& relative, PackSummary& summary) {
  for (const std::string& file : folder.files) {
    const auto contents = source.OpenFile(path + file);
    if (!contents) throw EArchivePackError(relative + file + ": cannot be read");
    const std::int64_t before = contents->Position();
    writer.AddFile(file, *contents);
    summary.bytes += contents->Position() - before;
    ++summary.files;
  }
  for (const Folder& sub : folder.folders) {
    writer.EnterFolder(sub.name);
    Write(source, writer, sub, path + sub.name + "\\", relative + sub.name + "\\", summary);
    writer.LeaveFolder();
    ++summary.folders;
  }
}

}  // namespace

PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                     const CompressionSettings& settings) {
  const std::string base = IncludeTrailingBackslash(root);
  const Folder tree = Scan(source, codePage, base, {}, {});
  ArchiveWriter writer(out, codePage, settings);
  PackSummary summary;
  Write(source, writer, tree, base, {}, summary);
  writer.Finish();
  summary.progressTotal = writer.ProgressTotal();
  return summary;
}

}  // namespace tolvar
