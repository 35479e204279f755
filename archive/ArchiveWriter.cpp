#include "archive/ArchiveWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>
#include <new>

#include "archive/ArchiveFormat.h"
#include "archive/EntryName.h"
#include "archive/SplitMember.h"

namespace tolvar {
namespace {

void SeekTo(Stream& out, std::int64_t position) {
  if (out.Seek(position, SeekOrigin::Begin) != position) throw EStreamWriteError();
}

void WriteAt(Stream& out, std::int64_t position, const std::uint8_t* bytes, std::size_t count) {
  const std::int64_t end = out.Position();
  SeekTo(out, position);
  out.WriteBuffer(bytes, count);
  SeekTo(out, end);
}

// Appends up to `most` bytes of `contents` to `data`: fewer only at its end.
void ReadUpTo(Stream& contents, std::size_t most, std::vector<std::uint8_t>& data) {
  const std::size_t start = data.size();
  // Room for what the stream says it holds and one byte more, so that a file
  // read whole needs no second buffer to learn that it has ended.
  const std::int64_t position = contents.Position();
  const std::int64_t size = contents.Size();
  const std::size_t expected = size > position ? static_cast<std::size_t>(size - position) : 0;
  std::size_t room = std::min(most, std::max<std::size_t>(expected + 1, 65536));
  data.resize(start + room);
  std::size_t got = 0;
  while (got < most) {
    if (got == room) {
      room = std::min(most, 2 * room);
      data.resize(start + room);
    }
    const std::size_t n = contents.Read(data.data() + start + got, room - got);
    if (n == 0) break;
    got += n;
  }
  data.resize(start + got);
}

// What a worker runs out of memory for fails the pack as a refusal does.
template <typename Compress>
void WithinMemory(Compress compress) {
  try {
    compress();
  } catch (const std::bad_alloc&) {
    throw EArchivePackError("not enough memory to compress");
  }
}

}  // namespace

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

ArchiveWriter::ArchiveWriter(Stream& out, const CodePage& codePage, const CompressionSettings& settings)
    : out_(out), codePage_(codePage), settings_(settings), start_(out.Position()) {
  if (settings_.level == -1) settings_.level = kDefaultCompressionLevel;
  if (settings_.level < kLowestCompressionLevel || settings_.level > kHighestCompressionLevel) {
    throw EArchivePackError("the compression level must be 0 to 9");
  }
  if (settings_.pieceSize < kPieceDictionarySize) throw EArchivePackError("pieces must be at least 32 KiB");
  if (settings_.threads <= 0) settings_.threads = ProcessorCount();
  if (settings_.inFlightLimit == 0) {
    settings_.inFlightLimit = (32u << 20) + static_cast<std::size_t>(settings_.threads) * (8u << 20);
  }
  std::array<std::uint8_t, kArchiveHeaderSize> header{};
  std::copy(kArchiveSignature.begin(), kArchiveSignature.end(), header.begin());
  out_.WriteBuffer(header.data(), header.size());
  encoders_.resize(static_cast<std::size_t>(settings_.threads));
  output_ = std::make_unique<OrderedOutput>(out_, settings_.threads, settings_.inFlightLimit);
}

std::vector<std::uint8_t> ArchiveWriter::Entry(const std::string& rawName, std::uint8_t kind, std::int64_t size) {
  std::vector<std::uint8_t> entry(2 + rawName.size() + kEntryRecordSize, 0);
  entry[0] = static_cast<std::uint8_t>(rawName.size() & 0xFF);
  entry[1] = static_cast<std::uint8_t>(rawName.size() >> 8);
  std::copy(rawName.begin(), rawName.end(), entry.begin() + 2);
  std::uint8_t* record = entry.data() + 2 + rawName.size();
  record[0] = kind;
  WriteInt64Le(record + kEntrySizeOffset, size);
  return entry;
}

MemberEncoder& ArchiveWriter::Encoder(int worker) {
  // Only worker `worker` touches its slot.
  auto& encoder = encoders_[static_cast<std::size_t>(worker)];
  if (!encoder) encoder = MakeMemberEncoder(settings_.level);
  return *encoder;
}

void ArchiveWriter::AddWhole(std::vector<std::uint8_t> data) {
  const std::size_t size = data.size();
  output_->AddWork(
      [this, input = std::move(data)](std::vector<std::uint8_t>& out, int worker) {
        WithinMemory([&] { Encoder(worker).Encode(input, out); });
      },
      size);
}

std::int64_t ArchiveWriter::AddInPieces(std::vector<std::uint8_t> data, Stream& contents) {
  const int level = settings_.level;
  const std::size_t pieceSize = settings_.pieceSize;
  output_->AddBytes(SplitMemberHeader(level));
  std::uint32_t adler = static_cast<std::uint32_t>(adler32_z(0, nullptr, 0));
  std::int64_t size = 0;
  std::vector<std::uint8_t> window;  // the data right before the next piece
  const auto addPiece = [&](std::span<const std::uint8_t> piece) {
    std::vector<std::uint8_t> input(window);
    input.insert(input.end(), piece.begin(), piece.end());
    const std::size_t dictionary = window.size();
    output_->AddWork(
        [input = std::move(input), dictionary, level](std::vector<std::uint8_t>& out, int) {
          const std::span<const std::uint8_t> all(input);
          WithinMemory([&] { out = DeflatePiece(all.first(dictionary), all.subspan(dictionary), level); });
        },
        dictionary + piece.size());
    adler = static_cast<std::uint32_t>(adler32_z(adler, piece.data(), piece.size()));
    size += static_cast<std::int64_t>(piece.size());
    window.insert(window.end(), piece.begin(), piece.end());
    if (window.size() > kPieceDictionarySize) {
      window.erase(window.begin(), window.end() - static_cast<std::ptrdiff_t>(kPieceDictionarySize));
    }
  };
  // Pieces start at multiples of pieceSize, whatever was read ahead.
  for (;;) {
    std::size_t used = 0;
    for (; data.size() - used >= pieceSize; used += pieceSize) {
      addPiece(std::span<const std::uint8_t>(data).subspan(used, pieceSize));
    }
    std::vector<std::uint8_t> rest(data.begin() + static_cast<std::ptrdiff_t>(used), data.end());
    data.swap(rest);
    rest = {};
    const std::size_t before = data.size();
    ReadUpTo(contents, pieceSize - before, data);
    if (data.size() == before) break;
  }
  if (!data.empty()) addPiece(data);
  output_->AddBytes(SplitMemberEnd(adler));
  return size;
}

void ArchiveWriter::AddFile(const std::string& name, Stream& contents) {
  const std::string rawName = EncodeEntryName(name, codePage_);
  // One byte beyond the limit tells a file to compress whole from a larger one.
  std::vector<std::uint8_t> data;
  ReadUpTo(contents, settings_.wholeFileLimit + 1, data);
  // The size is what was actually read, even if the file changed meanwhile.
  std::int64_t size = 0;
  if (data.size() <= settings_.wholeFileLimit) {
    size = static_cast<std::int64_t>(data.size());
    output_->AddBytes(Entry(rawName, kEntryFile, size));
    AddWhole(std::move(data));
  } else {
    // Its size is known once it is read to its end; the record gets it then.
    auto recordAt = std::make_shared<std::int64_t>(0);
    output_->AddStep([recordAt, offset = 2 + rawName.size()](Stream& out) {
      *recordAt = out.Position() + static_cast<std::int64_t>(offset);
    });
    output_->AddBytes(Entry(rawName, kEntryFile, 0));
    size = AddInPieces(std::move(data), contents);
    output_->AddStep([recordAt, size](Stream& out) {
      std::array<std::uint8_t, 8> bytes{};
      WriteInt64Le(bytes.data(), size);
      WriteAt(out, *recordAt + static_cast<std::int64_t>(kEntrySizeOffset), bytes.data(), bytes.size());
    });
  }
  ++entries_;
  progressTotal_ += ChunkCount(size);
  if (progressTotal_ > std::numeric_limits<std::int32_t>::max()) {
    throw EArchivePackError("too much data for one archive: the progress total exceeds 32 bits");
  }
  output_->WriteReady();
}

void ArchiveWriter::EnterFolder(const std::string& name) {
  output_->AddBytes(Entry(EncodeEntryName(name, codePage_), kEntryEnterFolder, 0));
  ++entries_;
  ++depth_;
}

void ArchiveWriter::LeaveFolder() {
  if (depth_ == 0) throw EArchivePackError("leaving a folder that was not entered");
  output_->AddBytes(Entry({}, kEntryLeaveFolder, 0));
  ++entries_;
  --depth_;
}

void ArchiveWriter::Finish() {
  if (depth_ != 0) throw EArchivePackError("a folder was entered and not left");
  if (entries_ == 0) throw EArchivePackError("nothing to pack: the archive would hold no entry");
  output_->WriteAll();
  std::array<std::uint8_t, 4> total{};
  WriteInt32Le(total.data(), static_cast<std::int32_t>(progressTotal_));
  WriteAt(out_, start_ + static_cast<std::int64_t>(kProgressTotalOffset), total.data(), total.size());
}

}  // namespace tolvar
