// The backup history from outside: the list of the installation's
// subfolders, the restore button's label, and the restore's questions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "blackbox/restore_backup.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

// Folder names and the labels the restore button takes for them.
const std::map<std::string, std::string>& Labels() {
  static const std::map<std::string, std::string> labels = {
      {"20121225051422", "恢复2012年12月25日05时14分22秒数据"},
      {"备份", "恢复备份备份秒数据"},
      {"Old Backups 2012", "恢复OlBa年ck月up日s 时20分12秒数据"},
      {"Images", "恢复ImIm时ag分es秒数据"},
      // U+20000 is two UTF-16 units: the pair stays whole here ...
      {"备份\xF0\xA0\x80\x80", "恢复备份备份分\xF0\xA0\x80\x80秒数据"},
      // ... and is cut here, its lone half shown as U+FFFD.
      {"\xF0\xA0\x80\x80表", "恢复\xF0\xA0\x80\x80\xEF\xBF\xBD表秒数据"},
  };
  return labels;
}

// Makes every labelled folder (Images is one of the installation's own).
void MakeFolders(const ShopMachine& machine) {
  for (const auto& [name, label] : Labels()) fs::create_directories(machine.install() / name);
  WriteFile(machine.install() / "20121225051422" / "Brevak.ini", "old settings\r\n");
}

// The folders in the order the history lists them, NTFS's: by their
// upper-cased UTF-16 units, a name before the longer ones it begins.
// What the copy reports when it cannot make a folder where a file stands.
const char kFailedCopyCode[] = "80";

const std::vector<std::string> kListedOrder = {"20121225051422", "Images", "Old Backups 2012", "备份",
                                               "备份\xF0\xA0\x80\x80", "\xF0\xA0\x80\x80表"};

TEST(HistoryTest, EveryClickRebuildsTheListInNtfsOrder) {
  ShopMachine machine;
  MakeFolders(machine);
  const std::vector<std::string>& order = kListedOrder;
  ASSERT_EQ(order.size(), Labels().size());

  const ToolRun run = machine.Run("yes\nclick cmdGetHistory\nclick cmdGetHistory\n");

  std::vector<std::string> expected;
  for (const std::string& name : order) expected.push_back("list add " + name);
  for (size_t i = 0; i < order.size(); ++i) expected.push_back("list remove 0");
  for (const std::string& name : order) expected.push_back("list add " + name);
  EXPECT_EQ(run.LinesStartingWith("list "), expected) << run.Describe();
  EXPECT_TRUE(run.LinesStartingWith("msgbox OK").empty());
}

TEST(HistoryTest, SelectingAnEntryLabelsTheRestoreButton) {
  ShopMachine machine;
  MakeFolders(machine);
  const std::vector<std::string>& order = kListedOrder;
  std::string script = "yes\nclick cmdGetHistory\n";
  std::vector<std::string> expected;
  for (size_t i = 0; i < order.size(); ++i) {
    script += "select " + std::to_string(i) + "\n";
    expected.push_back("caption CmdRestore " + Labels().at(order[i]));
  }
  // Selecting again gives the same label; nothing selected reads no text.
  script += "select 0\nselect -1\n";
  expected.push_back("caption CmdRestore " + Labels().at(order[0]));
  expected.push_back("caption CmdRestore 恢复数据");

  const ToolRun run = machine.Run(script);
  EXPECT_EQ(run.LinesStartingWith("caption "), expected) << run.Describe();
}

TEST(HistoryTest, AfterARefreshTheRestoreAsksForASelectionAndCopiesNothing) {
  ShopMachine machine;
  MakeFolders(machine);
  const TreeSnapshot before = SnapshotTree(machine.prefix().root());

  const ToolRun run = machine.Run("yes\nclick cmdGetHistory\nselect 0\nclick cmdGetHistory\nclick CmdRestore\nok\n");

  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{OkBox("请点击左侧列表选择需要恢复的数据")})
      << run.Describe();
  // The label of the earlier selection stays.
  EXPECT_EQ(run.LinesStartingWith("caption ").size(), 1u);
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.prefix().root())), "");
}

TEST(HistoryTest, AnInstallationWithoutSubfoldersSaysSoOnce) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");
  const ToolRun run = machine.Run("yes\nclick cmdGetHistory\nok\n");
  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{OkBox("没有找到升级记录")}) << run.Describe();
  EXPECT_TRUE(run.LinesStartingWith("list ").empty());
}

// The folder goes away between the listing and the restore: the restore
// is refused before its safety copy, and nothing changes.
TEST(HistoryTest, AFolderDeletedAfterTheListingIsRefusedBeforeAnythingChanges) {
  ShopMachine machine;
  MakeFolders(machine);
  const std::vector<std::string>& order = kListedOrder;
  const size_t index = std::find(order.begin(), order.end(), "20121225051422") - order.begin();

  ToolProcess tool(machine.Launch("yes\nclick cmdGetHistory\nwait 2\nselect " + std::to_string(index) +
                                  "\nclick CmdRestore\nok\nclick CmdClose\n"));
  ASSERT_TRUE(tool.WaitForLine("list add " + order.back()));
  fs::remove_all(machine.install() / "20121225051422");
  const TreeSnapshot before = SnapshotTree(machine.install());
  const ToolRun run = tool.Finish();

  EXPECT_EQ(run.LinesStartingWith("msgbox OK"),
            std::vector<std::string>{OkBox("恢复没有进行：要恢复的文件夹 20121225051422 已经不存在。\r\n数据没有改动。\r\n"
                                           "请点击“显示升级记录”，重新选择要恢复的数据；如有疑问，请联系技术支持。")})
      << run.Describe();
  EXPECT_EQ(run.transcript.back(), "exit 0");
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.install())), "");
}

// The restore's copy fails (a folder in the entry where the installation
// has a file): the copy's outcome is reported as the copy reports it, and
// the tool goes on.
TEST(HistoryTest, AFailedRestoreCopyIsReportedByTheCopy) {
  ShopMachine machine;
  MakeFolders(machine);
  for (const char* name : {"Addr.mdb", "Customerdata.car"}) {
    fs::copy_file(machine.install() / name, machine.install() / "20121225051422" / name);
  }
  fs::create_directories(machine.install() / "20121225051422" / "Brevak.exe");
  const std::vector<std::string>& order = kListedOrder;
  const size_t index = std::find(order.begin(), order.end(), "20121225051422") - order.begin();
  const TreeSnapshot before = SnapshotTree(machine.install());

  const ToolRun run =
      machine.Run("yes\nclick cmdGetHistory\nselect " + std::to_string(index) + "\nclick CmdRestore\nok\nok\n");

  const std::vector<std::string> boxes = run.LinesStartingWith("msgbox OK");
  ASSERT_EQ(boxes.size(), 2u) << run.Describe();
  EXPECT_EQ(boxes[0], OkBox(kFailedCopyCode));
  // then in words, naming the folder that saved what the restore replaced
  EXPECT_TRUE(boxes[1].starts_with(OkBox("恢复没有完成："))) << boxes[1];
  EXPECT_EQ(run.transcript.back(), "exit 0");
  TreeSnapshot expected = before;
  // The restore backed up what it would have replaced before it failed.
  const TreeSnapshot after = SnapshotTree(machine.install());
  const std::vector<std::string> taken = NewDatedFolders(before, after);
  ASSERT_EQ(taken.size(), 1u);
  AddDataFilesBackup(expected, before, taken[0]);
  ExpectUpgradeLog(expected, after);
  // The failed restore stays recorded, to be reported at the next start.
  ASSERT_EQ(after.count("upgrade-in-progress.brevak"), 1u);
  expected["upgrade-in-progress.brevak"] = after.at("upgrade-in-progress.brevak");
  EXPECT_NE(boxes[1].find(taken[0]), std::string::npos) << boxes[1];
  EXPECT_EQ(DescribeChanges(expected, after), "");
}

}  // namespace
}  // namespace brevak::testing
