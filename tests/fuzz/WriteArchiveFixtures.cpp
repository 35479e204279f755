// Writes every named archive fixture as <name>.zl into a folder: the fuzzer's
// seed corpus.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/fixtures/ArchiveFixtures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_archive_fixtures FOLDER\n");
    return 64;
  }
  for (const auto& fixture : tolvar::test::ArchiveFixtures()) {
    std::ofstream out(std::string(argv[1]) + "/" + fixture.name + ".zl", std::ios::binary);
    out.write(fixture.bytes.data(), static_cast<std::streamsize>(fixture.bytes.size()));
    if (!out) return 1;
  }
  return 0;
}
