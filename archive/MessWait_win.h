// TWaitForm: a small modeless window for long work on the GUI thread. It shows a
// text and either a gauge that advances one step per StepWait, or, when no
// maximum is known, a swinging pendulum under a clock. While it is up, the
// program's other windows are disabled; closing it gives them back, and the
// activation too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/Ngauge_win.h"
#include "archive/WaitSteps.h"
#include "platform/Handle_win.h"
#include "platform/ThreadWindows_win.h"
#include "platform/Window_win.h"

namespace tolvar {

// Which of the layout's optional controls a window makes. ShowWait makes only
// those its mode shows: a control hidden for the window's whole life would only
// cost its creation and destruction (about half a millisecond each under Wine).
struct WaitControls {
  bool pictures = true;     // the clock and the three pendulum frames
  bool waitLabel = true;    // "Čekejte prosím ..."
  bool abortButton = true;  // "Přerušit"
};

class TWaitForm : public Window {
 public:
  // Creates the window from its layout, hidden: client area 361 × 114 at 96 dpi,
  // scaled to its DPI. The controls keep the layout's creation (and Z) order;
  // those left out by `controls` are not made, and their accessors give nullptr.
  explicit TWaitForm(const WaitControls& controls = {});
  ~TWaitForm() override;

  // Set by the abort button ("Přerušit", Enter, Esc). A caller that shows the
  // button polls it between its steps; the window itself stops nothing.
  bool Aborted() const noexcept { return aborted_; }

  std::int32_t WaitMaximum() const noexcept { return waitMaximum_; }
  std::uint16_t StepCount() const noexcept { return stepCount_; }
  std::uint16_t FrameIndex() const noexcept { return frames_.index; }
  // While the window is shown: the window active before it, and the windows it disabled.
  HWND SavedActiveWindow() const noexcept { return othersDisabled_ ? othersDisabled_->PreviouslyActive() : nullptr; }
  std::vector<HWND> DisabledWindows() const { return othersDisabled_ ? othersDisabled_->Disabled() : std::vector<HWND>{}; }

  TNGauge& MyGauge() noexcept { return *myGauge_; }
  HWND TextLbl() const noexcept { return textLbl_; }
  HWND WaitLbl() const noexcept { return waitLbl_; }
  HWND PrerusitBut() const noexcept { return prerusitBut_; }
  // Image0..Image2: the pendulum frames; Image3: the clock. Made only for the clock.
  HWND Image(int index) const noexcept { return images_[index]; }

  bool PreTranslateMessage(MSG& message) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDpiChanged(const RECT* suggested) override;

 private:
  friend void ShowWait(std::unique_ptr<TWaitForm>&, const std::string&, std::int32_t, bool, std::uint16_t);
  friend void StepWait(std::unique_ptr<TWaitForm>&);
  friend void CloseWait(std::unique_ptr<TWaitForm>&);

  // The designed layout at the window's DPI: font, pictures (once made), client area, controls.
  void LayOut();
  void FormCreate();
  void PrerusitButClick();
  void Setup(const std::string& text, std::int32_t maximum, bool showAbort, std::uint16_t stepInterval);
  void Step();
  void RestoreOthers();

  // The four pictures at the window's DPI; made when the clock is first shown.
  void LoadPictures();

  UniqueIcon icons_[4];
  bool picturesLoaded_ = false;
  HWND images_[4] = {};
  HWND waitLbl_ = nullptr;
  HWND textLbl_ = nullptr;
  std::unique_ptr<TNGauge> myGauge_;
  HWND prerusitBut_ = nullptr;

  std::optional<DisabledWindowsScope> othersDisabled_;  // from ShowWait to CloseWait
  std::int32_t waitMaximum_ = 0;
  std::uint16_t stepCount_ = 0;
  std::uint16_t stepInterval_ = 0;
  PendulumFrames frames_;
  bool aborted_ = false;
  bool showAbort_ = false;
};

// The program's one wait window; empty while none is up.
extern std::unique_ptr<TWaitForm> WaitForm;

// Creates the window into `form` and shows it: `text` (at most 255 characters)
// above a gauge of `maximum` steps, or above the pendulum when `maximum` is 0;
// the abort button instead of "Čekejte prosím ..." when `showAbort`; messages
// pumped on every `stepInterval`-th step (every step for 0). A window still in
// `form` is closed first.
void ShowWait(std::unique_ptr<TWaitForm>& form, const std::string& text, std::int32_t maximum, bool showAbort,
              std::uint16_t stepInterval);

// One step: the gauge advances by one (it stays full past its maximum), or the
// pendulum swings on every interval-th step. Nothing when `form` is empty.
void StepWait(std::unique_ptr<TWaitForm>& form);

// Re-enables the windows that ShowWait disabled, gives the activation back unless
// another window took it meanwhile, destroys the window and empties `form`.
// Nothing when `form` is empty.
void CloseWait(std::unique_ptr<TWaitForm>& form);

}  // namespace tolvar
