// The install progress window: its designed layout and texts, the four extractor
// callbacks, and the window during a real extraction.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "archive/ZLibCtrl.h"
#include "bootstrap/InstProgress_win.h"
#include "platform/Controls_win.h"
#include "platform/MemoryStream.h"
#include "platform/Utf.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/support/DestroyWatch_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

LRESULT Position(const TInstProgressForm& form) { return ::SendMessageW(form.ProgressBar(), PBM_GETPOS, 0, 0); }
LRESULT Maximum(const TInstProgressForm& form) { return ::SendMessageW(form.ProgressBar(), PBM_GETRANGE, FALSE, 0); }
LRESULT Minimum(const TInstProgressForm& form) { return ::SendMessageW(form.ProgressBar(), PBM_GETRANGE, TRUE, 0); }

RECT ChildRect(HWND parent, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectRect(HWND parent, HWND child, int left, int top, int width, int height) {
  const RECT rect = ChildRect(parent, child);
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST(InstProgressForm, TheFontOfItsLabelsIsStillThereWhileTheWindowIsDestroyed) {
  auto form = std::make_unique<TInstProgressForm>();
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(form->Label1(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(test::IsLiveFont(font));
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(form->Label2(), WM_GETFONT, 0, 0)), font);
  const test::FontAtTeardown teardown = test::DestroyWatchingFont(form, font);
  EXPECT_TRUE(teardown.windowDestroyed);
  EXPECT_TRUE(teardown.liveWhileDestroyed);
  EXPECT_FALSE(teardown.liveAfter);
}

TEST(InstProgressForm, HasItsDesignedLayoutTextsAndNoWayToBeClosed) {
  TInstProgressForm form;
  ASSERT_TRUE(form.Exists());
  form.Show();
  const HWND window = form.Handle();
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_EQ(GetText(window), "Instalace Ledgero");

  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 349);
  EXPECT_EQ(client.bottom, 96);
  RECT frame{};
  ::GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 283);
  EXPECT_EQ(frame.top, 103);

  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU);  // no close box, no icon
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  EXPECT_EQ(GetText(form.Label1()), "Připravuji ke spuštění průvodce instalací.");
  EXPECT_EQ(GetText(form.Label2()), "Čekejte prosím ...");
  ExpectRect(window, form.Label1(), 10, 15, 331, 13);
  ExpectRect(window, form.ProgressBar(), 10, 45, 331, 16);
  ExpectRect(window, form.Label2(), 10, 75, 331, 13);
  for (const HWND label : {form.Label1(), form.Label2()}) {
    EXPECT_EQ(::GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    LOGFONTW font{};
    ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
  }
  EXPECT_EQ(test::ClassName(form.ProgressBar()), "msctls_progress32");
  EXPECT_EQ(Minimum(form), 0);
  EXPECT_EQ(Maximum(form), 100);

  // A close request does nothing: only the unpack step removes the window.
  ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(::IsWindow(window));
  form.Destroy();
  EXPECT_FALSE(::IsWindow(window));
}

TEST(InstProgressForm, StartResetsTheBarAndEachChunkStepsIt) {
  TInstProgressForm form;
  form.Show();
  MemoryStream archive;
  ::SendMessageW(form.ProgressBar(), PBM_SETSTEP, 7, 0);
  ::SendMessageW(form.ProgressBar(), PBM_SETPOS, 50, 0);
  form.ArchiveStart(archive, 10);
  EXPECT_EQ(Position(form), 0);
  EXPECT_EQ(Maximum(form), 10);
  bool flag = true;
  for (int i = 1; i <= 4; ++i) {
    form.ArchiveProgress(archive, flag);
    form.ShowPendingSteps();
    EXPECT_EQ(Position(form), i);
  }
  EXPECT_TRUE(flag);  // the flag is left as it came
  form.ArchiveFile(archive, 3, "C:\\Setup\\", "a\\x");  // shows nothing, changes nothing
  EXPECT_EQ(Position(form), 4);
  form.ArchiveEnd(archive);
  EXPECT_EQ(Position(form), 10);
}

TEST(InstProgressForm, AFullBarStaysFullWhenTheTotalWasTooSmall) {
  TInstProgressForm form;
  MemoryStream archive;
  bool flag = false;
  form.ArchiveStart(archive, 3);
  for (int i = 0; i < 2; ++i) {
    form.ArchiveProgress(archive, flag);
    form.ShowPendingSteps();
  }
  for (int i = 0; i < 6; ++i) form.ArchiveProgress(archive, flag);
  form.ShowPendingSteps();  // six steps shown at once stop at the maximum too
  EXPECT_EQ(Position(form), 3);
  EXPECT_EQ(Maximum(form), 3);
  form.ArchiveProgress(archive, flag);
  form.ShowPendingSteps();
  EXPECT_EQ(Position(form), 3);
}

TEST(InstProgressForm, WithoutChunksTheEndStillShowsAFullBar) {
  TInstProgressForm form;
  MemoryStream archive;
  form.ArchiveStart(archive, 0);  // an archive of folders only
  EXPECT_EQ(Position(form), 0);
  form.ArchiveEnd(archive);
  EXPECT_GT(Maximum(form), Minimum(form));
  EXPECT_EQ(Position(form), Maximum(form));
  form.ArchiveStart(archive, -5);  // a damaged total counts as none
  EXPECT_EQ(Maximum(form), 0);
}

TEST(InstProgressForm, ChunksLetTheWindowRepaint) {
  TInstProgressForm form;
  form.Show();
  MemoryStream archive;
  bool flag = false;
  form.ArchiveStart(archive, 1000);
  ::InvalidateRect(form.Handle(), nullptr, TRUE);
  ASSERT_TRUE(::GetUpdateRect(form.Handle(), nullptr, FALSE));
  // Chunks of slow data: the window is painted by the pump that the chunks make
  // once one is due, and that pump shows every chunk that came on the bar.
  int chunks = 0;
  while (chunks < 1000 && ::GetUpdateRect(form.Handle(), nullptr, FALSE)) {
    form.ArchiveProgress(archive, flag);
    ++chunks;
    ::Sleep(1);
  }
  EXPECT_FALSE(::GetUpdateRect(form.Handle(), nullptr, FALSE)) << "after " << chunks << " chunks";
  EXPECT_EQ(Position(form), chunks);
  EXPECT_FALSE(flag);
}

TEST(InstProgressForm, FollowsARealExtractionToAFullBar) {
  test::ScratchFolder scratch("progress window");
  const std::string archive = scratch / "WIZARD.zl";
  // 40 chunks of files, and a folder.
  ASSERT_TRUE(test::WriteFileBytes(archive, test::ArchiveBytes(40)
                                                .File("setupostrel.exe", test::PatternBytes(20 * 32768, 1))
                                                .Enter("data")
                                                .File("big.bin", test::NoiseBytes(20 * 32768 - 100, 2))
                                                .Leave()
                                                .Str()));
  TInstProgressForm form;
  form.Show();
  ExtractCallbacks callbacks = form.Callbacks();
  int chunks = 0;
  const auto step = callbacks.OnExtractChunk;
  callbacks.OnExtractChunk = [&](Stream& stream, bool& flag) {
    step(stream, flag);
    EXPECT_LE(Position(form), ++chunks);  // shown with the next pump at the latest
    form.ShowPendingSteps();
    EXPECT_EQ(Position(form), chunks);
    if (chunks == 16) test::TakeScreenshotIfWanted(form.Handle(), "inst-progress-window");
  };
  EXPECT_EQ(ExtractArchive({DiskFileSystem(), CodePage1250()}, archive, scratch / "Setup", callbacks), ArchiveOk);
  EXPECT_EQ(chunks, 40);
  EXPECT_EQ(Position(form), 40);
  EXPECT_EQ(Maximum(form), 40);
  EXPECT_TRUE(test::PathExists(scratch / "Setup\\data\\big.bin"));
}

TEST(InstProgressForm, AFileThatCannotBeWrittenLeavesTheBarWhereTheLastChunkLeftIt) {
  test::ScratchFolder scratch("progress window code 4");
  const std::string archive = scratch / "WIZARD.zl";
  // 3 chunks of a first file, then a file whose name is taken by a folder.
  ASSERT_TRUE(test::WriteFileBytes(archive, test::ArchiveBytes(10)
                                                .File("setupostrel.exe", test::PatternBytes(3 * 32768, 1))
                                                .File("taken", test::PatternBytes(4 * 32768, 2))
                                                .Str()));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(scratch / "Setup").c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(scratch / "Setup\\taken").c_str(), nullptr));
  TInstProgressForm form;
  form.Show();
  ExtractCallbacks callbacks = form.Callbacks();
  int chunks = 0;
  bool finished = false;
  const auto step = callbacks.OnExtractChunk;
  callbacks.OnExtractChunk = [&](Stream& stream, bool& flag) {
    step(stream, flag);
    ++chunks;
  };
  const auto finish = callbacks.OnExtractFinish;
  callbacks.OnExtractFinish = [&](Stream& stream) {
    finished = true;
    finish(stream);
  };
  EXPECT_EQ(ExtractArchive({DiskFileSystem(), CodePage1250()}, archive, scratch / "Setup", callbacks), ArchiveWriteError);
  EXPECT_FALSE(finished);
  EXPECT_EQ(chunks, 3);
  form.ShowPendingSteps();  // as the unpack step does before its message
  EXPECT_EQ(Position(form), 3);  // not full: the end never came
  EXPECT_EQ(Maximum(form), 10);
}

}  // namespace
}  // namespace tolvar
