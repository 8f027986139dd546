// The migration killed at random moments: whatever the moment, every table
// holds either the package's rows or the backup's, every database is
// sound, the backup is as it was made, and the tool runs again.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <random>

#include "blackbox/moved_tables.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

constexpr int kKills = 8;
// Enough rows that the migration takes a while to kill into.
constexpr int64_t kShopRows = 20000;

// The installation's files the backup takes, by name, with their checksums.
std::map<std::string, std::string> BackedUpFiles(const ShopMachine& machine) {
  std::map<std::string, std::string> files;
  for (const char* name : {"Addr.mdb", "Customerdata.car", "Brevak.exe"}) {
    files[name] = FileChecksum(machine.install() / name);
  }
  for (const PackageFile& file : InstallationExtras()) {
    if (file.copied) files[file.name] = FileChecksum(machine.install() / file.name);
  }
  return files;
}

std::map<std::string, std::string> FilesOf(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = FileChecksum(entry.path());
  }
  return files;
}

// Copies the databases as the killed process left them, each with its
// rollback journal, so that reading them does not change the originals.
void CopyDatabases(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const char* name : {"Addr.mdb", "Customerdata.car", "Addr.mdb-journal", "Customerdata.car-journal"}) {
    if (fs::exists(from / name)) fs::copy_file(from / name, to / name);
  }
}

// A line of the bar from "progress visible 1" to the last value, 97.
std::string RandomKillLine(std::mt19937& random) {
  const int step = std::uniform_int_distribution<int>(0, 27)(random);
  return step == 0 ? "progress visible 1" : "progress value " + std::to_string(16 + 3 * step);
}

// Backup folders are named by the second: a later update must not find
// the folder of the earlier one.
void WaitForTheNextSecond(const std::string& stamp) {
  for (;;) {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", std::localtime(&now));
    if (text != stamp) return;
    usleep(50000);
  }
}

void ExpectWholeTables(const fs::path& killed, const fs::path& backup, const fs::path& package) {
  for (const char* name : {"Addr.mdb", "Customerdata.car"}) {
    const std::string key = std::string(name) == "Addr.mdb" ? "" : kCustomerKey;
    EXPECT_EQ(IntegrityCheck(killed / name, key), "ok") << name;
    EXPECT_EQ(IntegrityCheck(backup / name, key), "ok") << name;
  }
  const Digests now = DigestMoved(killed, backup);
  const Digests saved = DigestMoved(backup, backup);
  const Digests shipped = DigestMoved(package, backup);
  for (const ShopTable& table : MovedTables()) {
    const TableDigest& digest = now.at(table.name);
    EXPECT_TRUE(digest == saved.at(table.name) || digest == shipped.at(table.name))
        << table.name << ": " << digest.rows << " rows, backup " << saved.at(table.name).rows << ", package "
        << shipped.at(table.name).rows;
  }
  const std::vector<ShopTable> discounts = {{"Ins_Discount", "Customerdata.car", kCustomerKey}};
  EXPECT_EQ(DigestMoved(killed, package, discounts), DigestMoved(package, package, discounts));
}

TEST(CrashConsistencyTest, AKilledMigrationLeavesWholeTablesAndAnIntactBackup) {
  std::mt19937 random(static_cast<unsigned>(::testing::UnitTest::GetInstance()->random_seed()));
  ShopLayout layout;
  layout.shop_rows = kShopRows;
  int landed = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    ShopMachine machine(layout);
    const std::map<std::string, std::string> saved = BackedUpFiles(machine);
    const std::string kill_line = RandomKillLine(random);
    const int delay_us = std::uniform_int_distribution<int>(0, 30000)(random);
    SCOPED_TRACE("kill " + std::to_string(kill) + " after \"" + kill_line + "\" and " + std::to_string(delay_us) +
                 " us");

    ToolProcess tool(machine.Launch("yes\nclick CmdUpdate\nok\n"));
    ASSERT_TRUE(tool.WaitForLine(kill_line));
    usleep(static_cast<useconds_t>(delay_us));
    tool.Kill();
    const ToolRun run = tool.Finish();
    ASSERT_FALSE(run.timed_out) << run.Describe();
    // Either the kill landed or the update had just ended on its own.
    ASSERT_TRUE(run.signal == SIGKILL || run.exit_code == 0) << run.Describe();
    landed += run.signal == SIGKILL ? 1 : 0;

    ASSERT_EQ(machine.BackupFolders().size(), 1u);
    const fs::path backup = machine.BackupFolders()[0];
    EXPECT_EQ(FilesOf(backup), saved);
    const fs::path killed = machine.prefix().root() / "killed";
    CopyDatabases(machine.install(), killed);
    ExpectWholeTables(killed, backup, machine.package());

    // A kill that came after the update had ended (while its log was
    // written) leaves nothing to finish.
    if (!fs::exists(machine.install() / "upgrade-in-progress.brevak")) continue;
    // The next run finds the package's main program installed, so it asks.
    WaitForTheNextSecond(backup.filename().string());
    const ToolRun again = machine.Run("yes\nclick CmdUpdate\nyes\nok\n");
    // Finishing names the folder that saved the present data.
    const std::vector<std::string> done = again.LinesStartingWith("msgbox OK");
    ASSERT_EQ(done.size(), 1u) << again.Describe();
    EXPECT_TRUE(done[0].starts_with(kUpgradeComplete + "\\r\\n继续升级前另存的数据保存在：")) << done[0];
    if (HasFatalFailure()) return;
  }
  RecordProperty("kills_during_migration", landed);
}

// A crash leaves the installation's database with a hot journal; the next
// update backs the two up together and moves the rows as they were last
// committed.
TEST(CrashConsistencyTest, ADatabaseLeftMidTransactionMovesAsLastCommitted) {
  ShopMachine machine;
  const fs::path car = machine.install() / "Customerdata.car";
  const Digests committed = DigestMoved(machine.install(), machine.install());
  // More than the writer's cache holds, so that its pages reach the file.
  LeaveHotJournal(car, kCustomerKey,
                  "DELETE FROM Repair_Sheet_Part; UPDATE CarOwner SET Remark = hex(randomblob(3000));"
                  "INSERT INTO CarOwner (OwnerName) SELECT hex(randomblob(3000)) FROM Repair_Sheet_Work;");
  ASSERT_TRUE(fs::exists(machine.install() / "Customerdata.car-journal"));

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");

  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
  ASSERT_EQ(machine.BackupFolders().size(), 1u);
  EXPECT_EQ(DigestMoved(machine.install(), machine.BackupFolders()[0]), committed);
}

}  // namespace
}  // namespace brevak::testing
