// CopyFileWithProgress on real files under Wine: progress reports, overwriting,
// the caller's windows served during the copy, and the four messages (answered
// by the robot).
#include "bootstrap/FileCopy_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "platform/Window_win.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/RegistrySandbox_win.h"
#include "tests/support/Scratch_win.h"
#include "tests/win32/MessageAnswer_win.h"

namespace tolvar {
namespace {

using test::Answer;
using test::DialogAnswerer;
using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

const std::string kIoError = "I/O chyba, soubor ";
const std::string kCannotOpen = " nelze otevřít";

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + i / 256);
  return bytes;
}

// What the copy reported, collected by a plain callback.
std::vector<int> g_reports;
void Record(const PathString&, const PathString&, std::uint8_t percent) { g_reports.push_back(percent); }

UniqueFileHandle OpenExclusively(const std::string& path, DWORD disposition = OPEN_EXISTING) {
  return UniqueFileHandle(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The messages shown here keep their settings in a registry of the test's own.
class CopyFileWithProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(registry_.Active()); }
  test::RegistrySandbox registry_;
};

// A copy message: an error with the single button "&Zavřít".
::testing::AssertionResult IsCopyMessage(const DialogAnswerer::Seen& seen, const std::string& text) {
  if (seen.title == "Chyba" && seen.icon == ::LoadIconW(nullptr, IDI_HAND) &&
      seen.buttons == std::vector<std::string>{"&Zavřít"} && seen.Shows(text)) {
    return ::testing::AssertionSuccess();
  }
  auto failure = ::testing::AssertionFailure() << "title \"" << seen.title << "\", buttons";
  for (const auto& button : seen.buttons) failure << " \"" << button << "\"";
  return failure << ", texts" << ::testing::PrintToString(seen.texts);
}

// Answers every copy message with its only button.
struct CloseAnswerer : DialogAnswerer {
  CloseAnswerer() : DialogAnswerer([](const Seen&) { return Answer::Close; }) {}
  ::testing::AssertionResult SawOnly(const std::string& text) const {
    const auto seen = SeenDialogs();
    if (seen.size() != 1) return ::testing::AssertionFailure() << seen.size() << " dialogs";
    return IsCopyMessage(seen[0], text);
  }
};

TEST_F(CopyFileWithProgressTest, ReportsZeroThenEveryFivePoints) {
  ScratchFolder folder("copy progress");
  for (const auto& [size, expected] : std::vector<std::pair<std::size_t, std::vector<int>>>{
           {10000, {0, 20, 40, 61, 81, 100}}, {2048, {0, 100}}, {0, {0, 100}}}) {
    const std::string source = folder / ("source " + std::to_string(size));
    const std::string target = folder / ("sub\\deeper\\target " + std::to_string(size));
    ASSERT_TRUE(WriteFileBytes(source, Bytes(size)));
    g_reports.clear();
    EXPECT_TRUE(CopyFileWithProgress(PathString(source), PathString(target), &Record, 5)) << size;
    EXPECT_EQ(g_reports, expected) << size;
    EXPECT_EQ(ReadFileBytes(target), Bytes(size)) << size;  // the folders were created first
  }
}

// The medium is read ahead in 64 KiB chunks under the 2048-byte blocks: sizes on
// and around a chunk's end arrive whole, reported from 0 in steps of at least 5
// points up to the last one (a last block of a byte or two adds less than 5).
TEST_F(CopyFileWithProgressTest, CopiesAreExactOnAndAroundTheReadChunksEnd) {
  ScratchFolder folder("copy chunks");
  for (const std::size_t size : {65535u, 65536u, 65537u, 2u * 65536u + 2047u}) {
    const std::string source = folder / ("source " + std::to_string(size));
    const std::string target = folder / ("target " + std::to_string(size));
    ASSERT_TRUE(WriteFileBytes(source, Bytes(size)));
    g_reports.clear();
    EXPECT_TRUE(CopyFileWithProgress(PathString(source), PathString(target), &Record, 5)) << size;
    EXPECT_EQ(ReadFileBytes(target), Bytes(size)) << size;
    ASSERT_GE(g_reports.size(), 2u) << size;
    EXPECT_EQ(g_reports.front(), 0) << size;
    EXPECT_GE(g_reports.back(), 95) << size;
    for (std::size_t i = 1; i < g_reports.size(); ++i) EXPECT_GE(g_reports[i] - g_reports[i - 1], 5) << size;
  }
}

TEST_F(CopyFileWithProgressTest, OverwritesAReadOnlyHiddenTarget) {
  ScratchFolder folder("copy read-only");
  const std::string source = folder / "new.dat";
  const std::string target = folder / "old.dat";
  ASSERT_TRUE(WriteFileBytes(source, Bytes(5000)));
  ASSERT_TRUE(WriteFileBytes(target, std::string(9000, 'x')));
  ASSERT_TRUE(::SetFileAttributesW(Utf8ToUtf16(target).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(CopyFileWithProgress(PathString(source), PathString(target), nullptr, 5));
  EXPECT_EQ(ReadFileBytes(target), Bytes(5000));
  EXPECT_FALSE(::GetFileAttributesW(Utf8ToUtf16(target).c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(CopyFileWithProgressTest, ABareTargetNameLandsInTheCurrentFolder) {
  ScratchFolder folder("copy bare");
  ASSERT_TRUE(WriteFileBytes(folder / "in.dat", Bytes(3000)));
  wchar_t saved[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(::SetCurrentDirectoryW(Utf8ToUtf16(folder / "").c_str()));
  const bool copied = CopyFileWithProgress(PathString(folder / "in.dat"), PathString("bare.dat"), nullptr, 5);
  ::SetCurrentDirectoryW(saved);
  EXPECT_TRUE(copied);
  EXPECT_EQ(ReadFileBytes(folder / "bare.dat"), Bytes(3000));
}

// A window of the caller with a 10 ms timer; each tick makes it paint again.
class TickingWindow : public Window {
 public:
  TickingWindow() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestTickingWindow";
    CreateWindowObject(windowClass, CreateSpec{.caption = "ticking", .style = WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                               .left = 20, .top = 20, .clientWidth = 120, .clientHeight = 60});
    ::UpdateWindow(Handle());
    paints = 0;
    ::SetTimer(Handle(), 1, USER_TIMER_MINIMUM, nullptr);
  }
  ~TickingWindow() override { ::KillTimer(Handle(), 1); }
  int timers = 0;
  int paints = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER) {
      ++timers;
      ::InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    }
    if (message == WM_PAINT) {
      PAINTSTRUCT paint;
      ::BeginPaint(Handle(), &paint);
      ::EndPaint(Handle(), &paint);
      ++paints;
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};

TickingWindow* g_ticking = nullptr;
struct Served {
  int timers;
  int paints;
};
std::vector<Served> g_servedAtReport;
// A slow medium: every percent takes at least 3 ms, so the copy lasts well over
// twenty timer periods whatever the disk; the callback itself never pumps.
void SlowReport(const PathString&, const PathString&, std::uint8_t) {
  g_servedAtReport.push_back({g_ticking->timers, g_ticking->paints});
  ::Sleep(3);
}

TEST_F(CopyFileWithProgressTest, TheCallersWindowGetsItsTimerAndPaintMessagesDuringALongCopy) {
  ScratchFolder folder("copy pump");
  ASSERT_TRUE(WriteFileBytes(folder / "in.dat", Bytes(4 << 20)));
  TickingWindow ticking;
  g_ticking = &ticking;
  g_servedAtReport.clear();
  EXPECT_TRUE(CopyFileWithProgress(PathString(folder / "in.dat"), PathString(folder / "out.dat"), &SlowReport, 1));
  g_ticking = nullptr;
  ASSERT_EQ(g_servedAtReport.size(), 101u);  // 0, then every percent
  // Served while the copy ran, not only before its first or after its last block.
  const Served first = g_servedAtReport.front();
  const Served last = g_servedAtReport.back();
  EXPECT_GE(last.timers - first.timers, 2);
  EXPECT_GE(last.paints - first.paints, 2);
  // And spread over the copy: some ticks already in its first half.
  EXPECT_GT(g_servedAtReport[50].timers, first.timers);
  EXPECT_EQ(ReadFileBytes(folder / "out.dat"), Bytes(4 << 20));
}

TEST_F(CopyFileWithProgressTest, AMissingSourceFailsSilentlyAfterTheFirstReport) {
  ScratchFolder folder("copy missing");
  CloseAnswerer robot;
  g_reports.clear();
  EXPECT_FALSE(CopyFileWithProgress(PathString(folder / "absent.dat"), PathString(folder / "t.dat"), &Record, 5));
  EXPECT_EQ(g_reports, (std::vector<int>{0}));
  EXPECT_TRUE(robot.SeenDialogs().empty());
  EXPECT_FALSE(test::PathExists(folder / "t.dat"));
}

TEST_F(CopyFileWithProgressTest, AFolderThatCannotBeCreatedIsNamedWithItsBackslash) {
  ScratchFolder folder("copy folder");
  ASSERT_TRUE(WriteFileBytes(folder / "in.dat", Bytes(10)));
  ASSERT_TRUE(WriteFileBytes(folder / "X", "a file where a folder should be"));
  CloseAnswerer robot;
  g_reports.clear();
  EXPECT_FALSE(CopyFileWithProgress(PathString(folder / "in.dat"), PathString(folder / "X\\Y\\t.dat"), &Record, 5));
  EXPECT_TRUE(robot.SawOnly("Nastala chyba vytváření adresáře " + folder / "X\\Y\\"));
  EXPECT_EQ(g_reports, (std::vector<int>{0}));
}

TEST_F(CopyFileWithProgressTest, ASourceThatCannotBeOpenedIsNamed) {
  ScratchFolder folder("copy locked source");
  const std::string source = folder / "locked.dat";
  ASSERT_TRUE(WriteFileBytes(source, Bytes(10)));
  const auto lock = OpenExclusively(source);
  ASSERT_TRUE(lock);
  CloseAnswerer robot;
  EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(folder / "t.dat"), nullptr, 5));
  EXPECT_TRUE(robot.SawOnly(kIoError + source + kCannotOpen));
}

TEST_F(CopyFileWithProgressTest, SourcesThatAreNoPlainFilesAreNotReadAndTakeTheCannotOpenMessage) {
  ScratchFolder folder("copy special sources");
  // A pipe whose server would act as the elevated program once it connects.
  const std::string pipe = "\\\\.\\pipe\\tolvar copy test " + std::to_string(::GetCurrentProcessId());
  const UniqueFileHandle server(::CreateNamedPipeW(Utf8ToUtf16(pipe).c_str(), PIPE_ACCESS_OUTBOUND,
                                                   PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(server);
  std::vector<std::string> sources = {pipe, "\\\\.\\NUL", "\\\\?\\GLOBALROOT\\Device\\Null", folder / "NUL"};
  if (test::RunsUnderWine()) {
    ASSERT_TRUE(test::MakeHostFifo(folder / "fifo"));  // an ordinary read would wait for a writer
    sources.push_back(folder / "fifo");
    if (test::MakeHostNullDevice(folder / "null device")) sources.push_back(folder / "null device");
  }
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    CloseAnswerer robot;
    g_reports.clear();
    EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(folder / "t.dat"), &Record, 5));
    EXPECT_TRUE(robot.SawOnly(kIoError + source + kCannotOpen));
    EXPECT_EQ(g_reports, (std::vector<int>{0}));
    EXPECT_FALSE(test::PathExists(folder / "t.dat"));
  }
  // Nobody connected: listening still.
  EXPECT_FALSE(::ConnectNamedPipe(server.get(), nullptr));
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_PIPE_LISTENING});

  // A plain file named the long way is a plain file.
  ASSERT_TRUE(WriteFileBytes(folder / "in.dat", "plain"));
  CloseAnswerer robot;
  EXPECT_TRUE(CopyFileWithProgress(PathString("\\\\?\\" + folder / "in.dat"), PathString(folder / "t.dat"), nullptr, 5));
  EXPECT_EQ(ReadFileBytes(folder / "t.dat"), "plain");
  EXPECT_TRUE(robot.SeenDialogs().empty());
}

TEST_F(CopyFileWithProgressTest, ATargetThatCannotBeCreatedIsNamedAfterTheSourceWasClosed) {
  ScratchFolder folder("copy locked target");
  const std::string source = folder / "in.dat";
  const std::string target = folder / "busy.dat";
  ASSERT_TRUE(WriteFileBytes(source, Bytes(10)));
  const auto lock = OpenExclusively(target, CREATE_ALWAYS);
  ASSERT_TRUE(lock);
  bool sourceClosed = false;
  DialogAnswerer robot([&](const DialogAnswerer::Seen&) {
    sourceClosed = static_cast<bool>(OpenExclusively(source));  // nobody holds it any more
    return Answer::Close;
  });
  EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(target), nullptr, 5));
  const auto seen = robot.SeenDialogs();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(IsCopyMessage(seen[0], kIoError + target + kCannotOpen));
  EXPECT_TRUE(sourceClosed);
}

TEST_F(CopyFileWithProgressTest, ATargetThatIsAnotherNameOfAFileIsReplacedNotWrittenThrough) {
  ScratchFolder folder("copy hard link");
  const std::string source = folder / "new.dat";
  const std::string target = folder / "setup\\C.DAT";
  ASSERT_TRUE(WriteFileBytes(source, Bytes(5000)));
  ASSERT_TRUE(WriteFileBytes(folder / "outside.dat", "outside"));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(folder / "setup").c_str(), nullptr));
  ASSERT_TRUE(::CreateHardLinkW(Utf8ToUtf16(target).c_str(), Utf8ToUtf16(folder / "outside.dat").c_str(), nullptr));
  EXPECT_TRUE(CopyFileWithProgress(PathString(source), PathString(target), nullptr, 5));
  EXPECT_EQ(ReadFileBytes(target), Bytes(5000));
  EXPECT_EQ(ReadFileBytes(folder / "outside.dat"), "outside");
}

TEST_F(CopyFileWithProgressTest, TargetsThatCannotBeMadeSafelyTakeTheCannotOpenMessage) {
  ScratchFolder folder("copy refused");
  const std::string source = folder / "new.dat";
  ASSERT_TRUE(WriteFileBytes(source, Bytes(100)));
  ASSERT_TRUE(WriteFileBytes(folder / "outside.dat", "outside"));
  std::vector<std::string> targets = {folder / "CON", folder / "x.", folder / ".."};
  // Under Wine a host link to a file looks like the file itself; it is refused.
  const bool hostLink = test::RunsUnderWine() && test::MakeHostSymlink(folder / "outside.dat", folder / "linked.dat");
  if (hostLink) targets.push_back(folder / "linked.dat");
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    CloseAnswerer robot;
    EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(target), nullptr, 5));
    EXPECT_TRUE(robot.SawOnly(kIoError + target + kCannotOpen));
  }
  EXPECT_EQ(ReadFileBytes(folder / "outside.dat"), "outside");
  if (hostLink) {
    EXPECT_TRUE(test::RemoveHostLink(folder / "linked.dat"));
  }
}

// Run by its own test entry under a file-size limit of 32 KiB (see CMakeLists),
// which makes every write beyond it fail as on a full disk.
// Changes the source through a handle of its own at the first report after the
// start, as another program or a dying medium would while the copy reads it.
std::string g_changing;
std::int64_t g_newSize = 0;
void ChangeSourceOnce(const PathString&, const PathString&, std::uint8_t percent) {
  if (percent == 0 || g_changing.empty()) return;
  const UniqueFileHandle other(::CreateFileW(Utf8ToUtf16(g_changing).c_str(), GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  size.QuadPart = g_newSize;
  EXPECT_TRUE(other && ::SetFilePointerEx(other.get(), size, nullptr, FILE_BEGIN) && ::SetEndOfFile(other.get()));
  g_changing.clear();
}

TEST_F(CopyFileWithProgressTest, ASourceCutOrGrownWhileItIsCopiedIsReported) {
  ScratchFolder folder("copy changing source");
  for (const std::int64_t newSize : {100000, 400000}) {
    SCOPED_TRACE(newSize);
    const std::string source = folder / ("source " + std::to_string(newSize));
    ASSERT_TRUE(WriteFileBytes(source, Bytes(300000)));
    g_changing = source;
    g_newSize = newSize;
    CloseAnswerer robot;
    EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(folder / "copy.dat"), &ChangeSourceOnce, 5));
    EXPECT_TRUE(g_changing.empty()) << "the source was not changed during the copy";
    EXPECT_TRUE(robot.SawOnly(kIoError + source + " nebylo možné zkopírovat."));
    // What arrived stays; a grown source is not copied beyond a block past its size.
    const auto copied = ReadFileBytes(folder / "copy.dat");
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->size(), newSize < 300000 ? 100000u : 300000u + 2048u - 300000u % 2048u);
  }
}

TEST_F(CopyFileWithProgressTest, AShortWriteIsReportedAfterBothFilesWereClosed) {
  if (!std::getenv("TOLVAR_FILE_SIZE_LIMITED")) GTEST_SKIP() << "runs under a file-size limit only";
  ScratchFolder folder("copy short write");
  // A source larger than the limit that exists already: the test program itself.
  const std::string source = test::TestProgramFolder() + "win32_bootstrap_tests.exe";
  bool sourceClosed = false;
  DialogAnswerer robot([&](const DialogAnswerer::Seen&) {
    // The source can be opened exclusively only when the copy has closed it.
    sourceClosed = static_cast<bool>(UniqueFileHandle(::CreateFileW(
        Utf8ToUtf16(source).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    return Answer::Close;
  });
  g_reports.clear();
  EXPECT_FALSE(CopyFileWithProgress(PathString(source), PathString(folder / "out.dat"), &Record, 5));
  const auto seen = robot.SeenDialogs();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(IsCopyMessage(seen[0], kIoError + source + " nebylo možné zkopírovat."));
  EXPECT_TRUE(sourceClosed);
  EXPECT_EQ(ReadFileBytes(folder / "out.dat")->size(), 32768u);
}

}  // namespace
}  // namespace tolvar
