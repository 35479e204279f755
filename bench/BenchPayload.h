// The mixed payload the archive benchmarks share: real machine code from this
// machine's programs and libraries, Czech and English text in many small and
// some large files, and incompressible data, in a fixed order and size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolvar::bench {

struct PayloadFile {
  std::string name;
  std::string bytes;
};

// About `mib` MiB; the same files on every run on one machine (the machine code
// comes from its /usr/bin and /usr/lib, so other machines give other bytes).
std::vector<PayloadFile> MakePayload(std::size_t mib);

}  // namespace tolvar::bench
