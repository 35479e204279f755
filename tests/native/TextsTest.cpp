#include "platform/Texts.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"

namespace tolvar {
namespace {

TEST(Texts, ArchiveResultTextsHaveTheirFixedIdentifiers) {
  EXPECT_EQ(static_cast<unsigned>(TextId::ArchiveNotFound), 65234u);
  EXPECT_EQ(static_cast<unsigned>(TextId::ArchiveWriteError), 65237u);
  EXPECT_EQ(LoadText(TextId::ArchiveNotFound), "Archivní soubor nenalezen.");
}

TEST(Texts, EveryTextIsWellFormedAndFitsAStoredString) {
  const TextId all[] = {
#define TOLVAR_TEXT(id, name, text) TextId::name,
#include "resources/Texts.def"
#undef TOLVAR_TEXT
  };
  for (const TextId id : all) {
    const std::string text = LoadText(id);
    EXPECT_FALSE(text.empty()) << static_cast<unsigned>(id);
    EXPECT_EQ(U16ToUtf8(Utf8ToU16(text)), text) << static_cast<unsigned>(id);
    EXPECT_LE(CountChars(text), 255u) << static_cast<unsigned>(id);
  }
}

}  // namespace
}  // namespace tolvar
