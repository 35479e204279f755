// pe_checksum.exe FILE: exit 0 when the checksum in FILE's header is the one the
// system's own routine computes over the file (and not 0), else 1.
#include <windows.h>
#include <imagehlp.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pe_checksum FILE\n");
    return 64;
  }
  DWORD stored = 0;
  DWORD computed = 0;
  if (::MapFileAndCheckSumW(argv[1], &stored, &computed) != CHECKSUM_SUCCESS) {
    std::fprintf(stderr, "pe_checksum: cannot read %ls\n", argv[1]);
    return 1;
  }
  if (stored == 0 || stored != computed) {
    std::printf("%ls: checksum 0x%08lX in the header, 0x%08lX computed\n", argv[1], stored, computed);
    return 1;
  }
  return 0;
}
