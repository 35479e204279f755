// How soon the user sees something and how soon the wizard runs: Tolvar.exe is
// started from a scratch medium (the test wizard packed into WIZARD.zl) several
// times, and for each run the time from process creation to its first visible
// window (the install progress window) and to the wizard's own start is taken.
// Prints best and median, and the size of Tolvar.exe.
//
//   build/win64/wine-run.sh build/win64/bin/bench_startup.exe [runs]
//
// Under Wine the figures include Wine's own process start-up (a few hundred
// milliseconds); compare them between builds, not with Windows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"

namespace {

using namespace tolvar;
using namespace tolvar::test;

std::uint64_t Now() {
  FILETIME time{};
  ::GetSystemTimeAsFileTime(&time);
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

double Milliseconds(std::uint64_t from, std::uint64_t to) { return static_cast<double>(to - from) / 10000.0; }

void Print(const char* what, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("%-34s best %7.1f ms   median %7.1f ms\n", what, values.front(), values[values.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<double> firstWindow;
  std::vector<double> wizardStarted;
  for (int run = 0; run < runs; ++run) {
    E2EMedium medium("bench startup");
    if (!medium.PlaceWizard()) {
      std::fprintf(stderr, "cannot prepare the medium\n");
      return 1;
    }
    const std::uint64_t start = Now();
    auto tolvar = medium.StartTolvar();
    if (!tolvar) {
      std::fprintf(stderr, "cannot start Tolvar.exe\n");
      return 1;
    }
    // Poll closely: the progress window is up only while the archive unpacks.
    std::uint64_t shown = 0;
    while (!shown && tolvar->Running()) {
      if (!TopLevelWindows(tolvar->Id()).empty()) shown = Now();
      ::Sleep(1);
    }
    tolvar->Wait(60000);
    const auto runsSeen = ReadWizardRuns(medium.WizardPath());
    if (shown) firstWindow.push_back(Milliseconds(start, shown));
    if (!runsSeen.empty()) wizardStarted.push_back(Milliseconds(start, runsSeen.front().started));
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::string exe = TestProgramFolder() + "Tolvar.exe";
  ::GetFileAttributesExW(Utf8ToUtf16(exe).c_str(), GetFileExInfoStandard, &data);
  std::printf("Tolvar.exe: %lu bytes; %d runs\n", static_cast<unsigned long>(data.nFileSizeLow), runs);
  if (!firstWindow.empty()) Print("start -> first window", firstWindow);
  if (!wizardStarted.empty()) Print("start -> wizard running", wizardStarted);
  return firstWindow.empty() || wizardStarted.empty() ? 1 : 0;
}
