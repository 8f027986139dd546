// Update and restore from outside: the backup an update made, copied
// back, gives the installation its files as they were.
#include <gtest/gtest.h>

#include <filesystem>

#include "blackbox/restore_backup.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

// The installation after an update and the restore of its backup: the
// backed-up files as they were before the update, the package's other
// files as the update left them, the backup folder as it was made.
TreeSnapshot ExpectedAfterRestore(const TreeSnapshot& before, const TreeSnapshot& package,
                                  const std::string& backup) {
  TreeSnapshot expected = before;
  for (const PackageFile& file : PackageExtras()) {
    if (file.copied && before.count(file.name) == 0) expected[file.name] = package.at(file.name);
  }
  expected[backup] = "folder";
  for (const char* name : {"Addr.mdb", "Customerdata.car", "Brevak.exe"}) {
    expected[backup + "/" + name] = before.at(name);
  }
  for (const PackageFile& file : InstallationExtras()) {
    if (file.copied) expected[backup + "/" + file.name] = before.at(file.name);
  }
  return expected;
}

TEST(RestoreTest, ALaterRunRestoresTheBackupByteForByte) {
  ShopMachine machine;
  const TreeSnapshot before = SnapshotTree(machine.install());
  const TreeSnapshot package = SnapshotTree(machine.package());
  const ToolRun update = machine.Run("yes\nclick CmdUpdate\nok\n");
  ASSERT_EQ(update.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << update.Describe();
  const std::string backup = machine.BackupFolders().at(0).filename().string();
  const TreeSnapshot updated = SnapshotTree(machine.install());

  // The wait keeps the restore's own backup out of the update's second.
  // The dated folder's digits list it before Images.
  const ToolRun restore = machine.Run("yes\nwait 1.1\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n");

  EXPECT_TRUE(restore.LinesStartingWith("msgbox OK").empty()) << restore.Describe();
  EXPECT_EQ(restore.transcript.back(), "exit 0");
  const TreeSnapshot after = SnapshotTree(machine.install());
  TreeSnapshot expected = ExpectedAfterRestore(before, package, backup);
  const std::vector<std::string> taken = NewDatedFolders(updated, after);
  ASSERT_EQ(taken.size(), 1u);
  AddDataFilesBackup(expected, updated, taken[0]);  // the updated files, to undo the restore with
  ExpectUpgradeLog(expected, after);
  EXPECT_EQ(DescribeChanges(expected, after), "");
}

// Restored in the run that updated: the connection is then open on the
// customer database the restore replaces.
TEST(RestoreTest, TheSameRunRestoresTheBackupItJustMade) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");  // the backup is then the only entry
  const TreeSnapshot before = SnapshotTree(machine.install());
  const TreeSnapshot package = SnapshotTree(machine.package());

  // The wait gives the restore's own backup a second of its own, and the
  // installation is taken as the restore finds it.
  ToolProcess tool(machine.Launch("yes\nclick CmdUpdate\nok\nwait 1.5\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n"));
  ASSERT_TRUE(tool.WaitForLine("answer ok"));
  const TreeSnapshot updated = SnapshotTree(machine.install());
  const ToolRun run = tool.Finish();

  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
  EXPECT_EQ(run.transcript.back(), "exit 0");
  ASSERT_EQ(machine.BackupFolders().size(), 2u);
  const std::string backup = machine.BackupFolders()[0].filename().string();
  TreeSnapshot expected = ExpectedAfterRestore(before, package, backup);
  AddDataFilesBackup(expected, updated, machine.BackupFolders()[1].filename().string());
  const TreeSnapshot after = SnapshotTree(machine.install());
  ExpectUpgradeLog(expected, after);
  EXPECT_EQ(DescribeChanges(expected, after), "");
}

}  // namespace
}  // namespace brevak::testing
