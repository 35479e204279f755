// The definition-file copy step on real folders under Wine: tolvar.def variants,
// the disk prompt (answered by the robot) and the wait window around the copies,
// watched through a CBT hook of the GUI thread.
#include "bootstrap/CopyStep_win.h"

#include <gtest/gtest.h>

#include "archive/MessWait_win.h"
#include "platform/FileSystem.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "tests/support/Robot_win.h"
#include "tests/support/RegistrySandbox_win.h"
#include "tests/support/Scratch_win.h"
#include "tests/win32/MessageAnswer_win.h"

namespace tolvar {
namespace {

using test::Answer;
using test::DialogAnswerer;
using test::PathExists;
using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

const std::string kPreparing = "Připravuji ke spuštění průvodce instalací.";
const std::string kInsertDisk = "Vložte disk ";

// What the wait window showed when it became active, and its gauge when it closed.
struct WaitWindowSeen {
  int shown = 0;
  std::string text;
  std::int32_t maximum = -1;
  bool gaugeVisible = false;
  bool abortVisible = true;
  std::int32_t progressAtClose = -1;
};

class WaitWindowWatch {
 public:
  WaitWindowWatch() {
    current_ = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
  }
  ~WaitWindowWatch() {
    ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  WaitWindowSeen seen;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* form = dynamic_cast<TWaitForm*>(WindowFromHandle(reinterpret_cast<HWND>(wParam)));
    if (form && current_) {
      auto* mutableForm = const_cast<TWaitForm*>(form);
      WaitWindowSeen& seen = current_->seen;
      if (code == HCBT_ACTIVATE) {
        ++seen.shown;
        seen.text = test::WindowText(form->TextLbl());
        seen.maximum = mutableForm->MyGauge().MaxValue();
        seen.gaugeVisible = ::IsWindowVisible(mutableForm->MyGauge().Handle());
        seen.abortVisible = ::IsWindowVisible(form->PrerusitBut());
      } else if (code == HCBT_DESTROYWND) {
        seen.progressAtClose = mutableForm->MyGauge().Progress();
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline WaitWindowWatch* current_ = nullptr;
  HHOOK hook_ = nullptr;
};

// The messages shown here keep their settings in a registry of the test's own.
class CopyStep : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(registry_.Active()); }
  test::RegistrySandbox registry_;
};

// A medium folder with a definition file, and a setup folder that does not exist yet.
struct Medium {
  explicit Medium(const std::string& label) : root(label) { ForceDirectories(source); }
  ScratchFolder root;
  std::string source = root / "Medium\\";
  PathString setup{root / "Setup\\"};
  void Define(const std::string& lines) const { ASSERT_TRUE(WriteFileBytes(source + "tolvar.def", lines)); }
  void Put(const std::string& relative, const std::string& bytes) const {
    ForceDirectories(ExtractFilePath(source + relative));
    ASSERT_TRUE(WriteFileBytes(source + relative, bytes));
  }
  std::optional<std::string> Copied(const std::string& name) const { return ReadFileBytes(setup.str() + name); }
};

TEST_F(CopyStep, NothingToCopyMeansNoWindowAndTrue) {
  int variant = 0;
  for (const char* definition : {"", "[CopyFiles]\r\n", "[CopyFiles]\r\nCount=0\r\nFrom1=%s\\A.DAT\r\n",
                                 "[CopyFiles]\r\nCount=-1\r\nFrom1=%s\\A.DAT\r\n",
                                 "[Other]\r\nCount=1\r\nFrom1=%s\\A.DAT\r\n",
                                 "[CopyFiles]\r\nCount=1\r\nFrom1=NONE\r\n"}) {
    Medium medium("copy step empty " + std::to_string(++variant));
    medium.Put("A.DAT", "a");
    if (*definition) medium.Define(definition);  // the first case has no definition file at all
    WaitWindowWatch watch;
    DialogAnswerer robot([](const DialogAnswerer::Seen&) { return Answer::Back; });
    EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup)) << definition;
    EXPECT_EQ(watch.seen.shown, 0) << definition;
    EXPECT_TRUE(robot.SeenDialogs().empty()) << definition;
    EXPECT_FALSE(medium.Copied("A.DAT")) << definition;
  }
}

TEST_F(CopyStep, GapsHexadecimalCountAndTargetNamesUnderTheWaitWindow) {
  Medium medium("copy step gaps");
  medium.Put("DATA\\A.DAT", "first file");
  medium.Put("DATA\\B.DAT", std::string(10000, 'b'));
  medium.Define("[CopyFiles]\r\nCount=$3\r\nFrom1=%s\\DATA\\A.DAT\r\nFrom3=%s\\DATA\\B.DAT\r\nTo3=SUB\\C.DAT\r\n");
  WaitWindowWatch watch;
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  EXPECT_EQ(medium.Copied("A.DAT"), "first file");            // no To: the source's name
  EXPECT_EQ(medium.Copied("C.DAT"), std::string(10000, 'b'));  // the folder part of To dropped
  EXPECT_FALSE(PathExists(medium.setup.str() + "SUB"));
  EXPECT_FALSE(PathExists(medium.setup.str() + "B.DAT"));

  EXPECT_EQ(watch.seen.shown, 1);
  EXPECT_EQ(watch.seen.text, kPreparing);
  EXPECT_EQ(watch.seen.maximum, 40);  // 20 per listed file; entry 2 is not listed
  EXPECT_TRUE(watch.seen.gaugeVisible);
  EXPECT_FALSE(watch.seen.abortVisible);
  // One step per progress report: 0 and 100 for the small file, 0, 20, 40, 61, 81
  // and 100 for the other.
  EXPECT_EQ(watch.seen.progressAtClose, 8);
  EXPECT_FALSE(WaitForm);
}

TEST_F(CopyStep, PatternsAndMarkers) {
  Medium medium("copy step patterns");
  medium.Put("100%.DAT", "percent");
  medium.Put("none", "lower case is a name");
  medium.Define(
      "[CopyFiles]\r\nCount=0x4\r\nFrom1=%s\\100%%.DAT\r\nTo1=D:OTHER.DAT\r\nFrom2=NONE\r\nTo2=X.DAT\r\n"
      "From3=%s\\none\r\nTo3=NONE\r\nFrom4=%s\\%d.DAT\r\n");
  // Entry 4 names a file that is not there: its prompt is declined.
  DialogAnswerer robot([](const DialogAnswerer::Seen&) { return Answer::Back; });
  EXPECT_FALSE(ReadCopyList(medium.source + "tolvar.def", medium.source, medium.setup));
  ASSERT_EQ(robot.SeenDialogs().size(), 1u);
  EXPECT_TRUE(robot.SeenDialogs()[0].Shows(kInsertDisk + "1"));

  medium.Put("%d.DAT", "directive kept as written");
  const auto list = ReadCopyList(medium.source + "tolvar.def", medium.source, medium.setup);
  ASSERT_TRUE(list);
  const std::string folder = ExcludeTrailingBackslash(medium.source);
  EXPECT_EQ(list->sources, (std::vector<PathString>{PathString(folder + "\\100%.DAT"), PathString(folder + "\\none"),
                                                    PathString(folder + "\\%d.DAT")}));
  EXPECT_EQ(list->targets, (std::vector<PathString>{PathString(medium.setup.str() + "OTHER.DAT"),
                                                    PathString(medium.setup.str() + "none"),
                                                    PathString(medium.setup.str() + "%d.DAT")}));
}

TEST_F(CopyStep, TheDiskPromptRepeatsUntilTheFileIsThere) {
  Medium medium("copy step disk");
  medium.Define("[CopyFiles]\r\nCount=1\r\nFrom1=%s\\DISK2\\B.DAT\r\nSrcDisk=2\r\n");
  int prompts = 0;
  DialogAnswerer robot([&](const DialogAnswerer::Seen&) {
    // The first OK comes before the disk is in; the second after.
    if (++prompts == 2) medium.Put("DISK2\\B.DAT", "from disk two");
    return Answer::Ok;
  });
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  const auto seen = robot.SeenDialogs();
  ASSERT_EQ(seen.size(), 2u);
  for (const auto& dialog : seen) {
    // A confirmation: its title and the question icon, and the two buttons.
    EXPECT_EQ(dialog.title, "Potvrďte");
    EXPECT_EQ(dialog.icon, ::LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(dialog.buttons, (std::vector<std::string>{"OK", "Zpět"}));
    EXPECT_TRUE(dialog.Shows(kInsertDisk + "2"));
  }
  EXPECT_EQ(medium.Copied("B.DAT"), "from disk two");
}

TEST_F(CopyStep, ADiskSwapThatTakesTheDefinitionFileAwayLosesNoEntry) {
  // tolvar.def is on disk 1, both files on disk 2: at the prompt disk 1 leaves
  // the drive, with the definition file, and disk 2 comes in.
  Medium medium("copy step disk swap");
  medium.Define("[CopyFiles]\r\nCount=2\r\nFrom1=%s\\A.DAT\r\nFrom2=%s\\B.DAT\r\nTo2=C.DAT\r\nSrcDisk=2\r\n");
  DialogAnswerer robot([&](const DialogAnswerer::Seen&) {
    EXPECT_TRUE(::DeleteFileW(Utf8ToUtf16(medium.source + "tolvar.def").c_str()));
    medium.Put("A.DAT", "first from disk two");
    medium.Put("B.DAT", "second from disk two");
    return Answer::Ok;
  });
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  ASSERT_EQ(robot.SeenDialogs().size(), 1u);
  EXPECT_TRUE(robot.SeenDialogs()[0].Shows(kInsertDisk + "2"));
  EXPECT_EQ(medium.Copied("A.DAT"), "first from disk two");
  EXPECT_EQ(medium.Copied("C.DAT"), "second from disk two");
}

TEST_F(CopyStep, DecliningThePromptWithBackOrTheCloseBoxCopiesNothing) {
  for (const Answer answer : {Answer::Back, Answer::CloseBox}) {
    const bool closeBox = answer == Answer::CloseBox;
    SCOPED_TRACE(closeBox ? "close box" : "Back");
    Medium medium(closeBox ? "copy step closed" : "copy step declined");
    medium.Put("A.DAT", "present");
    medium.Define("[CopyFiles]\r\nCount=2\r\nFrom1=%s\\A.DAT\r\nFrom2=%s\\MISSING.DAT\r\n");
    WaitWindowWatch watch;
    DialogAnswerer robot([answer](const DialogAnswerer::Seen&) { return answer; });
    EXPECT_FALSE(CopyDefinitionFiles(medium.source, medium.setup));
    const auto seen = robot.SeenDialogs();
    ASSERT_EQ(seen.size(), 1u);  // asked once: anything but OK stops
    EXPECT_EQ(seen[0].buttons, (std::vector<std::string>{"OK", "Zpět"}));
    EXPECT_EQ(watch.seen.shown, 0);
    EXPECT_FALSE(medium.Copied("A.DAT"));
  }
}

TEST_F(CopyStep, AFailedFileIsReportedAndTheOthersAreStillCopied) {
  Medium medium("copy step failure");
  medium.Put("LOCKED.DAT", "held by someone");
  medium.Put("B.DAT", "fine");
  medium.Define("[CopyFiles]\r\nCount=2\r\nFrom1=%s\\LOCKED.DAT\r\nFrom2=%s\\B.DAT\r\n");
  const UniqueFileHandle lock(::CreateFileW(Utf8ToUtf16(medium.source + "LOCKED.DAT").c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  DialogAnswerer robot([](const DialogAnswerer::Seen&) { return Answer::Close; });
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  const auto seen = robot.SeenDialogs();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "Chyba");
  EXPECT_EQ(seen[0].buttons, std::vector<std::string>{"&Zavřít"});
  EXPECT_TRUE(seen[0].Shows("I/O chyba, soubor " + medium.source + "LOCKED.DAT nelze otevřít"));
  EXPECT_EQ(medium.Copied("B.DAT"), "fine");
}

TEST_F(CopyStep, TargetsStayDirectlyInTheSetupFolderAndUnsafeNamesAreRefused) {
  Medium medium("copy step hostile targets");
  medium.Put("DATA\\A.DAT", "a");
  // "/" separates folders on Windows too: each To names one file in the setup
  // folder, or is not copied (with the copy's own message) while the others are.
  medium.Define("[CopyFiles]\r\nCount=5\r\nFrom1=%s\\DATA\\A.DAT\r\nTo1=../../../../../escaped.dat\r\n"
                "From2=%s/DATA/A.DAT\r\nFrom3=%s\\DATA\\A.DAT\r\nTo3=..\r\n"
                "From4=%s\\DATA\\A.DAT\r\nTo4=CON\r\nFrom5=%s\\DATA\\A.DAT\r\nTo5=sub/\r\n");
  DialogAnswerer robot([](const DialogAnswerer::Seen&) { return Answer::Close; });
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  EXPECT_EQ(medium.Copied("escaped.dat"), "a");
  EXPECT_EQ(medium.Copied("A.DAT"), "a");
  EXPECT_FALSE(PathExists(medium.root / "escaped.dat"));
  const auto seen = robot.SeenDialogs();
  ASSERT_EQ(seen.size(), 3u);
  const std::string cannotOpen = " nelze otevřít";
  EXPECT_TRUE(seen[0].Shows("I/O chyba, soubor " + medium.setup.str() + ".." + cannotOpen));
  EXPECT_TRUE(seen[1].Shows("I/O chyba, soubor " + medium.setup.str() + "CON" + cannotOpen));
  EXPECT_TRUE(seen[2].Shows("I/O chyba, soubor " + medium.setup.str() + cannotOpen));
}

TEST_F(CopyStep, AHugeCountOrEntryNumberReadsOnlyTheListedEntries) {
  Medium medium("copy step huge count");
  medium.Put("A.DAT", "first");
  medium.Put("B.DAT", "far away");
  medium.Define("[CopyFiles]\r\nCount=$7FFFFFFF\r\nfrom1=%s\\A.DAT\r\nFrom2000000000=%s\\B.DAT\r\n");
  WaitWindowWatch watch;
  EXPECT_TRUE(CopyDefinitionFiles(medium.source, medium.setup));
  EXPECT_EQ(medium.Copied("A.DAT"), "first");
  EXPECT_EQ(medium.Copied("B.DAT"), "far away");
  EXPECT_EQ(watch.seen.maximum, 40);
}

}  // namespace
}  // namespace tolvar
