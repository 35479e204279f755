#include "archive/ArchiveWriter.h"

#include <array>
#include <limits>
#include <vector>

#include "archive/ArchiveFormat.h"
#include "archive/EntryName.h"

namespace tolvar {
namespace {

constexpr std::size_t kBlock = 65536;

void Put(Stream& out, const void* bytes, std::size_t count) { out.WriteBuffer(bytes, count); }

void SeekTo(Stream& out, std::int64_t position) {
  if (out.Seek(position, SeekOrigin::Begin) != position) throw EStreamWriteError();
}

// Ends deflate's work on every way out.
struct Deflater {
  z_stream stream{};
  explicit Deflater(int level) {
    // The zlib format with a 32 KB window, as the extractor reads it.
    if (deflateInit(&stream, level) != Z_OK) throw EArchivePackError("cannot start zlib compression");
  }
  ~Deflater() { deflateEnd(&stream); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
};

}  // namespace

ArchiveWriter::ArchiveWriter(Stream& out, const CodePage& codePage, int level)
    : out_(out), codePage_(codePage), level_(level), start_(out.Position()) {
  if (level < -1 || level > 9) throw EArchivePackError("the compression level must be 0 to 9");
  std::array<std::uint8_t, kArchiveHeaderSize> header{};
  std::copy(kArchiveSignature.begin(), kArchiveSignature.end(), header.begin());
  Put(out_, header.data(), header.size());
}

std::string EncodeEntryName(const std::string& name, const CodePage& codePage) {
  const std::string shown = "the name \"" + PrintableName(name, true) + "\"";
  if (const std::string why = UnsafeNameReason(name); !why.empty()) {
    throw EArchivePackError(shown + " is not a safe file or folder name: " + why);
  }
  auto raw = codePage.FromUtf8(name);
  if (!raw) throw EArchivePackError(shown + " cannot be written in code page " + std::to_string(codePage.Number()));
  if (raw->size() > std::numeric_limits<std::uint16_t>::max()) throw EArchivePackError(shown + " is too long");
  return *raw;
}

std::int64_t ArchiveWriter::WriteEntry(const std::string& rawName, std::uint8_t kind) {
  const std::array<std::uint8_t, 2> length = {static_cast<std::uint8_t>(rawName.size() & 0xFF),
                                              static_cast<std::uint8_t>(rawName.size() >> 8)};
  Put(out_, length.data(), length.size());
  Put(out_, rawName.data(), rawName.size());
  const std::int64_t recordAt = out_.Position();
  std::array<std::uint8_t, kEntryRecordSize> record{};
  record[0] = kind;
  Put(out_, record.data(), record.size());
  ++entries_;
  return recordAt;
}

std::int64_t ArchiveWriter::Deflate(Stream& contents) {
  Deflater deflater(level_);
  z_stream& z = deflater.stream;
  std::vector<unsigned char> in(kBlock);
  std::vector<unsigned char> out(kBlock);
  std::int64_t total = 0;
  int flush = Z_NO_FLUSH;
  do {
    const std::size_t got = contents.Read(in.data(), in.size());
    total += static_cast<std::int64_t>(got);
    flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(got);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      if (deflate(&z, flush) == Z_STREAM_ERROR) throw EArchivePackError("zlib compression failed");
      Put(out_, out.data(), out.size() - z.avail_out);
    } while (z.avail_out == 0);
  } while (flush != Z_FINISH);
  return total;
}

void ArchiveWriter::AddFile(const std::string& name, Stream& contents) {
  const std::int64_t recordAt = WriteEntry(EncodeEntryName(name, codePage_), kEntryFile);
  // The size is what was actually read, even if the file changed meanwhile.
  const std::int64_t size = Deflate(contents);
  const std::int64_t end = out_.Position();
  std::array<std::uint8_t, 8> sizeBytes{};
  WriteInt64Le(sizeBytes.data(), size);
  SeekTo(out_, recordAt + static_cast<std::int64_t>(kEntrySizeOffset));
  Put(out_, sizeBytes.data(), sizeBytes.size());
  SeekTo(out_, end);

  progressTotal_ += ChunkCount(size);
  if (progressTotal_ > std::numeric_limits<std::int32_t>::max()) {
    throw EArchivePackError("too much data for one archive: the progress total exceeds 32 bits");
  }
}

void ArchiveWriter::EnterFolder(const std::string& name) {
  WriteEntry(EncodeEntryName(name, codePage_), kEntryEnterFolder);
  ++depth_;
}

void ArchiveWriter::LeaveFolder() {
  if (depth_ == 0) throw EArchivePackError("leaving a folder that was not entered");
  WriteEntry({}, kEntryLeaveFolder);
  --depth_;
}

void ArchiveWriter::Finish() {
  if (depth_ != 0) throw EArchivePackError("a folder was entered and not left");
  if (entries_ == 0) throw EArchivePackError("nothing to pack: the archive would hold no entry");
  const std::int64_t end = out_.Position();
  std::array<std::uint8_t, 4> total{};
  WriteInt32Le(total.data(), static_cast<std::int32_t>(progressTotal_));
  SeekTo(out_, start_ + static_cast<std::int64_t>(kProgressTotalOffset));
  Put(out_, total.data(), total.size());
  SeekTo(out_, end);
}

}  // namespace tolvar
