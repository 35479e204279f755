// Two pieces of the C++ runtime that the shipped Windows programs bring along
// themselves, so that larger pieces of the C++ library stay out of their link:
//
// - The terminate handler. The library's own prints the demangled name of the
//   active exception's type to standard error, which a GUI program does not
//   have; it links a demangler and a printf (about 70 KB). This one ends the
//   program as the library's does after printing: abort().
// - The functions through which the library's strings and containers raise their
//   errors. The library's own construct std::length_error, std::out_of_range and
//   their relatives, whose constructors link a second, reference-counted string
//   type (about 45 KB). These raise a std::exception whose text is the library's
//   name for the failed operation ("vector::reserve", "basic_string::at"); the
//   memory errors stay std::bad_alloc and std::bad_array_new_length.
//
// This file is linked as an object of each program (tolvar_lean_cxx_runtime),
// never from a static library, so its definitions come before the library's. If
// the library's own object were ever needed for a further name, the link would
// fail with a duplicate definition rather than grow unnoticed.
#include <cstdarg>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
 public:
  // Keeps the text up to its first ": " (the operation's name, such as
  // "basic_string::at"), at most kCapacity - 1 characters; no allocation, so it
  // works when memory is short.
  explicit LibraryError(const char* text) noexcept {
    std::size_t length = 0;
    if (text) {
      while (length + 1 < kCapacity && text[length] != '\0' && !(text[length] == ':' && text[length + 1] == ' ')) {
        ++length;
      }
      for (std::size_t i = 0; i < length; ++i) text_[i] = text[i];
    }
    text_[length] = '\0';
  }
  const char* what() const noexcept override { return text_[0] ? text_ : "C++ library error"; }

 private:
  static constexpr std::size_t kCapacity = 64;
  char text_[kCapacity];
};

[[noreturn]] void Raise(const char* text) { throw LibraryError(text); }

}  // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* text) { Raise(text); }
void __throw_domain_error(const char* text) { Raise(text); }
void __throw_invalid_argument(const char* text) { Raise(text); }
void __throw_length_error(const char* text) { Raise(text); }
void __throw_out_of_range(const char* text) { Raise(text); }
void __throw_runtime_error(const char* text) { Raise(text); }
void __throw_range_error(const char* text) { Raise(text); }
void __throw_overflow_error(const char* text) { Raise(text); }
void __throw_underflow_error(const char* text) { Raise(text); }

// The library's formats either start with the operation's name or with "%s"
// for it ("%s: __pos (which is %zu) > this->size() (which is %zu)").
void __throw_out_of_range_fmt(const char* format, ...) {
  const char* name = format;
  if (format && format[0] == '%' && format[1] == 's') {
    va_list arguments;
    va_start(arguments, format);
    name = va_arg(arguments, const char*);
    va_end(arguments);
  }
  Raise(name);
}

}  // namespace std
