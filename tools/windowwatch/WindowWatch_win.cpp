// Starts a program and keeps a picture of every window it shows, for people who
// cannot see the screen it runs on (a virtual X display):
//
//   windowwatch.exe [--close-messages] FOLDER PROGRAM [ARGUMENT ...]
//
// While the program runs, each of its visible top-level windows is captured
// again and again; when the window is gone, its last complete picture is saved
// as FOLDER\NN-<caption>.bmp (NN in the order the windows appeared). A message
// dialog is written to standard output with its texts; with --close-messages it
// is closed through its close box once pictured, as a user who has read it
// would, so that a run nobody watches does not wait for ever. The exit code is
// the program's.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dialogs/MessageDialogForm_win.h"
#include "platform/Utf.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace {

using tolvar::test::CaptureBmp;
using tolvar::test::ChildProcess;

constexpr DWORD kPollMs = 10;
constexpr ULONGLONG kRecaptureMs = 40;      // a new picture of a window at most this often
constexpr ULONGLONG kMessageSettleMs = 600;  // a message is pictured once it has been drawn

struct Sighting {
  int order = 0;
  std::string caption;
  bool isMessage = false;
  ULONGLONG firstSeen = 0;
  ULONGLONG lastCapture = 0;
  std::string picture;  // the latest capture taken while the window was visible
  bool answered = false;
};

// "Instalace Ledgero" -> "instalace-ledgero": letters and digits of the ASCII
// range, everything else one dash.
std::string FileNamePart(const std::string& caption) {
  std::string name;
  for (const unsigned char c : caption) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      name += static_cast<char>(c);
    } else if (c >= 'A' && c <= 'Z') {
      name += static_cast<char>(c - 'A' + 'a');
    } else if (!name.empty() && name.back() != '-') {
      name += '-';
    }
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name.empty() ? "window" : name;
}

std::string Quote(const std::string& argument) {
  if (argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted(1, '"');
  quoted.append(argument).push_back('"');
  return quoted;
}

void PrintMessage(HWND dialog) {
  std::printf("Message \"%s\":", tolvar::test::WindowText(dialog).c_str());
  for (const char* kind : {"Static", "Button"}) {
    for (const std::string& text : tolvar::test::ChildTexts(dialog, kind)) {
      if (!text.empty()) std::printf(" [%s]", text.c_str());
    }
  }
  std::printf("\n");
  std::fflush(stdout);
}

class Watcher {
 public:
  Watcher(std::string folder, bool closeMessages) : folder_(std::move(folder)), closeMessages_(closeMessages) {}

  void Look(DWORD processId) {
    const ULONGLONG now = ::GetTickCount64();
    std::map<HWND, bool> visible;
    for (const HWND window : tolvar::test::TopLevelWindows(processId)) {
      visible[window] = true;
      auto [entry, isNew] = sightings_.try_emplace(window);
      Sighting& sighting = entry->second;
      if (isNew) {
        sighting.order = ++count_;
        sighting.caption = tolvar::test::WindowText(window);
        sighting.isMessage = tolvar::test::ClassName(window) == tolvar::Utf16ToUtf8(tolvar::kMessageDialogClassName);
        sighting.firstSeen = now;
      }
      if (sighting.isMessage && now - sighting.firstSeen < kMessageSettleMs) continue;
      if (now - sighting.lastCapture >= kRecaptureMs) Capture(window, sighting, now);
      if (sighting.isMessage && !sighting.answered) {
        sighting.answered = true;
        PrintMessage(window);
        if (closeMessages_) tolvar::test::PressCloseBox(window);
      }
    }
    for (auto it = sightings_.begin(); it != sightings_.end();) {
      if (visible.count(it->first)) {
        ++it;
        continue;
      }
      Save(it->second);
      it = sightings_.erase(it);
    }
  }

  void SaveAll() {
    for (auto& [window, sighting] : sightings_) Save(sighting);
    sightings_.clear();
  }

 private:
  static void Capture(HWND window, Sighting& sighting, ULONGLONG now) {
    std::string picture = CaptureBmp(window);
    // A window that went away during the capture left what lay behind it.
    if (!picture.empty() && ::IsWindowVisible(window)) sighting.picture = std::move(picture);
    sighting.lastCapture = now;
  }

  void Save(const Sighting& sighting) const {
    if (sighting.picture.empty()) return;
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", sighting.order);
    const std::string path = folder_ + "\\" + number + FileNamePart(sighting.caption) + ".bmp";
    if (tolvar::test::WriteFileBytes(path, sighting.picture)) {
      std::printf("Picture of \"%s\": %s\n", sighting.caption.c_str(), path.c_str());
      std::fflush(stdout);
    }
  }

  std::string folder_;
  bool closeMessages_;
  int count_ = 0;
  std::map<HWND, Sighting> sightings_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tolvar::Utf16ToUtf8(argv[i]));
  bool closeMessages = false;
  if (!args.empty() && args.front() == "--close-messages") {
    closeMessages = true;
    args.erase(args.begin());
  }
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: windowwatch [--close-messages] FOLDER PROGRAM [ARGUMENT ...]\n");
    return 64;
  }
  std::string commandLine = Quote(args[1]);
  for (std::size_t i = 2; i < args.size(); ++i) commandLine.append(1, ' ').append(Quote(args[i]));
  auto child = ChildProcess::Start(args[1], commandLine);
  if (!child) {
    std::fprintf(stderr, "windowwatch: cannot start %s\n", args[1].c_str());
    return 70;
  }

  Watcher watcher(args[0], closeMessages);
  while (!child->Wait(kPollMs)) watcher.Look(child->Id());
  watcher.SaveAll();
  return static_cast<int>(*child->Wait(0));
}
