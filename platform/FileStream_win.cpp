#include <windows.h>

#include <algorithm>

#include "platform/FileStream.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar {

struct FileStream::Impl {
  UniqueFileHandle file;
};

FileStream::FileStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FileStream::~FileStream() = default;

std::unique_ptr<FileStream> FileStream::OpenRead(const std::string& path, FileShare share) {
  const DWORD shareMode = share == FileShare::None ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  auto impl = std::make_unique<Impl>();
  impl->file.reset(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, shareMode, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!impl->file) return nullptr;
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::unique_ptr<FileStream> FileStream::Create(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->file.reset(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!impl->file) return nullptr;
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::unique_ptr<FileStream> FileStream::Adopt(std::intptr_t nativeFile) {
  auto impl = std::make_unique<Impl>();
  impl->file.reset(reinterpret_cast<HANDLE>(nativeFile));
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(impl_->file.get(), out + total, ask, &got, nullptr)) throw EStreamReadFailure();
    if (got == 0) break;
    total += got;
  }
  return total;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
    DWORD put = 0;
    if (!::WriteFile(impl_->file.get(), in + total, ask, &put, nullptr) || put == 0) break;
    total += put;
  }
  return total;
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  LARGE_INTEGER result{};
  if (!::SetFilePointerEx(impl_->file.get(), distance, &result, method)) return -1;
  return result.QuadPart;
}

}  // namespace tolvar
