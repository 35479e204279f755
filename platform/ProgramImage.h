// The headers of a Windows program file (PE/COFF) that the tools look at: what
// kind of program it is, and where the parts lie that a signature's digest
// leaves out (the checksum, the certificate table's entry and the table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tolvar {

// Reads `size` bytes at `offset`; false when they are not all there.
using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;

struct ProgramImage {
  static constexpr std::uint16_t kMachineX86 = 0x014C;
  static constexpr std::uint16_t kMachineX64 = 0x8664;
  static constexpr std::uint16_t kSubsystemGui = 2;
  static constexpr std::uint16_t kSubsystemConsole = 3;

  std::uint16_t machine = 0;
  std::uint16_t characteristics = 0;
  bool pe32Plus = false;  // the 64-bit optional header
  std::uint16_t subsystem = 0;
  std::uint64_t checksumOffset = 0;          // file offset of the 4-byte checksum
  std::uint64_t certificateEntryOffset = 0;  // file offset of the 8-byte certificate table entry
  std::uint32_t certificateOffset = 0;       // the table: a file offset and size (0: none)
  std::uint32_t certificateSize = 0;

  // An image that Windows starts as a process (not a DLL).
  bool IsProgram() const;
};

// The headers of a program file; nothing when it is not one (no MZ and PE
// signatures, or headers cut short or without a certificate table entry).
std::optional<ProgramImage> ReadProgramImage(const ReadAt& read);

// "x86-64", "x86", "ARM64", or "machine 0x1234".
std::string MachineName(std::uint16_t machine);
// "a window program (GUI)", "a console program", or "subsystem N".
std::string SubsystemName(std::uint16_t subsystem);

}  // namespace tolvar
