// The upgrade log from outside: after an update, an update with a table not
// moved, a restore and a failed restore, the installation's 升级日志.txt,
// read back through iconv from GBK, says what each run did.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "blackbox/moved_tables.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

// The log's entries in UTF-8 as the system's iconv converts them from GBK,
// each a text of CR LF-ended lines.
std::vector<std::string> Entries(const ShopMachine& machine) {
  const fs::path log = machine.install() / kUpgradeLogFile;
  std::string text;
  FILE* pipe = ::popen(("iconv -f GBK -t UTF-8 '" + log.string() + "'").c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  EXPECT_EQ(pipe != nullptr ? ::pclose(pipe) : -1, 0) << "no GBK log at " << log;
  for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) {
    EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "a line without CR LF at " << i;
  }
  std::vector<std::string> entries;
  for (size_t at = 0, end; (end = text.find("\r\n\r\n", at)) != std::string::npos; at = end + 4) {
    entries.push_back(text.substr(at, end + 2 - at));
  }
  return entries;
}

std::string Folder(const ShopMachine& machine, const fs::path& folder) {
  return machine.InstallWindows() + folder.filename().string();
}

// Each moved table's line: its rows in the backup, as many afterwards.
std::string MovedLines(const fs::path& backup, const std::string& except) {
  std::string lines;
  for (const ShopTable& table : MovedTables()) {
    if (table.name == except) continue;
    const std::string rows = std::to_string(DbReader(backup / table.file, table.key).Digest(table.name).rows);
    lines += "已转移：" + table.name + "，备份中 " + rows + " 条，升级后 " + rows + " 条\r\n";
  }
  return lines;
}

// The package's database drops every second cash-book row: the table is
// named with the counts that kept it, and the message is logged as shown.
TEST(UpgradeLogTest, ATableNotMovedIsLoggedWithItsReasonAndTheMessageAsShown) {
  ShopMachine machine;
  ExecSql(machine.package() / "Customerdata.car", shop::kCustomerKey,
          "CREATE TRIGGER drop_even BEFORE INSERT ON Cash_In WHEN NEW.ID % 2 = 0 BEGIN SELECT RAISE(IGNORE); END");
  machine.Run("yes\nclick CmdUpdate\nok\n");
  const fs::path backup = machine.BackupFolders().at(0);
  const int64_t rows = DbReader(backup / "Customerdata.car", shop::kCustomerKey).Digest("Cash_In").rows;
  const std::vector<std::string> entries = Entries(machine);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_NE(entries[0].find("）\r\n" + MovedLines(backup, "Cash_In") + "未转移：Cash_In，原因：转入后有 " +
                            std::to_string(rows / 2) + " 条，备份中有 " + std::to_string(rows) +
                            " 条，条数不一致，这个数据表的转移已撤回\r\n结果：升级没有完成：1 个数据表没有转移；升级进度文件"
                            "（upgrade-in-progress.brevak）仍在，下次点击“开始更新”会询问是否继续完成这次升级\r\n最后显示的消息：升级没有完成：有 1 个数据表的数据没有转移到新版本中：\r\n    Cash_In\r\n    这些数据没有丢失，仍保存在" +
                            NamedBackup(machine.InstallWindows(), backup.filename().string()) + "中。\r\n    再次点击“开始更新”也不能解决这个问题"),
            std::string::npos) << entries[0];
}

// An update; a restore of its backup; a restore whose copy fails (the
// folder holds a folder where the installation has a file). The update
// names its versions, backup, rows and message; each restore the folder
// restored, the folder that saved what it replaced, and its outcome.
TEST(UpgradeLogTest, AnUpdateARestoreAndAFailedRestoreLogWhatTheyDid) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");  // the backup is then the only entry
  machine.Run("yes\nclick CmdUpdate\nok\n");
  const fs::path backup = machine.BackupFolders().at(0);
  const std::string moved = MovedLines(backup, "");
  machine.Run("yes\nwait 1.1\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n");
  ASSERT_EQ(machine.BackupFolders().size(), 2u);
  const fs::path saved = machine.BackupFolders().at(1);
  fs::rename(backup, machine.install() / "gone");
  fs::remove(machine.install() / "gone" / "Brevak.exe");
  fs::create_directories(machine.install() / "gone" / "Brevak.exe");
  // Listed after the restore's dated folder: digits come before letters.
  // It is no dated folder: the restore asks first.
  const ToolRun failed = machine.Run("yes\nwait 1.1\nclick cmdGetHistory\nselect 1\nclick CmdRestore\nyes\nok\nok\n");
  ASSERT_EQ(failed.LinesStartingWith("msgbox OK").size(), 2u) << failed.Describe();
  const fs::path saved_again = machine.BackupFolders().at(1);  // "gone" is no dated folder

  const std::vector<std::string> entries = Entries(machine);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_NE(entries[0].find(" 升级 ========\r\n原来安装的版本：5.06.0004\r\n升级包的版本：5.06.0005\r\n备份文件夹：" +
                            Folder(machine, backup) + "（升级之前的数据：Brevak.exe、"),
            std::string::npos) << entries[0];
  EXPECT_TRUE(entries[0].ends_with("）\r\n" + moved + "结果：升级完成\r\n最后显示的消息：升级完成\r\n")) << entries[0];
  EXPECT_NE(entries[1].find(" 恢复 ========\r\n原来安装的版本：5.06.0005\r\n恢复的备份中的版本：5.06.0004\r\n恢复的文件夹：" +
                            Folder(machine, backup) + "\r\n备份文件夹：" + Folder(machine, saved) + "（恢复之前的数据"),
            std::string::npos) << entries[1];
  EXPECT_TRUE(entries[1].ends_with("\r\n结果：恢复完成\r\n最后显示的消息：（没有显示消息）\r\n")) << entries[1];
  EXPECT_NE(entries[2].find("恢复的文件夹：" + machine.InstallWindows() + "gone\r\n备份文件夹：" +
                            Folder(machine, saved_again) + "（恢复之前的数据"),
            std::string::npos) << entries[2];
  EXPECT_NE(entries[2].find("\r\n结果：恢复没有完成：复制失败（Windows错误代码 80）\r\n最后显示的消息：恢复没有完成：复制失败（Windows错误代码 80），"),
            std::string::npos) << entries[2];
  EXPECT_NE(entries[2].find("\r\n    恢复前的数据保存在" + NamedBackup(machine.InstallWindows(), saved_again.filename().string()) + "中。\r\n"), std::string::npos);
}

}  // namespace
}  // namespace brevak::testing
