// Damaged copies of good archives: whatever a mutation does, the extractor ends
// soundly (a result code or the archive's own damage error), writes nothing
// outside the target and leaves no stream open. The same check as the fuzzer's,
// run deterministically on every build.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fuzz/ExtractHarness.h"

namespace tolvar {
namespace {

class Mutator {
 public:
  explicit Mutator(std::uint32_t seed) : state_(seed | 1u) {}

  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : Next() % bound; }

  // One of: flip a bit, set a byte to a boundary value, cut the end, insert
  // bytes, copy a stretch of the archive over another.
  std::string Mutate(std::string bytes) {
    if (bytes.empty()) return bytes;
    switch (Next() % 5) {
      case 0: bytes[Below(bytes.size())] ^= static_cast<char>(1u << (Next() % 8)); break;
      case 1: {
        static constexpr unsigned char kValues[] = {0x00, 0x01, 0x02, 0x07, 0x7F, 0x80, 0xFF, '\\', '.', ':'};
        bytes[Below(bytes.size())] = static_cast<char>(kValues[Below(sizeof kValues)]);
        break;
      }
      case 2: bytes.resize(Below(bytes.size())); break;
      case 3: bytes.insert(Below(bytes.size()), std::string(1 + Below(8), static_cast<char>(Next()))); break;
      default: {
        const std::size_t from = Below(bytes.size());
        const std::size_t to = Below(bytes.size());
        const std::size_t length = std::min({Below(64) + 1, bytes.size() - from, bytes.size() - to});
        bytes.replace(to, length, bytes.substr(from, length));
        break;
      }
    }
    return bytes;
  }

 private:
  std::uint32_t state_;
};

TEST(ArchiveMutation, DamagedArchivesNeverEscapeCrashOrLeaveStreamsOpen) {
  constexpr int kMutationsPerFixture = 150;
  int runs = 0;
  for (const auto& fixture : test::ArchiveFixtures()) {
    Mutator mutator(static_cast<std::uint32_t>(std::hash<std::string>{}(fixture.name)));
    for (int i = 0; i < kMutationsPerFixture; ++i) {
      std::string bytes = fixture.bytes;
      for (int k = 1 + static_cast<int>(mutator.Below(3)); k > 0; --k) bytes = mutator.Mutate(std::move(bytes));
      const std::string problem =
          fuzz::CheckExtraction(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ASSERT_EQ(problem, "") << fixture.name << " mutation " << i;
      ++runs;
    }
  }
  EXPECT_GT(runs, 5000);
}

TEST(ArchiveMutation, TheOracleCatchesEveryKindOfEscape) {
  const std::string target = fuzz::kFuzzTarget;
  for (const std::string& fine : {std::string("C:\\"), std::string("C:\\Program Files\\"), target, target + "a",
                                  target + "a\\b\\", target + "a\\...b", target + "COM0"}) {
    EXPECT_EQ(fuzz::CheckCreatedPath(fine), "") << fine;
  }
  for (const std::string& escape :
       {std::string("C:\\x"), std::string("C:\\Program Files\\Setupx"), target + "..\\x", target + "a\\.\\b",
        target + "a\\\\b", target + "x:y", target + "a/../../b", target + ". .", target + "nul.txt",
        target + "Lpt3", target + "a\x01"}) {
    EXPECT_NE(fuzz::CheckCreatedPath(escape), "") << escape;
  }
}

}  // namespace
}  // namespace tolvar
