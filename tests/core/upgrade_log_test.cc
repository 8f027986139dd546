// The upgrade log on in-memory services: what each entry says, that no copy
// request can take the log, and that the log never changes a run.
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
using Lines = std::vector<std::string>;

const std::u16string kLog = std::u16string(CoreHarness::kInstallDir) + kUpgradeLogName;
const std::u16string kRecord = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
const std::u16string kOldBackup = u"C:\\Program Files\\Brevak\\20121224093000";

// The log as a text viewer shows it, through the system's code page.
std::string LogText(CoreHarness& harness) {
  return posix::Utf16ToUtf8(harness.code_page.FromAnsi(harness.log_files.files[kLog]));
}

// The entries of a log, each as its lines (without their CR LF).
std::vector<Lines> Entries(const std::string& log) {
  std::vector<Lines> entries(1);
  for (size_t at = 0; at < log.size();) {
    const size_t end = log.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a line without CR LF: " << log.substr(at);
      break;
    }
    const std::string line = log.substr(at, end - at);
    if (line.empty()) entries.emplace_back();
    else entries.back().push_back(line);
    at = end + 2;
  }
  entries.pop_back();  // after the last entry's empty line
  return entries;
}

bool Has(const Lines& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

void Interrupted(CoreHarness& harness) {
  harness.durable_files.texts[kRecord] = u"kind=update\r\nbackup=" + kOldBackup +
                                         u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\n"
                                         u"backup.Customerdata.car=0 0\r\n";
  harness.folders.files[kOldBackup] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  harness.folders.subfolders[kOldBackup] = {};
}

void FailIns_Policy(CoreHarness& harness) {
  harness.database.log.fail = [](const std::u16string& line) {
    return line.starts_with(u"exec Insert into [Ins_Policy]");
  };
}

void TwoBackups(CoreHarness& harness) {
  harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
  harness.folders.files[CoreHarness::kInstallDir + std::u16string(u"20121224093000")] = {{u"Brevak.exe"}};
}

struct RunCase {
  const char* name;
  void (*set_up)(CoreHarness&);
  std::string script;
  Lines expected;  // lines the entry holds; empty: no entry at all
};

const std::string kNewBackup = "C:\\Program Files\\Brevak\\20121225051422";

const RunCase kRuns[] = {
    {"plain update", [](CoreHarness&) {}, "click CmdUpdate\nok",
     {"操作：升级", "原来安装的版本：5.06.0004", "升级包的版本：5.06.0005",
      "备份文件夹：" + kNewBackup + "（升级之前的数据：（没有文件））",
      "已转移：GroupList，备份中 0 条，升级后 0 条", "已转移：Huifang_main，备份中 0 条，升级后 0 条",
      "最后显示的消息：升级完成"}},
    {"a table not moved", FailIns_Policy, "click CmdUpdate\nok",
     {"操作：升级", "未转移：Ins_Policy，原因：injected failure", "最后显示的消息：升级已完成，但以下数据未能转移：",
      "    Ins_Policy", "    原有数据仍保存在：" + kNewBackup}},
    {"finishing", Interrupted, "click CmdUpdate\nyes\nok",
     {"操作：继续完成上次升级",
      "备份文件夹：C:\\Program Files\\Brevak\\20121224093000（上次升级之前的数据（上次升级时建立），这次从中继续转移："
      "Customerdata.car、Addr.mdb）",
      "备份文件夹：" + kNewBackup + "（继续完成升级之前安装文件夹中的现有数据：（没有文件））",
      "最后显示的消息：升级完成"}},
    {"restore", TwoBackups, "click cmdGetHistory\nselect 0\nclick CmdRestore",
     {"操作：恢复", "原来安装的版本：5.06.0004", "恢复的备份中的版本：（无法读取）",
      "恢复的文件夹：C:\\Program Files\\Brevak\\20121224093000",
      "备份文件夹：" + kNewBackup + "（恢复之前的数据，即这次恢复替换掉的文件：（没有文件））", "结果：恢复完成",
      "最后显示的消息：（没有显示消息）"}},
    {"refused at the version check", [](CoreHarness& h) { h.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004"); },
     "click CmdUpdate\nno", {}},
    {"restore without a selection", [](CoreHarness&) {}, "click CmdRestore\nok", {}},
};

TEST(UpgradeLogTest, EachRunThatChangesDataFilesLeavesOneEntryOfItsFacts) {
  for (const RunCase& c : kRuns) {
    CoreHarness harness;
    c.set_up(harness);
    harness.Run("yes\n" + c.script + "\nclose");
    const std::vector<Lines> entries = Entries(LogText(harness));
    if (c.expected.empty()) {
      EXPECT_TRUE(entries.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(entries.size(), 1u) << c.name << "\n" << LogText(harness);
    EXPECT_EQ(entries[0][0], "时间：2012-12-25 05:14:22") << c.name;
    for (const std::string& line : c.expected) EXPECT_TRUE(Has(entries[0], line)) << c.name << ": " << line;
  }
}

// Whatever happens to the log, the run's messages, copies, statements and
// in-progress record are the same.
TEST(UpgradeLogTest, ALogThatCannotBeWrittenChangesNothingElse) {
  for (const RunCase& c : kRuns) {
    std::vector<std::string> runs[2];
    for (const bool fail : {false, true}) {
      CoreHarness harness;
      c.set_up(harness);
      harness.log_files.fail = fail;
      const Lines transcript = harness.Run("yes\n" + c.script + "\nclose");
      std::string& seen = runs[fail].emplace_back();
      for (const std::string& line : transcript) seen += line + "\n";
      for (const auto& request : harness.shell.requests) seen += request.pFrom + "|" + request.pTo + "\n";
      for (const std::u16string& line : harness.database.log.lines) seen += posix::Utf16ToUtf8(line) + "\n";
      for (const std::u16string& line : harness.durable_files.log) seen += posix::Utf16ToUtf8(line) + "\n";
      EXPECT_EQ(harness.exit_code(), 0) << c.name;
    }
    EXPECT_EQ(runs[0], runs[1]) << c.name;
  }
}

// No backup request takes the log (so no backup holds it and no restore,
// which copies a backup folder, replaces it), and no package request lays
// a file over it: neither by its name nor by a short name Windows may give
// it, nor by the name it is written under while it is cut.
TEST(UpgradeLogTest, NoCopyRequestTakesTheLog) {
  CoreHarness harness;
  TwoBackups(harness);
  harness.Run("yes\nclick CmdUpdate\nok\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nclose");
  ASSERT_EQ(harness.shell.requests.size(), 4u);  // backup, package, the restore's backup, restore
  const std::u16string names[] = {kUpgradeLogName, u"升级记录.TXT", u"升级记~1.TXT", u"升级~1.TXT", u"5347~1.TXT",
                                  u"升级记录.txt.new", u"升级记~1.NEW"};
  const std::u16string install = CoreHarness::kInstallDir;
  for (const auto& request : harness.shell.requests) {
    for (const std::u16string& pattern : PatternsOf(harness.code_page.FromAnsi(request.pFrom))) {
      const size_t cut = pattern.find_last_of(u'\\');
      const std::u16string folder = pattern.substr(0, cut);
      if (pattern.substr(cut + 1) == u"*.*" && folder.starts_with(install) && folder.size() > install.size()) {
        continue;  // the restore: its folder is a backup, which holds no log (above)
      }
      for (const std::u16string& name : names) {
        EXPECT_FALSE(MatchesFilePattern(pattern.substr(cut + 1), name))
            << posix::Utf16ToUtf8(pattern) << " takes " << posix::Utf16ToUtf8(name);
      }
    }
  }
}

TEST(UpgradeLogTest, AnEntryHoldsNoEmptyLineWhateverItsTextsHold) {
  UpgradeLogEntry entry;
  entry.last_message = u"第一行\r\n\r\n第三行\n第四行\r第五行\r\n";
  entry.not_moved = {{u"Pic", u"原因一\r\n原因二"}};
  const std::u16string text = FormatUpgradeLogEntry(entry);
  ASSERT_TRUE(text.ends_with(u"\r\n\r\n"));
  EXPECT_EQ(text.find(u"\r\n\r\n"), text.size() - 4);
  for (size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text[i] == u'\r' ? i + 1 < text.size() && text[i + 1] == u'\n'
                                         : text[i] != u'\n' || (i > 0 && text[i - 1] == u'\r');
    EXPECT_TRUE(crlf) << i;
  }
  EXPECT_NE(text.find(u"最后显示的消息：第一行\r\n    \r\n    第三行\r\n    第四行\r\n    第五行\r\n    \r\n"),
            std::u16string::npos);
}

}  // namespace
}  // namespace brevak
