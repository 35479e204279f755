// Code pages other than 1250 come from iconv, which knows them as "CP<number>".
#include <iconv.h>

#include <cerrno>
#include <string>

#include "archive/CodePage.h"

namespace tolvar {
namespace {

// Converts all of `input` or nothing: stops at the first byte sequence that the
// target cannot hold (no transliteration).
std::optional<std::string> Convert(const std::string& to, const std::string& from, std::string_view input) {
  iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string output(input.size() * 4 + 16, '\0');
  std::string source(input);
  char* in = source.data();
  std::size_t inLeft = source.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  // A positive count means irreversible conversions: a character was replaced.
  if (result != 0 || inLeft != 0) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

class IconvCodePage final : public CodePage {
 public:
  explicit IconvCodePage(unsigned number) : number_(number), name_("CP" + std::to_string(number)) {}
  unsigned Number() const override { return number_; }
  std::optional<std::string> ToUtf8(std::string_view bytes) const override { return Convert("UTF-8", name_, bytes); }
  std::optional<std::string> FromUtf8(std::string_view utf8) const override { return Convert(name_, "UTF-8", utf8); }

 private:
  unsigned number_;
  std::string name_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePageByNumber(unsigned number) {
  const std::string name = "CP" + std::to_string(number);
  iconv_t probe = iconv_open("UTF-8", name.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return nullptr;
  iconv_close(probe);
  return std::make_unique<IconvCodePage>(number);
}

const CodePage& SystemAnsiCodePage() { return CodePage1250(); }

}  // namespace tolvar
