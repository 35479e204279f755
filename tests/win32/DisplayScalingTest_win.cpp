// The windows at display scales above 100 %. The ScaledWindows tests check each
// window at the DPI this program runs at: 96 when CTest starts it, and 144 and
// 192 when DisplayScaling starts it again with the prefix's LogPixels set. Every
// figure is the designed one scaled with MulDiv rounding; fonts have their point
// sizes at that DPI and pictures the matching size. A window told of a new DPI
// (WM_DPICHANGED) lays itself out for it, and back at 96 dpi it is exactly as
// before.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <thread>
#include <vector>

#include "archive/MessWait_win.h"
#include "bootstrap/InstProgress_win.h"
#include "dialogs/MessageDialogContent_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/Dpi_win.h"
#include "platform/Picture_win.h"
#include "platform/Registry_win.h"
#include "platform/Utf.h"
#include "resources/WaitPictures.h"
#include "tests/support/DisplayScale_win.h"
#include "tests/support/RegistrySnapshot_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar::test {
namespace {

using namespace dialog_layout;

// --- Measuring ------------------------------------------------------------------

RECT PlaceIn(HWND parent, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A control's place as "left,top widthxheight", for readable failures.
std::string Place(int left, int top, int width, int height) {
  return IntToStr(left) + "," + IntToStr(top) + " " + IntToStr(width) + "x" + IntToStr(height);
}
std::string PlaceOf(HWND parent, HWND child) {
  const RECT r = PlaceIn(parent, child);
  return Place(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

SIZE ClientOf(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

SIZE FrameOf(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// The outer size a window of this style has for a client area at `dpi`.
SIZE FrameFor(HWND window, int clientWidth, int clientHeight, int dpi) {
  const RECT frame = FrameForClient({0, 0, clientWidth, clientHeight},
                                    static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)),
                                    static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

LONG FontHeightOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  return handle && ::GetObjectW(handle, sizeof font, &font) ? font.lfHeight : 0;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  return bitmap && ::GetObjectW(bitmap, sizeof info, &info) ? SIZE{info.bmWidth, info.bmHeight} : SIZE{0, 0};
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
  const SIZE size = BitmapSize(info.hbmColor ? info.hbmColor : info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  return info.hbmColor ? size : SIZE{size.cx, size.cy / 2};
}

SIZE StaticIconSize(HWND control) {
  return IconSize(reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0)));
}

// Sizes as "widthxheight", so that failures read well.
std::string Dims(int width, int height) { return IntToStr(width) + "x" + IntToStr(height); }
std::string Dims(const SIZE& size) { return Dims(size.cx, size.cy); }

// Everything a layout consists of: the window's frame and client size, then
// each child's place, visibility and font height, in Z order.
std::vector<std::string> LayoutOf(HWND window) {
  const SIZE frame = FrameOf(window);
  const SIZE client = ClientOf(window);
  std::vector<std::string> lines{"frame " + Place(0, 0, frame.cx, frame.cy), "client " + Place(0, 0, client.cx, client.cy)};
  for (const HWND child : ChildWindows(window)) {
    lines.push_back(ClassName(child) + " " + PlaceOf(window, child) + (::IsWindowVisible(child) ? " shown" : " hidden") +
                    " font " + IntToStr(FontHeightOf(child)));
  }
  return lines;
}

// Tells a top-level window that it is now on a display of `dpi`, as the system
// does when it is moved there, suggesting its frame scaled from its position.
void MoveToDpi(HWND window, int dpi) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  const DpiScale from = DpiScaleOf(window);
  const DpiScale to = DpiScale::Of(dpi);
  RECT suggested{frame.left, frame.top, frame.left + to.Rescale(frame.right - frame.left, from),
                 frame.top + to.Rescale(frame.bottom - frame.top, from)};
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// --- The windows and what they must look like at a scale ---------------------------

// The client size is exact when the window's frame is drawn at its DPI; a
// window only told of a new DPI (MoveToDpi) keeps the frame the system draws, so
// there its outer size is checked against the frame of the DPI.
void ExpectClientArea(HWND window, const DpiScale& s, int width, int height, bool frameDrawnAtDpi) {
  if (frameDrawnAtDpi) {
    EXPECT_EQ(Dims(ClientOf(window)), Dims(s.Scale(width), s.Scale(height)));
  } else {
    EXPECT_EQ(Dims(FrameOf(window)), Dims(FrameFor(window, s.Scale(width), s.Scale(height), s.dpi)));
  }
}

void ExpectProgressWindowAt(const TInstProgressForm& form, const DpiScale& s, bool frameDrawnAtDpi) {
  SCOPED_TRACE("install progress window at " + IntToStr(s.dpi) + " dpi");
  const HWND window = form.Handle();
  EXPECT_EQ(form.Dpi().dpi, s.dpi);
  ExpectClientArea(window, s, 349, 96, frameDrawnAtDpi);
  EXPECT_EQ(PlaceOf(window, form.Label1()), Place(s.Scale(10), s.Scale(15), s.Scale(331), s.Scale(13)));
  EXPECT_EQ(PlaceOf(window, form.ProgressBar()), Place(s.Scale(10), s.Scale(45), s.Scale(331), s.Scale(16)));
  EXPECT_EQ(PlaceOf(window, form.Label2()), Place(s.Scale(10), s.Scale(75), s.Scale(331), s.Scale(13)));
  for (const HWND label : {form.Label1(), form.Label2()}) EXPECT_EQ(FontHeightOf(label), s.FontHeight(8));
}

// Every control the window made, at its place and with its font at the scale; a
// window makes only the controls its mode shows.
void ExpectWaitWindowAt(TWaitForm& form, const DpiScale& s, bool frameDrawnAtDpi) {
  SCOPED_TRACE("wait window at " + IntToStr(s.dpi) + " dpi");
  const HWND window = form.Handle();
  ExpectClientArea(window, s, 361, 114, frameDrawnAtDpi);
  EXPECT_EQ(PlaceOf(window, form.TextLbl()), Place(s.Scale(5), s.Scale(5), s.Scale(351), s.Scale(26)));
  EXPECT_EQ(PlaceOf(window, form.MyGauge().Handle()), Place(s.Scale(5), s.Scale(45), s.Scale(351), s.Scale(16)));
  EXPECT_EQ(FontHeightOf(form.TextLbl()), s.FontHeight(8));
  EXPECT_EQ(FontHeightOf(form.MyGauge().Handle()), s.FontHeight(8));
  if (form.WaitLbl()) {
    EXPECT_EQ(PlaceOf(window, form.WaitLbl()), Place(s.Scale(5), s.Scale(85), s.Scale(351), s.Scale(13)));
    EXPECT_EQ(FontHeightOf(form.WaitLbl()), s.FontHeight(8));
  }
  if (form.PrerusitBut()) {
    EXPECT_EQ(PlaceOf(window, form.PrerusitBut()), Place(s.Scale(140), s.Scale(80), s.Scale(81), s.Scale(26)));
    EXPECT_EQ(FontHeightOf(form.PrerusitBut()), s.FontHeight(8));
  }
  if (form.Image(3)) {
    EXPECT_EQ(PlaceOf(window, form.Image(3)), Place(s.Scale(165), s.Scale(22), s.Scale(32), s.Scale(32)));
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(PlaceOf(window, form.Image(i)), Place(s.Scale(165), s.Scale(53), s.Scale(32), s.Scale(32))) << i;
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Dims(StaticIconSize(form.Image(i))), Dims(s.Scale(32), s.Scale(32))) << i;
  }
}

TMessageDlgButton Task(const char* caption, const char* description, std::uint16_t result, bool isDefault = false) {
  TMessageDlgButton task;
  task.Caption = caption;
  task.Description = description;
  task.ModalResult = result;
  task.IsDefault = isDefault;
  return task;
}

// A dialog with everything that has a layout: two lines of message, task links,
// OK and Back, the details pane open and a tree of three items.
void ConfigureFullDialog(TMessDlgForm& form) {
  TDialogRec record;
  const TMessageDlgButton tasks[] = {Task("Vložit disk a pokračovat", "Instalace pokračuje.", mrOk, true),
                                     Task("Ukončit instalaci", "Již zkopírované soubory zůstanou na disku.", mrAbort)};
  BuildDialogRec(record, true, (1u << sbkOk) | (1u << sbkBack), {}, tasks, 0, -1, 0, -1, {}, {}, 1);
  ConfigureMessageDialog(form, {.type = mltWarning,
                                .title = "Chybí instalační disk",
                                .text = "Soubor setup2.cab nebyl nalezen.\nVložte prosím druhý disk.",
                                .detail = "Zdrojová složka: D:\\",
                                .record = record,
                                .itemReader =
                                    [](std::int32_t index, bool wantDetail, TDialogItem& item) {
                                      item.Level = index == 0 ? 0 : 1;
                                      item.Text = std::string(1, static_cast<char>('A' + index));
                                      if (wantDetail) item.Detail = "Podrobnosti položky.";
                                    },
                                .firstItem = 0,
                                .lastItem = 2});
}

void ExpectDialogAt(const TMessDlgForm& form, const DpiScale& s, bool frameDrawnAtDpi) {
  SCOPED_TRACE("message dialog at " + IntToStr(s.dpi) + " dpi");
  const HWND dialog = form.Handle();
  const PanelStack panels = form.Panels();
  const PanelTops tops = dialog_layout::ArrangePanels(panels);
  const SIZE client = ClientOf(dialog);
  EXPECT_EQ(FrameOf(dialog).cx, s.Scale(440));
  EXPECT_EQ(client.cy, ClientHeight(panels, s));
  EXPECT_EQ(panels.buttons, s.Scale(45));

  // Message panel, beside the task links (no icon column): title, two lines.
  const HWND title = ::GetDlgItem(dialog, kTitleControlId);
  const HWND message = ::GetDlgItem(dialog, kMessageControlId);
  EXPECT_EQ(PlaceIn(dialog, title).left, s.Scale(20));
  EXPECT_EQ(PlaceIn(dialog, title).top, s.Scale(15));
  EXPECT_EQ(PlaceIn(dialog, title).bottom - PlaceIn(dialog, title).top, s.Scale(21));
  EXPECT_EQ(FontHeightOf(title), s.FontHeight(12));
  const RECT messageRect = PlaceIn(dialog, message);
  EXPECT_EQ(messageRect.left, s.Scale(20));
  EXPECT_EQ(messageRect.top, s.Scale(41));
  EXPECT_EQ(messageRect.right - messageRect.left, s.Scale(329));
  EXPECT_EQ(FontHeightOf(message), s.FontHeight(8));
  EXPECT_EQ(panels.message,
            std::max(s.Scale(71), s.Scale(41) + s.Scale(15) + static_cast<int>(messageRect.bottom - messageRect.top)));
  EXPECT_GE(messageRect.bottom - messageRect.top, 2 * -s.FontHeight(8)) << "two lines";
  const HWND icon = ::GetDlgItem(dialog, kIconControlId);
  EXPECT_EQ(Dims(StaticIconSize(icon)), Dims(s.Scale(32), s.Scale(32)));

  // Task links: arrow, link and description, stacked.
  const LONG style = static_cast<LONG>(::GetWindowLongPtrW(dialog, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  const RECT sizeable = FrameForClient({0, 0, 100, 100}, static_cast<DWORD>(style), exStyle, s.dpi);
  const RECT fixed = FrameForClient({0, 0, 100, 100}, static_cast<DWORD>(style & ~WS_THICKFRAME), exStyle, s.dpi);
  const int sizeableBorder = (sizeable.right - sizeable.left) - (fixed.right - fixed.left);
  int y = tops.taskButtons;
  for (int i = 0; i < 2; ++i) {
    const HWND arrow = ::GetDlgItem(dialog, kTaskArrowControlId + i);
    const HWND link = ::GetDlgItem(dialog, kTaskLinkControlId + i);
    const HWND description = ::GetDlgItem(dialog, kTaskDescriptionControlId + i);
    const auto arrowBitmap = reinterpret_cast<HBITMAP>(::SendMessageW(arrow, STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(Dims(BitmapSize(arrowBitmap)), Dims(s.Scale(16), s.Scale(16))) << i;
    EXPECT_EQ(PlaceOf(dialog, arrow), Place(s.Scale(50), y + s.Scale(4), s.Scale(16), s.Scale(16))) << i;
    const RECT linkRect = PlaceIn(dialog, link);
    EXPECT_EQ(Place(linkRect.left, linkRect.top, 0, linkRect.bottom - linkRect.top), Place(s.Scale(80), y, 0, s.Scale(19)))
        << i;
    // A right margin of 16, less what the sizeable border took after the links were made;
    // carried from another DPI, the margin may be a rounding pixel off.
    EXPECT_NEAR(client.cx - linkRect.right, s.Scale(16) - sizeableBorder, frameDrawnAtDpi ? 0 : 1) << i;
    EXPECT_EQ(FontHeightOf(link), s.Scale(-16)) << i;
    const RECT text = PlaceIn(dialog, description);
    EXPECT_EQ(text.left, s.Scale(80)) << i;
    EXPECT_EQ(text.right, linkRect.right) << i;
    EXPECT_EQ(text.top, y + s.Scale(19) + s.Scale(3)) << i;
    EXPECT_EQ(FontHeightOf(description), s.FontHeight(8)) << i;
    y = text.bottom;
  }
  EXPECT_EQ(tops.taskButtons + panels.taskButtons, y + s.Scale(16));

  // The button bar: the details switch, then OK and Back right-aligned.
  const HWND details = ::GetDlgItem(dialog, kDetailsButtonControlId);
  EXPECT_EQ(PlaceOf(dialog, details),
            Place(s.Scale(8), tops.buttons + s.Scale(11), s.Scale(25), s.Scale(24)));
  EXPECT_EQ(PlaceIn(dialog, ::GetDlgItem(dialog, kDetailsLabelControlId)).left, s.Scale(34));
  const std::vector<HWND> buttons = form.PushButtons();
  ASSERT_EQ(buttons.size(), 2u);
  const RECT ok = PlaceIn(dialog, buttons[0]);
  const RECT back = PlaceIn(dialog, buttons[1]);
  EXPECT_EQ(ok.top, tops.buttons + s.Scale(10));
  EXPECT_EQ(ok.bottom - ok.top, s.Scale(25));
  EXPECT_EQ(ok.right - ok.left, s.Scale(76));  // short captions: the minimum width
  EXPECT_EQ(back.right - back.left, s.Scale(76));
  EXPECT_EQ(back.left, ok.right + s.Scale(5));
  EXPECT_EQ(back.right, client.cx - s.Scale(5) - s.Scale(15));
  EXPECT_EQ(FontHeightOf(buttons[0]), s.FontHeight(8));

  // Details pane and tree.
  const RECT detail = PlaceIn(dialog, ::GetDlgItem(dialog, kDetailMessageControlId));
  EXPECT_EQ(detail.left, s.Scale(34));
  EXPECT_EQ(detail.top, tops.detailMessage + s.Scale(7));
  EXPECT_EQ(detail.right - detail.left, s.Scale(366));
  EXPECT_GE(panels.detailMessage, s.Scale(37));
  const HWND tree = form.ItemsTreeView();
  EXPECT_EQ(PlaceOf(dialog, tree), Place(s.Scale(6), tops.itemTree + s.Scale(7), client.cx - 2 * s.Scale(6),
                                        client.cy - tops.itemTree - s.Scale(7) - s.Scale(6)));
  EXPECT_EQ(panels.itemTree, s.Scale(70));
  EXPECT_EQ(::SendMessageW(tree, TVM_GETINDENT, 0, 0), s.Scale(19));
  int imageWidth = 0, imageHeight = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(::SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
                        &imageWidth, &imageHeight);
  EXPECT_EQ(imageWidth, s.Scale(16));
  EXPECT_EQ(imageHeight, s.Scale(16));
  EXPECT_EQ(FontHeightOf(tree), s.FontHeight(8));
}

// The dialog settings are emptied for each test and restored after it; the
// details pane opens as a user left it.
class ScaledDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Application::Instance().SetTitle("Install");
    DeleteKeyTree(HKEY_CURRENT_USER, kMessageDialogSetupKey);
    RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kMessageDialogSetupKey).WriteDword("DetailMessageVisible", 1);
  }
  RegistryKeySnapshot settings_{HKEY_CURRENT_USER, kMessageDialogSetupKey};
};

// --- At the DPI the program runs at -------------------------------------------------

DpiScale Expected() { return DpiScale::Of(ExpectedTestDpi()); }

TEST(ScaledWindows, TheProgramRunsAtTheExpectedDpi) {
  // A LogPixels value that a killed run left in the prefix shows here first.
  EXPECT_EQ(SystemDpi(), ExpectedTestDpi()) << "the prefix's LogPixels is not the one this run was started for";
}

TEST(ScaledWindows, InstallProgressWindow) {
  TInstProgressForm form;
  ASSERT_TRUE(form.Exists());
  form.Show();
  ExpectProgressWindowAt(form, Expected(), true);
  RECT frame{};
  ::GetWindowRect(form.Handle(), &frame);
  EXPECT_EQ(frame.left, DesignedOrOnScreen(Expected().Scale(283), frame.right - frame.left, true));
  EXPECT_EQ(frame.top, DesignedOrOnScreen(Expected().Scale(103), frame.bottom - frame.top, false));
  ::SendMessageW(form.ProgressBar(), PBM_SETPOS, 40, 0);
  Application::Instance().ProcessMessages();
  TakeScreenshotIfWanted(form.Handle(), "dpi" + IntToStr(Expected().dpi) + "-inst-progress-window");
}

TEST(ScaledWindows, WaitWindowWithItsPictures) {
  ShowWait(WaitForm, "Kopíruji soubory z instalačního média.", 0, false, 1);
  ASSERT_TRUE(WaitForm);
  ASSERT_NE(WaitForm->Image(3), nullptr);
  ASSERT_NE(WaitForm->WaitLbl(), nullptr);
  ExpectWaitWindowAt(*WaitForm, Expected(), true);
  TakeScreenshotIfWanted(WaitForm->Handle(), "dpi" + IntToStr(Expected().dpi) + "-wait-window-animation");
  CloseWait(WaitForm);
  ShowWait(WaitForm, "Kopíruji soubory z instalačního média.", 10, true, 1);
  ASSERT_NE(WaitForm->PrerusitBut(), nullptr);
  ExpectWaitWindowAt(*WaitForm, Expected(), true);
  for (int i = 0; i < 6; ++i) StepWait(WaitForm);
  TakeScreenshotIfWanted(WaitForm->Handle(), "dpi" + IntToStr(Expected().dpi) + "-wait-window-gauge");
  CloseWait(WaitForm);
}

// The wait window's pictures are 16-colour icons with a mask: read at this scale,
// each has its size, clear pixels around the drawing and opaque ones in it.
TEST(ScaledWindows, TheWaitPicturesAreReadWithTheirMaskAtEveryScale) {
  const DpiScale s = Expected();
  for (const int id : {IDI_WAIT_CLOCK, IDI_WAIT_PENDULUM_RIGHT, IDI_WAIT_PENDULUM_MIDDLE, IDI_WAIT_PENDULUM_LEFT}) {
    SCOPED_TRACE(id);
    const Picture picture = LoadIconFilePicture(id, 32, s);
    ASSERT_FALSE(picture.Empty());
    EXPECT_EQ(Dims(picture.width, picture.height), Dims(s.Scale(32), s.Scale(32)));
    std::size_t clear = 0;
    std::size_t opaque = 0;
    for (const std::uint32_t pixel : picture.pixels) {
      clear += AlphaOf(pixel) == 0;
      opaque += AlphaOf(pixel) == 255;
    }
    EXPECT_GT(clear, picture.pixels.size() / 10);
    EXPECT_GT(opaque, picture.pixels.size() / 50);
    EXPECT_EQ(picture.At(0, 0), 0u);  // a corner is outside every drawing
  }
  EXPECT_TRUE(LoadIconFilePicture(4242, 32, s).Empty());  // no such resource
}

using ScaledWindowsDialog = ScaledDialog;

TEST_F(ScaledWindowsDialog, WithTaskLinksDetailsAndTree) {
  TMessDlgForm form;
  ConfigureFullDialog(form);
  ExpectDialogAt(form, Expected(), true);
  ::ShowWindow(form.Handle(), SW_SHOWNA);
  Application::Instance().ProcessMessages();
  TakeScreenshotIfWanted(form.Handle(), "dpi" + IntToStr(Expected().dpi) + "-dialog-full");
}

// --- A window told of another DPI ----------------------------------------------------

TEST(DisplayScaling, AProgressWindowMovedToAnotherDpiLaysItselfOutAndComesBackExactly) {
  TInstProgressForm form;
  form.Show();
  const DpiScale start = form.Dpi();
  const std::vector<std::string> before = LayoutOf(form.Handle());
  MoveToDpi(form.Handle(), 2 * start.dpi);
  ExpectProgressWindowAt(form, DpiScale::Of(2 * start.dpi), false);
  MoveToDpi(form.Handle(), start.dpi);
  EXPECT_EQ(form.Dpi().dpi, start.dpi);
  EXPECT_EQ(LayoutOf(form.Handle()), before);
}

TEST(DisplayScaling, AWaitWindowMovedToAnotherDpiLaysItselfOutAndComesBackExactly) {
  // With the clock, whose pictures are made again at the new DPI.
  ShowWait(WaitForm, "Kopíruji soubory.", 0, false, 1);
  ASSERT_TRUE(WaitForm);
  ASSERT_NE(WaitForm->Image(3), nullptr);
  const int start = WaitForm->Dpi().dpi;
  const std::vector<std::string> before = LayoutOf(WaitForm->Handle());
  MoveToDpi(WaitForm->Handle(), start * 3 / 2);
  ExpectWaitWindowAt(*WaitForm, DpiScale::Of(start * 3 / 2), false);
  MoveToDpi(WaitForm->Handle(), start);
  EXPECT_EQ(LayoutOf(WaitForm->Handle()), before);
  CloseWait(WaitForm);
}

using DisplayScalingDialog = ScaledDialog;

TEST_F(DisplayScalingDialog, MovedToAnotherDpiItLaysItselfOutAndComesBackExactly) {
  TMessDlgForm form;
  ConfigureFullDialog(form);
  const int start = form.Dpi().dpi;
  const std::vector<std::string> before = LayoutOf(form.Handle());
  const std::int32_t treeHeight = form.ItemTreePanelHeight();
  for (const int dpi : {start * 3 / 2, start * 2}) {
    MoveToDpi(form.Handle(), dpi);
    ExpectDialogAt(form, DpiScale::Of(dpi), false);
  }
  MoveToDpi(form.Handle(), start);
  EXPECT_EQ(LayoutOf(form.Handle()), before);
  EXPECT_EQ(form.ItemTreePanelHeight(), treeHeight);
}

TEST_F(DisplayScalingDialog, TheTreeHeightIsKeptAt96DpiInTheRegistry) {
  RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kMessageDialogSetupKey).WriteDword("ItemTreePanelHeight", 100);
  TMessDlgForm form;
  ConfigureFullDialog(form);
  const DpiScale start = form.Dpi();
  EXPECT_EQ(form.ItemTreePanelHeight(), start.Scale(100));
  MoveToDpi(form.Handle(), 2 * start.dpi);
  EXPECT_EQ(form.ItemTreePanelHeight(), 2 * start.Scale(100));
  // Closing saves the height as it would be at 96 dpi.
  const HWND dialog = form.Handle();
  std::thread closer([dialog] {
    ::Sleep(300);
    PressCloseBox(dialog);
  });
  EXPECT_EQ(form.Execute(), mrCancel);
  closer.join();
  EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey).ReadDword("ItemTreePanelHeight"),
            static_cast<std::uint32_t>(start.Unscale(start.Scale(100))));
}

// --- The programs themselves ---------------------------------------------------------

TEST(DisplayScaling, TolvarDeclaresPerMonitorAwarenessWithAFallback) {
  const std::wstring program = Utf8ToUtf16(TestProgramFolder() + "Tolvar.exe");
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = program.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  const HANDLE context = ::CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest of Tolvar.exe does not load: " << ::GetLastError();
  const auto setting = [&](const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!::QueryActCtxSettingsW(0, context, space, name, value, 128, &written)) return std::string("(none)");
    return Utf16ToUtf8(value);
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            "PerMonitorV2, PerMonitor");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), "true/pm");
  ::ReleaseActCtx(context);
}

// Runs this test program again with `filter` at `dpi`; its exit code and output.
std::pair<DWORD, std::string> RunSelfAt(int dpi, const std::string& filter) {
  const ScratchFolder scratch("display scale " + IntToStr(dpi));
  const std::string outputPath = scratch / "output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const UniqueFileHandle output(::CreateFileW(Utf8ToUtf16(outputPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                              &inherit, CREATE_ALWAYS, 0, nullptr));
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=" + Utf8ToUtf16(filter);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.get();
  startup.hStdError = output.get();
  ::SetEnvironmentVariableW(kTestDpiVariable, Utf8ToUtf16(IntToStr(dpi)).c_str());
  PROCESS_INFORMATION info{};
  const bool started = ::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &info) != FALSE;
  ::SetEnvironmentVariableW(kTestDpiVariable, nullptr);
  if (!started) return {~0u, "cannot start the test program again"};
  ::CloseHandle(info.hThread);
  const UniqueKernelHandle process(info.hProcess);
  DWORD code = ~0u;
  if (::WaitForSingleObject(process.get(), 300000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.get(), &code);
  return {code, ReadFileBytes(outputPath).value_or("")};
}

TEST(DisplayScaling, EveryWindowIsLaidOutAt150And200Percent) {
  if (ExpectedTestDpi() != kDesignDpi) GTEST_SKIP() << "started for one scale only";
  for (const int dpi : {144, 192}) {
    const DisplayScaleOverride scale(dpi);
    const auto [code, output] = RunSelfAt(dpi, "ScaledWindows*");
    EXPECT_EQ(code, 0u) << "at " << dpi << " dpi:\n" << output;
  }
}

}  // namespace
}  // namespace tolvar::test
