// Runs the tool cannot make whole are refused before anything changes, in
// words that name the case: a package opened inside a ZIP file, no
// installation, a package folder the code page cannot name, an installed
// database that is missing or does not open; and a restore of a folder
// that is no backup asks first.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "blackbox/restore_backup.h"
#include "blackbox/transcript_lines.h"
#include "support/blackbox_shop.h"
#include "support/blackbox_tables.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {
namespace {
namespace fs = std::filesystem;

const std::string kNothingChanged = "\r\n数据没有改动。\r\n";
const std::string kNotFound = "没有找到Brevak的安装文件夹，";
const std::string kNotFoundNext = "请在装有Brevak的电脑上运行升级程序；如果这台电脑的Brevak能正常使用，请联系技术支持。";
const std::string kInstalledCar = "C:\\Program Files\\Brevak\\Customerdata.car";

std::string InstalledDatabaseBox(const std::string& what_happened, const std::string& last_lines) {
  return OkBox("升级没有进行：安装文件夹中" + what_happened + kNothingChanged + "请联系技术支持。\r\n" + last_lines);
}

TEST(RefusalTest, AnUpdateOrRestoreThatCannotBeMadeWholeChangesNothingAndSaysWhy) {
  struct Case {
    const char* name;
    ShopLayout layout;
    std::function<void(ShopMachine&, ToolLaunch&)> arrange;
    std::string script;  // after the start prompt's yes
    std::vector<std::string> boxes;
  };
  ShopLayout zip;
  zip.package_dir = "Users/店主/AppData/Local/Temp/Temp1_升级包.zip";
  ShopLayout korean;
  korean.package_dir = "업그레이드";
  const Case cases[] = {
      {"run from inside a ZIP file", zip,
       [](ShopMachine& m, ToolLaunch&) {
         for (const fs::directory_entry& e : fs::directory_iterator(m.package())) {
           if (e.path().filename() != "brevak-upgrade") fs::remove_all(e.path());
         }
       },
       "click CmdUpdate\nok\n",
       {OkBox("升级没有进行：升级程序所在的文件夹里没有升级包的其他文件。" + kNothingChanged +
              "升级程序所在的文件夹：C:\\Users\\店主\\AppData\\Local\\Temp\\Temp1_升级包.zip\r\n"
              "如果是在压缩包（ZIP）里直接打开的升级程序，请先把整个升级包解压到这台电脑上的一个文件夹，"
              "再从那里运行升级程序，点击“开始更新”。")}},
      {"no App Paths key, started in the package folder", {},
       [](ShopMachine& m, ToolLaunch& launch) {
         m.prefix().WriteSystemReg(TempPrefix::SystemRegWithKey("Software\\\\Other", "@=\"x\""));
         launch.working_dir = m.package();
       },
       "click CmdUpdate\nok\nclick CmdRestore\nok\n",
       {OkBox(kNotFound + "升级没有进行。" + kNothingChanged + "这台电脑的Windows中没有Brevak的安装信息。\r\n" + kNotFoundNext),
        OkBox(kNotFound + "恢复没有进行。" + kNothingChanged + "这台电脑的Windows中没有Brevak的安装信息。\r\n" + kNotFoundNext)}},
      {"the registered folder holds no Brevak.exe", {},
       [](ShopMachine& m, ToolLaunch&) { fs::remove(m.install() / "Brevak.exe"); },
       "click CmdUpdate\nok\nclick CmdRestore\nok\n",
       {OkBox(kNotFound + "升级没有进行。" + kNothingChanged +
              "Windows中登记的安装文件夹 C:\\Program Files\\Brevak 里没有 Brevak.exe。\r\n" + kNotFoundNext),
        OkBox(kNotFound + "恢复没有进行。" + kNothingChanged +
              "Windows中登记的安装文件夹 C:\\Program Files\\Brevak 里没有 Brevak.exe。\r\n" + kNotFoundNext)}},
      {"a package folder the code page cannot name", korean, [](ShopMachine&, ToolLaunch&) {},
       "click CmdUpdate\nok\n",
       {OkBox("升级没有进行：升级包所在文件夹的名称里有这台电脑的Windows不能处理的文字。" + kNothingChanged +
              "升级包所在的文件夹：C:\\업그레이드\r\n请把整个升级包复制到名称只有中文、英文字母和数字的文件夹"
              "（例如 C:\\Brevak升级包），再从那里运行升级程序，点击“开始更新”。")}},
      {"the installed customer database missing", {},
       [](ShopMachine& m, ToolLaunch&) { fs::remove(m.install() / "Customerdata.car"); },
       "click CmdUpdate\nok\n",
       {InstalledDatabaseBox("没有客户数据库。", "缺少的文件：" + kInstalledCar)}},
      {"the installed customer database empty", {},
       [](ShopMachine& m, ToolLaunch&) { fs::resize_file(m.install() / "Customerdata.car", 0); },
       "click CmdUpdate\nok\n",
       {InstalledDatabaseBox("的客户数据库打不开。", "文件：" + kInstalledCar +
                                                        "\r\n数据库引擎的说明：Unrecognized database format '" +
                                                        kInstalledCar + "'.")}},
      {"the installed customer database under another password", {},
       [](ShopMachine& m, ToolLaunch&) {
         ExecSql(m.install() / "Customerdata.car", kCustomerKey, "PRAGMA rekey = 'another'");
       },
       "click CmdUpdate\nok\n",
       {InstalledDatabaseBox("的客户数据库打不开。",
                             "文件：" + kInstalledCar + "\r\n数据库引擎的说明：Not a valid password.")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShopMachine machine(c.layout);
    ToolLaunch launch = machine.Launch("yes\n" + c.script);
    c.arrange(machine, launch);
    const TreeSnapshot before = SnapshotTree(machine.prefix().root());

    const ToolRun run = RunTool(launch);

    std::vector<std::string> boxes = run.LinesStartingWith("msgbox");
    ASSERT_FALSE(boxes.empty()) << run.Describe();
    boxes.erase(boxes.begin());  // the start prompt
    EXPECT_EQ(boxes, c.boxes) << run.Describe();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(DescribeChanges(before, SnapshotTree(machine.prefix().root())), "");
  }
}

// A listed folder is a backup when it has a fourteen-digit name and holds
// both databases; any other is restored only after the user says so, with
// the data it replaces copied first. A backup is restored without a word.
TEST(RefusalTest, ARestoreOfAFolderThatIsNoBackupAsksFirst) {
  struct Case {
    const char* name;
    std::string folder;
    std::vector<std::string> files;
    std::string answer;  // empty: no question
    bool restored;
  };
  const std::string question_tail =
      "\r\n替换之前，目前的数据会先复制到一个新的备份文件夹。\r\n"
      "点“是”：照样恢复；点“否”：不恢复，数据没有改动。不确定时请点“否”。";
  const Case cases[] = {
      {"a user's folder, answered no", "资料", {"Customerdata.car", "说明.txt"}, "no", false},
      {"a user's folder, answered yes", "资料", {"Customerdata.car", "说明.txt"}, "yes", true},
      {"a dated folder with one database", "20240101120000", {"Customerdata.car"}, "no", false},
      {"a backup", "20240101120000", {"Addr.mdb", "Customerdata.car"}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShopMachine machine;
    fs::remove_all(machine.install() / "Images");
    const fs::path folder = machine.install() / c.folder;
    fs::create_directories(folder);
    for (const std::string& file : c.files) {
      fs::copy_file(file.ends_with("txt") ? machine.install() / "readme.txt" : machine.package() / file, folder / file);
    }
    const TreeSnapshot before = SnapshotTree(machine.install());

    const ToolRun run = machine.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\n" +
                                    (c.answer.empty() ? "" : c.answer + "\n"));

    std::vector<std::string> boxes = run.LinesStartingWith("msgbox");
    ASSERT_FALSE(boxes.empty()) << run.Describe();
    boxes.erase(boxes.begin());
    std::string listed;
    for (const std::string& file : c.files) listed += (listed.empty() ? "" : "、") + file;
    const std::vector<std::string> asked = {
        "msgbox YesNo " + Escaped("要恢复的文件夹 " + c.folder + " 不是升级程序建立的备份文件夹。\r\n"
                                  "恢复会用其中的文件替换安装文件夹里的同名文件：\r\n" + listed + question_tail)};
    EXPECT_EQ(boxes, c.answer.empty() ? std::vector<std::string>{} : asked) << run.Describe();
    const TreeSnapshot after = SnapshotTree(machine.install());
    if (!c.restored) {
      EXPECT_EQ(DescribeChanges(before, after), "");
      continue;
    }
    EXPECT_EQ(after.at("Customerdata.car"), after.at(c.folder + "/Customerdata.car"));
    const std::vector<std::string> taken = NewDatedFolders(before, after);
    ASSERT_EQ(taken.size(), 1u) << DescribeChanges(before, after);
    EXPECT_EQ(after.at(taken[0] + "/Customerdata.car"), before.at("Customerdata.car"));
  }
}

}  // namespace
}  // namespace brevak::testing
