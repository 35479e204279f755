#include "bootstrap/DeliveredFiles.h"

#include <algorithm>
#include <utility>

namespace tolvar {
namespace {

bool SameNameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return fold(x) == fold(y); });
}

// What the extractor holds of a folder: the folder itself stays with DeliveredFiles.
class FolderRef final : public ArchiveFolder {
 public:
  explicit FolderRef(const ArchiveFolder& folder) : folder_(folder) {}
  static const ArchiveFolder& Of(const ArchiveFolder& ref) { return static_cast<const FolderRef&>(ref).folder_; }

 private:
  const ArchiveFolder& folder_;
};

// Passes everything to the file's stream and digests what it accepted; the
// digest is handed over when the stream closes. A move inside the file would
// make the digest meaningless: it is then not handed over at all.
class DigestingStream final : public Stream {
 public:
  DigestingStream(std::unique_ptr<Stream> inner, std::optional<Sha256Digest>& digest)
      : inner_(std::move(inner)), digest_(digest) {}
  ~DigestingStream() override {
    inner_.reset();
    if (sequential_) digest_ = sha_.Finish();
  }

  std::size_t Read(void* buffer, std::size_t count) override {
    sequential_ = false;
    return inner_->Read(buffer, count);
  }
  std::size_t Write(const void* buffer, std::size_t count) override {
    const std::size_t written = inner_->Write(buffer, count);
    sha_.Update(buffer, written);
    return written;
  }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    if (offset != 0 || origin != SeekOrigin::Current) sequential_ = false;
    return inner_->Seek(offset, origin);
  }

 private:
  std::unique_ptr<Stream> inner_;
  std::optional<Sha256Digest>& digest_;
  Sha256 sha_;
  bool sequential_ = true;
};

std::optional<Sha256Digest> DigestOf(Stream& contents) {
  Sha256 sha;
  std::vector<unsigned char> buffer(65536);
  while (const std::size_t got = contents.Read(buffer.data(), buffer.size())) sha.Update(buffer.data(), got);
  if (contents.Position() != contents.Size() || contents.Seek(0, SeekOrigin::Begin) != 0) return std::nullopt;
  return sha.Finish();
}

}  // namespace

DeliveredFiles::DeliveredFiles(ArchiveFileSystem& disk) : disk_(disk) {}
DeliveredFiles::~DeliveredFiles() = default;

std::unique_ptr<ArchiveFolder> DeliveredFiles::Keep(std::unique_ptr<ArchiveFolder> folder) {
  if (!folder) return nullptr;
  folders_.push_back(std::move(folder));
  return std::make_unique<FolderRef>(*folders_.back());
}

std::unique_ptr<ArchiveFolder> DeliveredFiles::OpenTarget(const std::string& path) {
  folders_.clear();
  delivered_.clear();
  return Keep(disk_.OpenTarget(path));
}

std::unique_ptr<ArchiveFolder> DeliveredFiles::EnterFolder(const ArchiveFolder& parent, const std::string& name) {
  const ArchiveFolder& folder = FolderRef::Of(parent);
  auto entered = Keep(disk_.EnterFolder(folder, name));
  if (entered) delivered_.push_back({&folder, name, std::nullopt});
  return entered;
}

std::unique_ptr<Stream> DeliveredFiles::CreateNewFile(const ArchiveFolder& folder, const std::string& name) {
  const ArchiveFolder& real = FolderRef::Of(folder);
  // A name written again: the earlier file gives way to the new one.
  std::erase_if(delivered_, [&](const Delivered& file) {
    return file.folder == &real && file.held && SameNameIgnoringAsciiCase(file.name, name);
  });
  written_.reset();
  auto stream = disk_.CreateNewFile(real, name);
  if (!stream) return nullptr;
  return std::make_unique<DigestingStream>(std::move(stream), written_);
}

bool DeliveredFiles::FinishFile(const ArchiveFolder& folder, const std::string& name) {
  const ArchiveFolder& real = FolderRef::Of(folder);
  const std::optional<Sha256Digest> written = std::exchange(written_, std::nullopt);
  std::optional<HeldFile> held = disk_.HoldFile(real, name);
  if (!written || !held || DigestOf(*held->contents) != written) return false;
  delivered_.push_back({&real, name, std::move(held)});
  return true;
}

const HeldFile* DeliveredFiles::HeldAtTop(const std::string& name) const {
  if (folders_.empty()) return nullptr;
  for (const Delivered& file : delivered_) {
    if (file.folder == folders_.front().get() && file.held && SameNameIgnoringAsciiCase(file.name, name)) {
      return &*file.held;
    }
  }
  return nullptr;
}

bool DeliveredFiles::DeliveredAtTop(const std::string& name) const {
  return !folders_.empty() && std::any_of(delivered_.begin(), delivered_.end(), [&](const Delivered& item) {
    return item.folder == folders_.front().get() && SameNameIgnoringAsciiCase(item.name, name);
  });
}

}  // namespace tolvar
