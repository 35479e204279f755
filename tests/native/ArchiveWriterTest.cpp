#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "archive/ArchiveCheck.h"
#include "archive/ArchivePacker.h"
#include "archive/ArchiveWriter.h"
#include "archive/EntryName.h"
#include "archive/MemberEncoder.h"
#include "archive/ZLibCtrl.h"
#include "platform/MemoryStream.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/MemoryFileSystem.h"

namespace tolvar {
namespace {

using test::PatternBytes;

// A tree in memory: relative paths with backslashes; folders end with '\'.
class MemoryTree final : public PackSource {
 public:
  explicit MemoryTree(std::map<std::string, std::string> entries) : entries_(std::move(entries)) {}

  Listing List(const std::string& folder) override {
    const std::string prefix = folder.substr(kRoot.size());
    Listing listing;
    for (const auto& [path, contents] : entries_) {
      if (!path.starts_with(prefix) || path == prefix) continue;
      const std::string rest = path.substr(prefix.size());
      const auto slash = rest.find('\\');
      if (slash == std::string::npos) listing.files.push_back(rest);
      else if (slash == rest.size() - 1) listing.folders.push_back(rest.substr(0, slash));
    }
    return listing;
  }

  std::unique_ptr<Stream> OpenFile(const std::string& path) override {
    const auto found = entries_.find(path.substr(kRoot.size()));
    if (found == entries_.end() || found->second == kUnreadable) return nullptr;
    return std::make_unique<MemoryStream>(std::vector<std::uint8_t>(found->second.begin(), found->second.end()));
  }

  static inline const std::string kRoot = "C:\\tree\\";
  static inline const std::string kUnreadable = "<unreadable>";

 private:
  std::map<std::string, std::string> entries_;
};

std::vector<std::uint8_t> Pack(std::map<std::string, std::string> tree, const CompressionSettings& settings,
                               PackSummary* summary = nullptr) {
  MemoryTree source(std::move(tree));
  MemoryStream out;
  const PackSummary result = PackTree(source, MemoryTree::kRoot, out, CodePage1250(), settings);
  if (summary) *summary = result;
  return out.Bytes();
}

std::vector<std::uint8_t> Pack(std::map<std::string, std::string> tree, int level = 6,
                               PackSummary* summary = nullptr) {
  return Pack(std::move(tree), CompressionSettings{.level = level}, summary);
}

// The member the build's encoder makes of `data`.
std::string EncodedMember(const std::string& data, int level) {
  std::vector<std::uint8_t> out;
  MakeMemberEncoder(level)->Encode({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()}, out);
  return {out.begin(), out.end()};
}

// Unpacks with the bootstrapper's extractor (zlib inflates every member) and
// expects exactly `tree`.
void ExpectUnpacksTo(const std::vector<std::uint8_t>& archive, const std::map<std::string, std::string>& tree) {
  MemoryFileSystem files;
  files.AddFile("D:\\WIZARD.zl", archive);
  ExtractCallbacks callbacks;
  int chunks = 0;
  std::int32_t total = -1;
  callbacks.OnExtractStart = [&](Stream&, std::int32_t value) { total = value; };
  callbacks.OnExtractChunk = [&](Stream&, bool&) { ++chunks; };
  ASSERT_EQ(ExtractArchive({files, CodePage1250()}, "D:\\WIZARD.zl", "C:\\out", callbacks), ArchiveOk);
  EXPECT_EQ(total, chunks);  // the progress total is the number of chunk calls
  for (const auto& [path, contents] : tree) {
    if (path.ends_with("\\")) {
      EXPECT_TRUE(files.FolderExists("C:\\out\\" + path)) << path;
    } else {
      const auto bytes = files.FileBytes("C:\\out\\" + path);
      ASSERT_TRUE(bytes) << path;
      EXPECT_TRUE(std::string(bytes->begin(), bytes->end()) == contents) << path;
    }
  }
  MemoryStream reader(archive);
  EXPECT_TRUE(InspectArchive(reader, CodePage1250()).Sound());
}

TEST(ArchiveWriter, PackedTreesUnpackToTheSameTree) {
  const std::string big = PatternBytes(300000, 1);
  const std::map<std::string, std::string> tree = {
      {"setupostrel.exe", big},           {"readme.txt", "read me"},      {"empty", ""},
      {"Průvodce\\", ""},               {"Průvodce\\čtěte.txt", "text"},
      {"data\\", ""},                      {"data\\deep\\", ""},           {"data\\deep\\x.bin", PatternBytes(65536, 2)},
      {"data\\empty folder\\", ""}};
  PackSummary summary;
  const auto archive = Pack(tree, 6, &summary);
  EXPECT_EQ(summary.files, 5);
  EXPECT_EQ(summary.folders, 4);
  EXPECT_EQ(summary.progressTotal, 10 + 1 + 0 + 1 + 2);
  ExpectUnpacksTo(archive, tree);
}

// Files up to the whole-file limit are compressed whole, larger ones in pieces
// (here the limits are small so that the tree has both); either way the bytes
// depend on the tree and the level alone, and the bootstrapper unpacks them.
TEST(ArchiveWriter, SameBytesWhateverTheThreadsWholeFilesAndPiecesAlike) {
  constexpr std::size_t kWhole = 200000;
  constexpr std::size_t kPiece = 65536;
  const std::map<std::string, std::string> tree = {
      {"empty", ""},
      {"small.txt", PatternBytes(5000, 1)},
      {"at the limit", PatternBytes(kWhole, 2)},         // whole
      {"one above", PatternBytes(kWhole + 1, 3)},        // pieces, the last one short
      {"four pieces", PatternBytes(4 * kPiece, 4)},      // pieces, the end right after a full one
      {"noise.bin", test::NoiseBytes(3 * kPiece + 7)},  // pieces that deflate cannot shrink
      {"sub\\", ""},
      {"sub\\large", PatternBytes(700000, 5) + PatternBytes(300000, 5)},  // matches across cuts
  };
  for (const int level : {0, 1, 6, 9}) {
    SCOPED_TRACE(level);
    const CompressionSettings oneThread{.level = level, .threads = 1, .wholeFileLimit = kWhole, .pieceSize = kPiece};
    const auto archive = Pack(tree, oneThread);
    ExpectUnpacksTo(archive, tree);
    for (const int threads : {2, 3, 8}) {
      CompressionSettings settings = oneThread;
      settings.threads = threads;
      EXPECT_TRUE(Pack(tree, settings) == archive) << threads << " threads";
      settings.inFlightLimit = 1;  // one part at a time
      EXPECT_TRUE(Pack(tree, settings) == archive) << threads << " threads, one part at a time";
    }
  }
}

// A source that counts what the writer read from it while the archive grows.
class WatchedSource final : public Stream {
 public:
  WatchedSource(std::string bytes, std::size_t& read, const MemoryStream& archive, std::size_t& mostAhead)
      : bytes_(std::move(bytes)), read_(read), archive_(archive), mostAhead_(mostAhead) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = std::min(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    read_ += n;
    // Noise packs to about its own size: what was read and is not yet in the
    // archive is what the writer holds.
    const std::size_t written = archive_.Bytes().size();
    mostAhead_ = std::max(mostAhead_, read_ > written ? read_ - written : 0);
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const auto size = static_cast<std::int64_t>(bytes_.size());
    const std::int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::End ? size
                                                                  : static_cast<std::int64_t>(position_);
    position_ = static_cast<std::size_t>(std::clamp<std::int64_t>(base + offset, 0, size));
    return static_cast<std::int64_t>(position_);
  }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  std::size_t& read_;
  const MemoryStream& archive_;
  std::size_t& mostAhead_;
};

TEST(ArchiveWriter, ReadsNoFurtherAheadOfTheArchiveThanItsLimit) {
  constexpr std::size_t kFile = 65536;
  constexpr std::size_t kLimit = 4 * kFile;
  for (const int threads : {1, 4}) {
    MemoryStream archive;
    std::size_t read = 0;
    std::size_t mostAhead = 0;
    {
      ArchiveWriter writer(archive, CodePage1250(), {.threads = threads, .inFlightLimit = kLimit});
      for (int i = 0; i < 64; ++i) {
        WatchedSource file(test::NoiseBytes(kFile, static_cast<std::uint32_t>(i)), read, archive, mostAhead);
        writer.AddFile("f" + std::to_string(i), file);
      }
      writer.Finish();
    }
    EXPECT_EQ(read, 64 * kFile);
    // The limit, and the file being read besides it.
    EXPECT_LE(mostAhead, kLimit + kFile) << threads << " threads";
    EXPECT_GT(archive.Bytes().size(), 64 * kFile);
  }
}

// The encoder's levels on text: each level packs smaller than the one below it,
// the top at least 2.5 % smaller than zlib's top. (How the default compares with
// zlib's depends on the data; bench/pack.py measures it on a whole tree.)
TEST(ArchiveWriter, LevelsPackAtLeastAsSmallAsZlibs) {
  static constexpr std::string_view kWords[] = {"instalace ", "setup ",   "the ",    "průvodce ", "soubor ",
                                                "archive ",   "and ",     "složka ", "nastavení ", "folder\r\n",
                                                "data ",      "of ",      "12 ",     "Ledgero ",   "verze "};
  std::string text;
  for (std::uint32_t state = 1; text.size() < 400000;) {
    state = state * 1664525u + 1013904223u;
    text += kWords[(state >> 16) % std::size(kWords)];
  }
  const auto zlibSize = [&](int level) {
    std::vector<std::uint8_t> out;
    MakeZlibMemberEncoder(level)->Encode({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, out);
    return static_cast<double>(out.size());
  };
  const auto size = [&](int level) { return static_cast<double>(EncodedMember(text, level).size()); };
  for (int level = 1; level <= 9; ++level) EXPECT_LT(size(level), size(level - 1)) << level;
#ifdef TOLVAR_WITH_LIBDEFLATE
  EXPECT_LE(size(9), 0.975 * zlibSize(9));
#endif
}

TEST(ArchiveWriter, WritesTheHeaderRecordsAndOrderToTheByte) {
  const auto archive = Pack({{"b", "x"}, {"a\\", ""}, {"a\\f", ""}, {"š", ""}}, 9);
  const std::string text(archive.begin(), archive.end());
  ASSERT_GT(text.size(), 38u);
  EXPECT_EQ(text.substr(0, 10), "ZLib32_DMR");
  EXPECT_EQ(text.substr(10, 4), std::string(4, '\0'));
  EXPECT_EQ(text.substr(14, 4), std::string("\x01\x00\x00\x00", 4));  // one chunk: "x"
  EXPECT_EQ(text.substr(18, 20), std::string(20, '\0'));
  // Files of the top folder first, in byte order ("b" < "š"), then the folder.
  std::size_t at = 38;
  const auto expectEntry = [&](const std::string& name, std::uint8_t kind, std::int64_t size) {
    ASSERT_LE(at + 2 + name.size() + 39, text.size());
    EXPECT_EQ(static_cast<unsigned char>(text[at]) | static_cast<unsigned char>(text[at + 1]) << 8,
              static_cast<int>(name.size()));
    EXPECT_EQ(text.substr(at + 2, name.size()), name);
    const std::string record = text.substr(at + 2 + name.size(), 39);
    EXPECT_EQ(record[0], static_cast<char>(kind));
    EXPECT_EQ(record.substr(1, 6), std::string(6, '\0'));
    std::string sizeBytes(8, '\0');
    for (int i = 0; i < 8; ++i) sizeBytes[static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    EXPECT_EQ(record.substr(7, 8), sizeBytes);
    EXPECT_EQ(record.substr(15, 24), std::string(24, '\0'));
    at += 2 + name.size() + 39;
    if (kind == 0) {
      const std::string member = EncodedMember(size ? "x" : "", 9);
      EXPECT_EQ(text.substr(at, member.size()), member) << name;
      at += member.size();
    }
  };
  expectEntry("b", 0, 1);
  expectEntry("\x9A", 0, 0);  // š in code page 1250
  expectEntry("a", 1, 0);
  expectEntry("f", 0, 0);
  expectEntry("", 2, 0);
  EXPECT_EQ(at, text.size());
}

TEST(ArchiveWriter, CollectsEveryRefusedNameBeforeWritingAnything) {
  const std::map<std::string, std::string> tree = {
      {"ok.txt", "1"},    {"日.txt", "2"},     {"CON", "3"},          {"sub\\", ""},       {"sub\\x:y", "4"},
      {"a.", "5"},        {"Readme.txt", "6"}, {"README.TXT", "7"},   {"Účet.txt", "8"}, {"ÚČET.TXT", "9"},
      {"Data\\", ""},     {"data", "10"},      {"CON\\", ""},         {"CON\\inner", "11"}};
  const std::pair<std::string, std::string> refused[] = {
      {"日.txt", "cannot be written in code page 1250"},
      {"CON", "not a safe file or folder name: a name Windows keeps for a device"},
      {"sub\\x:y", "not a safe file or folder name: holds one of"},
      {"a.", "ends with a dot or blank"},
      {"Readme.txt", "Windows takes it for \"README.TXT\" of the same folder"},
      {"Účet.txt", "Windows takes it for \"ÚČET.TXT\""},  // in byte order Č (C4 8C) comes before č (C4 8D)
      {"Data", "Windows takes it for \"data\""},          // a folder after the files of its folder
  };
  MemoryTree source(tree);
  MemoryStream out;
  try {
    PackTree(source, MemoryTree::kRoot, out, CodePage1250(), 6);
    ADD_FAILURE() << "the tree was packed";
  } catch (const EPackRefused& error) {
    std::string all;
    for (const PackRefusal& refusal : error.Refusals()) all += refusal.path + ": " + refusal.reason + "\n";
    for (const auto& [path, why] : refused) {
      EXPECT_NE(all.find(path + ": "), std::string::npos) << path << "\n" << all;
      EXPECT_NE(all.find(why), std::string::npos) << why << "\n" << all;
    }
    // A refused folder is not entered; the folder name CON is refused once, the file CON once.
    EXPECT_EQ(error.Refusals().size(), std::size(refused) + 1) << all;
    EXPECT_EQ(all.find("inner"), std::string::npos) << all;
  }
  EXPECT_TRUE(out.Bytes().empty());
}

TEST(ArchiveWriter, RefusesAnEmptyTreeUnbalancedFoldersAndUnreadableFiles) {
  EXPECT_THROW(Pack({}), EArchivePackError);
  EXPECT_THROW(Pack({{"x", MemoryTree::kUnreadable}}), EArchivePackError);
  MemoryStream out;
  ArchiveWriter writer(out, CodePage1250());
  EXPECT_THROW(writer.LeaveFolder(), EArchivePackError);
  writer.EnterFolder("a");
  EXPECT_THROW(writer.Finish(), EArchivePackError);
  EXPECT_THROW(ArchiveWriter(out, CodePage1250(), 10), EArchivePackError);
}

TEST(ArchiveWriter, EveryLevelGivesAReadableArchive) {
  const std::string data = PatternBytes(100000, 3);
  for (int level = -1; level <= 9; ++level) {
    const auto archive = Pack({{"x", data}}, level);
    MemoryStream reader(archive);
    const ArchiveInspection inspection = InspectArchive(reader, CodePage1250());
    EXPECT_TRUE(inspection.Sound()) << level;
    ASSERT_EQ(inspection.entries.size(), 1u);
    EXPECT_EQ(inspection.entries[0].inflatedSize, 100000);
  }
}

// What the check accepts, the extractor unpacks completely; what the extractor
// refuses or finds damaged, the check does not accept.
TEST(ArchiveCheck, AgreesWithTheExtractorOnEveryFixture) {
  for (const auto& fixture : test::ArchiveFixtures()) {
    MemoryStream reader(std::vector<std::uint8_t>(fixture.bytes.begin(), fixture.bytes.end()));
    const ArchiveInspection inspection = InspectArchive(reader, CodePage1250());
    const bool extractsCleanly =
        fixture.outcome == test::ArchiveFixture::Outcome::Result && fixture.result == ArchiveOk;
    if (!extractsCleanly) {
      EXPECT_FALSE(inspection.Sound()) << fixture.name;
    }
    if (fixture.outcome == test::ArchiveFixture::Outcome::Damaged) {
      EXPECT_TRUE(inspection.damaged) << fixture.name;
    }
    if (fixture.result == ArchiveBadFormat) {
      EXPECT_FALSE(inspection.isArchive) << fixture.name;
    }
  }
  // Well-formed fixtures that a writer following the rules could have made.
  for (const char* name : {"smallest_archive", "enter_file_leave_file", "back_to_back_members",
                           "files_of_65536_and_65537_bytes", "member_ending_on_64k_boundary", "only_folders",
                           "czech_names_in_1250", "any_compression_level"}) {
    const auto fixture = test::FindArchiveFixture(name);
    MemoryStream reader(std::vector<std::uint8_t>(fixture.bytes.begin(), fixture.bytes.end()));
    const ArchiveInspection inspection = InspectArchive(reader, CodePage1250());
    EXPECT_TRUE(inspection.Sound()) << name << ": " << (inspection.faults.empty() ? "" : inspection.faults[0]);
  }
}

TEST(ArchiveCheck, NamesEachKindOfFault) {
  const auto faultsOf = [](const test::ArchiveBytes& archive) {
    MemoryStream reader(archive.Bytes());
    const ArchiveInspection inspection = InspectArchive(reader, CodePage1250());
    std::string all;
    for (const auto& fault : inspection.faults) all += fault + "\n";
    return all;
  };
  EXPECT_NE(faultsOf(test::ArchiveBytes(0)).find("no entry after the header"), std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(0).Enter("a")).find("1 folder entered and not left"), std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(0).Leave().File("x", "")).find("leaves a folder above the top"),
            std::string::npos);
  // Announced chunks that never come: cut short where the archive ends; too few announced: a wrong count.
  EXPECT_NE(faultsOf(test::ArchiveBytes(5).File("x", "1"))
                .find("ends at offset 89, after 1 entry, but its header counts 5 chunks and the files hold 1"),
            std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(0).File("x", "1")).find("progress total is 0, the files need 1"),
            std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(1).FileWithMember("x", 9, test::ZlibMember("1"))).find("record gives 9"),
            std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(1).FileWithMember("x", 0, test::ZlibMember("1"))).find("holds more"),
            std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(1).File("..", "1")).find("not a safe file or folder name"), std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(1).File("x", "1").CutLast(2))
                .find("entry 1 \"x\" (at offset 38): the archive ends inside its data (its data starts at offset 80)"),
            std::string::npos);
  // Names that Windows takes for one in one folder, in 1250: "Účet.txt", "ÚČET.TXT".
  const auto clash = test::ArchiveBytes(2).Enter("a").File("\xDA\xE8" "et.txt", "1").Leave().Enter("a")
                         .File("\xDA\xC8" "ET.TXT", "2").Leave();
  EXPECT_NE(faultsOf(clash).find("entry 5 \"a\\ÚČET.TXT\" (at offset 221): Windows takes it for entry 2 "
                                 "\"Účet.txt\" of the same folder"),
            std::string::npos)
      << faultsOf(clash);
  EXPECT_NE(faultsOf(test::ArchiveBytes(2).File("x", "1").File("x", "2")).find("holds entry 1 \"x\" of this name"),
            std::string::npos);
  EXPECT_NE(faultsOf(test::ArchiveBytes(0).File("d", "").Enter("D").Leave()).find("Windows takes it for entry 1"),
            std::string::npos);
  EXPECT_EQ(faultsOf(test::ArchiveBytes(0).Enter("d").Leave().Enter("d").Leave().Enter("e").Leave()), "");
}

// A path fits below the setup folder when the two are shorter than Windows'
// limit together; only the outermost folder that does not fit is named.
TEST(ArchiveCheck, WarnsAboutPathsWindowsCannotNameBelowTheTarget) {
  InspectOptions options;
  options.windowsTarget = "C:\\" + std::string(60, 't') + "\\";  // 64 characters: 195 are left
  const auto warningsOf = [&](const test::ArchiveBytes& archive) {
    MemoryStream reader(archive.Bytes());
    const ArchiveInspection inspection = InspectArchive(reader, CodePage1250(), options);
    EXPECT_TRUE(inspection.Sound());
    return inspection.warnings;
  };
  EXPECT_TRUE(warningsOf(test::ArchiveBytes(0).File(std::string(195, 'f'), "")).empty());
  const auto file = warningsOf(test::ArchiveBytes(0).File(std::string(196, 'f'), ""));
  ASSERT_EQ(file.size(), 1u);
  EXPECT_NE(file[0].find("the path is 196 characters long; below " + options.windowsTarget + " Windows allows 195"),
            std::string::npos)
      << file[0];
  // A folder counts with its backslash (194 and one fit); what lies in a folder
  // that does not fit is not named again.
  EXPECT_TRUE(warningsOf(test::ArchiveBytes(0).Enter(std::string(193, 'd')).File("x", "").Leave()).empty());
  const auto folder = warningsOf(test::ArchiveBytes(0).Enter(std::string(195, 'd')).File("x", "").Enter("y").Leave()
                                     .Leave());
  ASSERT_EQ(folder.size(), 1u);
  EXPECT_NE(folder[0].find("entry 1"), std::string::npos) << folder[0];
  // Czech letters count as one character each, as Windows counts them.
  EXPECT_TRUE(warningsOf(test::ArchiveBytes(0).File(std::string(193, 'f') + "\xE8\xE8", "")).empty());
}

}  // namespace
}  // namespace tolvar
