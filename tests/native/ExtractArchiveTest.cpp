#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "platform/MemoryStream.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/support/MemoryFileSystem.h"

namespace tolvar {
namespace {

using test::ArchiveBytes;
using test::PatternBytes;

constexpr char kArchive[] = "D:\\WIZARD.zl";
constexpr char kTarget[] = "C:\\Setup";

std::string Contents(const MemoryFileSystem& files, const std::string& path) {
  const auto bytes = files.FileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

// Runs the extractor on memory and records every callback as one line.
class Extraction {
 public:
  explicit Extraction(const ArchiveBytes& archive) { files.AddFile(kArchive, archive.Bytes()); }

  std::uint8_t Run(const std::string& target = kTarget) {
    ExtractCallbacks callbacks;
    callbacks.OnExtractStart = [this](Stream& archive, std::int32_t total) {
      Check(archive);
      log.push_back("start " + std::to_string(total));
    };
    callbacks.OnExtractFile = [this](Stream& archive, std::int32_t blocks, const std::string& targetFolder,
                              const std::string& relative) {
      Check(archive);
      log.push_back("file " + std::to_string(blocks) + " " + targetFolder + " " + relative);
    };
    callbacks.OnExtractChunk = [this](Stream& archive, bool& flag) {
      Check(archive);
      EXPECT_FALSE(flag);
      flag = true;  // set by the callback, cleared again before the next call
      log.push_back("chunk");
    };
    callbacks.OnExtractFinish = [this](Stream& archive) {
      Check(archive);
      log.push_back("finish");
    };
    return ExtractArchive({files, CodePage1250(), &failure}, kArchive, target, callbacks);
  }

  // The first argument is always the archive itself, open and unmoved by us.
  void Check(Stream& archive) {
    if (!archiveStream) archiveStream = &archive;
    EXPECT_EQ(archiveStream, &archive);
    EXPECT_EQ(archive.Size(), static_cast<std::int64_t>(files.FileBytes(kArchive)->size()));
  }

  // What the extractor recorded for a result of 4, in the tools' words.
  std::string FailureText() const { return ExtractFailureText(failure); }

  MemoryFileSystem files;
  std::vector<std::string> log;
  ExtractFailure failure;
  Stream* archiveStream = nullptr;
};

TEST(ExtractArchive, TheSmallestArchiveMakesOneEmptyFile) {
  const ArchiveBytes archive = ArchiveBytes(0).File("a", "");
  ASSERT_EQ(archive.Size(), 88u);
  Extraction run(archive);
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 0", "file 0 C:\\Setup\\ a", "finish"}));
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\a"), "");
}

TEST(ExtractArchive, CallbacksComeInOrderWithOneChunkPer32KiB) {
  const std::string exact = PatternBytes(65536, 1);
  const std::string more = PatternBytes(65537, 2);
  Extraction run(ArchiveBytes(5).File("exact", exact).Enter("sub").File("more", more).Leave());
  EXPECT_EQ(run.Run(), ArchiveOk);
  // 65536 bytes: 2 chunks but a block count of 3; 65537 bytes: 3 and 3.
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 5", "file 3 C:\\Setup\\ exact", "chunk", "chunk",
                                               "file 3 C:\\Setup\\ sub\\more", "chunk", "chunk", "chunk", "finish"}));
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\exact"), exact);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\sub\\more"), more);
}

TEST(ExtractArchive, EnterAndLeaveRebuildTheTreeWithRelativeNames) {
  Extraction run(ArchiveBytes(0).Enter("a").File("x", "1").Leave("ignored").File("y", "2"));
  EXPECT_EQ(run.Run("C:\\Setup\\"), ArchiveOk);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 0", "file 1 C:\\Setup\\ a\\x", "chunk", "file 1 C:\\Setup\\ y",
                                               "chunk", "finish"}));
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\a\\x"), "1");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\y"), "2");
}

TEST(ExtractArchive, AnArchiveWithoutEntriesIsEmptyButComplete) {
  Extraction run(ArchiveBytes(0));
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 0", "finish"}));
  EXPECT_TRUE(run.files.FolderExists(kTarget));
}

TEST(ExtractArchive, AnArchiveEndingBeforeTheChunksItsHeaderCountsIsDamaged) {
  // The header counts a third file whose entry is missing; every entry before is whole.
  Extraction cut(ArchiveBytes(4).File("a", "1").File("b", PatternBytes(40000, 6)));
  EXPECT_THROW(cut.Run(), EZDecompressionError);
  EXPECT_EQ(cut.log, (std::vector<std::string>{"start 4", "file 1 C:\\Setup\\ a", "chunk", "file 2 C:\\Setup\\ b",
                                               "chunk", "chunk"}));
  EXPECT_EQ(cut.files.OpenStreams(), 0);
  // One chunk fewer than the header says is one too few; one more is tolerated.
  Extraction exact(ArchiveBytes(2).File("a", PatternBytes(40000, 6)));
  EXPECT_EQ(exact.Run(), ArchiveOk);
  Extraction over(ArchiveBytes(1).File("a", PatternBytes(40000, 6)));
  EXPECT_EQ(over.Run(), ArchiveOk);
}

TEST(ExtractArchive, OnlyFoldersMeansNoChunks) {
  Extraction run(ArchiveBytes(0).Enter("a").Enter("b").Leave().Leave());
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 0", "finish"}));
  EXPECT_TRUE(run.files.FolderExists("C:\\Setup\\a\\b"));
}

TEST(ExtractArchive, AKind7EntryConsumesItsNameAndRecordOnly) {
  Extraction run(ArchiveBytes(1).Entry(7, "abc", 99999).File("x", "after"));
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\x"), "after");
  EXPECT_EQ(run.files.FilePaths().size(), 2u);  // the archive and x
}

TEST(ExtractArchive, LeavingAtTheTargetStaysThere) {
  Extraction run(ArchiveBytes(0).Leave().File("x", "inside"));
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\x"), "inside");
  EXPECT_FALSE(run.files.FileBytes("C:\\x"));

  Extraction atRoot(ArchiveBytes(0).Leave().File("x", "root"));
  EXPECT_EQ(atRoot.Run("C:\\"), ArchiveOk);
  EXPECT_EQ(Contents(atRoot.files, "C:\\x"), "root");
}

TEST(ExtractArchive, MissingUnopenableAndForeignArchivesCallNothing) {
  Extraction missing(ArchiveBytes(0).File("a", "x"));
  const ExtractCallbacks none;
  EXPECT_EQ(ExtractArchive({missing.files, CodePage1250()}, "D:\\other.zl", kTarget, none), ArchiveNotFound);
  // A folder is not an archive file.
  missing.files.AddFolder("D:\\folder.zl");
  EXPECT_EQ(ExtractArchive({missing.files, CodePage1250()}, "D:\\folder.zl", kTarget, none), ArchiveNotFound);

  Extraction locked(ArchiveBytes(0).File("a", "x"));
  locked.files.SetLocked(kArchive);
  EXPECT_EQ(locked.Run(), ArchiveOpenError);
  EXPECT_TRUE(locked.log.empty());

  Extraction foreign(ArchiveBytes(0, "ZLIB32_DMR").File("a", "x"));
  EXPECT_EQ(foreign.Run(), ArchiveBadFormat);
  EXPECT_TRUE(foreign.log.empty());
  // Nothing is written, not even the target folder, before the signature passed.
  EXPECT_FALSE(foreign.files.FolderExists(kTarget));
  EXPECT_EQ(foreign.files.OpenStreams(), 0);
}

TEST(ExtractArchive, AFileThatCannotBeCreatedStopsWith4AndClosesTheArchive) {
  Extraction run(ArchiveBytes(2).File("first", "1").File("locked", "2").File("third", "3"));
  run.files.AddFile("C:\\Setup\\locked", {'o', 'l', 'd'});
  run.files.SetReadOnly("C:\\Setup\\locked");
  EXPECT_EQ(run.Run(), ArchiveWriteError);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 2", "file 1 C:\\Setup\\ first", "chunk",
                                               "file 1 C:\\Setup\\ locked"}));
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\first"), "1");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\locked"), "old");
  EXPECT_FALSE(run.files.FileBytes("C:\\Setup\\third"));
  EXPECT_EQ(run.files.OpenStreams(), 0);
  EXPECT_EQ(run.FailureText(), "cannot create C:\\Setup\\locked");
}

TEST(ExtractArchive, AShortWriteStopsWith4) {
  const std::string big = PatternBytes(100000, 3);
  Extraction run(ArchiveBytes(4).File("big", big).File("after", "x"));
  run.files.SetCapacity(50000);
  EXPECT_EQ(run.Run(), ArchiveWriteError);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\big"), big.substr(0, 50000));
  EXPECT_FALSE(run.files.FileBytes("C:\\Setup\\after"));
  EXPECT_EQ(run.log.back(), "chunk");  // no finish
  EXPECT_EQ(run.files.OpenStreams(), 0);
  EXPECT_EQ(run.FailureText(), "cannot write all of C:\\Setup\\big (disk full?)");
}

TEST(ExtractArchive, AnUnsafeNameStopsWith4BeforeAnyCallbackOrFile) {
  Extraction run(ArchiveBytes(1).File("ok", "1").File("..\\evil", "2"));
  EXPECT_EQ(run.Run(), ArchiveWriteError);
  EXPECT_EQ(run.log, (std::vector<std::string>{"start 1", "file 1 C:\\Setup\\ ok", "chunk"}));
  EXPECT_EQ(run.files.FilePaths(), (std::vector<std::string>{"C:\\Setup\\ok", kArchive}));
  EXPECT_EQ(run.FailureText(), "refused the name \"..\\x5Cevil\" in C:\\Setup\\");
}

TEST(ExtractArchive, DamagedDataRaisesClosesEverythingAndKeepsWhatWasWritten) {
  const std::string text = PatternBytes(100000, 4);
  Extraction run(ArchiveBytes(4).File("x", text).CutLast(100));
  EXPECT_THROW(run.Run(), EZDecompressionError);
  EXPECT_EQ(run.files.OpenStreams(), 0);
  const std::string written = Contents(run.files, "C:\\Setup\\x");
  EXPECT_GT(written.size(), 65536u);
  EXPECT_EQ(written, text.substr(0, written.size()));
  EXPECT_NE(run.log.back(), "finish");
}

TEST(ExtractArchive, ACallbackErrorLeavesTheSameWay) {
  Extraction run(ArchiveBytes(2).File("x", PatternBytes(70000, 5)));
  ExtractCallbacks callbacks;
  callbacks.OnExtractChunk = [](Stream&, bool&) { throw std::runtime_error("stop"); };
  EXPECT_THROW(ExtractArchive({run.files, CodePage1250()}, kArchive, kTarget, callbacks), std::runtime_error);
  EXPECT_EQ(run.files.OpenStreams(), 0);
}

TEST(ExtractArchive, LinksBelowTheTargetGiveWayAndWhatTheyLeadToStaysUntouched) {
  Extraction run(ArchiveBytes(3).Enter("data").File("secret", "from the archive").Leave().File("x", "new x")
                     .File("y", "new y"));
  run.files.AddFile("C:\\Outside\\secret", {'o'});
  run.files.AddFile("C:\\Outside\\hard", {'h'});
  run.files.AddFolderLink("C:\\Setup\\data", "C:\\Outside");
  run.files.AddFileLink("C:\\Setup\\x", "C:\\Outside\\secret");
  run.files.AddHardLink("C:\\Setup\\y", "C:\\Outside\\hard");
  EXPECT_EQ(run.Run(), ArchiveOk);
  EXPECT_EQ(Contents(run.files, "C:\\Outside\\secret"), "o");
  EXPECT_EQ(Contents(run.files, "C:\\Outside\\hard"), "h");
  EXPECT_EQ(run.files.NameCount("C:\\Outside\\hard"), 1);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\data\\secret"), "from the archive");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\x"), "new x");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\y"), "new y");
  EXPECT_FALSE(run.files.IsLink("C:\\Setup\\data"));
  EXPECT_FALSE(run.files.IsLink("C:\\Setup\\x"));
  EXPECT_EQ(run.files.RemovedLinks(), (std::vector<std::string>{"C:\\Setup\\data", "C:\\Setup\\x"}));
}

TEST(ExtractArchive, NamesMatchWithoutLetterCaseAsOnWindows) {
  // "DATA" is the folder "Data"; "README" replaces "readme"; a file "a" leaves no
  // room for a folder "A", so the file inside it cannot be made.
  Extraction run(ArchiveBytes(4).Enter("Data").File("one", "1").Leave().Enter("DATA").File("two", "2").Leave()
                     .File("readme", "old").File("README", "new").File("a", "file").Enter("A").File("x", "no room"));
  EXPECT_EQ(run.Run(), ArchiveWriteError);
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\data\\one"), "1");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\data\\two"), "2");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\readme"), "new");
  EXPECT_EQ(Contents(run.files, "C:\\Setup\\a"), "file");
  EXPECT_EQ(run.FailureText(), "cannot create C:\\Setup\\A\\x");
}

// An archive of `depth` folders, each inside the one before, with a file at the bottom.
ArchiveBytes NestedFolders(int depth) {
  ArchiveBytes archive(1);
  for (int i = 0; i < depth; ++i) archive.Enter("d");
  archive.File("bottom", "x");
  for (int i = 0; i < depth; ++i) archive.Leave();
  return archive;
}

TEST(ExtractArchive, EachFolderIsMadeOnceAndNestingStopsAtThePathLimit) {
  // Without a limit every level is made exactly once, parents never again.
  Extraction deep(NestedFolders(3000));
  EXPECT_EQ(deep.Run(), ArchiveOk);
  EXPECT_EQ(deep.files.CreatedPaths().size(), 1 + 3000 + 1u);  // the target, the folders, the file
  std::string bottom = "C:\\Setup\\";
  for (int i = 0; i < 3000; ++i) bottom += "d\\";
  EXPECT_EQ(Contents(deep.files, bottom + "bottom"), "x");

  // With the limit of a Windows path the extraction ends at once on the
  // write-error path, before the level that no longer fits is made.
  Extraction limited(NestedFolders(3000));
  limited.files.SetPathLimit(259);
  EXPECT_EQ(limited.Run(), ArchiveWriteError);
  const std::size_t levels = (259 - std::string("C:\\Setup\\").size()) / 2;
  EXPECT_EQ(limited.files.CreatedPaths().size(), 1 + levels);
  EXPECT_EQ(limited.FailureText(), "the folders nest too deep: level " + std::to_string(levels + 1) +
                                      " would make a path longer than the system allows");
  EXPECT_EQ(limited.log, (std::vector<std::string>{"start 1"}));
}

TEST(ExtractArchive, TranslatorClearsTheFlagAndPassesTheArchive) {
  MemoryStream archive;
  MemoryStream sender;
  TTranslateZLibEventClass translator(archive);
  translator.ZLibNotify(sender);  // no callback set: nothing happens
  int calls = 0;
  translator.OnExtractChunk = [&](Stream& stream, bool& flag) {
    EXPECT_EQ(&stream, &archive);
    EXPECT_FALSE(flag);
    flag = true;
    ++calls;
  };
  translator.Handler()(sender);
  translator.Handler()(sender);
  EXPECT_EQ(calls, 2);
}

TEST(ExtractArchive, ResultTextsAndBlockCounts) {
  EXPECT_EQ(ArchiveResultText(0), "");
  EXPECT_EQ(ArchiveResultText(1), "Archivní soubor nenalezen.");
  EXPECT_EQ(ArchiveResultText(2), "Nastala chyba při otevírání archivního souboru.");
  EXPECT_EQ(ArchiveResultText(3), "Zadaný soubor není archív formátu ZLib.");
  EXPECT_EQ(ArchiveResultText(4), "Nastala chyba při ukládání souborů z archívu.");
  EXPECT_EQ(ArchiveResultText(5), "");
  EXPECT_EQ(ArchiveResultText(255), "");

  EXPECT_EQ(BlockCount(0), 0);
  EXPECT_EQ(BlockCount(-1), 0);
  EXPECT_EQ(BlockCount(1), 1);
  EXPECT_EQ(BlockCount(32767), 1);
  EXPECT_EQ(BlockCount(32768), 2);  // the quotient plus one, not a ceiling
  EXPECT_EQ(BlockCount(65536), 3);
  EXPECT_EQ(BlockCount(65537), 3);
  EXPECT_EQ(BlockCount(INT64_MAX), INT32_MAX);
}

}  // namespace
}  // namespace tolvar
