// Unpack throughput and memory: ExtractArchive against plain zlib inflate of the
// same members, in the same run, on a 64 MiB mixed payload (programs, text,
// incompressible data, many small files); and to disk, plain and as the
// bootstrapper does it (each file held and read back, see DeliveredFiles).
//
//   build/native/bin/extract_bench [payload MiB, default 64]
//
// Timings are the best of five runs. Memory is the peak of heap bytes in use
// during one run above what was in use before it (zlib's state and window, the
// stream's input block, the chunk buffer), counted by this program's own malloc.
#include <unistd.h>
#include <zlib.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveWriter.h"
#include "archive/ZLibCtrl.h"
#include "bench/BenchPayload.h"
#include "bootstrap/DeliveredFiles.h"
#include "platform/MemoryStream.h"

// The C library's own allocator, under the names glibc gives it.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

using namespace tolvar;
using Clock = std::chrono::steady_clock;
using bench::MakePayload;
using bench::PayloadFile;

struct Member {
  std::size_t offset;
  std::size_t length;
};

// A read-only stream over bytes that stay where they are.
class SpanStream final : public Stream {
 public:
  explicit SpanStream(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = position_ >= bytes_.size() ? 0 : std::min(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const std::int64_t base = origin == SeekOrigin::Begin ? 0
                              : origin == SeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                               : static_cast<std::int64_t>(bytes_.size());
    if (base + offset < 0) return -1;
    position_ = static_cast<std::size_t>(base + offset);
    return base + offset;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t position_ = 0;
};

// Accepts and forgets every byte, as a disk of infinite speed would.
class SinkStream final : public Stream {
 public:
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void*, std::size_t count) override { return count; }
  std::int64_t Seek(std::int64_t, SeekOrigin) override { return 0; }
};

class SinkFileSystem final : public ArchiveFileSystem {
 public:
  explicit SinkFileSystem(const std::vector<std::uint8_t>& archive) : archive_(archive) {}
  bool FileExists(const std::string&) override { return true; }
  std::unique_ptr<Stream> OpenForReading(const std::string&) override { return std::make_unique<SpanStream>(archive_); }
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string&) override { return std::make_unique<ArchiveFolder>(); }
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder&, const std::string&) override {
    return std::make_unique<ArchiveFolder>();
  }
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder&, const std::string&) override {
    return std::make_unique<SinkStream>();
  }
  bool PathFits(const std::string&) override { return true; }

 private:
  const std::vector<std::uint8_t>& archive_;
};

// Plain zlib: each member inflated from memory in 32 KB output pieces.
std::size_t InflateMembers(const std::vector<std::uint8_t>& archive, const std::vector<Member>& members) {
  std::vector<unsigned char> out(32768);
  std::size_t total = 0;
  for (const Member& member : members) {
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(archive.data() + member.offset);
    z.avail_in = static_cast<uInt>(member.length);
    int result = Z_OK;
    while (result != Z_STREAM_END) {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      result = inflate(&z, Z_NO_FLUSH);
      if (result != Z_OK && result != Z_STREAM_END) std::abort();
      total += out.size() - z.avail_out;
    }
    inflateEnd(&z);
  }
  return total;
}

// Heap accounting: the program's own malloc family forwards to the C library's
// and counts the bytes in use, for zlib's allocations as much as for ours.
std::atomic<long long> heapInUse{0};
std::atomic<long long> heapPeak{0};

void Count(long long delta) {
  const long long now = heapInUse += delta;
  long long peak = heapPeak.load();
  while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
  }
}

// The growth of the heap's peak while `work` runs, in KiB.
double PeakHeapKib(const std::function<void()>& work) {
  const long long before = heapInUse.load();
  heapPeak = before;
  work();
  return static_cast<double>(heapPeak.load() - before) / 1024.0;
}

double BestSeconds(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

extern "C" void* malloc(std::size_t size) {
  void* pointer = __libc_malloc(size);
  if (pointer) Count(static_cast<long long>(malloc_usable_size(pointer)));
  return pointer;
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  void* pointer = __libc_calloc(count, size);
  if (pointer) Count(static_cast<long long>(malloc_usable_size(pointer)));
  return pointer;
}
extern "C" void* realloc(void* old, std::size_t size) {
  const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
  void* pointer = __libc_realloc(old, size);
  if (pointer || size == 0) Count((pointer ? static_cast<long long>(malloc_usable_size(pointer)) : 0) - before);
  return pointer;
}
extern "C" void free(void* pointer) {
  if (pointer) Count(-static_cast<long long>(malloc_usable_size(pointer)));
  __libc_free(pointer);
}

int main(int argc, char** argv) {
  const std::size_t mib = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 64;
  const std::vector<PayloadFile> payload = MakePayload(mib);

  // The archive, and then the place of every member in it.
  MemoryStream archiveStream;
  std::size_t rawBytes = 0;
  {
    ArchiveWriter writer(archiveStream, CodePage1250());
    writer.EnterFolder("payload");
    for (const auto& file : payload) {
      MemoryStream contents(std::vector<std::uint8_t>(file.bytes.begin(), file.bytes.end()));
      writer.AddFile(file.name, contents);
      rawBytes += file.bytes.size();
    }
    writer.LeaveFolder();
    writer.Finish();
  }
  std::vector<Member> members;
  {
    MemoryStream reader(archiveStream.Bytes());
    std::size_t at = 38;
    for (const ArchiveListEntry& entry : InspectArchive(reader, CodePage1250()).entries) {
      at += 2 + entry.name.size() + 39;  // the payload's names are ASCII
      if (entry.kind != 0) continue;
      members.push_back({at, static_cast<std::size_t>(entry.packedSize)});
      at += static_cast<std::size_t>(entry.packedSize);
    }
  }
  const std::vector<std::uint8_t>& archive = archiveStream.Bytes();
  const auto raw = static_cast<double>(rawBytes);
  const auto packed = static_cast<double>(archive.size());
  std::printf("payload: %zu files, %.1f MiB; archive %.1f MiB (%.0f%%)\n", payload.size(), raw / 1048576.0,
              packed / 1048576.0, 100.0 * packed / raw);

  std::size_t inflated = 0;
  const auto plain = [&] { inflated = InflateMembers(archive, members); };
  SinkFileSystem sink(archive);
  std::int64_t chunks = 0;
  ExtractCallbacks callbacks;
  callbacks.OnExtractChunk = [&](Stream&, bool&) { ++chunks; };
  const auto extractor = [&] {
    if (ExtractArchive({sink, CodePage1250()}, "WIZARD.zl", "target", callbacks) != ArchiveOk) std::abort();
  };
  // The same to a real folder, for scale: writing costs what the disk costs.
  const std::string disk = std::filesystem::temp_directory_path() / ("tolvar-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(disk);
  std::ofstream(disk + "/WIZARD.zl", std::ios::binary)
      .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  const auto toDisk = [&] {
    if (ExtractArchive(disk + "/WIZARD.zl", disk + "/out", nullptr, nullptr, nullptr, nullptr) != ArchiveOk) {
      std::abort();
    }
  };

  // As the bootstrapper unpacks: every file held once written and read back
  // against the digest taken while it was written.
  const auto toDiskHeld = [&] {
    DeliveredFiles delivered(DiskFileSystem());
    if (ExtractArchive({delivered, CodePage1250()}, disk + "/WIZARD.zl", disk + "/out", {}) != ArchiveOk) std::abort();
  };

  const double plainSeconds = BestSeconds(plain);
  const double extractSeconds = BestSeconds(extractor);
  const double diskSeconds = BestSeconds(toDisk);
  const double heldSeconds = BestSeconds(toDiskHeld);
  if (inflated != rawBytes || chunks / 5 == 0) std::abort();
  const auto rate = [&](double seconds) { return static_cast<double>(rawBytes) / 1048576.0 / seconds; };
  std::printf("%-44s %8.1f MiB/s  %7.1f ms  heap peak %6.1f KiB\n", "plain zlib inflate of the members",
              rate(plainSeconds), plainSeconds * 1000, PeakHeapKib(plain));
  std::printf("%-44s %8.1f MiB/s  %7.1f ms  heap peak %6.1f KiB\n", "ExtractArchive (output discarded)",
              rate(extractSeconds), extractSeconds * 1000, PeakHeapKib(extractor));
  std::printf("%-44s %8.1f MiB/s  %7.1f ms  heap peak %6.1f KiB\n",
              "ExtractArchive to files (archive on disk)", rate(diskSeconds), diskSeconds * 1000,
              PeakHeapKib(toDisk));
  std::printf("%-44s %8.1f MiB/s  %7.1f ms  heap peak %6.1f KiB\n", "the same, each file held and read back",
              rate(heldSeconds), heldSeconds * 1000, PeakHeapKib(toDiskHeld));
  std::printf("ratio ExtractArchive / plain inflate: %.3f\n", rate(extractSeconds) / rate(plainSeconds));
  std::filesystem::remove_all(disk);
  return 0;
}
