// The update's two copies from outside: the backup of the installation's
// data files into a dated folder, and exactly the package files the
// patterns take, laid over the installation.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <ostream>

#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

// The databases are rewritten by the migration after the copy; their rows
// are checked by the migration's tests.
void MaskDatabases(TreeSnapshot& snapshot, const std::string& folder) {
  for (const char* name : {"Addr.mdb", "Customerdata.car"}) {
    const std::string path = folder.empty() ? name : folder + "/" + name;
    if (snapshot.count(path) != 0) snapshot[path] = "database";
  }
}

struct Folders {
  const char* name;
  const char* install_dir;
  const char* package_dir;
};

void PrintTo(const Folders& c, std::ostream* os) { *os << c.name; }

class PackageCopyTest : public ::testing::TestWithParam<Folders> {};

TEST_P(PackageCopyTest, ThePackageFilesThePatternsTakeAreCopiedAndNothingElse) {
  ShopLayout layout;
  layout.install_dir = GetParam().install_dir;
  layout.package_dir = GetParam().package_dir;
  ShopMachine machine(layout);
  const TreeSnapshot install_before = SnapshotTree(machine.install());
  const TreeSnapshot package_before = SnapshotTree(machine.package());

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");
  ASSERT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
  ASSERT_EQ(machine.BackupFolders().size(), 1u);
  const std::string backup = machine.BackupFolders()[0].filename().string();

  TreeSnapshot expected = install_before;
  std::vector<std::string> copied = {"Brevak.exe", "Addr.mdb", "Customerdata.car"};
  for (const PackageFile& file : PackageExtras()) {
    if (file.copied) copied.push_back(file.name);
  }
  for (const std::string& name : copied) expected[name] = package_before.at(name);
  expected[backup] = "folder";
  for (const char* name : {"Addr.mdb", "Customerdata.car", "Brevak.exe"}) {
    expected[backup + "/" + name] = install_before.at(name);
  }
  for (const PackageFile& file : InstallationExtras()) {
    if (file.copied) expected[backup + "/" + file.name] = install_before.at(file.name);
  }
  TreeSnapshot actual = SnapshotTree(machine.install());
  ExpectUpgradeLog(expected, actual);
  MaskDatabases(expected, "");
  MaskDatabases(actual, "");
  EXPECT_EQ(DescribeChanges(expected, actual), "");
  EXPECT_EQ(DescribeChanges(package_before, SnapshotTree(machine.package())), "");
}

// Folder names reach the registry, the copy and the database engine in
// the system's code page: Chinese names and spaces go through unchanged.
INSTANTIATE_TEST_SUITE_P(Layouts, PackageCopyTest,
                         ::testing::Values(Folders{"ProgramFiles", "Program Files/Brevak", "pkg"},
                                           Folders{"ChineseFolders", "Program Files/汽修管家/Brevak",
                                                   "升级包 5.06.0005"}),
                         [](const auto& info) { return std::string(info.param.name); });

std::string LocalStamp() {
  const std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", std::localtime(&now));
  return stamp;
}

// The name is the local date and time of the update, read while it ran.
TEST(UpdateCopyTest, TheBackupFolderIsNamedWithTheFourteenDigitsOfItsTime) {
  ShopMachine machine;
  const std::string earliest = LocalStamp();
  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");
  const std::string latest = LocalStamp();
  ASSERT_EQ(machine.BackupFolders().size(), 1u) << run.Describe();
  const std::string name = machine.BackupFolders()[0].filename().string();
  EXPECT_LE(earliest, name);
  EXPECT_LE(name, latest);
}

struct NotNewer {
  const char* name;
  bool installed_is_package_release;  // else: the package is the older one
};

void PrintTo(const NotNewer& c, std::ostream* os) { *os << c.name; }

class NotNewerTest : public ::testing::TestWithParam<NotNewer> {};

TEST_P(NotNewerTest, NoLeavesEveryFileOfThePrefixAsItWas) {
  ShopMachine machine;
  if (GetParam().installed_is_package_release) {
    fs::copy_file(PackageBrevakExe(), machine.install() / "Brevak.exe", fs::copy_options::overwrite_existing);
  } else {
    fs::copy_file(InstalledBrevakExe(), machine.package() / "Brevak.exe", fs::copy_options::overwrite_existing);
  }
  const TreeSnapshot before = SnapshotTree(machine.prefix().root());

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nno\n");

  EXPECT_EQ(run.transcript, (std::vector<std::string>{StartPromptLine(), "answer yes", "window shown",
                                                       kNotNewerQuestion, "answer no", "window closed",
                                                       "exit 0"}))
      << run.Describe();
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.prefix().root())), "");
}

TEST_P(NotNewerTest, YesUpdatesAsForANewerPackage) {
  ShopMachine machine;
  if (GetParam().installed_is_package_release) {
    fs::copy_file(PackageBrevakExe(), machine.install() / "Brevak.exe", fs::copy_options::overwrite_existing);
  } else {
    fs::copy_file(InstalledBrevakExe(), machine.package() / "Brevak.exe", fs::copy_options::overwrite_existing);
  }
  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nyes\nok\n");
  EXPECT_EQ(run.LinesStartingWith("msgbox"),
            (std::vector<std::string>{StartPromptLine(), kNotNewerQuestion, kUpgradeComplete}))
      << run.Describe();
  EXPECT_EQ(machine.BackupFolders().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Versions, NotNewerTest,
                         ::testing::Values(NotNewer{"SameVersion", true}, NotNewer{"OlderPackage", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brevak::testing
