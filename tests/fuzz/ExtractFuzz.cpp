// libFuzzer target: the extractor on arbitrary bytes, against memory.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/ExtractHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = tolvar::fuzz::CheckExtraction(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "extraction fault: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
