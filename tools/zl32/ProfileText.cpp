#include "tools/zl32/ProfileText.h"

#include <algorithm>

#include "bootstrap/DefinitionFile.h"
#include "bootstrap/DefinitionValues.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar::zl32 {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr unsigned kUtf8CodePage = 65001;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

bool IsUtf8(std::string_view text) { return U16ToUtf8(Utf8ToU16(text)) == text; }

// Splits text into lines at CR LF, LF and CR; says whether a CR stood alone.
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text, bool& bareCr) {
  std::vector<std::basic_string_view<Char>> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    } else if (text[i] == '\r') {
      bareCr = true;
    }
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string HexByte(unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 15];
}

}  // namespace

ProfileText::ProfileText(std::string_view bytes, const CodePage& ansi) {
  Parse(Decode(bytes, ansi));
  RemarkOnCopySection();
}

std::vector<ProfileText::Line> ProfileText::Decode(std::string_view bytes, const CodePage& ansi) {
  bool bareCr = false;
  bool nul = false;
  std::vector<Line> lines = bytes.starts_with(kUtf16LeMark) ? DecodeUtf16(bytes.substr(kUtf16LeMark.size()), bareCr, nul)
                                                            : DecodeAnsi(bytes, ansi, bareCr, nul);
  // A big-endian file read as 8-bit text is all NULs; its mark is told of.
  if (nul && !bytes.starts_with(kUtf16BeMark)) {
    Remember(0, "holds a NUL byte: Windows may take the whole file for UTF-16 text", true);
  }
  if (bareCr) {
    Remember(0, "ends lines with CR alone: Windows readers may take the whole file for one line; end them with CR LF",
             true);
  }
  return lines;
}

std::vector<ProfileText::Line> ProfileText::DecodeUtf16(std::string_view bytes, bool& bareCr, bool& nul) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  std::vector<Line> lines;
  int number = 0;
  for (std::u16string_view line : SplitLines(std::u16string_view(units), bareCr)) {
    if (const auto end = line.find(u'\0'); end != line.npos) {
      line = line.substr(0, end);
      nul = true;
    }
    lines.push_back({U16ToUtf8(line), ++number});
  }
  return lines;
}

std::vector<ProfileText::Line> ProfileText::DecodeAnsi(std::string_view bytes, const CodePage& ansi, bool& bareCr,
                                                       bool& nul) {
  const std::string page = ansi.Number() ? "code page " + std::to_string(ansi.Number()) : "the system's code page";
  const std::string saveIn = "; save the file in " + page;
  if (bytes.starts_with(kUtf16BeMark)) {
    Remember(1, "begins with the byte-order mark of big-endian UTF-16, which Windows does not know: it reads the file "
                "as 8-bit text" + saveIn,
             true);
  }
  const bool hasMark = bytes.starts_with(kUtf8Mark);
  const bool utf8 = ansi.Number() != kUtf8CodePage && IsUtf8(bytes.substr(hasMark ? kUtf8Mark.size() : 0));
  bool toldUtf8 = false;
  std::vector<Line> lines;
  int number = 0;
  for (std::string_view line : SplitLines(bytes, bareCr)) {
    ++number;
    if (const auto end = line.find('\0'); end != line.npos) {
      line = line.substr(0, end);
      nul = true;
    }
    std::string text;
    if (const auto decoded = ansi.ToUtf8(line)) {
      text = *decoded;
    } else {
      // A byte that stands for no character comes through as the code point
      // of its value, as Windows' conversion passes it.
      bool told = false;
      for (const char c : line) {
        if (const auto one = ansi.ToUtf8(std::string_view(&c, 1))) {
          text += *one;
          continue;
        }
        text += U16ToUtf8(std::u16string(1, static_cast<char16_t>(static_cast<unsigned char>(c))));
        if (!told) Remember(number, "byte " + HexByte(static_cast<unsigned char>(c)) + " is no character in " + page, true);
        told = true;
      }
    }
    // UTF-8 text (told once, without the mark, which is told of on its own).
    const std::string_view written = number == 1 && hasMark ? line.substr(kUtf8Mark.size()) : line;
    if (utf8 && !toldUtf8 && std::any_of(written.begin(), written.end(), [](char c) { return (c & 0x80) != 0; })) {
      const auto read = ansi.ToUtf8(written);
      Remember(number, "the text is UTF-8: \"" + std::string(Trim(written)) + "\" reads \"" +
                           std::string(Trim(read ? *read : text)) + "\" in " + page + ", as Tolvar reads it" + saveIn,
               true);
      toldUtf8 = true;
    }
    lines.push_back({std::move(text), number});
  }
  if (hasMark) {
    const std::string_view rest = bytes.substr(kUtf8Mark.size());
    if (Trim(rest.substr(0, rest.find_first_of("\r\n"))).starts_with('[')) {
      Remember(1, "begins with a UTF-8 byte-order mark, which Windows reads as text: line 1 reads \"" +
                      std::string(Trim(lines.front().text)) + "\", no section header, so the keys under it are not "
                      "read (Wine, unlike Windows, takes the mark for one)" + saveIn + " without a mark",
               true);
    } else {
      Remember(1, "begins with a UTF-8 byte-order mark, which Windows reads as text at the start of line 1", false);
    }
  }
  return lines;
}

void ProfileText::Parse(const std::vector<Line>& lines) {
  Section* current = nullptr;  // keys before the first section belong to none
  for (const Line& line : lines) {
    const std::string_view text = Trim(line.text);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      const auto close = text.rfind(']');
      if (close == std::string_view::npos) {
        Remember(line.number, "\"" + std::string(text) + "\" has no ']': it is no section header and is ignored",
                 false);
        continue;
      }
      sections_.push_back({std::string(Trim(text.substr(1, close - 1))), {}, line.number});
      current = &sections_.back();
      continue;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
      if (current && SameName(current->name, kCopySection)) {
        Remember(line.number, "\"" + std::string(text) + "\" has no '=': it is no key and is ignored", false);
      }
      continue;
    }
    std::string_view value = Trim(text.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    if (!current) {
      Remember(line.number, "\"" + std::string(text) + "\" stands before the first section and is not read", false);
      continue;
    }
    current->keys.push_back({std::string(Trim(text.substr(0, equals))), std::string(value), line.number});
  }
}

void ProfileText::RemarkOnCopySection() {
  const Section* first = FindSection(kCopySection);
  if (!first) return;
  for (const Section& section : sections_) {
    if (&section != first && SameName(section.name, kCopySection)) {
      Remember(section.line, std::string("a second [") + kCopySection + "]: Tolvar reads only the first (line " +
                                 std::to_string(first->line) + ")",
               false);
    }
  }
  for (auto key = first->keys.begin(); key != first->keys.end(); ++key) {
    if (key->name.empty()) {
      const bool hidesKeys = key + 1 != first->keys.end();
      Remember(key->line, std::string("a key without a name") + (hidesKeys ? ": the keys after it are not seen" : ""),
               hidesKeys);
      continue;
    }
    const auto earlier = std::find_if(first->keys.begin(), key, [&](const Key& k) { return SameName(k.name, key->name); });
    if (earlier != key) {
      Remember(key->line, key->name + " again: Tolvar reads the first (line " + std::to_string(earlier->line) + ")",
               false);
    }
  }
}

const ProfileText::Section* ProfileText::FindSection(const std::string& name) const {
  const auto found =
      std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return SameName(s.name, name); });
  return found == sections_.end() ? nullptr : &*found;
}

std::string ProfileText::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
  if (const Section* found = FindSection(section)) {
    for (const Key& k : found->keys) {
      if (SameName(k.name, key)) return ShortString(k.value);
    }
  }
  return ShortString(fallback);
}

std::int32_t ProfileText::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t fallback) const {
  return ParseProfileInteger(ReadString(section, key, std::string()), fallback);
}

std::vector<std::string> ProfileText::ReadKeys(const std::string& section) const {
  std::vector<std::string> names;
  if (const Section* found = FindSection(section)) {
    // Windows lists the names one after the other, each ended by a NUL: an empty
    // one ends the list early for its reader.
    for (const Key& k : found->keys) {
      if (k.name.empty()) break;
      names.push_back(k.name);
    }
  }
  return names;
}

int ProfileText::LineOf(const std::string& section, const std::string& key) const {
  if (const Section* found = FindSection(section)) {
    for (const Key& k : found->keys) {
      if (SameName(k.name, key)) return k.line;
    }
  }
  return 0;
}

}  // namespace tolvar::zl32
