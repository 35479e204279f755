// The byte stream that the archive code reads and writes: Read and Write move what
// they can and say how much, Seek moves the position, and the exact-count
// operations raise when a stream delivers or accepts less than asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace tolvar {

// Raised by ReadBuffer when fewer bytes arrive than were asked for.
class EStreamReadError : public Error {
 public:
  EStreamReadError() : Error("Stream read error") {}
};

// Raised by Read when the device reports that reading failed (a bad sector, a
// medium taken out): a failed read is never passed off as the end of the data.
class EStreamReadFailure : public Error {
 public:
  EStreamReadFailure() : Error("Stream read failure") {}
};

// Raised by WriteBuffer when the stream accepts fewer bytes than it was given.
class EStreamWriteError : public Error {
 public:
  EStreamWriteError() : Error("Stream write error") {}
};

enum class SeekOrigin : int { Begin = 0, Current = 1, End = 2 };

class Stream {
 public:
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  virtual ~Stream() = default;

  // Reads up to count bytes; returns how many arrived (0 at the end). A read the
  // device fails raises EStreamReadFailure.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes up to count bytes; returns how many were accepted.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position; returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
  // Derived from Seek: remember the position, seek to the end, seek back.
  std::int64_t Size();

  // Reads exactly count bytes or raises EStreamReadError.
  void ReadBuffer(void* buffer, std::size_t count);
  // Writes exactly count bytes or raises EStreamWriteError.
  void WriteBuffer(const void* buffer, std::size_t count);
};

}  // namespace tolvar
