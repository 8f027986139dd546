// A whole update on the Linux stand-ins and real folders, with the k-th file
// of the backup, then of the package, failing: the update stops with its
// message, nothing is left truncated, what must stay whole stays whole, and
// an incomplete backup leaves no folder.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "core/form_update.h"
#include "core/module_main.h"
#include "platform/posix/posix_services.h"
#include "platform/scripted/scripted_window_system.h"
#include "support/blackbox_shop.h"
#include "support/faulty_copier.h"
#include "support/shop_db.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;  // relative path -> content

// Every file below `root`, by its path relative to it.
Tree ReadTree(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      tree[fs::relative(entry.path(), root).string()] = testing::ReadFile(entry.path());
    }
  }
  return tree;
}

class UpdateFaultInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_.WriteSystemReg(testing::TempPrefix::SystemRegWithKey(
        "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe",
        "@=\"C:\\\\Brevak\\\\Brevak.exe\""));
    testing::MakeShopDb(install_ / "Addr.mdb", "", "CREATE TABLE GroupList (Id INTEGER);");
    testing::MakeShopDb(install_ / "Customerdata.car", "mqzvtw", "CREATE TABLE main (Id INTEGER);");
    for (const char* name : {"Brevak.exe", "Brevak.ini", "other.txt"}) {
      testing::WriteFile(install_ / name, std::string("installed ") + name + std::string(5000, 'i'));
    }
    // A whole package, as the update checks before it copies anything.
    fs::create_directories(package_);
    fs::copy_file(testing::PackageBrevakExe(), package_ / "Brevak.exe");
    testing::MakeShopDb(package_ / "Addr.mdb", "", "CREATE TABLE GroupList (Id INTEGER);");
    testing::MakeShopDb(package_ / "Customerdata.car", "mqzvtw", "CREATE TABLE main (Id INTEGER);");
    for (const char* name : {"Brevak.ini", "vkUserControlsXP.ocx", "adb1.dll"}) {
      testing::WriteFile(package_ / name, std::string("package ") + name + std::string(5000, 'p'));
    }
  }

  // Runs the tool: Yes at the prompt, start the update (the installed main
  // program carries no version, so the package's is newer), OK to the
  // failure's number and to the words after it.
  std::string RunUpdate(testing::FaultyCopier& copier) {
    std::istringstream script("yes\nclick CmdUpdate\nok\nok\nclose\n");
    std::ostringstream transcript;
    ScriptedWindowSystem window(script, transcript);
    std::ostringstream diagnostics;
    PosixServices services(WinePrefix(prefix_.root()), window,
                           {.executable = package_ / "brevak-upgrade", .copier = &copier, .diagnostics = &diagnostics});
    Platform& platform = services.platform();
    FormUpdate form(platform);
    window.Run([&] { Main(platform, form); });
    return transcript.str();
  }

  // The one backup folder the update made.
  fs::path BackupFolder() {
    for (const auto& entry : fs::directory_iterator(install_)) {
      if (entry.is_directory()) return entry.path();
    }
    return {};
  }

  testing::TempPrefix prefix_;
  const fs::path install_ = prefix_.OnDriveC("Brevak");
  const fs::path package_ = prefix_.OnDriveC("pkg");
};

TEST_F(UpdateFaultInjectionTest, AFailedBackupFileLeavesTheInstallationUntouched) {
  const Tree installed = ReadTree(install_);
  const Tree package = ReadTree(package_);
  constexpr int kBackupFiles = 5;  // *.car, *.mdb, Brevak.*, *.ini: Brevak.ini twice
  for (int k = 1; k <= kBackupFiles; ++k) {
    SCOPED_TRACE("backup file " + std::to_string(k));
    testing::FaultyCopier copier;
    copier.fail_at = k;
    copier.error = ERROR_DISK_FULL;
    const std::string transcript = RunUpdate(copier);
    EXPECT_NE(transcript.find("msgbox OK 112\n"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("升级完成"), std::string::npos);
    EXPECT_EQ(copier.calls, k);  // the package request never ran
    // The incomplete backup is gone, and the installation is as it was,
    // with the failed update in its log.
    EXPECT_EQ(BackupFolder(), fs::path());
    Tree after = ReadTree(install_);
    EXPECT_EQ(after.erase("升级日志.txt"), 1u);
    EXPECT_EQ(after, installed);
    EXPECT_EQ(ReadTree(package_), package);
  }
}

TEST_F(UpdateFaultInjectionTest, AFailedPackageFileLeavesACompleteBackupAndNoTruncatedFile) {
  const Tree installed = ReadTree(install_);
  const Tree package = ReadTree(package_);
  constexpr int kBackupFiles = 5;
  constexpr int kPackageFiles = 7;  // Brevak.ini twice
  for (int k = 1; k <= kPackageFiles; ++k) {
    SCOPED_TRACE("package file " + std::to_string(k));
    testing::FaultyCopier copier;
    copier.fail_at = kBackupFiles + k;
    copier.error = ERROR_DISK_FULL;
    const std::string transcript = RunUpdate(copier);
    EXPECT_NE(transcript.find("msgbox OK 112\n"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("progress visible 1"), std::string::npos);  // no migration

    const fs::path backup = BackupFolder();
    const Tree backed_up = ReadTree(backup);
    EXPECT_EQ(backed_up.size(), 4u);
    for (const auto& [name, content] : backed_up) EXPECT_EQ(content, installed.at(name)) << name;
    fs::remove_all(backup);
    // Every file of the installation is either the installed one or the
    // package's, whole.
    // The in-progress record stays and names the backup, so that the next
    // update finishes from it.
    for (const auto& [name, content] : ReadTree(install_)) {
      if (name == "upgrade-in-progress.brevak") {
        EXPECT_NE(content.find(backup.filename().string()), std::string::npos) << content;
        continue;
      }
      if (name == "升级日志.txt") continue;  // the update's log
      const bool old_file = installed.count(name) != 0 && installed.at(name) == content;
      const bool new_file = package.count(name) != 0 && package.at(name) == content;
      EXPECT_TRUE(old_file || new_file) << name;
    }
    // Put the installation back for the next k.
    fs::remove_all(install_);
    for (const auto& [name, content] : installed) testing::WriteFile(install_ / name, content);
  }
}

}  // namespace
}  // namespace brevak::posix
