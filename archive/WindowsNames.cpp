#include "archive/WindowsNames.h"

#include "platform/Utf.h"

namespace tolvar {
namespace {

// A run of letters whose capitals lie `shift` code units below (or above).
struct ShiftedRun {
  char16_t first;
  char16_t last;
  int shift;
};

// Runs where each lower-case letter follows its capital, one pair after another:
// the lower-case letters are those of the given parity.
struct PairedRun {
  char16_t first;
  char16_t last;
  bool lowerIsOdd;
};

// As Windows' case table has them (checked against the system's own upper-case
// mapping under Windows by the tests). Windows leaves the dotless i, the micro
// sign, the final sigma and the long s as they are.
constexpr ShiftedRun kShiftedRuns[] = {
    {u'a', u'z', -32},           {u'\u00E0', u'\u00F6', -32}, {u'\u00F8', u'\u00FE', -32},
    {u'\u00FF', u'\u00FF', 121}, {u'\u0192', u'\u0192', -1},  {u'\u01A1', u'\u01A1', -1},
    {u'\u01B0', u'\u01B0', -1},  {u'\u03AC', u'\u03AC', -38}, {u'\u03AD', u'\u03AF', -37},
    {u'\u03B1', u'\u03C1', -32}, {u'\u03C3', u'\u03CB', -32}, {u'\u03CC', u'\u03CC', -64},
    {u'\u03CD', u'\u03CE', -63}, {u'\u0430', u'\u044F', -32}, {u'\u0450', u'\u045F', -80},
    {u'\u04CF', u'\u04CF', -15}, {u'\uFF41', u'\uFF5A', -32},
};

constexpr PairedRun kPairedRuns[] = {
    {u'\u0100', u'\u012F', true}, {u'\u0132', u'\u0137', true}, {u'\u0139', u'\u0148', false},
    {u'\u014A', u'\u0177', true}, {u'\u0179', u'\u017E', false}, {u'\u0460', u'\u0481', true},
    {u'\u048A', u'\u04BF', true}, {u'\u04C1', u'\u04CE', false}, {u'\u04D0', u'\u052F', true},
};

char16_t WindowsUpper(char16_t c) {
  for (const ShiftedRun& run : kShiftedRuns) {
    if (c >= run.first && c <= run.last) return static_cast<char16_t>(c + run.shift);
  }
  for (const PairedRun& run : kPairedRuns) {
    if (c >= run.first && c <= run.last) return ((c & 1) != 0) == run.lowerIsOdd ? static_cast<char16_t>(c - 1) : c;
  }
  return c;
}

}  // namespace

std::u16string WindowsNameKey(std::string_view name) {
  std::u16string key = Utf8ToU16(name);
  for (char16_t& c : key) c = WindowsUpper(c);
  return key;
}

std::size_t WindowsPathLength(std::string_view path) { return Utf8ToU16(path).size(); }

}  // namespace tolvar
