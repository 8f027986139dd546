// Runs the tool cannot make whole are refused before anything changes, in
// the words of their case (built from the values each names): a package
// opened inside a ZIP file, no installation, a package folder the code page
// cannot name, an installed database missing or not opening; and a restore
// of a folder that is no backup asks first.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "blackbox/transcript_lines.h"
#include "core/guard_texts.h"
#include "platform/posix/text/utf.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;
namespace text = guard_text;

std::string Box(const std::u16string& shown) { return OkBox(posix::Utf16ToUtf8(shown)); }

const std::u16string kInstall = u"C:\\Program Files\\Brevak\\";
const std::u16string kCar = kInstall + u"Customerdata.car";

TEST(RefusalTest, AnUpdateOrRestoreThatCannotBeMadeWholeChangesNothingAndSaysWhy) {
  struct Case {
    const char* name;
    const char* package_dir;
    std::function<void(ShopMachine&, ToolLaunch&)> arrange;
    std::string script;  // after the start prompt's yes
    std::vector<std::string> boxes;
  };
  const auto none = [](ShopMachine&, ToolLaunch&) {};
  const Case cases[] = {
      {"run from inside a ZIP file: the program alone", "Users/店主/AppData/Local/Temp/Temp1_升级包.zip",
       [](ShopMachine& m, ToolLaunch&) {
         for (const fs::directory_entry& e : fs::directory_iterator(m.package())) {
           if (e.path().filename() != "brevak-upgrade") fs::remove_all(e.path());
         }
       },
       "click CmdUpdate\nok\n",
       {Box(text::PackageNotExtracted(u"C:\\Users\\店主\\AppData\\Local\\Temp\\Temp1_升级包.zip"))}},
      {"no App Paths key, started in the package folder", "pkg",
       [](ShopMachine& m, ToolLaunch& launch) {
         m.prefix().WriteSystemReg(TempPrefix::SystemRegWithKey("Software\\\\Other", "@=\"x\""));
         launch.working_dir = m.package();
       },
       "click CmdUpdate\nok\nclick CmdRestore\nok\n",
       {Box(text::InstallationNotFound(text::kUpdate, u"")), Box(text::InstallationNotFound(text::kRestore, u""))}},
      {"the registered folder holds no Brevak.exe", "pkg",
       [](ShopMachine& m, ToolLaunch&) { fs::remove(m.install() / "Brevak.exe"); },
       "click CmdUpdate\nok\nclick CmdRestore\nok\n",
       {Box(text::InstallationNotFound(text::kUpdate, kInstall)),
        Box(text::InstallationNotFound(text::kRestore, kInstall))}},
      {"a package folder the code page cannot name", "업그레이드", none, "click CmdUpdate\nok\n",
       {Box(text::PackageFolderNameUnusable(u"C:\\업그레이드"))}},
      {"the installed customer database missing", "pkg",
       [](ShopMachine& m, ToolLaunch&) { fs::remove(m.install() / "Customerdata.car"); }, "click CmdUpdate\nok\n",
       {Box(text::InstalledDatabaseProblem(u"客户数据库", kCar, u""))}},
      {"the installed customer database empty", "pkg",
       [](ShopMachine& m, ToolLaunch&) { fs::resize_file(m.install() / "Customerdata.car", 0); },
       "click CmdUpdate\nok\n",
       {Box(text::InstalledDatabaseProblem(u"客户数据库", kCar, u"Unrecognized database format '" + kCar + u"'."))}},
      {"the installed customer database under another password", "pkg",
       [](ShopMachine& m, ToolLaunch&) {
         ExecSql(m.install() / "Customerdata.car", kCustomerKey, "PRAGMA rekey = 'another'");
       },
       "click CmdUpdate\nok\n", {Box(text::InstalledDatabaseProblem(u"客户数据库", kCar, u"Not a valid password."))}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShopLayout layout;
    layout.package_dir = c.package_dir;
    ShopMachine machine(layout);
    ToolLaunch launch = machine.Launch("yes\n" + c.script);
    c.arrange(machine, launch);
    const TreeSnapshot before = SnapshotTree(machine.prefix().root());

    const ToolRun run = RunTool(launch);

    std::vector<std::string> boxes = run.LinesStartingWith("msgbox");
    ASSERT_FALSE(boxes.empty()) << run.Describe();
    boxes.erase(boxes.begin());  // the start prompt
    EXPECT_EQ(boxes, c.boxes) << run.Describe();
    EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.prefix().root())), "");
  }
}

// Brevak.exe makes a package; its databases do not: without them the
// installation keeps its own, and the shop's rows stay.
TEST(RefusalTest, APackageWithoutDatabasesIsUpdatedFrom) {
  ShopMachine machine;
  for (const char* name : {"Customerdata.car", "Addr.mdb"}) fs::remove(machine.package() / name);
  const std::vector<std::string> rows = QueryColumn(machine.install() / "Customerdata.car", kCustomerKey,
                                                    "SELECT count(*) FROM CarOwner");

  const ToolRun run = machine.Run("yes\nclick CmdUpdate\nok\n");

  EXPECT_EQ(run.LinesStartingWith("msgbox OK"), std::vector<std::string>{kUpgradeComplete}) << run.Describe();
  EXPECT_EQ(QueryColumn(machine.install() / "Customerdata.car", kCustomerKey, "SELECT count(*) FROM CarOwner"), rows);
}

// A listed folder is a backup when it has a fourteen-digit name and holds
// both databases; any other is restored only after the user says so (the
// answer yes: guarded_update_test.cc). A backup is restored without a word.
TEST(RefusalTest, ARestoreOfAFolderThatIsNoBackupAsksFirst) {
  struct Case {
    const char* name;
    std::u16string folder;
    std::vector<std::u16string> files;
    std::string answer;  // empty: no question
  };
  const Case cases[] = {
      {"a user's folder", u"资料", {u"Customerdata.car", u"说明.txt"}, "no"},
      {"a dated folder with one database", u"20240101120000", {u"Customerdata.car"}, "no"},
      {"a backup", u"20240101120000", {u"Addr.mdb", u"Customerdata.car"}, ""},
      {"a name the code page cannot hold", u"백업", {u"Addr.mdb", u"Customerdata.car"}, "ok"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShopMachine machine;
    fs::remove_all(machine.install() / "Images");  // the folder is then the only entry
    for (const std::u16string& file : c.files) {
      const std::string name = posix::Utf16ToUtf8(file);
      WriteFile(machine.install() / posix::Utf16ToUtf8(c.folder) / name,
                name.ends_with("txt") ? "notes" : ReadFile(machine.package() / name));
    }
    const TreeSnapshot before = SnapshotTree(machine.install());

    const ToolRun run = machine.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n" + c.answer + "\n");

    std::vector<std::string> boxes = run.LinesStartingWith("msgbox");
    boxes.erase(boxes.begin());
    const std::string asked = c.answer == "ok" ? Box(text::RestoreFolderNameUnusable(c.folder))
                                               : "msgbox YesNo " + Escaped(posix::Utf16ToUtf8(text::NotABackupQuestion(
                                                                       c.folder, c.files)));
    EXPECT_EQ(boxes, c.answer.empty() ? std::vector<std::string>{} : std::vector<std::string>{asked}) << run.Describe();
    // A refusal or 否 changes nothing; the backup is restored.
    EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.install())).empty(), !c.answer.empty());
  }
}

}  // namespace
}  // namespace brevak::testing
