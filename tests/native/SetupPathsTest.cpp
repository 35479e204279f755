#include "bootstrap/SetupPaths.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(SetupPaths, SetupFolderBelowTheVendorFolder) {
  EXPECT_EQ(FormSetupFolder("C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\").str(),
            "C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\");
  // Without a program-files folder the path is relative.
  EXPECT_EQ(FormSetupFolder("VORLAK SOFTWARE\\Common Files\\").str(),
            "VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\");
}

TEST(SetupPaths, ALongSetupFolderIsCutTo255Characters) {
  const std::string vendor = "C:\\" + std::string(240, 'p') + "\\VORLAK SOFTWARE\\Common Files\\";
  const PathString setup = FormSetupFolder(vendor);
  EXPECT_EQ(setup.str().size(), 255u);
  EXPECT_EQ(setup.str(), (vendor.substr(0, vendor.size() - 1) + "\\Ostrel\\Setup\\").substr(0, 255));
  // Everything downstream uses the cut value.
  EXPECT_EQ(WizardProgramPath(setup), setup.str() + "setupostrel.exe");
}

TEST(SetupPaths, WizardCommandLineQuotesOnlyTheSourceFolder) {
  const PathString setup("C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\");
  EXPECT_EQ(WizardCommandLine(setup, "D:\\"),
            "C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\setupostrel.exe \"D:\\\"");
}

TEST(SetupPaths, SourceFolderAndArchivePath) {
  EXPECT_EQ(SourceFolderOf("D:\\Tolvar.exe"), "D:\\");
  EXPECT_EQ(SourceFolderOf("C:\\Users\\me\\Downloads\\Tolvar.exe"), "C:\\Users\\me\\Downloads\\");
  EXPECT_EQ(ArchivePathIn("D:\\").str(), "D:\\WIZARD.zl");
  const std::string deep = "C:\\" + std::string(250, 'd') + "\\";
  EXPECT_EQ(ArchivePathIn(deep).str().size(), 255u);
}

}  // namespace
}  // namespace tolvar
