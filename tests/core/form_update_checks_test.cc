// The guards around the copies on in-memory services: the checks before an
// update, the rows verified after each table, the backup a failed request
// leaves behind, and the backup a restore takes first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/posix/text/utf.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using testing::FakeFile;
using Lines = std::vector<std::string>;

constexpr int64_t kMiB = 1024 * 1024;
const char16_t kBackupDir[] = u"C:\\Program Files\\Brevak\\20121225051422";
const char16_t kNextBackupDir[] = u"C:\\Program Files\\Brevak\\20121225051423";
const std::string kDone = "msgbox OK 升级完成";
const std::string kBroken = "请重新获取完整的升级包后再升级。";
const std::string kPackageDatabase = "msgbox OK 升级没有进行：升级包中的一个数据库打不开。数据没有改动。\\r\\n";

// kBackupDir is there already: the clock's next second names the backup.
void TakeThisSecondsFolder(CoreHarness& harness) {
  harness.folders.existing_folders.insert(kBackupDir);
  const LocalTime now{2012, 12, 25, 5, 14, 22};
  harness.clock.readings = {now, now, now, now, now, now, LocalTime{2012, 12, 25, 5, 14, 23}};
}

// A copy request makes its destination folder, as the shell does.
void MakeDestinationOnCopy(CoreHarness& harness) {
  harness.shell.on_call = [&harness] {
    const std::string to = harness.shell.requests.back().pTo;
    harness.folders.existing_folders.insert(std::u16string(to.begin(), to.end() - 1));
  };
}

// LOCALAPPDATA as a test sets it, as it was again afterwards.
class LocalAppData {
 public:
  explicit LocalAppData(const char* value) {
    if (const char* old = std::getenv("LOCALAPPDATA")) old_ = old;
    setenv("LOCALAPPDATA", value, 1);
  }
  ~LocalAppData() { old_ ? setenv("LOCALAPPDATA", old_->c_str(), 1) : unsetenv("LOCALAPPDATA"); }

 private:
  std::optional<std::string> old_;
};

// The end of the message when the tool finds nothing a retry could remove.
const std::string kRetry =
    "\\r\\n再次点击“开始更新”也不能解决这个问题，请联系技术支持；在此之前请先不要在Brevak中录入数据。"
    "\\r\\n数据库引擎的说明：";

// The message boxes after the start prompt.
Lines MessageBoxes(const Lines& transcript) {
  Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox");
  if (!boxes.empty()) boxes.erase(boxes.begin());
  return boxes;
}

// An installation and a package with files the requests take and files
// they leave: a 47 MiB backup (Brevak.ini once, though two patterns take
// it), 1 MiB more program, the fresh customer database kept under the
// migrated rows (2 MiB) and the largest old file an incoming one is written
// beside (Brevak.exe, 5 MiB): 55 MiB, 58.75 MiB with the margin.
void PutFiles(CoreHarness& harness) {
  harness.folders.files[CoreHarness::kInstallDir] = {
      {u"Customerdata.car", 30 * kMiB}, {u"ADDR.MDB", 10 * kMiB}, {u"Brevak.exe", 5 * kMiB},
      {u"Brevak.ini", 2 * kMiB},        {u"Images.dat", 100 * kMiB}};
  harness.folders.files[u"C:\\pkg"] = {
      {u"Brevak.exe", 6 * kMiB}, {u"Customerdata.car", 2 * kMiB}, {u"readme.txt", 50 * kMiB}};
}

TEST(PreUpdateCheckTest, ChangesNothingUnlessTheDriveAndThePackageWillDo) {
  const std::string kNoSpace =
      "msgbox OK 升级没有进行：磁盘空间不足。数据没有改动。\\r\\n备份和升级需要 59 MB，"
      "安装文件夹所在的磁盘只有 58 MB 可用。\\r\\n请先释放磁盘空间，再点击“开始更新”。";
  struct Case {
    const char* name;
    std::function<void(CoreHarness&)> arrange;
    std::string script;  // after "yes\nclick CmdUpdate\n"
    Lines messages;
  };
  const Case cases[] = {
      {"drive too small", [](CoreHarness& h) { h.folders.available_space = 58 * kMiB; }, "ok\n", {kNoSpace}},
      {"drive just large enough", [](CoreHarness& h) { h.folders.available_space = 59 * kMiB; }, "ok\n", {kDone}},
      {"drive unreadable", [](CoreHarness& h) { h.folders.fail_space = true; }, "ok\n", {kDone}},
      {"program without a version: asked first, then refused",
       [](CoreHarness& h) { h.version_files.files.erase("C:\\pkg\\Brevak.exe"); },
       "yes\nok\n",
       {"msgbox YesNo 升级版本并不比当前版本更新，是否继续？",
        "msgbox OK 升级没有进行：升级包中的 Brevak.exe 已损坏，读不出它的版本信息。数据没有改动。\\r\\n" + kBroken}},
      {"program missing from the package: refused before the version question",
       [](CoreHarness& h) {
         h.version_files.files.erase("C:\\pkg\\Brevak.exe");
         h.folders.files[u"C:\\pkg"].erase(h.folders.files[u"C:\\pkg"].begin());
       },
       "ok\n",
       {"msgbox OK 升级没有进行：升级程序所在的文件夹里没有升级包的其他文件。\\r\\n数据没有改动。\\r\\n"
        "升级程序所在的文件夹：C:\\\\pkg\\r\\n如果是在压缩包（ZIP）里直接打开的升级程序，请先把整个升级包解压到"
        "这台电脑上的一个文件夹，再从那里运行升级程序，点击“开始更新”。"}},
      {"customer database that does not open",
       [](CoreHarness& h) {
         h.database.log.fail = [](const std::u16string& line) {
           return line == u"open Data Source =C:\\pkg\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw;Mode=Read";
         };
       },
       "ok\n",
       {kPackageDatabase + kBroken + "\\r\\n打不开的数据库：Customerdata.car（injected failure）"}},
      {"address book that does not open",
       [](CoreHarness& h) {
         h.folders.files[u"C:\\pkg"].push_back({u"Addr.mdb", 1});
         h.database.log.fail = [](const std::u16string& line) { return line.starts_with(u"open Data Source =C:\\pkg\\Addr.mdb"); };
       },
       "ok\n",
       {kPackageDatabase + kBroken + "\\r\\n打不开的数据库：Addr.mdb（injected failure）"}},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    PutFiles(harness);
    c.arrange(harness);
    const Lines transcript = harness.Run("yes\nclick CmdUpdate\n" + c.script + "close");
    EXPECT_EQ(MessageBoxes(transcript), c.messages) << c.name;
    const bool updated = c.messages.back() == kDone;
    EXPECT_EQ(harness.shell.requests.size(), updated ? 2u : 0u) << c.name;
    EXPECT_EQ(harness.form->sBackupDir().empty(), !updated) << c.name;
  }
}

TEST(VerifiedMigrationTest, ATableWhoseRowsDifferFromItsBackupIsRolledBackAndNamed) {
  struct Case {
    std::u16string short_count;  // answered 1 while every other count is 2
    bool count_fails;
    std::string named;
    std::string reason;  // the engine's word, as the message ends with it
  };
  const Case cases[] = {
      {u"select count(*) from [Cash_In]", false, "Cash_In", "Cash_In: 1 / 2"},
      {u"select count(*) from [;database=C:\\Program Files\\Brevak\\20121225051422\\Addr.mdb;].[People]", false,
       "People", "People: 2 / 1"},
      {u"select count(*) from [Pic]", true, "Pic", "injected failure"},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.database.log.count = [&](const std::u16string& statement) { return statement == c.short_count ? 1 : 2; };
    if (c.count_fails) {
      harness.database.log.fail = [&](const std::u16string& line) { return line == u"count " + c.short_count; };
    }
    const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
    EXPECT_EQ(MessageBoxes(transcript),
              Lines{"msgbox OK 升级没有完成：有 1 个数据表的数据没有转移到新版本中：\\r\\n" + c.named +
                    "\\r\\n这些数据没有丢失，仍保存在备份文件夹 C:\\\\Program Files\\\\Brevak\\\\20121225051422（2012年12月25日05时14分22秒）中。" + kRetry +
                    c.reason});
    const auto& log = harness.database.log.lines;
    const auto counted = std::find(log.begin(), log.end(), u"count " + c.short_count);
    ASSERT_NE(counted, log.end());
    // Rolled back before anything else of the table's, never committed.
    const auto next = std::find_if(counted, log.end(), [](const std::u16string& l) { return !l.starts_with(u"count"); });
    ASSERT_NE(next, log.end());
    EXPECT_EQ(*next, u"rollback") << posix::Utf16ToUtf8(c.short_count);
  }
}

TEST(BackupCleanupTest, AFailedBackupRemovesOnlyTheFolderItCreated) {
  struct Case {
    testing::CopyOutcome outcome;
    bool folder_was_there;
    bool removed;
  };
  const Case cases[] = {
      {{1223, 1, 1223}, false, true}, {{112, 0, 112}, false, true}, {{0, 1, 0}, false, true},
      {{.cannot_be_made = true}, false, true},   // made before the request, which never began
      {{112, 0, 112}, true, true},               // its own folder, the next second's
      {{0, 0, 0}, false, false},                 // a complete backup stays
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.shell.outcomes = {c.outcome};
    if (c.folder_was_there) TakeThisSecondsFolder(harness);
    if (!c.outcome.cannot_be_made) MakeDestinationOnCopy(harness);
    // The number (after the cancel's own text) is followed by the words.
    const Lines transcript = harness.Run(c.outcome.result == 1223 ? "yes\nclick CmdUpdate\nok\nok\nok\nclose"
                                         : c.outcome.cannot_be_made || (c.outcome.result == 0 && !c.outcome.aborted)
                                             ? "yes\nclick CmdUpdate\nok\nclose"
                                             : "yes\nclick CmdUpdate\nok\nok\nclose");
    EXPECT_EQ(transcript.back(), "exit 0");
    // A folder that was there before the request is never removed.
    const std::u16string own = c.folder_was_there ? kNextBackupDir : kBackupDir;
    EXPECT_EQ(harness.folders.deleted, c.removed ? std::vector<std::u16string>{own}
                                                 : std::vector<std::u16string>{})
        << c.outcome.result << " " << c.folder_was_there;
  }
}

TEST(RestoreBackupTest, NoRestoreWithoutABackupOfWhatItReplaces) {
  const std::string kRefused = "msgbox OK 恢复没有进行：恢复前未能备份目前的数据，";
  const std::string kUnchanged = "。\\r\\n数据没有改动。";
  struct Case {
    testing::CopyOutcome outcome;
    bool folder_was_there;  // the update's backup of this very second
    std::string reason;
  };
  const Case cases[] = {
      {{112, 0, 112}, false, "复制失败（Windows错误代码 112）"},
      {{1223, 1, 1223}, false, "复制被取消"},
      {{0, 1, 0}, false, "复制被中止"},
      {{.cannot_be_made = true}, false, "无法执行文件复制：找不到 DLL 入口点 SHFileOperationA"},
      {{112, 0, 112}, true, "复制失败（Windows错误代码 112）"},  // into the next second's folder
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
    harness.folders.files[u"C:\\Program Files\\Brevak\\20121224093000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
    harness.shell.outcomes = {c.outcome};
    if (c.folder_was_there) TakeThisSecondsFolder(harness);
    MakeDestinationOnCopy(harness);
    const Lines transcript = harness.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nclose");
    EXPECT_EQ(MessageBoxes(transcript), Lines{kRefused + c.reason + kUnchanged});
    EXPECT_EQ(harness.shell.requests.size(), 1u) << c.reason;  // no restore copy
    // Whatever the call left of its own folder goes; an older one stays.
    const std::u16string own = c.folder_was_there ? kNextBackupDir : kBackupDir;
    EXPECT_EQ(harness.folders.deleted, std::vector<std::u16string>{own}) << c.reason;
  }
}

// Which check a new update, a finishing and a restore make: each check is
// made to fail in turn; a run that makes it stops with its message before
// any copy, and a run that does not goes past it to its copies.
TEST(ChecksBeforeAnyChangeTest, EachRunMakesTheChecksOfItsColumnAndStopsAtTheFirstThatFails) {
  const std::u16string kEntry = u"C:\\Program Files\\Brevak\\20121224093000";
  struct Run {
    const char* name;
    std::function<void(CoreHarness&)> arrange;
    std::string script;
  };
  const Run runs[] = {
      {"new update", [](CoreHarness&) {}, "yes\nclick CmdUpdate\n"},
      {"finishing",
       [&](CoreHarness& h) {
         h.durable_files.texts[std::u16string(CoreHarness::kInstallDir) + u"upgrade-in-progress.brevak"] =
             u"kind=update\r\nbackup=" + kEntry +
             u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=0 0\r\n";
       },
       "yes\nclick CmdUpdate\nyes\n"},
      {"restore", [](CoreHarness&) {}, "yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n"},
  };
  struct Check {
    const char* name;
    std::function<void(CoreHarness&)> fail;
    std::string message;  // words of its message box
    bool made[3];         // by a new update, a finishing, a restore
  };
  const Check checks[] = {
      {"version", [](CoreHarness& h) { h.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0003"); },
       "msgbox YesNo 升级版本并不比当前版本更新", {true, false, false}},
      {"VirtualStore", [](CoreHarness& h) {
         h.folders.files[u"C:\\Users\\owner\\AppData\\Local\\VirtualStore\\Program Files\\Brevak"] = {{u"Addr.mdb"}};
       }, "msgbox OK 升级没有进行：这台电脑上另有Brevak数据文件的副本", {true, true, false}},
      {"space", [](CoreHarness& h) {
         h.folders.available_space = 1;
         // The restore lists its entry by the path it copies from.
         h.folders.files[std::u16string(CoreHarness::kInstallDir) + u"\\20121224093000"] = {{u"Addr.mdb"}};
       }, "没有进行：磁盘空间不足。", {true, true, true}},
      {"package", [](CoreHarness& h) {
         h.folders.files[u"C:\\pkg"].push_back({u"Customerdata.car"});
         h.database.log.fail = [](const std::u16string& line) { return line.starts_with(u"open Data Source =C:\\pkg\\"); };
       }, "msgbox OK 升级没有进行：升级包中的一个数据库打不开", {true, true, false}},
      {"files free", [](CoreHarness& h) { h.data_file_use.in_use.insert(u"C:\\Program Files\\Brevak\\Addr.mdb"); },
       "msgbox OK 数据文件正在被其他程序使用", {true, true, true}},
      {"databases open", [](CoreHarness& h) { std::erase_if(h.folders.files[CoreHarness::kInstallDir], [](const FakeFile& f) { return f.name == u"Addr.mdb"; }); },
       "msgbox OK 升级没有进行：安装文件夹中没有通讯录数据库", {true, false, false}},
  };
  const LocalAppData local_app_data("C:\\Users\\owner\\AppData\\Local");
  for (size_t r = 0; r < 3; ++r) {
    for (const Check& check : checks) {
      CoreHarness harness;
      harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
      harness.folders.files[kEntry] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
      runs[r].arrange(harness);
      check.fail(harness);
      const std::string answers = !check.made[r] ? "ok\nok\nok\n" : check.message.starts_with("msgbox YesNo") ? "no\n" : "ok\n";
      const Lines boxes = MessageBoxes(harness.Run(runs[r].script + answers + "close"));
      const bool shown = std::any_of(boxes.begin(), boxes.end(), [&](const std::string& box) { return box.find(check.message) != std::string::npos; });
      const std::string where = std::string(runs[r].name) + ", " + check.name;
      EXPECT_EQ(shown, check.made[r]) << where;
      if (check.made[r]) {
        EXPECT_TRUE(harness.shell.requests.empty()) << where;
      } else {
        EXPECT_FALSE(harness.shell.requests.empty()) << where << ": stopped before its copies";
      }
    }
  }
}

}  // namespace
}  // namespace brevak
