// No false success with a copier that writes in place: an update killed
// between any two files, then run again whatever the record then says and
// whatever the user answers, ends with the shop's rows in the installation
// or in a folder its last message names.
#include <gtest/gtest.h>

#include "core/module_main.h"
#include "support/core_harness.h"
#include "support/fake_window.h"
#include "support/in_place_shop.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using testing::FakeFile;
using testing::ShopTables;

const std::u16string kInstall = u"C:\\Program Files\\Brevak";
const std::u16string kRecord = kInstall + u"\\upgrade-in-progress.brevak";
const std::u16string kDatabases[] = {u"Customerdata.car", u"Addr.mdb"};

// Answers Yes to every question, or No to finishing the interrupted update.
class AnsweringWindow : public testing::FakeWindow {
 public:
  bool finish = true;
  std::u16string last;
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override {
    last = prompt;
    if (buttons == MsgBoxButtons::kOkOnly) return vbOK;
    return !finish && prompt.starts_with(u"上次升级没有完成") ? vbNo : vbYes;
  }
};

FakeFile Database(const std::u16string& name, const ShopTables& tables) {
  FakeFile file{name};
  testing::StoreTables(file, tables);
  return file;
}

void LayOutShop(CoreHarness& h) {
  h.folders.files[kInstall] = {Database(kDatabases[0], {{u"main", "ab"}, {u"CarOwner", "cd"}}),
                               Database(kDatabases[1], {{u"People", "ef"}}), {u"Brevak.exe"}, {u"Brevak.ini"}};
  h.folders.files[u"C:\\pkg"] = {Database(kDatabases[0], {}), Database(kDatabases[1], {}), {u"Brevak.exe"},
                                 {u"Brevak.ini"}};
  h.folders.subfolders[kInstall + u"\\"] = {};
}

// The last message of one run of the tool: click 开始更新, answer, close.
std::u16string RunUpdate(CoreHarness& h, AnsweringWindow& window) {
  const posix::WinePrefix wine(h.prefix.root());
  posix::PosixRegistry registry(wine, h.code_page);
  window.QueueAction([](testing::FakeWindow& w) { w.Click(Control::CmdUpdate); });
  Platform platform = h.MakePlatform(registry, window);
  FormUpdate form(platform);
  window.Run([&] { Main(platform, form); });
  return window.last;
}

void ExpectEveryRowKept(CoreHarness& h, const ShopTables (&before)[2], const std::u16string& last,
                        const std::string& where) {
  for (int d = 0; d < 2; ++d) {
    for (const auto& [table, rows] : before[d]) {
      bool kept = false;
      for (const auto& [folder, files] : h.folders.files) {
        const bool named = folder == kInstall || (folder.starts_with(kInstall + u"\\") && last.find(folder) != std::u16string::npos);
        const FakeFile* file = testing::FindFile(h.folders, folder + u"\\" + kDatabases[d]);
        kept = kept || (named && file != nullptr && testing::TablesOf(*file)[table].find(rows) != std::string::npos);
      }
      EXPECT_TRUE(kept) << where << ": rows of " << std::string(table.begin(), table.end()) << " lost";
    }
  }
}

TEST(InPlaceKillPropertyTest, EveryRowIsInTheInstallationOrInAFolderTheLastMessageNames) {
  const std::vector<std::pair<const char*, std::function<void(std::u16string&)>>> mutations = {
      {"as written", [](std::u16string&) {}},
      {"digest flipped", [](std::u16string& t) { t[t.find(u"sha256:") + 9] ^= 1; }},
      {"cut in half", [](std::u16string& t) { t.resize(t.size() / 2); }},
      {"backup out of the folder", [](std::u16string& t) { t.insert(t.find(u"backup=") + 7, u"..\\"); }},
      {"newer version", [](std::u16string& t) { t.replace(0, 9, u"version=2"); }},
  };
  for (int kill_after = 0; kill_after <= 10; ++kill_after) {
    for (const auto& [mutation, mutate] : mutations) {
      for (const bool finish : {true, false}) {
        const std::string where = "kill after " + std::to_string(kill_after) + ", " + mutation +
                                  (finish ? ", finish" : ", give up");
        CoreHarness h;
        LayOutShop(h);
        const ShopTables before[2] = {testing::TablesOf(h.folders.files[kInstall][0]),
                                      testing::TablesOf(h.folders.files[kInstall][1])};
        testing::InPlaceCopier copier(h.folders);
        testing::ShopDatabase engine(h.folders);
        h.shell_instead = &copier;
        h.database_instead = &engine;
        copier.kill_after = kill_after;
        AnsweringWindow first;
        try {
          const std::u16string last = RunUpdate(h, first);
          EXPECT_EQ(last, u"升级完成") << where;  // nothing killed it
          ExpectEveryRowKept(h, before, last, where);
          continue;
        } catch (const testing::InPlaceCopier::Killed&) {
        }
        if (h.durable_files.texts.count(kRecord) != 0) mutate(h.durable_files.texts[kRecord]);
        copier.kill_after = -1;
        h.clock.readings = {LocalTime{2012, 12, 25, 6, 0, 0}};
        AnsweringWindow second;
        second.finish = finish;
        ExpectEveryRowKept(h, before, RunUpdate(h, second), where);
      }
    }
  }
}

}  // namespace
}  // namespace brevak
