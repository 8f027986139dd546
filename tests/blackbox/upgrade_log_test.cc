// The upgrade log from outside: after an update, an update with a table not
// moved, a restore and a failed restore, the installation's 升级记录.txt,
// read back through iconv from GBK, says what each run did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "blackbox/moved_tables.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The log's text in UTF-8, converted by the system's iconv.
std::string ReadLog(const ShopMachine& machine) {
  const fs::path log = machine.install() / kUpgradeLogFile;
  EXPECT_TRUE(fs::exists(log));
  std::string text;
  FILE* pipe = ::popen(("iconv -f GBK -t UTF-8 '" + log.string() + "'").c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0) << "the log is not GBK";
  return text;
}

// Each entry as its lines; every line must end in CR LF.
std::vector<Lines> Entries(const std::string& log) {
  std::vector<Lines> entries(1);
  for (size_t at = 0; at < log.size();) {
    const size_t end = log.find("\r\n", at);
    if (end == std::string::npos || log.substr(at, end - at).find('\n') != std::string::npos) {
      ADD_FAILURE() << "a line not ended by CR LF at " << at;
      break;
    }
    if (end == at) entries.emplace_back();
    else entries.back().push_back(log.substr(at, end - at));
    at = end + 2;
  }
  entries.pop_back();
  return entries;
}

// The lines of `entry` that start with `start`.
Lines Starting(const Lines& entry, const std::string& start) {
  Lines found;
  for (const std::string& line : entry) {
    if (line.starts_with(start)) found.push_back(line);
  }
  return found;
}

bool Has(const Lines& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

std::string Backslashed(const fs::path& folder, const ShopMachine& machine) {
  return machine.InstallWindows() + folder.filename().string();
}

// Every moved table as the entry must name it: its rows in the backup,
// the same rows in the installation afterwards.
Lines MovedLines(const fs::path& backup, const std::string& except) {
  Lines lines;
  for (const ShopTable& table : MovedTables()) {
    if (table.name == except) continue;
    const int64_t rows = DbReader(backup / table.file, table.key).Digest(table.name).rows;
    lines.push_back("已转移：" + table.name + "，备份中 " + std::to_string(rows) + " 条，升级后 " +
                    std::to_string(rows) + " 条");
  }
  return lines;
}

TEST(UpgradeLogTest, AnUpdateLogsItsVersionsBackupRowsAndMessage) {
  ShopMachine machine;
  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");
  const fs::path backup = machine.BackupFolders().at(0);
  const std::vector<Lines> entries = Entries(ReadLog(machine));
  ASSERT_EQ(entries.size(), 1u) << run.Describe();
  const Lines& entry = entries[0];
  EXPECT_EQ(Starting(entry, "时间：").size(), 1u);
  EXPECT_EQ(Starting(entry, "操作："), Lines{"操作：升级"});
  EXPECT_EQ(Starting(entry, "原来安装的版本："), Lines{"原来安装的版本：5.06.0004"});
  EXPECT_EQ(Starting(entry, "升级包的版本："), Lines{"升级包的版本：5.06.0005"});
  const Lines backups = Starting(entry, "备份文件夹：");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].starts_with("备份文件夹：" + Backslashed(backup, machine) + "（升级之前的数据：")) << backups[0];
  for (const char* file : {"Customerdata.car", "Addr.mdb", "Brevak.exe", "Brevak.ini"}) {
    EXPECT_NE(backups[0].find(file), std::string::npos) << file;
  }
  EXPECT_EQ(Starting(entry, "已转移："), MovedLines(backup, ""));
  EXPECT_TRUE(Starting(entry, "未转移：").empty());
  EXPECT_EQ(entry.back(), "最后显示的消息：升级完成");
}

// The package's database drops every second cash-book row: the table is
// named with the counts that kept it from moving, and the message is
// logged line by line as it was shown.
TEST(UpgradeLogTest, ATableNotMovedIsLoggedWithItsReasonAndTheMessageAsShown) {
  ShopMachine machine;
  ExecSql(machine.package() / "Customerdata.car", shop::kCustomerKey,
          "CREATE TRIGGER drop_even BEFORE INSERT ON Cash_In WHEN NEW.ID % 2 = 0 BEGIN SELECT RAISE(IGNORE); END");
  machine.Run("yes\nclick CmdUpdate\nok\n");
  const fs::path backup = machine.BackupFolders().at(0);
  const std::vector<Lines> entries = Entries(ReadLog(machine));
  ASSERT_EQ(entries.size(), 1u);
  const Lines& entry = entries[0];
  EXPECT_EQ(Starting(entry, "已转移："), MovedLines(backup, "Cash_In"));
  const int64_t rows = DbReader(backup / "Customerdata.car", shop::kCustomerKey).Digest("Cash_In").rows;
  const Lines not_moved = Starting(entry, "未转移：");
  ASSERT_EQ(not_moved.size(), 1u);
  EXPECT_TRUE(not_moved[0].starts_with("未转移：Cash_In，原因：")) << not_moved[0];
  EXPECT_NE(not_moved[0].find(std::to_string(rows / 2)), std::string::npos) << not_moved[0];
  const auto message = std::find_if(entry.begin(), entry.end(),
                                    [](const std::string& line) { return line.starts_with("最后显示的消息："); });
  ASSERT_LE(message + 3, entry.end());
  EXPECT_EQ(Lines(message, message + 3), (Lines{"最后显示的消息：升级已完成，但以下数据未能转移：", "    Cash_In",
                                                "    原有数据仍保存在：" + Backslashed(backup, machine)}));
}

// A restore after the update: a second entry names the folder restored,
// the folder that saved what it replaced, and the outcome.
TEST(UpgradeLogTest, ARestoreLogsWhatItRestoredAndWhereThePresentDataWent) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");  // the backup is then the only entry
  machine.Run("yes\nclick CmdUpdate\nok\n");
  const fs::path backup = machine.BackupFolders().at(0);
  const ToolRun run = machine.Run("yes\nwait 1.1\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n");
  ASSERT_EQ(machine.BackupFolders().size(), 2u) << run.Describe();
  const fs::path saved = machine.BackupFolders().at(1);

  const std::vector<Lines> entries = Entries(ReadLog(machine));
  ASSERT_EQ(entries.size(), 2u);
  const Lines& entry = entries[1];
  EXPECT_EQ(Starting(entry, "操作："), Lines{"操作：恢复"});
  EXPECT_EQ(Starting(entry, "原来安装的版本："), Lines{"原来安装的版本：5.06.0005"});
  EXPECT_EQ(Starting(entry, "恢复的备份中的版本："), Lines{"恢复的备份中的版本：5.06.0004"});
  EXPECT_EQ(Starting(entry, "恢复的文件夹："), Lines{"恢复的文件夹：" + Backslashed(backup, machine)});
  const Lines backups = Starting(entry, "备份文件夹：");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].starts_with("备份文件夹：" + Backslashed(saved, machine) + "（恢复之前的数据")) << backups[0];
  EXPECT_EQ(Starting(entry, "结果："), Lines{"结果：恢复完成"});
  EXPECT_EQ(entry.back(), "最后显示的消息：（没有显示消息）");
}

// The folder goes away between the listing and the restore: the copy fails
// with a number, the words that follow it name the folder that saved the
// present data, and the log says so.
TEST(UpgradeLogTest, AFailedRestoreLogsTheFailureAndTheNumberShown) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");
  const fs::path gone = machine.install() / "20121225051422";
  fs::create_directories(gone);
  WriteFile(gone / "Brevak.ini", "[old]");
  ToolProcess tool(machine.Launch("yes\nclick cmdGetHistory\nwait 2\nselect 0\nclick CmdRestore\nok\n"));
  ASSERT_TRUE(tool.WaitForLine("list add 20121225051422"));
  fs::remove_all(gone);
  const ToolRun run = tool.Finish();
  const Lines boxes = run.LinesStartingWith("msgbox OK");
  ASSERT_EQ(boxes.size(), 2u) << run.Describe();
  EXPECT_EQ(boxes[0], "msgbox OK 3");

  const std::vector<Lines> entries = Entries(ReadLog(machine));
  ASSERT_EQ(entries.size(), 1u);
  const Lines& entry = entries[0];
  EXPECT_EQ(Starting(entry, "操作："), Lines{"操作：恢复"});
  EXPECT_EQ(Starting(entry, "恢复的文件夹："), Lines{"恢复的文件夹：" + machine.InstallWindows() + "20121225051422"});
  ASSERT_EQ(machine.BackupFolders().size(), 1u);
  const std::string saved = Backslashed(machine.BackupFolders()[0], machine);
  const Lines backups = Starting(entry, "备份文件夹：");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].starts_with("备份文件夹：" + saved + "（恢复之前的数据")) << backups[0];
  EXPECT_EQ(Starting(entry, "结果："), Lines{"结果：恢复没有完成：复制失败，错误代码 3"});
  const Lines message = Starting(entry, "最后显示的消息：");
  ASSERT_EQ(message.size(), 1u);
  EXPECT_TRUE(message[0].starts_with("最后显示的消息：恢复没有完成：复制 ")) << message[0];
  EXPECT_TRUE(Has(entry, "    恢复之前的数据保存在：" + saved));
}

}  // namespace
}  // namespace brevak::testing
