// zl32.exe under Windows: the same exit codes and trees as the native tool.
#include <gtest/gtest.h>

#include <set>

#include "platform/FileSystem.h"
#include "platform/Handle_win.h"
#include "platform/Texts.h"
#include "archive/WindowsNames.h"
#include "platform/Utf.h"
#include "resources/WaitPictures.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar::test {
namespace {

int RunZl32(const std::string& arguments, const std::string& workingFolder = {}) {
  const std::string zl32 = TestProgramFolder() + "zl32.exe";
  auto process = ChildProcess::Start(zl32, "\"" + zl32 + "\" " + arguments, workingFolder);
  if (!process) return -1;
  const auto code = process->Wait(60000);
  return code ? static_cast<int>(*code) : -1;
}

// Runs zl32.exe with its standard output going to a file; returns what it wrote.
std::optional<std::string> Zl32Output(const std::string& arguments, const std::string& outputFile) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file.get();
  startup.hStdError = file.get();
  PROCESS_INFORMATION info{};
  const std::wstring program = Utf8ToUtf16(TestProgramFolder() + "zl32.exe");
  std::wstring command = L"zl32 " + Utf8ToUtf16(arguments);
  if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
    return std::nullopt;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle(info.hThread).reset();
  if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) return std::nullopt;
  file.reset();
  return ReadFileBytes(outputFile);
}

// Every file and folder below `folder` (with a trailing backslash), by relative
// path; folders end with a backslash.
void ListTree(const std::string& folder, const std::string& relative, std::set<std::string>& found) {
  WIN32_FIND_DATAW entry{};
  const HANDLE search = ::FindFirstFileW(Utf8ToUtf16(folder + relative + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf16ToUtf8(entry.cFileName);
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found.insert(relative + name + "\\");
      ListTree(folder, relative + name + "\\", found);
    } else {
      found.insert(relative + name);
    }
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
}

std::string Slashed(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  return path;
}

TEST(Zl32Exe, ExtractAndTestGiveTheDocumentedExitCodes) {
  ScratchFolder scratch("zl32 exe");
  const std::pair<const char*, int> cases[] = {
      {"czech_names_in_1250", 0}, {"not_an_archive", 3}, {"name_parent_step", 4}, {"truncated_member", 5}};
  for (const auto& [name, code] : cases) {
    const std::string archive = scratch / (std::string(name) + ".zl");
    const std::string target = scratch / (std::string(name) + " out");
    ASSERT_TRUE(WriteFileBytes(archive, FindArchiveFixture(name).bytes));
    EXPECT_EQ(RunZl32("extract \"" + archive + "\" \"" + target + "\""), code) << name;
    EXPECT_EQ(RunZl32("test \"" + archive + "\"") == 0, code == 0) << name;
  }
  EXPECT_EQ(ReadFileBytes(scratch / "czech_names_in_1250 out\\Průvodce\\čtěte.txt"), "text");
  EXPECT_EQ(RunZl32("extract \"" + scratch / "none.zl" + "\" \"" + scratch / "x" + "\""), 1);
  EXPECT_EQ(RunZl32("frobnicate"), 64);
}

TEST(Zl32Exe, PackedOnWindowsUnpacksToTheSameTree) {
  ScratchFolder scratch("zl32 exe pack");
  ASSERT_TRUE(ForceDirectories(scratch / "tree\\Průvodce"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\Průvodce\\čtěte.txt", "Čtěte"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\big.bin", std::string(200000, 'b')));
  ASSERT_EQ(RunZl32("pack \"" + scratch / "tree" + "\" -o \"" + scratch / "W.zl" + "\" --level 9"), 0);
  ASSERT_EQ(RunZl32("test \"" + scratch / "W.zl" + "\""), 0);
  ASSERT_EQ(RunZl32("extract \"" + scratch / "W.zl" + "\" \"" + scratch / "out" + "\""), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "out\\Průvodce\\čtěte.txt"), "Čtěte");
  EXPECT_EQ(ReadFileBytes(scratch / "out\\big.bin"), std::string(200000, 'b'));
  // The archive inside the packed folder is refused, and none is left behind.
  EXPECT_EQ(RunZl32("pack \"" + scratch / "tree" + "\" -o \"" + scratch / "tree\\W.zl" + "\""), 6);
  EXPECT_FALSE(PathExists(scratch / "tree\\W.zl"));
}

TEST(Zl32Exe, EveryFixtureExtractsToItsTreeAndNothingOutsideWithSlashedPaths) {
  ScratchFolder scratch("zl32 exe fixtures");
  for (const ArchiveFixture& fixture : ArchiveFixtures()) {
    SCOPED_TRACE(fixture.name);
    const std::string folder = scratch / (fixture.name + "\\");
    ASSERT_TRUE(ForceDirectories(folder));
    ASSERT_TRUE(WriteFileBytes(folder + "WIZARD.zl", fixture.bytes));
    const bool damaged = fixture.outcome == ArchiveFixture::Outcome::Damaged;
    // The target's parents do not exist yet; the path is written as a build script would.
    const int code = RunZl32("extract \"" + Slashed(folder) + "WIZARD.zl\" \"" + Slashed(folder) + "deep/target\"");
    EXPECT_EQ(code, damaged ? 5 : fixture.result);

    std::set<std::string> found;
    ListTree(folder, "", found);
    const std::string target = "deep\\target\\";
    for (const std::string& item : found) {
      if (item == "WIZARD.zl" || item == "deep\\" || item == target) continue;
      ASSERT_TRUE(item.starts_with(target)) << "written outside the target: " << item;
      EXPECT_EQ(fixture.tree.count(item.substr(target.size())), 1u) << "unexpected " << item;
    }
    for (const auto& [relative, contents] : fixture.tree) {
      const std::string path = folder + target + relative;
      if (relative.ends_with("\\")) {
        EXPECT_TRUE(DirectoryExists(path)) << relative;
      } else {
        const auto actual = ReadFileBytes(path);
        ASSERT_TRUE(actual) << relative;
        EXPECT_TRUE(ContentsMatch(contents, *actual, damaged)) << relative;
      }
    }
  }
}

TEST(Zl32Exe, TakesPathsWithEitherSeparatorRelativeOrAbsolute) {
  ScratchFolder scratch("zl32 exe paths");
  ASSERT_TRUE(ForceDirectories(scratch / "tree\\sub"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\sub\\x.txt", "x"));
  const std::string root = Slashed(scratch.Path());  // C:/tolvar-tests/.../
  // Absolute with forward slashes and a doubled one, into a folder that exists.
  ASSERT_EQ(RunZl32("pack \"" + root + "tree\" -o \"" + root + "/W.zl\""), 0);
  EXPECT_EQ(RunZl32("list \"" + root + "W.zl\""), 0);
  EXPECT_EQ(RunZl32("test \"" + root + "W.zl\""), 0);
  // Missing parents of the target are created, whichever separators name them.
  EXPECT_EQ(RunZl32("extract \"" + root + "W.zl\" \"" + root + "out/new/deeper\""), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "out\\new\\deeper\\sub\\x.txt"), "x");
  EXPECT_EQ(RunZl32("extract \"" + scratch.Path() + "W.zl\" \"" + scratch.Path() + "mixed\\a/b\\c/\""), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "mixed\\a\\b\\c\\sub\\x.txt"), "x");
  // Relative to the working folder, and relative to the drive's current folder.
  EXPECT_EQ(RunZl32("extract W.zl rel/one/two", scratch.Path()), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "rel\\one\\two\\sub\\x.txt"), "x");
  EXPECT_EQ(RunZl32("extract ./W.zl C:drive/rel", scratch.Path()), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "drive\\rel\\sub\\x.txt"), "x");
  EXPECT_EQ(RunZl32("pack tree -o sub-archive/../W2.zl", scratch.Path()), 0);
  EXPECT_TRUE(PathExists(scratch / "W2.zl"));
}

// The case table that zl32 checks names with on every platform is the system's
// own for every letter of the ANSI code pages (and the ranges it claims).
TEST(Zl32Exe, NamesCompareAsTheSystemComparesThem) {
  using Upcase = WCHAR(WINAPI*)(WCHAR);
  const auto upcase =
      reinterpret_cast<Upcase>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"),
                                                                         "RtlUpcaseUnicodeChar")));
  ASSERT_NE(upcase, nullptr);
  std::set<wchar_t> letters;
  for (const auto& [first, last] : {std::pair{0x0000, 0x017F}, {0x0386, 0x03CE}, {0x0400, 0x052F}, {0xFF00, 0xFFEF}}) {
    for (int c = first; c <= last; ++c) letters.insert(static_cast<wchar_t>(c));
  }
  for (const UINT codePage : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
    for (int byte = 0x80; byte < 0x100 && ::IsValidCodePage(codePage); ++byte) {
      const char c = static_cast<char>(byte);
      wchar_t wide = 0;
      if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) == 1) letters.insert(wide);
    }
  }
  for (const wchar_t c : letters) {
    const std::u16string key = WindowsNameKey(Utf16ToUtf8(std::wstring(1, c)));
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(static_cast<unsigned>(key[0]), static_cast<unsigned>(upcase(c))) << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_GT(letters.size(), 1200u);
}

// What bears the archive's name stays as it was unless a complete archive takes
// its place; a target that would hold files already keeps them.
TEST(Zl32Exe, KeepsWhatItDidNotMake) {
  ScratchFolder scratch("zl32 exe keeps");
  ASSERT_TRUE(ForceDirectories(scratch / "tree"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\日本.txt", "a name code page 1250 cannot hold"));
  ASSERT_TRUE(WriteFileBytes(scratch / "W.zl", "last week's archive"));
  EXPECT_EQ(RunZl32("pack tree -o W.zl", scratch.Path()), 6);
  EXPECT_EQ(ReadFileBytes(scratch / "W.zl"), "last week's archive");

  // A folder, a device and a host's link to a folder are refused and left alone.
  ASSERT_TRUE(::DeleteFileW(Utf8ToUtf16(scratch / "tree\\日本.txt").c_str()));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\noise.bin", NoiseBytes(16 << 20)));
  ASSERT_TRUE(ForceDirectories(scratch / "folder.zl"));
  EXPECT_EQ(RunZl32("pack tree -o folder.zl", scratch.Path()), 4);
  EXPECT_TRUE(DirectoryExists(scratch / "folder.zl"));
  EXPECT_EQ(RunZl32("pack tree -o NUL", scratch.Path()), 4);
  if (RunsUnderWine() && MakeHostSymlink(scratch / "folder.zl", scratch / "link.zl")) {
    EXPECT_EQ(Zl32Output("pack \"" + scratch / "tree" + "\" -o \"" + scratch / "link.zl" + "\"", scratch / "said.txt"),
              "zl32: " + scratch / "link.zl" + ": cannot be replaced: it is a link, not a plain file (it is left as it "
              "is)\r\n");
    EXPECT_NE(::GetFileAttributesW(Utf8ToUtf16(scratch / "link.zl").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_TRUE(RemoveHostLink(scratch / "link.zl"));
  }

  // Ended from outside while it writes: the system removes the new file.
  const std::string zl32 = TestProgramFolder() + "zl32.exe";
  auto pack = ChildProcess::Start(zl32, "\"" + zl32 + "\" pack tree -o W.zl --level 9", scratch.Path());
  ASSERT_TRUE(pack);
  WIN32_FIND_DATAW partial{};
  const std::wstring pattern = Utf8ToUtf16(scratch / "W.zl.partial-*");
  HANDLE found = INVALID_HANDLE_VALUE;
  while ((found = ::FindFirstFileW(pattern.c_str(), &partial)) == INVALID_HANDLE_VALUE) {
    ASSERT_TRUE(pack->Running()) << "pack ended before it could be stopped";
  }
  ::FindClose(found);
  ASSERT_TRUE(::TerminateProcess(pack->Handle(), 9));
  pack->Wait(60000);
  EXPECT_EQ(::FindFirstFileW(pattern.c_str(), &partial), INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadFileBytes(scratch / "W.zl"), "last week's archive");
  ASSERT_EQ(RunZl32("pack tree -o W.zl --level 0", scratch.Path()), 0);

  // Extracting: an empty or root target is a mistake; existing files are kept
  // unless replacing them is asked for.
  EXPECT_EQ(RunZl32("extract W.zl \"\"", scratch.Path()), 64);
  EXPECT_EQ(RunZl32("extract W.zl C:\\", scratch.Path()), 64);
  ASSERT_TRUE(ForceDirectories(scratch / "out"));
  ASSERT_TRUE(WriteFileBytes(scratch / "out\\noise.bin", "mine"));
  EXPECT_EQ(RunZl32("extract W.zl out", scratch.Path()), 4);
  EXPECT_EQ(ReadFileBytes(scratch / "out\\NOISE.BIN"), "mine");
  EXPECT_EQ(RunZl32("extract W.zl out --overwrite", scratch.Path()), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "out\\noise.bin"), NoiseBytes(16 << 20));

  // Names of one folder that Windows takes for one fail the test.
  ASSERT_TRUE(WriteFileBytes(scratch / "clash.zl", ArchiveBytes(2).File("\xDA\xE8" "et.txt", "1")
                                                       .File("\xDA\xC8" "ET.TXT", "2").Str()));
  EXPECT_EQ(RunZl32("test clash.zl", scratch.Path()), 5);
}

TEST(Zl32Exe, VersionIsTheVersionResources) {
  ScratchFolder scratch("zl32 exe version");
  const std::wstring program = Utf8ToUtf16(TestProgramFolder() + "zl32.exe");
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "zl32.exe has no version information";
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, size, block.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\040504B0\\FileVersion",
                               reinterpret_cast<void**>(&value), &length));
  const std::string version = Utf16ToUtf8(std::wstring_view(value, length > 0 ? length - 1 : 0));
  ASSERT_FALSE(version.empty());

  EXPECT_EQ(Zl32Output("--version", scratch / "out.txt"), "zl32 " + version + "\r\n");  // a text-mode console line
  EXPECT_EQ(RunZl32("--version"), 0);
}

// A console tool carries the texts it prints and its version, not the windows'
// pictures of the bootstrapper.
TEST(Zl32Exe, CarriesTheStringTableButNoWindowPictures) {
  const std::wstring program = Utf8ToUtf16(TestProgramFolder() + "zl32.exe");
  const HMODULE module =
      ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  const wchar_t* text = nullptr;
  EXPECT_GT(::LoadStringW(module, static_cast<UINT>(TextId::WizardCopyFailed), reinterpret_cast<LPWSTR>(&text), 0), 0);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION), nullptr);
  for (const wchar_t* bitmap : {L"DETAILBUTUP", L"DETAILBUTDOWN", L"TASKARROW", L"ITEMTREEIMAGES"}) {
    EXPECT_EQ(::FindResourceW(module, bitmap, RT_BITMAP), nullptr) << Utf16ToUtf8(bitmap);
  }
  EXPECT_EQ(::FindResourceW(module, MAKEINTRESOURCEW(IDI_WAIT_CLOCK), RT_RCDATA), nullptr);
  ::FreeLibrary(module);
}

}  // namespace
}  // namespace tolvar::test
