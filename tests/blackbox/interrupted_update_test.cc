// An update killed in each of its phases, then run again, ends with every
// row of the shop in the installation; two copies at once, a database held
// by another program and a backup folder of the same second lose nothing.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sqlcipher/sqlite3.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <regex>
#include <stdexcept>

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
const std::string kFinishQuestion = "msgbox YesNo 上次升级没有完成，原有数据保存在：";
const std::string kNotNewerQuestion = "msgbox YesNo 升级版本并不比当前版本更新，是否继续？";

// Entries created in (or moved into) one folder, as they happen.
class FolderWatch {
 public:
  explicit FolderWatch(const fs::path& folder) : fd_(inotify_init1(IN_CLOEXEC)) {
    inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO);
  }
  ~FolderWatch() { close(fd_); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // False when no such entry appeared within the time.
  bool WaitFor(const std::function<bool(const std::string&)>& wanted) {
    pollfd ready{fd_, POLLIN, 0};
    while (poll(&ready, 1, 30000) > 0) {
      alignas(inotify_event) char buffer[8192];
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && wanted(event->name)) return true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return false;
  }

 private:
  int fd_;
};

bool IsStamp(const std::string& name) { return std::regex_match(name, std::regex("[0-9]{14}")); }
bool IsCopyTemp(const std::string& name) { return name.starts_with(".~brevak-"); }

// A kill: the moment it waits for, and how long after it the kill lands.
struct KillPoint {
  const char* phase;
  std::function<bool(ToolProcess&, FolderWatch&)> wait;
  useconds_t delay_us;
};

std::vector<KillPoint> KillPoints() {
  const auto created = [](bool (*wanted)(const std::string&)) {
    return [wanted](ToolProcess&, FolderWatch& watch) { return watch.WaitFor(wanted); };
  };
  const auto line = [](std::string text) {
    return [text](ToolProcess& tool, FolderWatch&) { return tool.WaitForLine(text); };
  };
  const auto record = [](ToolProcess&, FolderWatch& watch) {
    return watch.WaitFor([](const std::string& name) { return name == kRecordName; });
  };
  return {{"backup copy", created(IsStamp), 0},
          {"backup copy", created(IsStamp), 3000},
          {"recorded", record, 0},
          {"package copy", created(IsCopyTemp), 0},
          {"package copy", created(IsCopyTemp), 4000},
          {"migration", line("progress value 19"), 0},
          {"migration", line("progress value 61"), 2000}};
}

// The script of a second run: the first question it meets is answered Yes.
std::string SecondRunScript(const ShopMachine& machine) {
  const bool recorded = fs::exists(machine.install() / kRecordName);
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
  int landed = 0;
  for (const KillPoint& point : KillPoints()) {
    SCOPED_TRACE(std::string(point.phase) + " + " + std::to_string(point.delay_us) + " us");
    ShopMachine machine(layout);
    const fs::path original = KeepOriginalDatabases(machine);
    FolderWatch watch(machine.install());
    ToolProcess tool(machine.Launch("yes\nclick CmdUpdate\nok\n"));
    ASSERT_TRUE(point.wait(tool, watch));
    usleep(point.delay_us);
    tool.Kill();
    const ToolRun killed = tool.Finish();
    ASSERT_TRUE(killed.signal == SIGKILL || killed.exit_code == 0) << killed.Describe();
    landed += killed.signal == SIGKILL ? 1 : 0;

    const bool recorded = fs::exists(machine.install() / kRecordName);
    const ToolRun again = machine.Run(SecondRunScript(machine));
    // Finished from its own backup exactly when it had been recorded.
    EXPECT_EQ(again.LinesStartingWith(kFinishQuestion).size(), recorded ? 1u : 0u) << again.Describe();
    EXPECT_EQ(again.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << again.Describe();
    ExpectEveryRowBack(machine, original);
    if (HasFatalFailure()) return;
  }
  RecordProperty("kills_landed", landed);
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

// Another program, in a process of its own, writes to the customer
// database without committing yet.
class OtherWriter {
 public:
  OtherWriter(const fs::path& file, const std::string& sql) {
    if (pipe(ready_) != 0 || pipe(commit_) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
      sqlite3* db = nullptr;
      sqlite3_open(file.c_str(), &db);
      const int rc = sqlite3_exec(db, ("PRAGMA key = 'mqzvtw'; BEGIN IMMEDIATE; " + sql).c_str(), nullptr, nullptr, nullptr);
      char byte = rc == SQLITE_OK ? 1 : 0;
      if (write(ready_[1], &byte, 1) != 1 || read(commit_[0], &byte, 1) != 1) _exit(2);
      _exit(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 1);
    }
  }
  ~OtherWriter() { Commit(); }
  // True once the change is made and not committed.
  bool Holding() {
    char byte = 0;
    return read(ready_[0], &byte, 1) == 1 && byte == 1;
  }
  // True when the commit succeeded.
  bool Commit() {
    if (pid_ <= 0) return false;
    char byte = 1;
    int status = 0;
    const bool sent = write(commit_[1], &byte, 1) == 1;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_ = -1;
  int ready_[2] = {-1, -1};
  int commit_[2] = {-1, -1};
};

// The update waits for another program's uncommitted change, which, once
// committed, is carried over.
TEST(InterruptedUpdateTest, ADatabaseHeldByAnotherProgramStopsTheUpdateUntilItIsFree) {
  ShopMachine machine;
  OtherWriter other(machine.install() / "Customerdata.car",
                    "INSERT INTO CarOwner (OwnerName) VALUES ('未提交的车主');");
  ASSERT_TRUE(other.Holding());
  const TreeSnapshot before = SnapshotTree(machine.install());
  const ToolRun held = machine.Run("yes\nclick CmdUpdate\nok\n");
  EXPECT_EQ(held.LinesStartingWith("msgbox OK"),
            std::vector<std::string>{"msgbox OK 数据文件正在被其他程序使用：" + Escaped(machine.InstallWindows()) +
                                     "Customerdata.car\\r\\n请先关闭Brevak，然后再试。"});
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.install())), "");
  ASSERT_TRUE(other.Commit());

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
