// What guards a shop's data around the copies, from outside: an update the
// machine cannot finish changes nothing, a table the engine takes only in
// part is rolled back and named, and a restore can be undone.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "blackbox/moved_tables.h"
#include "blackbox/restore_backup.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

const std::string kBroken = "请重新获取完整的升级包后再升级。";

// A tmpfs of `bytes` mounted over `folder` with the folder's files copied
// in; unmounted when it goes. `error` is set when it cannot be mounted.
class SmallDisk {
 public:
  SmallDisk(const fs::path& folder, uintmax_t bytes) : folder_(folder) {
    const fs::path aside = folder.parent_path() / "aside";
    fs::copy(folder, aside, fs::copy_options::recursive);
    const std::string options = "size=" + std::to_string(bytes / 4096 * 4096);
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      error = std::strerror(errno);
      return;
    }
    mounted_ = true;
    fs::copy(aside, folder, fs::copy_options::recursive);
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  std::string error;

 private:
  fs::path folder_;
  bool mounted_ = false;
};

uintmax_t FilesSize(const fs::path& folder) {
  uintmax_t total = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) total += entry.file_size();
  }
  return total;
}

TEST(GuardedUpdateTest, ADriveTooSmallForTheUpdateIsToldBeforeAnythingChanges) {
  ShopLayout layout;
  layout.shop_rows = 20000;  // databases of a few megabytes
  ShopMachine machine(layout);
  // Room for the installation and two megabytes: less than the backup alone.
  SmallDisk disk(machine.install(), FilesSize(machine.install()) + 2 * 1024 * 1024);
  if (!disk.error.empty()) GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.error << "); run as root";
  const TreeSnapshot before = SnapshotTree(machine.install());
  const uintmax_t free_mb = fs::space(machine.install()).available / (1024 * 1024);

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");

  const std::vector<std::string> boxes = run.LinesStartingWith("msgbox OK");
  ASSERT_EQ(boxes.size(), 1u) << run.Describe();
  std::smatch figures;
  ASSERT_TRUE(std::regex_search(boxes[0], figures, std::regex("需要 (\\d+) MB，安装文件夹所在的磁盘只有 (\\d+) MB 可用")))
      << boxes[0];
  EXPECT_EQ(boxes[0].rfind(OkBox("升级没有进行：磁盘空间不足。数据没有改动。"), 0), 0u) << boxes[0];
  EXPECT_EQ(std::stoul(figures[2]), free_mb);
  // at least the backup of what the installation holds
  EXPECT_GE(std::stoul(figures[1]), FilesSize(machine.install()) / (1024 * 1024));
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.install())), "");
}

TEST(GuardedUpdateTest, ADamagedPackageIsRefusedAndNothingChanges) {
  struct Case {
    const char* name;
    void (*damage)(const ShopMachine&);
    std::string script;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"Brevak.exe cut short",
       [](const ShopMachine& m) { fs::resize_file(m.package() / "Brevak.exe", 512); },
       "yes\nclick CmdUpdate\nyes\nok\n",
       {kNotNewerQuestion, OkBox("升级没有进行：升级包中的 Brevak.exe 已损坏，读不出它的版本信息。数据没有改动。\r\n" + kBroken)}},
      {"Customerdata.car under another password",
       [](const ShopMachine& m) { ExecSql(m.package() / "Customerdata.car", kCustomerKey, "PRAGMA rekey = 'x'"); },
       "yes\nclick CmdUpdate\nok\n",
       {OkBox("升级没有进行：升级包中的一个数据库打不开。数据没有改动。\r\n" + kBroken +
              "\r\n打不开的数据库：Customerdata.car（Not a valid password.）")}},
  };
  for (const Case& c : cases) {
    ShopMachine machine;
    c.damage(machine);
    const TreeSnapshot before = SnapshotTree(machine.install());
    const ToolRun run = machine.Run(c.script);
    std::vector<std::string> boxes = run.LinesStartingWith("msgbox");
    boxes.erase(boxes.begin());  // the start prompt
    EXPECT_EQ(boxes, c.boxes) << c.name << "\n" << run.Describe();
    EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.install())), "") << c.name;
  }
}

// Every second row of the shop's cash book is dropped without an error by
// the package's database: the table is rolled back to what the package
// ships and named, and every other table moves.
TEST(GuardedUpdateTest, ATableTheEngineTakesOnlyInPartIsRolledBackAndNamed) {
  ShopMachine machine;
  ExecSql(machine.package() / "Customerdata.car", kCustomerKey,
          "CREATE TRIGGER drop_even BEFORE INSERT ON Cash_In WHEN NEW.ID % 2 = 0 BEGIN SELECT RAISE(IGNORE); END");
  const Digests shipped_cash = DigestMoved(machine.package(), machine.package());

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");

  // The tool's own checks find nothing a retry could remove: the engine's
  // word on the table is the last line.
  const fs::path backup = machine.BackupFolders().at(0);
  const std::string rows = QueryColumn(backup / "Customerdata.car", kCustomerKey, "SELECT count(*) FROM Cash_In").at(0);
  const std::string kept =
      QueryColumn(backup / "Customerdata.car", kCustomerKey, "SELECT count(*) FROM Cash_In WHERE ID % 2 <> 0").at(0);
  EXPECT_EQ(run.LinesStartingWith("msgbox OK"),
            std::vector<std::string>{OkBox("升级没有完成：有 1 个数据表的数据没有转移到新版本中：\r\nCash_In\r\n这些数据没有丢失，仍保存在" +
                                           NamedBackup(machine.InstallWindows(), backup.filename().string()) + "中。" +
                                           "\r\n再次点击“开始更新”也不能解决这个问题，请联系技术支持；"
                                           "在此之前请先不要在Brevak中录入数据。\r\n数据库引擎的说明：Cash_In: " +
                                           kept + " / " + rows)})
      << run.Describe();
  const Digests moved = DigestMoved(machine.install(), backup);
  const Digests saved = DigestMoved(backup, backup);
  for (const ShopTable& table : MovedTables()) {
    if (table.name == "Cash_In") continue;
    EXPECT_EQ(moved.at(table.name), saved.at(table.name)) << table.name;
  }
  EXPECT_EQ(DigestMoved(machine.install(), machine.package()).at("Cash_In"), shipped_cash.at("Cash_In"));
}

// A cause that arises while the tables move (the drive fills up, another
// program opens the customer database) is found by the checks that run
// again after a table failed, and named as what a retry needs removed.
TEST(GuardedUpdateTest, ACauseThatAroseDuringTheMigrationIsNamedForTheRetry) {
  struct Case {
    const char* name;
    std::function<void(const ShopMachine&)> during;  // once the address book has moved
    std::string cause;                               // the first line of the ending
  };
  std::ifstream holder;
  const Case cases[] = {
      {"the drive fills up",
       [](const ShopMachine& m) {
         const int fd = open((m.install() / "filler").c_str(), O_CREAT | O_WRONLY, 0644);
         posix_fallocate(fd, 0, static_cast<off_t>(fs::space(m.install()).available - 1024 * 1024));
         close(fd);
       },
       "原因是磁盘空间不足：需要 "},
      {"another program opens the database",
       [&holder](const ShopMachine& m) { holder.open(m.install() / "Customerdata.car"); },
       "原因是有文件正在被其他程序使用：C:\\\\Program Files\\\\Brevak\\\\Customerdata.car\\r\\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShopLayout layout;
    layout.shop_rows = 20000;  // the migration takes long enough for the change to land
    ShopMachine machine(layout);
    ExecSql(machine.package() / "Customerdata.car", kCustomerKey,
            "CREATE TRIGGER refuse BEFORE INSERT ON Cash_In BEGIN SELECT RAISE(ABORT, 'refused'); END");
    SmallDisk disk(machine.install(), FilesSize(machine.install()) + 32 * 1024 * 1024);
    if (!disk.error.empty()) GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.error << "); run as root";

    ToolProcess tool(machine.Launch("yes\nclick CmdUpdate\nok\n"));
    ASSERT_TRUE(tool.WaitForLine("progress value 19"));
    c.during(machine);
    const ToolRun run = tool.Finish();
    holder.close();

    const std::vector<std::string> boxes = run.LinesStartingWith("msgbox OK");
    ASSERT_EQ(boxes.size(), 1u) << run.Describe();
    EXPECT_NE(boxes[0].find("\\r\\n" + c.cause), std::string::npos) << boxes[0];
    EXPECT_TRUE(boxes[0].ends_with("再次点击“开始更新”即可重新转移这些数据；在此之前请先不要在Brevak中录入数据。")) << boxes[0];
  }
}

// A folder of junk restored over the installation: the files it replaced
// are in a new dated folder, byte for byte.
TEST(GuardedUpdateTest, ARestoreOfJunkKeepsWhatItReplacedInANewBackup) {
  ShopMachine machine;
  fs::remove_all(machine.install() / "Images");
  const fs::path junk = machine.install() / "垃圾";
  fs::create_directories(junk);
  for (const char* name : {"Customerdata.car", "Addr.mdb", "Brevak.ini"}) WriteFile(junk / name, "junk");
  WriteFile(junk / "Brevak.exe", "");
  const TreeSnapshot before = SnapshotTree(machine.install());

  const ToolRun spoilt = machine.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nyes\n");

  const TreeSnapshot after = SnapshotTree(machine.install());
  // the start prompt and the question for a folder that is no backup
  EXPECT_EQ(spoilt.LinesStartingWith("msgbox").size(), 2u) << spoilt.Describe();
  EXPECT_EQ(after.at("Customerdata.car"), after.at("垃圾/Customerdata.car"));
  const std::vector<std::string> taken = NewDatedFolders(before, after);
  ASSERT_EQ(taken.size(), 1u) << DescribeChanges(before, after);
  TreeSnapshot replaced = before;
  AddDataFilesBackup(replaced, before, taken[0]);
  for (const auto& [path, what] : replaced) {
    if (path.starts_with(taken[0])) {
      EXPECT_EQ(after.at(path), what) << path;
    }
  }
}

}  // namespace
}  // namespace brevak::testing
