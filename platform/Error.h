// The base of the program's own errors: a message and nothing else. It stands
// where std::runtime_error would; that class's constructors link the C++
// library's whole reference-counted string into every program (some 45 KB).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tolvar {

class Error : public std::exception {
 public:
  explicit Error(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace tolvar
