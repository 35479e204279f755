// Writes the benchmarks' mixed payload (see BenchPayload.h) into a folder, so
// that packers can be timed on the same files: bench/pack.py runs it.
//
//   build/native/bin/write_payload FOLDER [MiB, default 64]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/BenchPayload.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: write_payload FOLDER [MiB]\n", stderr);
    return 64;
  }
  const std::filesystem::path folder = argv[1];
  const std::size_t mib = argc > 2 ? static_cast<std::size_t>(std::atol(argv[2])) : 64;
  std::filesystem::create_directories(folder);
  std::size_t bytes = 0;
  const auto payload = tolvar::bench::MakePayload(mib);
  for (const auto& file : payload) {
    std::ofstream out(folder / file.name, std::ios::binary);
    out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "write_payload: cannot write %s\n", (folder / file.name).c_str());
      return 1;
    }
    bytes += file.bytes.size();
  }
  std::printf("%zu files, %zu bytes in %s\n", payload.size(), bytes, folder.c_str());
  return 0;
}
