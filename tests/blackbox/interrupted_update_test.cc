// An update killed in each of its phases, then run again, ends with every
// row of the shop in the installation; two copies at once, a database held
// by another program and a backup folder of the same second lose nothing.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sqlcipher/sqlite3.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "blackbox/moved_tables.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"
#include "support/temp_prefix.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

constexpr char kRecordName[] = "upgrade-in-progress.brevak";
const std::string kFinishQuestion = "msgbox YesNo 上次升级没有完成。";
const std::string kNotNewerQuestion = "msgbox YesNo 升级版本并不比当前版本更新，是否继续？";

// Entries created in (or moved into) one folder, as they happen.
class FolderWatch {
 public:
  explicit FolderWatch(const fs::path& folder) : fd_(inotify_init1(IN_CLOEXEC)) {
    inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO);
  }
  ~FolderWatch() { close(fd_); }

  // False when no entry whose name matches appeared within the time.
  bool WaitFor(const std::regex& name) {
    pollfd ready{fd_, POLLIN, 0};
    while (poll(&ready, 1, 30000) > 0) {
      alignas(inotify_event) char buffer[8192];
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && std::regex_match(event->name, name)) return true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return false;
  }

 private:
  int fd_;
};

bool IsCopyTemp(const std::string& name) { return name.starts_with(".~brevak-"); }

// A kill lands `delay_us` after a transcript line, or after an entry whose
// name matches `created` appears in the installation.
struct KillPoint {
  const char* phase;
  const char* line;
  const char* created;
  useconds_t delay_us;
};
const KillPoint kKillPoints[] = {{"backup copy", nullptr, "[0-9]{14}", 0},
                                 {"backup copy", nullptr, "[0-9]{14}", 3000},
                                 {"recorded", nullptr, "upgrade-in-progress\\.brevak", 0},
                                 {"package copy", nullptr, "\\.~brevak-.*", 0},
                                 {"package copy", nullptr, "\\.~brevak-.*", 4000},
                                 {"migration", "progress value 19", nullptr, 0},
                                 {"migration", "progress value 61", nullptr, 2000}};

// The progress file names an update whose backup is whole (not one still
// being copied, which the next run removes).
bool UpdateRecorded(const ShopMachine& machine) {
  std::ifstream file(machine.install() / kRecordName, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return text.find("kind=update\r\n") != std::string::npos;
}

// The script of a second run: the first question it meets is answered Yes.
std::string SecondRunScript(const ShopMachine& machine) {
  const bool recorded = UpdateRecorded(machine);
  const bool package_installed =
      FileChecksum(machine.install() / "Brevak.exe") == FileChecksum(machine.package() / "Brevak.exe");
  return recorded || package_installed ? "yes\nclick CmdUpdate\nyes\nok\n" : "yes\nclick CmdUpdate\nok\n";
}

// Each table of the installation holds exactly the rows the shop had.
void ExpectEveryRowBack(const ShopMachine& machine, const fs::path& original) {
  const Digests before = DigestMoved(original, original);
  const Digests after = DigestMoved(machine.install(), original);
  for (const auto& [table, digest] : before) {
    EXPECT_EQ(after.at(table), digest) << table << ": " << after.at(table).rows << " rows of " << digest.rows;
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(machine.install())) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name.starts_with(kRecordName) || IsCopyTemp(name)) << name << " left in the installation";
  }
}

fs::path KeepOriginalDatabases(const ShopMachine& machine) {
  const fs::path original = machine.prefix().root() / "original";
  fs::create_directories(original);
  for (const char* name : {"Addr.mdb", "Customerdata.car"}) fs::copy_file(machine.install() / name, original / name);
  return original;
}

TEST(InterruptedUpdateTest, KilledInAnyPhaseTheNextRunBringsEveryRowBack) {
  ShopLayout layout;
  layout.shop_rows = 20000;
  for (const KillPoint& point : kKillPoints) {
    SCOPED_TRACE(std::string(point.phase) + " + " + std::to_string(point.delay_us) + " us");
    ShopMachine machine(layout);
    const fs::path original = KeepOriginalDatabases(machine);
    FolderWatch watch(machine.install());
    ToolProcess tool(machine.Launch("yes\nclick CmdUpdate\nok\n"));
    ASSERT_TRUE(point.line ? tool.WaitForLine(point.line) : watch.WaitFor(std::regex(point.created)));
    usleep(point.delay_us);
    tool.Kill();
    const ToolRun killed = tool.Finish();
    ASSERT_TRUE(killed.signal == SIGKILL || killed.exit_code == 0) << killed.Describe();

    const bool recorded = UpdateRecorded(machine);
    const ToolRun again = machine.Run(SecondRunScript(machine));
    // Finished from its own backup exactly when it was recorded.
    EXPECT_EQ(again.LinesStartingWith(kFinishQuestion).size(), recorded ? 1u : 0u) << again.Describe();
    // Finishing names the folder that saved the present data, after 升级完成 too.
    const std::vector<std::string> done = again.LinesStartingWith("msgbox OK");
    ASSERT_EQ(done.size(), 1u) << again.Describe();
    EXPECT_EQ(done[0].starts_with(kUpgradeComplete + "\\r\\n继续升级前另存的数据保存在："), recorded) << done[0];
    EXPECT_EQ(done[0] == kUpgradeComplete, !recorded) << done[0];
    ExpectEveryRowBack(machine, original);
    // No part copy is left to be taken for a backup: the killed copy's folder
    // went, or (killed before it was named) stayed empty.
    for (const fs::path& folder : machine.BackupFolders()) {
      const bool whole = fs::exists(folder / "Customerdata.car") && fs::exists(folder / "Addr.mdb");
      EXPECT_TRUE(fs::is_empty(folder) || whole) << folder;
    }
    if (HasFatalFailure()) return;
  }
}

TEST(InterruptedUpdateTest, ASecondCopyStartedDuringAnUpdateSaysSoAndChangesNothing) {
  ShopLayout layout;
  layout.shop_rows = 20000;
  ShopMachine machine(layout);
  const fs::path original = KeepOriginalDatabases(machine);
  ToolProcess first(machine.Launch("yes\nclick CmdUpdate\nok\n"));
  ASSERT_TRUE(first.WaitForLine("progress visible 1"));
  const ToolRun second = machine.Run("ok\n");
  const ToolRun done = first.Finish();
  EXPECT_EQ(second.transcript, (std::vector<std::string>{"msgbox OK Brevak升级程序已经在运行。\\r\\n请等它结束后再运行升级程序。",
                                                          "answer ok", "exit 0"}));
  EXPECT_EQ(done.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << done.Describe();
  EXPECT_EQ(machine.BackupFolders().size(), 1u);
  ExpectEveryRowBack(machine, original);
}

// A connection of the test's own process, which is another program to the
// tool, holds an uncommitted change: the update stops before its backup;
// once the change is committed it is carried over. (Reading the database
// file here would drop the connection's lock, so the checks avoid it.)
TEST(InterruptedUpdateTest, ADatabaseHeldByAnotherProgramStopsTheUpdateUntilItIsFree) {
  ShopMachine machine;
  const std::string exe = FileChecksum(machine.install() / "Brevak.exe");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((machine.install() / "Customerdata.car").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "PRAGMA key = 'mqzvtw'; BEGIN IMMEDIATE; "
                         "INSERT INTO CarOwner (OwnerName) VALUES ('未提交的车主');", nullptr, nullptr, nullptr),
            SQLITE_OK);
  const ToolRun held = machine.Run("yes\nclick CmdUpdate\nok\n");
  EXPECT_EQ(held.LinesStartingWith("msgbox OK"),
            std::vector<std::string>{"msgbox OK 数据文件正在被其他程序使用。数据没有改动。\\r\\n请先关闭Brevak以及可能正在使用"
                                     "这个文件的其他程序（如杀毒、备份软件），然后再试。\\r\\n正在被使用的文件：" +
                                     Escaped(machine.InstallWindows()) + "Customerdata.car"});
  EXPECT_TRUE(machine.BackupFolders().empty());
  EXPECT_EQ(FileChecksum(machine.install() / "Brevak.exe"), exe);
  EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);

  const ToolRun free = machine.Run("yes\nclick CmdUpdate\nok\n");
  EXPECT_EQ(free.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << free.Describe();
  EXPECT_EQ(QueryColumn(machine.install() / "Customerdata.car", kCustomerKey,
                        "SELECT count(*) FROM CarOwner WHERE OwnerName = '未提交的车主'"),
            std::vector<std::string>{"1"});
}

std::string Stamp(std::time_t time) {
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", std::localtime(&time));
  return text;
}

// Folders of this second and the next already stand: the update takes a
// later second and leaves them as they are.
TEST(InterruptedUpdateTest, ABackupFolderOfTheSameSecondIsNeverReused) {
  ShopMachine machine;
  const std::time_t now = std::time(nullptr);
  for (std::time_t t : {now, now + 1}) WriteFile(machine.install() / Stamp(t) / "Customerdata.car", "earlier backup");
  const TreeSnapshot before = SnapshotTree(machine.install());
  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");
  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
  const std::vector<fs::path> folders = machine.BackupFolders();
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_GT(folders[2].filename().string(), Stamp(now + 1));
  for (std::time_t t : {now, now + 1}) {
    const std::string entry = Stamp(t) + "/Customerdata.car";
    EXPECT_EQ(SnapshotTree(machine.install()).at(entry), before.at(entry));
  }
}

}  // namespace
}  // namespace brevak::testing
