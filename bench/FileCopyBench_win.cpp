// Copy throughput of CopyFileWithProgress against plain copies of the same file,
// in the same run: a 64 MiB file (size adjustable: first argument in MiB) is
// copied several times by each way, and the best and median times are printed
// with the peak memory of the process.
//
//   build/win64/wine-run.sh build/win64/bin/bench_filecopy.exe [MiB] [rounds]
//
// The ways: the system's CopyFileW; a plain 2048-byte block loop (the same
// blocks, each read from the file and written on its own, no callback, no
// pumping); CopyFileWithProgress without a callback (it reads its source a
// chunk of 32 blocks ahead and pumps between blocks, when a pump is due);
// CopyFileWithProgress as the copy step runs it, with CopyStepProgress stepping
// the wait window's gauge, the window opened before and closed after the copy;
// the same copy in a window that is already open (what each further file of a
// copy step costs); the opening and closing of the wait window alone; and a
// bare window, the floor under that.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "archive/MessWait_win.h"
#include "bench/BenchClock_win.h"
#include "bootstrap/CopyStep_win.h"
#include "bootstrap/FileCopy_win.h"
#include "platform/FileStream.h"
#include "platform/Utf.h"

namespace {

using namespace tolvar;

std::size_t PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

bool WriteSource(const std::string& path, std::size_t bytes) {
  auto file = FileStream::Create(path);
  if (!file) return false;
  std::vector<unsigned char> chunk(1 << 20);
  unsigned state = 12345;
  for (std::size_t written = 0; written < bytes; written += chunk.size()) {
    for (auto& byte : chunk) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<unsigned char>(state >> 24);
    }
    if (file->Write(chunk.data(), std::min(chunk.size(), bytes - written)) == 0) return false;
  }
  return true;
}

bool PlainBlockCopy(const std::string& source, const std::string& target) {
  auto input = FileStream::OpenRead(source, FileShare::ReadWrite);
  auto output = FileStream::Create(target);
  if (!input || !output) return false;
  unsigned char buffer[2048];
  for (;;) {
    const std::size_t got = input->Read(buffer, sizeof buffer);
    if (got == 0) return true;
    if (output->Write(buffer, got) != got) return false;
  }
}

// The wait window as the copy step opens it: 20 steps for one file, a pump on
// every fifth step.
void ShowCopyStepWait() {
  ShowWait(WaitForm, "P\xC5\x99ipravuji ke spu\xC5\xA1t\xC4\x9bn\xC3\xAD pr\xC5\xAFvodce instalac\xC3\xAD.", 20, false, 5);
}

struct Way {
  const char* name;
  std::function<bool(const std::string&, const std::string&)> copy;
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::size_t bytes = mebibytes << 20;
  const std::string folder = "C:\\tolvar-bench\\";
  ::CreateDirectoryW(L"C:\\tolvar-bench", nullptr);
  const std::string source = folder + "source.bin";
  const std::string target = folder + "target.bin";
  if (!WriteSource(source, bytes)) {
    std::printf("cannot write %s\n", source.c_str());
    return 1;
  }

  const std::vector<Way> ways = {
      {"CopyFileW (system copy)",
       [](const std::string& from, const std::string& to) {
         return ::CopyFileW(Utf8ToUtf16(from).c_str(), Utf8ToUtf16(to).c_str(), FALSE) != FALSE;
       }},
      {"plain 2048-byte block loop", &PlainBlockCopy},
      {"CopyFileWithProgress, no callback",
       [](const std::string& from, const std::string& to) {
         return CopyFileWithProgress(PathString(from), PathString(to), nullptr, 5);
       }},
      {"CopyFileWithProgress + wait window",
       [](const std::string& from, const std::string& to) {
         ShowCopyStepWait();
         const bool copied = CopyFileWithProgress(PathString(from), PathString(to), &CopyStepProgress, 5);
         CloseWait(WaitForm);
         return copied;
       }},
      // One wait window serves all files of a copy step: the cost per file.
      {"CopyFileWithProgress in an open wait window",
       [](const std::string& from, const std::string& to) {
         return CopyFileWithProgress(PathString(from), PathString(to), &CopyStepProgress, 5);
       }},
      {"ShowWait + CloseWait (once per copy step)",
       [](const std::string&, const std::string&) {
         ShowCopyStepWait();
         CloseWait(WaitForm);
         return true;
       }},
      // What any top-level window of that size costs here: the floor under the line above.
      {"a bare window: create, show, paint, destroy",
       [](const std::string&, const std::string&) {
         const HWND window = ::CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", L"Pracuji ...", WS_POPUP | WS_CAPTION,
                                               0, 0, 367, 140, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
         if (!window) return false;
         ::ShowWindow(window, SW_SHOW);
         ::SetActiveWindow(window);
         ::UpdateWindow(window);
         return ::DestroyWindow(window) != FALSE;
       }},
  };
  const std::size_t inOpenWindow = 4;
  const std::size_t windowOnly = 5;
  const std::size_t bareWindow = 6;

  std::printf("copy of %zu MiB, %d rounds per way (ways interleaved)\n", mebibytes, rounds);
  std::vector<std::vector<double>> times(ways.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t w = 0; w < ways.size(); ++w) {
      ::SetFileAttributesW(Utf8ToUtf16(target).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(Utf8ToUtf16(target).c_str());
      if (w == inOpenWindow) ShowCopyStepWait();  // opened and closed outside the timing
      const double start = Seconds();
      const bool copied = ways[w].copy(source, target);
      const double stop = Seconds();
      if (w == inOpenWindow) CloseWait(WaitForm);
      if (!copied) {
        std::printf("%s failed\n", ways[w].name);
        return 1;
      }
      times[w].push_back(stop - start);
    }
  }
  for (std::size_t w = 0; w < ways.size(); ++w) {
    auto sorted = times[w];
    std::sort(sorted.begin(), sorted.end());
    const double best = sorted.front();
    const double median = sorted[sorted.size() / 2];
    if (w == windowOnly || w == bareWindow) {
      std::printf("%-44s best %7.1f ms                median %7.1f ms\n", ways[w].name, best * 1000, median * 1000);
      continue;
    }
    std::printf("%-44s best %7.1f ms (%6.0f MiB/s)   median %7.1f ms (%6.0f MiB/s)\n", ways[w].name, best * 1000,
                static_cast<double>(mebibytes) / best, median * 1000, static_cast<double>(mebibytes) / median);
  }
  std::printf("peak working set %.1f MiB\n", static_cast<double>(PeakWorkingSet()) / (1 << 20));
  ::DeleteFileW(Utf8ToUtf16(target).c_str());
  ::DeleteFileW(Utf8ToUtf16(source).c_str());
  ::RemoveDirectoryW(L"C:\\tolvar-bench");
  return 0;
}
