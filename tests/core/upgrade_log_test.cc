// The upgrade log on in-memory services: what an entry says where the
// black-box tests do not reach (finishing, refusals, odd texts), that the
// log never changes a run, and that no copy request can take it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/upgrade_log.h"
#include "platform/file_pattern.h"
#include "platform/posix/text/utf.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using testing::CoreHarness;

const std::u16string kLog = std::u16string(CoreHarness::kInstallDir) + kUpgradeLogName;
const std::u16string kOldBackup = u"C:\\Program Files\\Brevak\\20121224093000";
const std::string kNewBackup = "C:\\Program Files\\Brevak\\20121225051422";

void Interrupted(CoreHarness& h) {
  h.durable_files.texts[u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak"] =
      u"kind=update\r\nbackup=" + kOldBackup +
      u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=0 0\r\n";
  h.folders.files[kOldBackup] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  h.folders.subfolders[kOldBackup] = {};
}

struct RunCase {
  const char* name;
  void (*set_up)(CoreHarness&);
  std::string script;
  std::string expected;  // the entry after its first line; empty: no entry
};

const std::string kRecordLeft = "；升级进度文件（upgrade-in-progress.brevak）仍在，下次点击“开始更新”会询问是否继续完成这次升级\r\n";

const RunCase kRuns[] = {
    {"finishing", Interrupted, "click CmdUpdate\nyes\nok",
     "继续完成上次升级 ========\r\n原来安装的版本：（无法读取）\r\n升级包的版本：5.06.0005\r\n"
     "备份文件夹：C:\\Program Files\\Brevak\\20121224093000（上次升级之前的数据（上次升级时建立），这次从中继续转移："
     "Customerdata.car、Addr.mdb）\r\n备份文件夹：" + kNewBackup +
     "（继续升级前另存的数据：（没有文件））\r\n"},
    {"an update", [](CoreHarness&) {}, "click CmdUpdate\nok", "\r\n结果：升级完成\r\n最后显示的消息：升级完成\r\n"},
    {"a table whose engine fails in two lines",
     [](CoreHarness& h) {
       h.database.log.fail = [](const std::u16string& line) { return line.starts_with(u"exec Insert into [Pic]"); };
     },
     "click CmdUpdate\nok", "未转移：Pic，原因：injected failure\r\n结果：升级没有完成：1 个数据表没有转移" + kRecordLeft +
     "最后显示的消息：升级没有完成：有 1 个数据表的数据没有转移到新版本中：\r\n    Pic\r\n"},
    {"a table whose rows differ from its backup's",
     [](CoreHarness& h) { h.database.log.count = [](const std::u16string& s) { return s == u"select count(*) from [Cash_In]" ? 1 : 2; }; },
     "click CmdUpdate\nok", "未转移：Cash_In，原因：转入后有 1 条，备份中有 2 条，条数不一致，这个数据表的转移已撤回\r\n"},
    {"a record that cannot be removed", [](CoreHarness& h) { h.durable_files.fail_remove = true; },
     "click CmdUpdate\nok\nok", "\r\n结果：升级没有完成：数据表都已转移" + kRecordLeft},
    {"refused at the version check", [](CoreHarness& h) { h.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004"); },
     "click CmdUpdate\nno", ""},
    {"restore without a selection", [](CoreHarness&) {}, "click CmdRestore\nok", ""},
};

TEST(UpgradeLogTest, ARunThatChangesDataFilesLeavesOneEntryOfItsFacts) {
  for (const RunCase& c : kRuns) {
    CoreHarness harness;
    c.set_up(harness);
    harness.Run("yes\n" + c.script + "\nclose");
    const std::string log = posix::Utf16ToUtf8(harness.code_page.FromAnsi(harness.log_files.files[kLog]));
    if (c.expected.empty()) {
      EXPECT_EQ(log, "") << c.name;
      continue;
    }
    EXPECT_TRUE(log.starts_with("======== 2012-12-25 05:14:22 ")) << c.name << "\n" << log;
    EXPECT_NE(log.find(c.expected), std::string::npos) << c.name << "\n" << log;
    EXPECT_EQ(log.find("\r\n\r\n"), log.size() - 4) << c.name << ": one entry, ended by its one empty line";
  }
}

// Whatever happens to the log, the run's messages, copies, statements and
// in-progress record are the same.
TEST(UpgradeLogTest, ALogThatCannotBeWrittenChangesNothingElse) {
  for (const RunCase& c : kRuns) {
    std::string runs[2];
    for (const bool fail : {false, true}) {
      CoreHarness harness;
      c.set_up(harness);
      harness.log_files.fail = fail;
      for (const std::string& line : harness.Run("yes\n" + c.script + "\nclose")) runs[fail] += line + "\n";
      for (const auto& request : harness.shell.requests) runs[fail] += request.pFrom + "|" + request.pTo + "\n";
      for (const std::u16string& line : harness.database.log.lines) runs[fail] += posix::Utf16ToUtf8(line) + "\n";
      for (const std::u16string& line : harness.durable_files.log) runs[fail] += posix::Utf16ToUtf8(line) + "\n";
    }
    EXPECT_EQ(runs[0], runs[1]) << c.name;
  }
}

// No backup request takes the log (so no backup holds it, and no restore,
// which copies a backup folder, replaces it) and no package request lays a
// file over it: neither by its name, nor by a short name Windows may give
// it, nor by the name it is cut under.
TEST(UpgradeLogTest, NoCopyRequestTakesTheLog) {
  CoreHarness harness;
  harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
  harness.folders.files[kOldBackup] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  const LocalTime now{2012, 12, 25, 5, 14, 22};
  harness.clock.readings = {now, now, now, now, now, now, LocalTime{2012, 12, 25, 5, 14, 23}};  // the restore's own folder
  harness.Run("yes\nclick CmdUpdate\nok\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nclose");
  ASSERT_EQ(harness.shell.requests.size(), 4u);  // backup, package, the restore's backup, restore
  const std::u16string names[] = {kUpgradeLogName,      kEarlierUpgradeLogName, u"升级日~1.TXT", u"5347~1.TXT",
                                  u"升级日志.txt.new", u"升级日~1.NEW"};
  for (const auto& request : harness.shell.requests) {
    for (const std::u16string& pattern : PatternsOf(harness.code_page.FromAnsi(request.pFrom))) {
      const std::u16string folder = pattern.substr(0, pattern.find_last_of(u'\\'));
      const std::u16string name_pattern = pattern.substr(folder.size() + 1);
      if (folder == CoreHarness::kInstallDir + std::u16string(u"\\20121224093000")) continue;  // the restore
      for (const std::u16string& name : names) {
        EXPECT_FALSE(MatchesFilePattern(name_pattern, name)) << posix::Utf16ToUtf8(pattern) << " takes "
                                                             << posix::Utf16ToUtf8(name);
      }
    }
  }
}

// A log of the earlier name takes the new one at the next entry; a file of
// the new name is never replaced, and a log that cannot be renamed goes on
// under its earlier name: one log, with every entry it held.
TEST(UpgradeLogTest, TheEarlierLogTakesTheNewNameWithoutReplacingAFile) {
  const std::u16string earlier = std::u16string(CoreHarness::kInstallDir) + kEarlierUpgradeLogName;
  struct Case { bool taken, rename_fails; std::string new_log, earlier_log; };  // "+": the run's entry added
  const Case cases[] = {{false, false, "earlier|+", ""}, {true, false, "taken|+", "earlier|"}, {false, true, "", "earlier|+"}};
  for (const Case& c : cases) {
    CoreHarness harness;
    auto& files = harness.log_files.files;
    files[earlier] = "earlier|";
    if (c.taken) files[kLog] = "taken|";
    harness.log_files.fail_rename = c.rename_fails;
    harness.Run("yes\nclick CmdUpdate\nok\nclose");
    const auto shape = [](const std::string& log) { return log.substr(0, log.find("====")) + (log.find("====") != std::string::npos ? "+" : ""); };
    EXPECT_EQ(shape(files[kLog]) + " " + shape(files[earlier]), c.new_log + " " + c.earlier_log) << c.taken << c.rename_fails;
  }
}

}  // namespace
}  // namespace brevak
