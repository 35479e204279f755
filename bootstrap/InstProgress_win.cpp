#include "bootstrap/InstProgress_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/DpiScale.h"
#include "platform/Texts.h"

namespace tolvar {
namespace {

// The designed layout, in pixels at 96 dpi, relative to the client area.
constexpr int kClientWidth = 349;
constexpr int kClientHeight = 96;
constexpr int kScreenLeft = 283;
constexpr int kScreenTop = 103;
constexpr int kFontPoints = 8;

// A dialog frame with a caption but no system menu: no title-bar icons at all.
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

TInstProgressForm::TInstProgressForm() {
  const INITCOMMONCONTROLSEX progressClass{sizeof progressClass, ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&progressClass);
  CreateWindowObject({.name = L"TInstProgressForm"},
                     {.caption = LoadText(TextId::InstProgressCaption), .style = kFormStyle, .exStyle = kFormExStyle,
                      .left = kScreenLeft, .top = kScreenTop, .clientWidth = kClientWidth,
                      .clientHeight = kClientHeight});
  label1_ = CreateControl(Handle(), {.text = LoadText(TextId::PreparingWizard), .style = SS_CENTER | SS_NOPREFIX});
  progressBar_ = CreateControl(Handle(), {.className = PROGRESS_CLASSW, .style = WS_TABSTOP, .id = 1});
  label2_ = CreateControl(Handle(), {.text = LoadText(TextId::PleaseWait), .style = SS_CENTER | SS_NOPREFIX});
  ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, 100);
  LayOut();
  KeepOnWorkArea();
}

void TInstProgressForm::KeepOnWorkArea() {
  // The designed position, scaled, could put the window past the edge of a small
  // screen at a high scale: then it moves in just far enough.
  RECT work{};
  RECT frame{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || !::GetWindowRect(Handle(), &frame)) return;
  const LONG left = std::max(work.left, std::min(frame.left, work.right - (frame.right - frame.left)));
  const LONG top = std::max(work.top, std::min(frame.top, work.bottom - (frame.bottom - frame.top)));
  if (left != frame.left || top != frame.top) {
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TInstProgressForm::LayOut() {
  const DpiScale& scale = Dpi();
  // "MS Sans Serif", 8 points (height -11 at 96 dpi).
  SetDialogFont(L"MS Sans Serif", kFontPoints, {Handle(), label1_, label2_});
  SetClientSize(scale.Scale(kClientWidth), scale.Scale(kClientHeight));
  const auto place = [&](HWND control, int left, int top, int width, int height) {
    ::SetWindowPos(control, nullptr, scale.Scale(left), scale.Scale(top), scale.Scale(width), scale.Scale(height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(label1_, 10, 15, 331, 13);
  place(progressBar_, 10, 45, 331, 16);
  place(label2_, 10, 75, 331, 13);
}

void TInstProgressForm::OnDpiChanged(const RECT* suggested) {
  Window::OnDpiChanged(suggested);
  LayOut();
}

LRESULT TInstProgressForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return Window::HandleMessage(message, wParam, lParam);
}

void TInstProgressForm::Show() {
  ::ShowWindow(Handle(), SW_SHOWNORMAL);
  ::UpdateWindow(Handle());
}

void TInstProgressForm::ArchiveStart(Stream&, std::int32_t progressTotal) {
  pendingSteps_ = 0;
  // A negative total from a damaged header counts as none.
  ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, std::max<std::int32_t>(progressTotal, 0));
  ::SendMessageW(progressBar_, PBM_SETSTEP, 1, 0);
  ::SendMessageW(progressBar_, PBM_SETPOS, 0, 0);
}

void TInstProgressForm::ArchiveProgress(Stream&, bool&) {
  // Moving the bar repaints it at once, which costs more than inflating a chunk
  // (milliseconds under Wine): the steps are counted and shown together just
  // before each pump, about once per frame.
  ++pendingSteps_;
  Application& application = Application::Instance();
  if (!application.PumpDue()) return;
  ShowPendingSteps();
  application.ProcessMessages();
}

void TInstProgressForm::ShowPendingSteps() {
  if (pendingSteps_ == 0) return;
  const std::int64_t steps = pendingSteps_;
  pendingSteps_ = 0;
  // The bar's own step starts over from the minimum when it passes the maximum;
  // an archive whose total is too small keeps a full bar instead.
  const auto position = ::SendMessageW(progressBar_, PBM_GETPOS, 0, 0);
  const auto maximum = ::SendMessageW(progressBar_, PBM_GETRANGE, FALSE, 0);
  if (position >= maximum) return;
  const auto advanced = std::min<std::int64_t>(static_cast<std::int64_t>(position) + steps, maximum);
  ::SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(advanced), 0);
}

void TInstProgressForm::ArchiveEnd(Stream&) {
  pendingSteps_ = 0;
  auto maximum = ::SendMessageW(progressBar_, PBM_GETRANGE, FALSE, 0);
  if (maximum <= 0) {
    // An empty range draws an empty bar: widen it so that the end shows full.
    maximum = 1;
    ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, maximum);
  }
  ::SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(maximum), 0);
}

void TInstProgressForm::ArchiveFile(Stream&, std::int32_t, const std::string&, const std::string&) {}

ExtractCallbacks TInstProgressForm::Callbacks() {
  ExtractCallbacks callbacks;
  callbacks.OnExtractStart = [this](Stream& archive, std::int32_t total) { ArchiveStart(archive, total); };
  callbacks.OnExtractChunk = [this](Stream& archive, bool& flag) { ArchiveProgress(archive, flag); };
  callbacks.OnExtractFinish = [this](Stream& archive) { ArchiveEnd(archive); };
  callbacks.OnExtractFile = [this](Stream& archive, std::int32_t blocks, const std::string& target,
                            const std::string& relative) { ArchiveFile(archive, blocks, target, relative); };
  return callbacks;
}

}  // namespace tolvar
