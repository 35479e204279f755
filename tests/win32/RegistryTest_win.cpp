#include "platform/Registry_win.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"
#include "tests/support/RegistrySandbox_win.h"

namespace tolvar {
namespace {

// Every test works below a scratch key of a registry of its own.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sandbox_.Active()); }
  void TearDown() override { EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kScratch)); }
  static constexpr char kScratch[] = "Software\\TolvarTests\\Registry";
  test::RegistrySandbox sandbox_;
};

TEST_F(RegistryTest, StringsAndNumbersRoundTripWithCzechText) {
  const std::string text = "Průvodce instalací";
  {
    const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, std::string("\\") + kScratch + "\\");
    ASSERT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.WriteString("Name", text));
    EXPECT_TRUE(key.WriteDword("Height", 123));
  }
  const RegistryKey key = RegistryKey::OpenRead(HKEY_CURRENT_USER, kScratch);
  ASSERT_TRUE(key.IsOpen());
  EXPECT_EQ(key.ReadString("Name"), text);
  EXPECT_EQ(key.ReadDword("Height"), 123u);
  EXPECT_EQ(key.ReadString("Missing"), std::nullopt);
}

TEST_F(RegistryTest, ValuesOfAnotherTypeReadAsMissing) {
  const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kScratch);
  key.WriteDword("Number", 1);
  key.WriteString("Text", "1");
  const BYTE binary[3] = {1, 2, 3};
  ::RegSetValueExW(key.get(), L"Binary", 0, REG_BINARY, binary, sizeof binary);
  EXPECT_EQ(key.ReadString("Number"), std::nullopt);
  EXPECT_EQ(key.ReadDword("Text"), std::nullopt);
  EXPECT_EQ(key.ReadDword("Binary"), std::nullopt);
}

TEST_F(RegistryTest, UnterminatedStringsStopAtTheirData) {
  const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kScratch);
  const wchar_t raw[] = {L'a', L'b', L'c'};
  ::RegSetValueExW(key.get(), L"Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
  EXPECT_EQ(key.ReadString("Raw"), "abc");
}

TEST_F(RegistryTest, MissingKeysDoNotOpenAndTheRootIsNeverDeleted) {
  EXPECT_FALSE(RegistryKey::OpenRead(HKEY_CURRENT_USER, std::string(kScratch) + "\\Nope").IsOpen());
  EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, "\\"));
}

TEST(RegistrySandbox, ATestsOwnRegistryLeavesTheRealOneAsItWas) {
  constexpr char kReal[] = "Software\\TolvarTests\\Real";
  constexpr char kWritten[] = "Software\\VORLAK SOFTWARE\\Sandboxed";
  ASSERT_TRUE(RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kReal).WriteDword("Kept", 1));
  std::string location;
  {
    const test::RegistrySandbox sandbox({HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE});
    ASSERT_TRUE(sandbox.Active());
    location = sandbox.Location();
    // Inside, both roots start empty, and writes stay there.
    EXPECT_FALSE(RegistryKey::OpenRead(HKEY_CURRENT_USER, kReal).IsOpen());
    EXPECT_FALSE(RegistryKey::OpenRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft").IsOpen());
    EXPECT_TRUE(RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kWritten).WriteDword("Written", 2));
    EXPECT_TRUE(RegistryKey::OpenOrCreate(HKEY_LOCAL_MACHINE, kWritten).WriteDword("Written", 3));
    EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kWritten).ReadDword("Written"), 2u);
  }
  EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kReal).ReadDword("Kept"), 1u);
  EXPECT_TRUE(RegistryKey::OpenRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft").IsOpen());
  EXPECT_FALSE(RegistryKey::OpenRead(HKEY_CURRENT_USER, kWritten).IsOpen());
  EXPECT_FALSE(RegistryKey::OpenRead(HKEY_LOCAL_MACHINE, kWritten).IsOpen());
  EXPECT_FALSE(RegistryKey::OpenRead(HKEY_CURRENT_USER, location).IsOpen());  // deleted whole
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kReal));
}

}  // namespace
}  // namespace tolvar
