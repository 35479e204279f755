#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// The string table is compiled from the same list as the built-in texts; this
// catches a resource compiler that reads the UTF-8 source in the wrong code page.
TEST(StringTable, EveryResourceStringEqualsItsText) {
  struct Entry {
    unsigned id;
    const char* text;
  };
  const Entry all[] = {
#define TOLVAR_TEXT(id, name, text) {id, text},
#include "resources/Texts.def"
#undef TOLVAR_TEXT
  };
  for (const Entry& entry : all) {
    wchar_t buffer[512];
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), entry.id, buffer, 512);
    ASSERT_GT(length, 0) << entry.id;
    EXPECT_EQ(Utf16ToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(length))), entry.text) << entry.id;
  }
  EXPECT_EQ(LoadText(TextId::WizardLaunchFailed), "Chyba při spouštění průvodce instalací!");
}

}  // namespace
}  // namespace tolvar
