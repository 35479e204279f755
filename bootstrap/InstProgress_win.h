// The install progress window: a small fixed dialog with two lines of text and a
// progress bar that stands on the screen while the wizard archive is unpacked.
// Its four methods are the extractor's callbacks; it offers no way to close it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "archive/ZLibCtrl.h"
#include "platform/Handle_win.h"
#include "platform/Window_win.h"

namespace tolvar {

class TInstProgressForm final : public Window {
 public:
  // Creates the window, not yet shown, at its designed screen position, laid out
  // at its DPI.
  TInstProgressForm();

  // Shows the window without making it modal and paints it at once.
  void Show();

  // OnExtractStart: the bar's maximum becomes the archive's progress total, its
  // step 1 and its position 0.
  void ArchiveStart(Stream& archive, std::int32_t progressTotal);
  // OnExtractChunk: one step (a full bar stays full). The steps are shown and
  // the pending messages processed when a pump is due (Application::PumpDue), so
  // the window repaints about once per frame. The flag is left as it is.
  void ArchiveProgress(Stream& archive, bool& flag);
  // Moves the bar by the steps that no pump has shown yet: before a message
  // stands above the window, the bar shows every chunk that came.
  void ShowPendingSteps();
  // OnExtractFinish: the bar is full.
  void ArchiveEnd(Stream& archive);
  // OnExtractFile: nothing; the window shows no file names.
  void ArchiveFile(Stream& archive, std::int32_t blockCount, const std::string& targetFolder,
                   const std::string& relativeName);

  // The four methods bound to this window.
  ExtractCallbacks Callbacks();

  HWND Label1() const noexcept { return label1_; }
  HWND ProgressBar() const noexcept { return progressBar_; }
  HWND Label2() const noexcept { return label2_; }

 protected:
  // Close requests (Alt+F4 and the like) are ignored.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDpiChanged(const RECT* suggested) override;

 private:
  // The designed layout at the window's DPI: font, client area and controls.
  void LayOut();
  void KeepOnWorkArea();

  HWND label1_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND label2_ = nullptr;
  std::int64_t pendingSteps_ = 0;  // chunks since the bar last moved
};

}  // namespace tolvar
