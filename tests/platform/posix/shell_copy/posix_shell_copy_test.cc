#include "platform/posix/shell_copy/posix_shell_copy.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/text/utf.h"
#include "support/fake_window.h"
#include "support/faulty_copier.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using testing::FakeWindow;
using testing::FaultyCopier;
using testing::ReadFile;
using testing::TempPrefix;
using testing::WriteFile;
using Names = std::set<std::string>;

// A source list: each pattern followed by NUL, one more NUL at the end.
std::u16string SourceList(std::initializer_list<std::u16string> patterns) {
  std::u16string list;
  for (const std::u16string& pattern : patterns) list += pattern + u'\0';
  return list + u'\0';
}

// Every entry of a folder, by name.
Names EntriesOf(const fs::path& folder) {
  Names names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
  return names;
}

// Every file below a folder, by its path relative to it.
Names FilesBelow(const fs::path& folder) {
  Names names;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
    if (entry.is_regular_file()) names.insert(entry.path().lexically_relative(folder).string());
  }
  return names;
}

bool HasTempFiles(const fs::path& folder) {
  for (const std::string& name : EntriesOf(folder)) {
    if (name.starts_with(".~brevak-")) return true;
  }
  return false;
}

std::string Bytes(size_t size, char seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 4096);
  return bytes;
}

class ShellCopyTest : public ::testing::Test {
 protected:
  ShellCopyTest() : wine_(prefix_.root()) {}

  // Runs one request through a fresh shell copy; the result, the aborted
  // flag and the last error land in the members.
  void Copy(const std::u16string& from, const std::u16string& to, uint16_t flags,
            FileCopier* copier = nullptr,
            std::chrono::steady_clock::duration progress_delay = std::chrono::hours(1),
            CopyPlacement placement = CopyPlacement::kThroughTemporary) {
    PosixShellCopy shell(wine_, code_page_, window_, copier, progress_delay, placement);
    ShFileOpStruct op;
    op.hwnd = FakeWindow::kHandle;
    op.wFunc = FO_COPY;
    op.pFrom = code_page_.ToAnsi(from);
    op.pTo = code_page_.ToAnsi(to);
    op.fFlags = flags;
    result_ = shell.SHFileOperationA(&op);
    aborted_ = op.fAnyOperationsAborted;
    last_error_ = shell.GetLastError();
  }

  fs::path C(const std::string& relative) const { return prefix_.OnDriveC(relative); }

  TempPrefix prefix_;
  WinePrefix wine_;
  IconvCodePage code_page_;
  FakeWindow window_;
  int32_t result_ = -1;
  int32_t aborted_ = -1;
  int32_t last_error_ = -1;
};

// A package folder with files for every pattern the tool sends, and some
// that no pattern names.
class PatternTest : public ShellCopyTest {
 protected:
  PatternTest() {
    for (const char* name : {"Brevak.exe", "Brevak.ini", "brevak.LOG", "Customerdata.car", "Addr.mdb",
                             "ADDR2.MDB", "vkUserControlsXP.ocx", "VKUSERCONTROLSXP.dep", "adbapi.dll",
                             "AdbWinApi.dll", "Setup.ini", "readme.txt", "upgrade.exe", "xadb.dll"}) {
      WriteFile(C(std::string("Pkg/") + name), std::string("content of ") + name);
    }
    WriteFile(C("Pkg/old.mdb/inner.mdb"), "a folder named like a database");
    WriteFile(C("Pkg/Pictures/a.ini"), "inside a subfolder");
  }
};

TEST_F(PatternTest, CopiesWhatEachPatternNamesInAnyLetterCase) {
  struct Case { std::u16string pattern; Names copied; };
  const Case cases[] = {
      {u"C:\\Pkg\\Brevak.*", {"Brevak.exe", "Brevak.ini", "brevak.LOG"}},
      {u"c:\\pkg\\BREVAK.*", {"Brevak.exe", "Brevak.ini", "brevak.LOG"}},
      {u"C:\\Pkg\\*.ini", {"Brevak.ini", "Setup.ini"}},
      {u"C:\\Pkg\\*.car", {"Customerdata.car"}},
      {u"C:\\Pkg\\*.mdb", {"Addr.mdb", "ADDR2.MDB", "old.mdb/inner.mdb"}},
      {u"C:\\Pkg\\vkUserControlsXP.*", {"vkUserControlsXP.ocx", "VKUSERCONTROLSXP.dep"}},
      {u"C:\\Pkg\\adb*.*", {"adbapi.dll", "AdbWinApi.dll"}},
      {u"C:\\Pkg\\brevak.EXE", {"Brevak.exe"}},
      {u"C:\\Pkg\\*.xyz", {}},
      {u"C:\\Pkg\\old.mdb", {"old.mdb/inner.mdb"}},
      {u"C:\\Pkg\\Pictures\\", {"Pictures/a.ini"}},
      {u"C:\\Pkg\\*.*", {"Brevak.exe", "Brevak.ini", "brevak.LOG", "Customerdata.car", "Addr.mdb", "ADDR2.MDB",
                         "vkUserControlsXP.ocx", "VKUSERCONTROLSXP.dep", "adbapi.dll", "AdbWinApi.dll",
                         "Setup.ini", "readme.txt", "upgrade.exe", "xadb.dll", "old.mdb/inner.mdb",
                         "Pictures/a.ini"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string out = "Out" + std::to_string(++n);
    Copy(SourceList({c.pattern}), u"C:\\" + Utf8ToUtf16(out) + u"\\", FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES);
    const std::string shown = Utf16ToUtf8(c.pattern);
    EXPECT_EQ(result_, 0) << shown;
    EXPECT_EQ(last_error_, 0) << shown;
    EXPECT_EQ(aborted_, 0) << shown;
    EXPECT_EQ(FilesBelow(C(out)), c.copied) << shown;
    for (const std::string& name : c.copied) EXPECT_EQ(ReadFile(C(out + "/" + name)), ReadFile(C("Pkg/" + name)));
  }
  EXPECT_TRUE(window_.message_boxes().empty());
}

TEST_F(PatternTest, PackageRequestReplacesTheInstalledFilesAndNothingElse) {
  WriteFile(C("Brevak/Brevak.exe"), "old program");
  WriteFile(C("Brevak/Customerdata.car"), "old data");
  WriteFile(C("Brevak/Keep.txt"), "not in the package");
  const fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(C("Pkg/Brevak.exe"), stamp);
  const std::u16string p = u"C:\\Pkg";
  Copy(SourceList({p + u"\\*.car", p + u"\\*.mdb", p + u"\\vkUserControlsXP.*", p + u"\\adb*.*",
                   p + u"\\Brevak.*", p + u"\\*.ini"}),
       u"C:\\Brevak\\", FOF_NOCONFIRMATION | FOF_MULTIDESTFILES);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(aborted_, 0);
  EXPECT_EQ(FilesBelow(C("Brevak")),
            (Names{"Brevak.exe", "Brevak.ini", "brevak.LOG", "Customerdata.car", "Addr.mdb", "ADDR2.MDB",
                   "vkUserControlsXP.ocx", "VKUSERCONTROLSXP.dep", "adbapi.dll", "AdbWinApi.dll", "Setup.ini",
                   "Keep.txt", "old.mdb/inner.mdb"}));
  EXPECT_EQ(ReadFile(C("Brevak/Brevak.exe")), "content of Brevak.exe");
  EXPECT_EQ(ReadFile(C("Brevak/Customerdata.car")), "content of Customerdata.car");
  EXPECT_EQ(ReadFile(C("Brevak/Keep.txt")), "not in the package");
  EXPECT_EQ(fs::last_write_time(C("Brevak/Brevak.exe")), stamp);
  EXPECT_TRUE(window_.message_boxes().empty());
}

TEST_F(ShellCopyTest, BackupRequestWithDoubledSeparatorsCreatesItsFolder) {
  for (const char* name : {"Brevak.exe", "Brevak.ini", "Customerdata.car", "Addr.mdb", "Other.ini", "x.txt"}) {
    WriteFile(C(std::string("Program Files/Brevak/") + name), name);
  }
  const std::u16string install = u"C:\\Program Files\\Brevak\\";
  Copy(SourceList({install + u"*.car", install + u"*.mdb", install + u"\\Brevak.*", install + u"\\*.ini"}),
       install + u"20121225051422\\", FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(aborted_, 0);
  EXPECT_EQ(EntriesOf(C("Program Files/Brevak/20121225051422")),
            (Names{"Brevak.exe", "Brevak.ini", "Customerdata.car", "Addr.mdb", "Other.ini"}));
  EXPECT_EQ(ReadFile(C("Program Files/Brevak/20121225051422/Brevak.ini")), "Brevak.ini");
  EXPECT_TRUE(window_.message_boxes().empty());
}

TEST_F(ShellCopyTest, RestoreRequestCopiesTheFolderBackWithItsSubfolders) {
  WriteFile(C("Brevak/备份 一/Customerdata.car"), "saved data");
  WriteFile(C("Brevak/备份 一/Brevak.exe"), "saved program");
  WriteFile(C("Brevak/备份 一/图片/deep/a.jpg"), "saved picture");
  fs::create_directories(C("Brevak/备份 一/empty"));
  WriteFile(C("Brevak/图片/deep/a.jpg"), "current picture");
  WriteFile(C("Brevak/图片/b.jpg"), "only here");
  WriteFile(C("Brevak/Customerdata.car"), "current data");
  Copy(SourceList({u"C:\\Brevak\\\\备份 一\\*.*"}), u"C:\\Brevak\\\\", FOF_NOCONFIRMATION | FOF_MULTIDESTFILES);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(EntriesOf(C("Brevak")), (Names{"备份 一", "Customerdata.car", "Brevak.exe", "图片", "empty"}));
  EXPECT_EQ(ReadFile(C("Brevak/Customerdata.car")), "saved data");
  EXPECT_EQ(ReadFile(C("Brevak/Brevak.exe")), "saved program");
  EXPECT_EQ(ReadFile(C("Brevak/图片/deep/a.jpg")), "saved picture");
  EXPECT_EQ(ReadFile(C("Brevak/图片/b.jpg")), "only here");
  EXPECT_FALSE(HasTempFiles(C("Brevak/图片/deep")));
}

// Folders are left out of wildcard matches under FOF_FILESONLY, a file that
// stands where a copied folder must go fails the copy, and a folder that
// holds the destination is never copied into itself.
TEST_F(ShellCopyTest, FoldersTheCopyCannotOrMustNotTake) {
  WriteFile(C("Src/a.ini"), "a");
  WriteFile(C("Src/sub/b.ini"), "b");
  WriteFile(C("Blocked/sub"), "a file named like the folder");
  struct Case { std::u16string from, to; uint16_t flags; int32_t result; Names files; };
  const Case cases[] = {
      {u"C:\\Src\\*.*", u"C:\\FilesOnly\\", FOF_FILESONLY, 0, {"a.ini"}},
      {u"C:\\Src\\*.*", u"C:\\Blocked\\", 0, 80, {"sub"}},
      {u"C:\\Src\\*.*", u"C:\\Src\\sub\\inner\\", 0, DE_DESTSUBTREE, {}},
      {u"C:\\Src\\sub\\", u"C:\\Src\\sub", 0, DE_DESTSUBTREE, {"b.ini"}},
  };
  for (const Case& c : cases) {
    const std::string to = Utf16ToUtf8(c.to);
    Copy(SourceList({c.from}), c.to, c.flags | FOF_NOCONFIRMMKDIR | FOF_NOCONFIRMATION);
    EXPECT_EQ(result_, c.result) << to;
    const fs::path host = wine_.ToHost(c.to);
    EXPECT_EQ(FilesBelow(host), c.files) << to;
  }
  EXPECT_EQ(ReadFile(C("Blocked/sub")), "a file named like the folder");
}

// A copy killed before it could rename or remove its temporary files
// leaves them behind: the next copy into that folder removes them, and no
// copy ever takes one as a source.
TEST_F(ShellCopyTest, LeftoverTemporaryFilesAreRemovedAndNeverCopied) {
  WriteFile(C("Brevak/.~brevak-Addr.mdb-00ff00ff00ff00ff.tmp"), "half a file");
  WriteFile(C("Brevak/20121225051422/.~brevak-Customerdata.car-0123456789abcdef.tmp"), "half a backup");
  WriteFile(C("Brevak/20121225051422/Addr.mdb"), "saved");
  WriteFile(C("Brevak/.~brevak-keep.txt"), "not a temporary name");
  Copy(SourceList({u"C:\\Brevak\\\\20121225051422\\*.*"}), u"C:\\Brevak\\\\", FOF_NOCONFIRMATION | FOF_MULTIDESTFILES);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(EntriesOf(C("Brevak")), (Names{"20121225051422", "Addr.mdb", ".~brevak-keep.txt"}));
  EXPECT_TRUE(HasTempFiles(C("Brevak/20121225051422")));  // a source folder is only read
}

TEST_F(ShellCopyTest, SourcesThatNameNothing) {
  WriteFile(C("Src/a.ini"), "a");
  struct Case { std::u16string pattern; int32_t result; };
  const Case cases[] = {
      {u"C:\\Src\\*.car", 0},        // a wildcard matching nothing is no failure
      {u"C:\\Src\\none.car", 2},     // a named file that is not there
      {u"C:\\Gone\\*.*", 3},         // the folder is missing
      {u"C:\\Gone\\none.car", 3},
  };
  for (const Case& c : cases) {
    Copy(SourceList({c.pattern, u"C:\\Src\\a.ini"}), u"C:\\Dst\\", FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR);
    EXPECT_EQ(result_, c.result) << Utf16ToUtf8(c.pattern);
    EXPECT_EQ(last_error_, c.result) << Utf16ToUtf8(c.pattern);
    EXPECT_EQ(fs::exists(C("Dst/a.ini")), c.result == 0) << Utf16ToUtf8(c.pattern);
    fs::remove_all(C("Dst"));
  }
}

TEST_F(ShellCopyTest, MissingDestinationFolderIsCreatedAsTheFlagsSay) {
  WriteFile(C("Src/a.ini"), "a");
  struct Case { uint16_t flags; std::vector<int> answers; int32_t result; int32_t aborted; bool created; };
  const Case cases[] = {
      {FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES, {}, 0, 0, true},
      {FOF_NOCONFIRMATION | FOF_MULTIDESTFILES, {}, 0, 0, true},
      {FOF_MULTIDESTFILES, {vbYes}, 0, 0, true},
      {FOF_MULTIDESTFILES, {vbNo}, 1223, 1, false},
  };
  for (const Case& c : cases) {
    for (int answer : c.answers) window_.QueueAnswer(answer);
    const size_t boxes_before = window_.message_boxes().size();
    Copy(SourceList({u"C:\\Src\\*.ini"}), u"C:\\New\\Deeper\\Backup\\", c.flags);
    EXPECT_EQ(result_, c.result) << c.flags;
    EXPECT_EQ(aborted_, c.aborted) << c.flags;
    EXPECT_EQ(fs::exists(C("New/Deeper/Backup/a.ini")), c.created) << c.flags;
    EXPECT_EQ(window_.message_boxes().size() - boxes_before, c.answers.size()) << c.flags;
    fs::remove_all(C("New"));
  }
}

TEST_F(ShellCopyTest, DestinationThatCannotBeAFolder) {
  WriteFile(C("Src/a.ini"), "a");
  WriteFile(C("Blocked"), "a file where a folder should be");
  for (const std::u16string to : {u"C:\\Blocked\\", u"C:\\Blocked\\Sub\\"}) {
    Copy(SourceList({u"C:\\Src\\a.ini"}), to, FOF_NOCONFIRMMKDIR);
    EXPECT_EQ(result_, 3) << Utf16ToUtf8(to);
    EXPECT_EQ(last_error_, 3);
  }
  EXPECT_EQ(ReadFile(C("Blocked")), "a file where a folder should be");
}

TEST_F(ShellCopyTest, OverwriteQuestionAnswers) {
  struct Case { std::vector<int> answers; int32_t result; int32_t aborted; std::string a; std::string b; };
  const Case cases[] = {
      {{vbYes, vbYes}, 0, 0, "new a", "new b"},
      {{vbNo, vbYes}, 0, 1, "old a", "new b"},
      {{vbYes, vbNo}, 0, 1, "new a", "old b"},
      {{vbCancel}, 1223, 1, "old a", "old b"},
      {{vbYes, vbCancel}, 1223, 1, "new a", "old b"},
  };
  WriteFile(C("Src/a.ini"), "new a");
  WriteFile(C("Src/b.ini"), "new b");
  for (const Case& c : cases) {
    WriteFile(C("Dst/a.ini"), "old a");
    WriteFile(C("Dst/b.ini"), "old b");
    for (int answer : c.answers) window_.QueueAnswer(answer);
    const size_t boxes_before = window_.message_boxes().size();
    Copy(SourceList({u"C:\\Src\\*.ini"}), u"C:\\Dst\\", FOF_MULTIDESTFILES);
    EXPECT_EQ(result_, c.result);
    EXPECT_EQ(last_error_, c.result);
    EXPECT_EQ(aborted_, c.aborted);
    EXPECT_EQ(ReadFile(C("Dst/a.ini")), c.a);
    EXPECT_EQ(ReadFile(C("Dst/b.ini")), c.b);
    EXPECT_FALSE(HasTempFiles(C("Dst")));
    ASSERT_EQ(window_.message_boxes().size() - boxes_before, c.answers.size());
    const FakeWindow::MessageBox& first = window_.message_boxes()[boxes_before];
    EXPECT_EQ(first.buttons, MsgBoxButtons::kYesNoCancel);
    EXPECT_EQ(first.prompt, u"此位置已经包含同名文件“a.ini”。\r\n\r\n是否要用正在复制的文件替换它？");
  }
}

// The same name twice in one request, from two folders or as one file that
// two patterns match (Brevak.ini: "\\Brevak.*" and "\\*.ini"): the second
// copy meets the first as an existing file, as in the shell.
TEST_F(ShellCopyTest, SameNameTwiceInOneRequestIsAnOverwrite) {
  WriteFile(C("One/a.ini"), "first");
  WriteFile(C("Two/a.ini"), "second");
  struct Case { std::u16string second; uint16_t flags; std::vector<int> answers; std::string kept; int32_t aborted; };
  const Case cases[] = {
      {u"C:\\Two\\*.ini", FOF_NOCONFIRMATION, {}, "second", 0},
      {u"C:\\Two\\*.ini", 0, {vbYes}, "second", 0},
      {u"C:\\Two\\*.ini", 0, {vbNo}, "first", 1},
      {u"C:\\One\\A.*", FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES, {}, "first", 0},
      {u"C:\\One\\A.*", FOF_NOCONFIRMMKDIR | FOF_MULTIDESTFILES, {vbNo}, "first", 1},
  };
  for (const Case& c : cases) {
    fs::create_directories(C("Dst"));
    for (int answer : c.answers) window_.QueueAnswer(answer);
    const size_t boxes_before = window_.message_boxes().size();
    Copy(SourceList({u"C:\\One\\*.ini", c.second}), u"C:\\Dst\\", c.flags);
    EXPECT_EQ(result_, 0) << c.flags;
    EXPECT_EQ(aborted_, c.aborted) << c.flags;
    EXPECT_EQ(ReadFile(C("Dst/a.ini")), c.kept) << c.flags;
    EXPECT_EQ(window_.message_boxes().size() - boxes_before, c.answers.size()) << c.flags;
    EXPECT_FALSE(HasTempFiles(C("Dst")));
    fs::remove_all(C("Dst"));
  }
}

TEST_F(ShellCopyTest, NeverCopiesAFileOntoItself) {
  WriteFile(C("Brevak/Brevak.exe"), "the program");
  WriteFile(C("Brevak/Addr.mdb"), "the address book");
  for (uint16_t flags : {uint16_t{FOF_NOCONFIRMATION | FOF_MULTIDESTFILES}, uint16_t{FOF_MULTIDESTFILES}}) {
    Copy(SourceList({u"C:\\Brevak\\*.mdb", u"C:\\Brevak\\Brevak.*"}), u"C:\\BREVAK\\", flags);
    EXPECT_EQ(result_, 0);
    EXPECT_EQ(aborted_, 0);
    EXPECT_EQ(ReadFile(C("Brevak/Brevak.exe")), "the program");
    EXPECT_EQ(ReadFile(C("Brevak/Addr.mdb")), "the address book");
  }
  EXPECT_TRUE(window_.message_boxes().empty());
  EXPECT_FALSE(HasTempFiles(C("Brevak")));
}

TEST_F(ShellCopyTest, ChineseNamesTravelThroughTheCodePage) {
  WriteFile(C("品牌 软件/客户资料.car"), "数据");
  Copy(SourceList({u"C:\\品牌 软件\\*.CAR"}), u"C:\\备份\\", FOF_NOCONFIRMMKDIR);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(ReadFile(C("备份/客户资料.car")), "数据");
}

TEST_F(ShellCopyTest, JournalTravelsWithItsDatabase) {
  WriteFile(C("Src/Customerdata.car"), "db");
  WriteFile(C("Src/Customerdata.car-journal"), "hot journal");
  WriteFile(C("Src/Addr.mdb"), "new addr");
  WriteFile(C("Dst/Addr.mdb"), "old addr");
  WriteFile(C("Dst/Addr.mdb-journal"), "stale journal of the old file");
  FaultyCopier counting;
  Copy(SourceList({u"C:\\Src\\*.car", u"C:\\Src\\*.mdb", u"C:\\Src\\*.*"}), u"C:\\Dst\\",
       FOF_NOCONFIRMATION, &counting);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(ReadFile(C("Dst/Customerdata.car-journal")), "hot journal");
  EXPECT_EQ(ReadFile(C("Dst/Addr.mdb")), "new addr");
  EXPECT_FALSE(fs::exists(C("Dst/Addr.mdb-journal")));
  // The journal, matched by "*.*" too, is never copied on its own: it
  // follows each copy of its database (a file matched twice is copied twice).
  EXPECT_EQ(counting.copied_from,
            (std::vector<std::string>{"Customerdata.car", "Customerdata.car-journal", "Addr.mdb",
                                      "Addr.mdb", "Customerdata.car", "Customerdata.car-journal"}));
}

TEST_F(ShellCopyTest, SkippedFileKeepsItsJournal) {
  WriteFile(C("Src/Addr.mdb"), "new addr");
  WriteFile(C("Dst/Addr.mdb"), "old addr");
  WriteFile(C("Dst/Addr.mdb-journal"), "journal of the old file");
  window_.QueueAnswer(vbNo);
  Copy(SourceList({u"C:\\Src\\Addr.mdb"}), u"C:\\Dst\\", 0);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(aborted_, 1);
  EXPECT_EQ(ReadFile(C("Dst/Addr.mdb-journal")), "journal of the old file");
}

// The package shape with one database journal; every copy in turn fails.
class FaultTest : public ShellCopyTest {
 protected:
  void MakeFolders() {
    fs::remove_all(C("Pkg"));
    fs::remove_all(C("Inst"));
    for (const char* name : {"Addr.mdb", "Brevak.exe", "Brevak.ini", "Customerdata.car", "Customerdata.car-journal"}) {
      WriteFile(C(std::string("Pkg/") + name), Bytes(6000, name[0]));
      old_[name] = "old " + std::string(name);
      if (std::string(name) != "Customerdata.car-journal") WriteFile(C(std::string("Inst/") + name), old_[name]);
    }
  }
  void CopyPackage(FileCopier* copier, CopyPlacement placement = CopyPlacement::kThroughTemporary) {
    Copy(SourceList({u"C:\\Pkg\\*.car", u"C:\\Pkg\\*.mdb", u"C:\\Pkg\\Brevak.*"}), u"C:\\Inst\\",
         FOF_NOCONFIRMATION | FOF_MULTIDESTFILES, copier, std::chrono::hours(1), placement);
  }
  // Every real name holds either its old content or the whole new file.
  void ExpectNoPartialFiles(const std::string& context) {
    for (const std::string& name : EntriesOf(C("Inst"))) {
      if (name.starts_with(".~brevak-")) continue;
      const std::string content = ReadFile(C("Inst/" + name));
      EXPECT_TRUE(content == old_[name] || content == ReadFile(C("Pkg/" + name))) << context << " " << name;
    }
  }
  std::map<std::string, std::string> old_;
};

TEST_F(FaultTest, EveryCopyCanFailAndLeavesNoPartialFile) {
  MakeFolders();
  FaultyCopier clean;
  CopyPackage(&clean);
  ASSERT_EQ(result_, 0);
  const int copies = clean.calls;
  ASSERT_EQ(copies, 5);
  for (int32_t error : {5, 32, 112}) {
    for (int k = 1; k <= copies; ++k) {
      const std::string context = "error " + std::to_string(error) + " at copy " + std::to_string(k);
      MakeFolders();
      FaultyCopier faulty;
      faulty.fail_at = k;
      faulty.error = error;
      CopyPackage(&faulty);
      EXPECT_EQ(result_, error) << context;
      EXPECT_EQ(last_error_, error) << context;
      EXPECT_EQ(faulty.calls, k) << context;  // the first failure ends the operation
      EXPECT_FALSE(HasTempFiles(C("Inst"))) << context;
      ExpectNoPartialFiles(context);
    }
  }
}

TEST_F(FaultTest, InterruptedCopyNeverShowsAPartialFileUnderItsName) {
  for (int k = 1; k <= 5; ++k) {
    const std::string context = "interrupted at copy " + std::to_string(k);
    MakeFolders();
    FaultyCopier faulty;
    faulty.fail_at = k;
    faulty.interrupt = true;
    faulty.while_failing = [&] { ExpectNoPartialFiles(context + ", while copying"); };
    EXPECT_THROW(CopyPackage(&faulty), FaultyCopier::Interrupted) << context;
    ExpectNoPartialFiles(context);
    EXPECT_FALSE(HasTempFiles(C("Inst"))) << context;
  }
}

// As Windows' shell copies: each file under its real name in the request's
// order, so a copy stopped at file k leaves the files before it new, file k
// partly written (killed) or gone (failed), and the files after it old.
TEST_F(FaultTest, InPlaceCopyWritesFileAfterFileUnderTheRealNames) {
  const std::vector<std::string> order = {"Customerdata.car", "Addr.mdb", "Brevak.exe", "Brevak.ini"};
  for (const bool interrupt : {true, false}) {
    for (int k = 1; k <= 4; ++k) {
      const std::string context = (interrupt ? "killed" : "failed") + std::string(" at copy ") + std::to_string(k);
      MakeFolders();
      fs::remove(C("Pkg/Customerdata.car-journal"));
      FaultyCopier faulty;
      faulty.fail_at = k;
      faulty.error = 112;
      faulty.interrupt = interrupt;
      std::vector<std::string> seen_while_failing;
      faulty.while_failing = [&] { seen_while_failing = {ReadFile(C("Inst/" + order[k - 1]))}; };
      if (interrupt) {
        EXPECT_THROW(CopyPackage(&faulty, CopyPlacement::kInPlace), FaultyCopier::Interrupted) << context;
      } else {
        CopyPackage(&faulty, CopyPlacement::kInPlace);
        EXPECT_EQ(result_, 112) << context;
      }
      const std::string fresh = ReadFile(C("Pkg/" + order[k - 1]));
      EXPECT_EQ(seen_while_failing, std::vector<std::string>{fresh.substr(0, fresh.size() / 2)}) << context;
      EXPECT_FALSE(HasTempFiles(C("Inst"))) << context;
      for (int i = 1; i <= 4; ++i) {
        const std::string& name = order[i - 1];
        const fs::path path = C("Inst/" + name);
        if (i < k) {
          EXPECT_EQ(ReadFile(path), ReadFile(C("Pkg/" + name))) << context << " " << name;
        } else if (i > k) {
          EXPECT_EQ(ReadFile(path), old_[name]) << context << " " << name;
        } else if (!interrupt) {
          EXPECT_FALSE(fs::exists(path)) << context << " " << name;
        }
      }
    }
  }
}

TEST_F(ShellCopyTest, LastErrorFollowsTheLastCall) {
  WriteFile(C("Src/a.ini"), "a");
  Copy(SourceList({u"C:\\Src\\missing.ini"}), u"C:\\Dst\\", FOF_NOCONFIRMMKDIR);
  EXPECT_EQ(last_error_, 2);
  PosixShellCopy shell(wine_, code_page_, window_);
  ShFileOpStruct op;
  op.wFunc = FO_COPY;
  op.pFrom = code_page_.ToAnsi(u"C:\\Src\\missing.ini" + std::u16string(2, u'\0'));
  op.pTo = "C:\\Dst\\";
  op.fFlags = FOF_NOCONFIRMMKDIR;
  op.fAnyOperationsAborted = 1;
  EXPECT_EQ(shell.SHFileOperationA(&op), 2);
  EXPECT_EQ(shell.GetLastError(), 2);
  EXPECT_EQ(op.fAnyOperationsAborted, 0);  // reset by every call
  op.pFrom = code_page_.ToAnsi(SourceList({u"C:\\Src\\a.ini"}));
  EXPECT_EQ(shell.SHFileOperationA(&op), 0);
  EXPECT_EQ(shell.GetLastError(), 0);
}

TEST_F(ShellCopyTest, RequestsItCannotMake) {
  WriteFile(C("Src/a.ini"), "a");
  struct Case { uint32_t func; std::string from; std::string to; int32_t result; };
  const Case cases[] = {
      {1, std::string("C:\\Src\\a.ini\0\0", 15), "C:\\Dst\\", 120},   // FO_MOVE
      {3, std::string("C:\\Src\\a.ini\0\0", 15), "C:\\Dst\\", 120},   // FO_DELETE
      {FO_COPY, std::string("\0\0", 2), "C:\\Dst\\", 87},
      {FO_COPY, std::string("C:\\Src\\a.ini\0\0", 15), "", 87},
  };
  for (const Case& c : cases) {
    PosixShellCopy shell(wine_, code_page_, window_);
    ShFileOpStruct op;
    op.wFunc = c.func;
    op.pFrom = c.from;
    op.pTo = c.to;
    op.fFlags = FOF_NOCONFIRMMKDIR;
    EXPECT_EQ(shell.SHFileOperationA(&op), c.result) << c.func;
    EXPECT_EQ(shell.GetLastError(), c.result);
    EXPECT_TRUE(fs::exists(C("Src/a.ini")));
    EXPECT_FALSE(fs::exists(C("Dst")));
  }
}

TEST_F(ShellCopyTest, SourceListWithoutItsClosingNulStillEnds) {
  WriteFile(C("Src/a.ini"), "a");
  WriteFile(C("Src/b.car"), "b");
  PosixShellCopy shell(wine_, code_page_, window_);
  ShFileOpStruct op;
  op.wFunc = FO_COPY;
  op.pFrom = std::string("C:\\Src\\a.ini\0C:\\Src\\b.car", 25);
  op.pTo = "C:\\Dst";
  op.fFlags = FOF_NOCONFIRMMKDIR;
  EXPECT_EQ(shell.SHFileOperationA(&op), 0);
  EXPECT_EQ(EntriesOf(C("Dst")), (Names{"a.ini", "b.car"}));
}

TEST_F(ShellCopyTest, LongCopyShowsProgressByBytes) {
  WriteFile(C("Src/Customerdata.car"), Bytes(StreamingFileCopier::kChunkBytes + 9, 'c'));
  WriteFile(C("Src/Addr.mdb"), Bytes(3 << 20, 'a'));
  Copy(SourceList({u"C:\\Src\\*.car", u"C:\\Src\\*.mdb"}), u"C:\\Dst\\", FOF_NOCONFIRMMKDIR, nullptr,
       std::chrono::seconds(0));
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(ReadFile(C("Dst/Customerdata.car")), ReadFile(C("Src/Customerdata.car")));
  EXPECT_GE(window_.operation_progress_calls(), 4);  // a start and at least one chunk per file
  EXPECT_FALSE(window_.operation_progress_visible());
  double last = -1;
  std::set<std::string> texts;
  for (const std::string& event : window_.events()) {
    if (!event.starts_with("operation ") || event == "operation hidden") continue;
    const double fraction = std::stod(event.substr(event.rfind(' ') + 1));
    EXPECT_GE(fraction, last);
    EXPECT_LE(fraction, 1.0);
    last = fraction;
    texts.insert(event.substr(10, event.rfind(' ') - 10));
  }
  EXPECT_GT(last, 0.7);
  EXPECT_EQ(texts, (std::set<std::string>{"Customerdata.car", "Addr.mdb"}));
  EXPECT_EQ(window_.events().back(), "operation hidden");
}

TEST_F(ShellCopyTest, CancelInTheProgressWindowStopsTheCopy) {
  // Customerdata.car takes three chunks: progress calls 1 (its start) to 4;
  // Addr.mdb starts at call 5.
  const std::string car = Bytes(StreamingFileCopier::kChunkBytes * 2 + 5, 'c');
  WriteFile(C("Src/Customerdata.car"), car);
  WriteFile(C("Src/Addr.mdb"), Bytes(1000, 'a'));
  struct Case { int cancel_at; bool car_copied; };
  const Case cases[] = {{1, false}, {2, false}, {3, false}, {5, true}};
  for (const Case& c : cases) {
    WriteFile(C("Dst/Customerdata.car"), "old data");
    fs::remove(C("Dst/Addr.mdb"));
    window_.CancelOperationAtCall(window_.operation_progress_calls() + c.cancel_at);
    Copy(SourceList({u"C:\\Src\\*.car", u"C:\\Src\\*.mdb"}), u"C:\\Dst\\", FOF_NOCONFIRMATION, nullptr,
         std::chrono::seconds(0));
    EXPECT_EQ(result_, 1223) << c.cancel_at;
    EXPECT_EQ(last_error_, 1223) << c.cancel_at;
    EXPECT_EQ(aborted_, 1) << c.cancel_at;
    // A file completed before the cancel stays copied; the one cut off does not appear.
    EXPECT_EQ(ReadFile(C("Dst/Customerdata.car")), c.car_copied ? car : "old data") << c.cancel_at;
    EXPECT_FALSE(fs::exists(C("Dst/Addr.mdb"))) << c.cancel_at;
    EXPECT_FALSE(HasTempFiles(C("Dst"))) << c.cancel_at;
    EXPECT_FALSE(window_.operation_progress_visible()) << c.cancel_at;
  }
}

TEST(StreamingFileCopierTest, CopiesContentModeAndTimeInChunks) {
  TempPrefix prefix;
  const fs::path from = prefix.OnDriveC("big.bin");
  const fs::path to = prefix.OnDriveC("copy.bin");
  const std::string content = Bytes(StreamingFileCopier::kChunkBytes * 2 + 17, 'x');
  WriteFile(from, content);
  fs::permissions(from, fs::perms::owner_read | fs::perms::group_read);
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(1000);
  fs::last_write_time(from, stamp);
  StreamingFileCopier copier;
  std::vector<uint64_t> reports;
  EXPECT_EQ(copier.CopyFile(from, to, [&](uint64_t done) { reports.push_back(done); return true; }), 0);
  EXPECT_EQ(ReadFile(to), content);
  EXPECT_EQ(fs::last_write_time(to), stamp);
  EXPECT_EQ(fs::status(to).permissions(), fs::perms::owner_read | fs::perms::group_read);
  ASSERT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.back(), content.size());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
}

TEST(StreamingFileCopierTest, ReportsWin32Errors) {
  TempPrefix prefix;
  WriteFile(prefix.OnDriveC("a.bin"), "a");
  WriteFile(prefix.OnDriveC("exists.bin"), "keep");
  struct Case { std::string from; std::string to; int32_t result; };
  const Case cases[] = {
      {"missing.bin", "x.bin", 2},
      {"a.bin", "no/such/folder/x.bin", 3},
      {"a.bin", "exists.bin", 80},
      {"", "y.bin", 5},  // a folder is no file
  };
  StreamingFileCopier copier;
  for (const Case& c : cases) {
    EXPECT_EQ(copier.CopyFile(prefix.OnDriveC(c.from), prefix.OnDriveC(c.to), [](uint64_t) { return true; }), c.result)
        << c.from << " -> " << c.to;
  }
  EXPECT_EQ(ReadFile(prefix.OnDriveC("exists.bin")), "keep");
  EXPECT_EQ(copier.CopyFile(prefix.OnDriveC("a.bin"), prefix.OnDriveC("c.bin"), [](uint64_t) { return false; }), 1223);
}

TEST(Win32ErrorFromErrnoTest, MapsHostErrors) {
  struct Case { int error; int32_t not_found; int32_t win32; };
  const Case cases[] = {
      {0, 2, 0},          {ENOENT, 2, 2},   {ENOENT, 3, 3},  {ENOTDIR, 2, 3},  {EACCES, 2, 5},
      {EPERM, 2, 5},      {EROFS, 2, 5},    {EISDIR, 2, 5},  {ENOSPC, 2, 112}, {EDQUOT, 2, 112},
      {EBUSY, 2, 32},     {ETXTBSY, 2, 32}, {EEXIST, 2, 80}, {ENAMETOOLONG, 2, 206},
      {EMFILE, 2, 4},     {EIO, 2, 31},
  };
  for (const Case& c : cases) EXPECT_EQ(Win32ErrorFromErrno(c.error, c.not_found), c.win32) << c.error;
}

}  // namespace
}  // namespace brevak::posix
