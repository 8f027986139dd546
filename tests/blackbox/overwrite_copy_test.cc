// Every overwrite has a copy: a record that does not prove itself is never
// followed, a fourteen-digit folder no progress file names stays, and a program that merely has a database open stops the update.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

constexpr char kRecordName[] = "upgrade-in-progress.brevak";
const std::string kDamaged = "msgbox YesNo 上次没有完成的升级或恢复不能继续";

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A record pointing where no update's backup is: the installation folder,
// the package folder, nothing, or an older finished update's backup that
// has changed since.
TEST(DamagedRecordTest, NoChangesNothingAndYesSetsItAsideForANormalUpdate) {
  struct Case {
    const char* name;
    std::string (*record)(const ShopMachine&);
  };
  const Case cases[] = {
      {"empty", [](const ShopMachine&) { return std::string(); }},
      {"installation folder",
       [](const ShopMachine& m) { return "kind=update\r\nbackup=" + m.InstallWindows() + "\r\nstarted=20240101120000\r\n"
                                         "backup.Addr.mdb=1 1\r\nbackup.Customerdata.car=1 1\r\n"; }},
      {"package folder", [](const ShopMachine&) { return std::string("C:\\pkg\r\n"); }},
      {"older backup changed since",
       [](const ShopMachine& m) {
         fs::create_directories(m.install() / "20240101120000");
         for (const char* name : {"Addr.mdb", "Customerdata.car"}) {
           fs::copy_file(m.install() / name, m.install() / "20240101120000" / name);
         }
         return "kind=update\r\nbackup=" + m.InstallWindows() + "20240101120000\r\nstarted=20240101120000\r\n"
                "backup.Addr.mdb=1 1\r\nbackup.Customerdata.car=1 1\r\n";
       }},
  };
  for (const Case& c : cases) {
    for (const bool set_aside : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (set_aside ? ", yes" : ", no"));
      ShopMachine machine;
      WriteText(machine.install() / kRecordName, c.record(machine));
      const TreeSnapshot before = SnapshotTree(machine.install());
      const ToolRun run = machine.Run(set_aside ? "yes\nclick CmdUpdate\nyes\nok\n" : "yes\nclick CmdUpdate\nno\n");
      ASSERT_FALSE(run.LinesStartingWith(kDamaged).empty()) << run.Describe();
      if (!set_aside) {
        EXPECT_EQ(SnapshotTree(machine.install()), before);
        continue;
      }
      // The record set aside may have been about rows the installation
      // lacks: the end is never a plain "升级完成", and names what it can.
      const std::vector<std::string> oks = run.LinesStartingWith("msgbox OK");
      ASSERT_EQ(oks.size(), 1u) << run.Describe();
      EXPECT_TRUE(oks[0].starts_with(kUpgradeComplete + "\\r\\n")) << run.Describe();
      if (std::string(c.name) == "older backup changed since") {
        EXPECT_NE(oks[0].find("20240101120000（"), std::string::npos) << run.Describe();
      }
      EXPECT_FALSE(fs::exists(machine.install() / kRecordName));
      bool kept = false;
      for (const auto& entry : fs::directory_iterator(machine.install())) {
        kept = kept || entry.path().filename().string().starts_with(std::string(kRecordName) + ".damaged-");
      }
      EXPECT_TRUE(kept) << "the damaged record is kept for support";
    }
  }
}

// A fourteen-digit folder the progress file does not name is the user's,
// whatever it holds, the copier's temporaries too: it stays.
TEST(HalfMadeBackupTest, AFolderNoProgressFileNamesStaysWhateverItHolds) {
  for (const char* file : {".~brevak-Customerdata.car.tmp", "notes.txt"}) {
    SCOPED_TRACE(file);
    ShopMachine machine;
    const fs::path folder = machine.install() / "20200101000000";
    fs::create_directories(folder);
    WriteText(folder / file, "partial");
    const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");
    EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
    EXPECT_TRUE(fs::exists(folder / file));
  }
}

// A child holds the customer database open and does nothing with it.
TEST(IdleHolderTest, AProgramWithTheDatabaseOpenStopsTheUpdate) {
  ShopMachine machine;
  const std::string exe = FileChecksum(machine.install() / "Brevak.exe");
  const fs::path database = machine.install() / "Customerdata.car";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    std::ifstream held(database, std::ios::binary);
    close(ready[0]);
    (void)!write(ready[1], "x", 1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  const ToolRun held = machine.Run("yes\nclick CmdUpdate\nok\n");
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(held.LinesStartingWith("msgbox OK"),
            std::vector<std::string>{"msgbox OK 数据文件正在被其他程序使用。数据没有改动。\\r\\n请先关闭Brevak以及可能正在使用"
                                     "这个文件的其他程序（如杀毒、备份软件），然后再试。\\r\\n正在被使用的文件：" +
                                     Escaped(machine.InstallWindows()) + "Customerdata.car"});
  EXPECT_TRUE(machine.BackupFolders().empty());
  EXPECT_EQ(FileChecksum(machine.install() / "Brevak.exe"), exe);
}

}  // namespace
}  // namespace brevak::testing
