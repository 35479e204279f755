#include "bootstrap/WizardWatch.h"

namespace tolvar {
namespace {

bool SameNameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Passes everything to the file's stream and digests what it accepted; the
// digest is handed over when the stream closes. A move inside the file would
// make the digest meaningless: it is then not handed over at all.
class DigestingStream final : public Stream {
 public:
  DigestingStream(std::unique_ptr<Stream> inner, std::optional<Sha256Digest>& digest)
      : inner_(std::move(inner)), digest_(digest) {}
  ~DigestingStream() override {
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

}  // namespace

WizardWatch::WizardWatch(ArchiveFileSystem& inner, std::string fileName)
    : inner_(inner), fileName_(std::move(fileName)) {}

std::unique_ptr<ArchiveFolder> WizardWatch::OpenTarget(const std::string& path) {
  auto target = inner_.OpenTarget(path);
  target_ = target.get();
  return target;
}

std::unique_ptr<Stream> WizardWatch::CreateNewFile(const ArchiveFolder& folder, const std::string& name) {
  const bool watched = &folder == target_ && SameNameIgnoringAsciiCase(name, fileName_);
  if (watched) digest_.reset();  // the earlier file of that name is gone
  auto stream = inner_.CreateNewFile(folder, name);
  if (!watched || !stream) return stream;
  return std::make_unique<DigestingStream>(std::move(stream), digest_);
}

}  // namespace tolvar
