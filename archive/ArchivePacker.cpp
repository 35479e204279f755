#include "archive/ArchivePacker.h"

#include <algorithm>
#include <map>

#include "archive/EntryName.h"
#include "archive/WindowsNames.h"
#include "platform/Path.h"

namespace tolvar {
namespace {

std::string RefusalsText(const std::vector<PackRefusal>& refusals) {
  if (refusals.empty()) return "nothing refused";
  const PackRefusal& first = refusals.front();
  std::string text = (first.path.empty() ? "" : first.path + ": ") + first.reason;
  if (refusals.size() > 1) text += " (and " + std::to_string(refusals.size() - 1) + " more)";
  return text;
}

class Planner {
 public:
  Planner(PackSource& source, const CodePage& codePage) : source_(source), codePage_(codePage) {}

  PackPlan Plan(const std::string& root) {
    PackPlan plan;
    plan.top = Scan(IncludeTrailingBackslash(root), {}, {});
    if (plan.top.files.empty() && plan.top.folders.empty() && refusals_.empty()) {
      refusals_.push_back({{}, "nothing to pack: the folder holds no file and no folder"});
    }
    plan.refusals = std::move(refusals_);
    return plan;
  }

 private:
  PackPlan::Folder Scan(const std::string& path, const std::string& relative, std::string name) {
    PackPlan::Folder folder{std::move(name), {}, {}};
    PackSource::Listing listing;
    try {
      listing = source_.List(path);
    } catch (const EArchivePackError& error) {
      Refuse(ExcludeTrailingBackslash(relative), error.what());
      return folder;
    }
    std::sort(listing.files.begin(), listing.files.end());
    std::sort(listing.folders.begin(), listing.folders.end());
    for (const auto& [other, what] : listing.others) Refuse(relative + other, what + " (links are not followed)");

    // Every name of the folder, files and folders alike, as Windows tells them apart.
    std::map<std::u16string, std::string> taken;
    const auto accepted = [&](const std::string& item) {
      if (const std::string why = NameRefusal(item); !why.empty()) {
        Refuse(relative + item, why);
        return false;
      }
      const auto [at, added] = taken.try_emplace(WindowsNameKey(item), item);
      if (!added) {
        Refuse(relative + item, "Windows takes it for \"" + PrintableName(at->second, true) +
                                    "\" of the same folder: one would replace the other there");
      }
      return added;
    };
    for (const std::string& file : listing.files) {
      if (accepted(file)) folder.files.push_back(file);
    }
    for (const std::string& sub : listing.folders) {
      if (accepted(sub)) folder.folders.push_back(Scan(path + sub + "\\", relative + sub + "\\", sub));
    }
    return folder;
  }

  std::string NameRefusal(const std::string& name) const {
    try {
      EncodeEntryName(name, codePage_);
      return {};
    } catch (const EArchivePackError& error) {
      return error.what();
    }
  }

  void Refuse(std::string path, std::string reason) { refusals_.push_back({std::move(path), std::move(reason)}); }

  PackSource& source_;
  const CodePage& codePage_;
  std::vector<PackRefusal> refusals_;
};

void Write(PackSource& source, ArchiveWriter& writer, const PackPlan::Folder& folder, const std::string& path,
           const std::string& relative, PackSummary& summary) {
  for (const std::string& file : folder.files) {
    std::unique_ptr<Stream> contents;
    try {
      contents = source.OpenFile(path + file);
    } catch (const EArchivePackError& error) {
      throw EPackRefused({{relative + file, error.what()}});
    }
    if (!contents) throw EPackRefused({{relative + file, "cannot be read"}});
    const std::int64_t before = contents->Position();
    writer.AddFile(file, *contents);
    summary.bytes += contents->Position() - before;
    ++summary.files;
  }
  for (const PackPlan::Folder& sub : folder.folders) {
    writer.EnterFolder(sub.name);
    Write(source, writer, sub, path + sub.name + "\\", relative + sub.name + "\\", summary);
    writer.LeaveFolder();
    ++summary.folders;
  }
}

}  // namespace

EPackRefused::EPackRefused(std::vector<PackRefusal> refusals)
    : EArchivePackError(RefusalsText(refusals)), refusals_(std::move(refusals)) {}

PackPlan PlanPack(PackSource& source, const std::string& root, const CodePage& codePage) {
  return Planner(source, codePage).Plan(root);
}

PackSummary WritePack(PackSource& source, const PackPlan& plan, const std::string& root, Stream& out,
                      const CodePage& codePage, const CompressionSettings& settings) {
  if (!plan.refusals.empty()) throw EPackRefused(plan.refusals);
  ArchiveWriter writer(out, codePage, settings);
  PackSummary summary;
  Write(source, writer, plan.top, IncludeTrailingBackslash(root), {}, summary);
  writer.Finish();
  summary.progressTotal = writer.ProgressTotal();
  return summary;
}

PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                     const CompressionSettings& settings) {
  return WritePack(source, PlanPack(source, root, codePage), root, out, codePage, settings);
}

}  // namespace tolvar
