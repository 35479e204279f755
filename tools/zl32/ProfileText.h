// tolvar.def read the way Windows' private-profile reader reads it for
// Tolvar.exe (GetPrivateProfileStringW), on every platform, so that the archive
// tool sees the file as the bootstrapper will, in the code page of the systems
// the medium is for rather than the one the tool runs on:
//
//  - a file that begins with the UTF-16 little-endian byte-order mark is UTF-16;
//    any other file is 8-bit text in the system's ANSI code page (1250 on the
//    Czech systems), a UTF-8 byte-order mark included, which Windows takes for
//    three characters of text (Wine, unlike Windows, reads such a file as UTF-8);
//  - lines end with CR LF, LF or CR; a NUL ends what is read of a line;
//  - blanks around section names, keys and values are dropped, and one pair of
//    matching quotes ('...' or "...") around a value; a line that starts with ';'
//    is a comment, and so is, in effect, any line without '=' or brackets;
//  - "[name]" starts a section (the name runs to the line's last ']'); a '['
//    without ']' is ignored, and the keys after it stay in the section before;
//  - names compare without letter case; of a section or key written twice the
//    first counts; listing a section's keys stops at a key without a name.
//
// What a media maker should hear about the text (it is not what they meant, or
// Windows readers differ on it) is collected as remarks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/CodePage.h"

namespace tolvar::zl32 {

// Reads as ProfileFile (bootstrap/ProfileFile_win.h) does, for ReadDefinition.
class ProfileText {
 public:
  struct Remark {
    int line = 0;       // 1-based; 0 for the whole file
    std::string text;
    bool fault = false;  // Tolvar would not read what the writer meant
  };

  // `bytes`: the whole file. `ansi`: the code page of the systems it is read on.
  ProfileText(std::string_view bytes, const CodePage& ansi);

  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const;
  std::vector<std::string> ReadKeys(const std::string& section) const;

  // The line of the key that ReadString reads; 0 when it is absent.
  int LineOf(const std::string& section, const std::string& key) const;

  const std::vector<Remark>& Remarks() const { return remarks_; }

 private:
  struct Line {
    std::string text;  // decoded, UTF-8, up to a NUL
    int number = 0;
  };
  struct Key {
    std::string name;
    std::string value;
    int line = 0;
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
    int line = 0;
  };

  std::vector<Line> Decode(std::string_view bytes, const CodePage& ansi);
  static std::vector<Line> DecodeUtf16(std::string_view bytes, bool& bareCr, bool& nul);
  std::vector<Line> DecodeAnsi(std::string_view bytes, const CodePage& ansi, bool& bareCr, bool& nul);
  void Parse(const std::vector<Line>& lines);
  void RemarkOnCopySection();
  const Section* FindSection(const std::string& name) const;
  void Remember(int line, std::string text, bool fault) { remarks_.push_back({line, std::move(text), fault}); }

  std::vector<Section> sections_;
  std::vector<Remark> remarks_;
};

}  // namespace tolvar::zl32
