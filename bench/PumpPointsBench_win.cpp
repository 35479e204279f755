// What the message pumps inside long work cost, apart from the file copy (see
// bench_filecopy): unpacking an archive under the install progress window
// against the same unpacking without callbacks, one chunk callback of that
// window on its own, and one wait-window step with the copy step's settings
// (gauge, a pump on every fifth step).
//
//   build/win64/wine-run.sh build/win64/bin/bench_pumppoints.exe [MiB] [rounds]
//
// The archive (default 64 MiB unpacked, one file per 4 MiB, half text-like and
// half noise) is made in C:\tolvar-bench and removed afterwards.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/CodePage.h"
#include "archive/MessWait_win.h"
#include "archive/ZLibCtrl.h"
#include "bench/BenchClock_win.h"
#include "bootstrap/InstProgress_win.h"
#include "platform/FileStream.h"
#include "platform/MemoryStream.h"
#include "platform/Utf.h"

namespace {

using namespace tolvar;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Text-like bytes for even files (they deflate well), noise for odd ones.
std::vector<std::uint8_t> Payload(std::size_t bytes, unsigned seed) {
  static const char* kWords[] = {"instalace ", "setup ", "soubor ", "archive ", "Ledgero ", "data ", "folder "};
  std::vector<std::uint8_t> out;
  out.reserve(bytes);
  unsigned state = seed * 2654435761u + 1;
  while (out.size() < bytes) {
    state = state * 1103515245u + 12345u;
    if (seed % 2 == 0) {
      for (const char* c = kWords[(state >> 16) % std::size(kWords)]; *c && out.size() < bytes; ++c) {
        out.push_back(static_cast<std::uint8_t>(*c));
      }
    } else {
      out.push_back(static_cast<std::uint8_t>(state >> 24));
    }
  }
  return out;
}

bool WriteArchive(const std::string& path, std::size_t mebibytes) {
  auto file = FileStream::Create(path);
  if (!file) return false;
  ArchiveWriter writer(*file, CodePage1250(), 6);
  for (std::size_t i = 0; i * 4 < mebibytes; ++i) {
    MemoryStream contents(Payload(std::min<std::size_t>(4, mebibytes - i * 4) << 20, static_cast<unsigned>(i)));
    writer.AddFile("file" + std::to_string(i) + ".bin", contents);
  }
  writer.Finish();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t mebibytes = argc > 1 ? std::max(1ul, std::strtoul(argv[1], nullptr, 10)) : 64;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  ::CreateDirectoryW(L"C:\\tolvar-bench", nullptr);
  const std::string archive = "C:\\tolvar-bench\\WIZARD.zl";
  const std::string target = "C:\\tolvar-bench\\Setup\\";
  if (!WriteArchive(archive, mebibytes)) {
    std::printf("cannot write %s\n", archive.c_str());
    return 1;
  }

  // Unpacking, the two ways interleaved.
  std::vector<double> plain, windowed;
  for (int round = 0; round < rounds; ++round) {
    double start = Seconds();
    if (ExtractArchive(archive, target, {}, {}, {}, {}) != ArchiveOk) return 1;
    plain.push_back(Seconds() - start);

    TInstProgressForm form;
    form.Show();
    const ExtractCallbacks events = form.Callbacks();
    start = Seconds();
    if (ExtractArchive(archive, target, events.OnExtractStart, events.OnExtractChunk, events.OnExtractFinish,
                       events.OnExtractFile) != ArchiveOk) {
      return 1;
    }
    windowed.push_back(Seconds() - start);
  }
  std::printf("unpack of %zu MiB, %d rounds (ways interleaved)\n", mebibytes, rounds);
  std::printf("%-44s median %7.1f ms\n", "ExtractArchive, no callbacks", Median(plain) * 1000);
  std::printf("%-44s median %7.1f ms\n", "ExtractArchive + install progress window", Median(windowed) * 1000);
  std::printf("%-44s %.2f\n", "unpack ratio (no callbacks / window)", Median(plain) / Median(windowed));

  // The chunk callback alone: what the window adds to every 32 KB chunk.
  constexpr int kChunks = 2048;
  std::vector<double> perChunk;
  for (int round = 0; round < rounds; ++round) {
    TInstProgressForm form;
    form.Show();
    MemoryStream none;
    bool flag = false;
    form.ArchiveStart(none, kChunks);
    const double start = Seconds();
    for (int chunk = 0; chunk < kChunks; ++chunk) form.ArchiveProgress(none, flag);
    perChunk.push_back((Seconds() - start) / kChunks);
  }
  std::printf("%-44s median %7.2f us\n", "one chunk callback of the progress window", Median(perChunk) * 1e6);

  // Wait-window steps as the copy step makes them: gauge, pump every fifth step.
  constexpr int kSteps = 20000;
  std::vector<double> perStep;
  for (int round = 0; round < rounds; ++round) {
    ShowWait(WaitForm, "P\xC5\x99ipravuji ke spu\xC5\xA1t\xC4\x9bn\xC3\xAD pr\xC5\xAFvodce instalac\xC3\xAD.", kSteps,
             false, 5);
    const double start = Seconds();
    for (int step = 0; step < kSteps; ++step) StepWait(WaitForm);
    perStep.push_back((Seconds() - start) / kSteps);
    CloseWait(WaitForm);
  }
  std::printf("%-44s median %7.2f us (a copied file makes at most 21)\n", "one wait-window step (gauge, interval 5)",
              Median(perStep) * 1e6);

  for (std::size_t i = 0; i * 4 < mebibytes; ++i) {
    ::DeleteFileW(Utf8ToUtf16(target + "file" + std::to_string(i) + ".bin").c_str());
  }
  ::RemoveDirectoryW(Utf8ToUtf16(target).c_str());
  ::DeleteFileW(Utf8ToUtf16(archive).c_str());
  ::RemoveDirectoryW(L"C:\\tolvar-bench");
  return 0;
}
