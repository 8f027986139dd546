// No false success with a copier that writes in place: an update killed
// between any two files, then run again whatever the record then says and
// whatever the user answers, ends with the shop's rows in the installation
// or in a folder its last message names.
#include <gtest/gtest.h>

#include "core/module_main.h"
#include "support/core_harness.h"
#include "support/fake_window.h"
#include "support/in_place_shop.h"
#include "platform/posix/text/utf.h"

namespace brevak {
namespace {
using testing::FakeFile;

const std::u16string kInstall = u"C:\\Program Files\\Brevak";
const std::u16string kDatabases[] = {u"Customerdata.car", u"Addr.mdb"};

// How the user answers the questions of the run after the kill.
enum class Answers { kYes, kGiveUp, kNo };

// Answers every question so, No to finishing the interrupted update when
// giving up; keeps the last message.
class AnsweringWindow : public testing::FakeWindow {
 public:
  explicit AnsweringWindow(Answers answers) : answers_(answers) {}
  int MsgBox(const std::u16string& prompt, MsgBoxButtons buttons) override {
    last = prompt;
    if (buttons == MsgBoxButtons::kOkOnly) return vbOK;
    if (prompt.starts_with(u"升级程序")) return vbYes;  // the start prompt
    if (answers_ == Answers::kNo || (answers_ == Answers::kGiveUp && prompt.starts_with(u"上次升级没有完成"))) return vbNo;
    return vbYes;
  }
  std::u16string last;

 private:
  Answers answers_;
};

FakeFile Database(const std::u16string& name, const testing::ShopTables& tables) {
  FakeFile file{name};
  testing::StoreTables(file, tables);
  return file;
}

// One run of the tool: a click on 开始更新; returns the last message.
std::u16string RunUpdate(testing::CoreHarness& h, Answers answers) {
  const posix::WinePrefix wine(h.prefix.root());
  posix::PosixRegistry registry(wine, h.code_page);
  AnsweringWindow window(answers);
  window.QueueAction([](testing::FakeWindow& w) { w.Click(Control::CmdUpdate); });
  Platform platform = h.MakePlatform(registry, window);
  FormUpdate form(platform);
  window.Run([&] { Main(platform, form); });
  return window.last;
}

// Every row the installation held before is in it now or in a folder `last` names.
void ExpectEveryRowKept(testing::CoreHarness& h, const std::vector<FakeFile>& before, const std::u16string& last,
                        const std::string& where) {
  for (int d = 0; d < 2; ++d) {
    for (const auto& [table, rows] : testing::TablesOf(before[d])) {
      bool kept = false;
      for (const auto& [folder, files] : h.folders.files) {
        const bool named = folder == kInstall || (folder.starts_with(kInstall + u"\\") && last.find(folder) != std::u16string::npos);
        const FakeFile* file = testing::FindFile(h.folders, folder + u"\\" + kDatabases[d]);
        kept = kept || (named && file != nullptr && testing::TablesOf(*file)[table].find(rows) != std::string::npos);
      }
      EXPECT_TRUE(kept) << where << ": rows of " << std::string(table.begin(), table.end()) << " lost; " << posix::Utf16ToUtf8(last);
    }
  }
}

TEST(InPlaceKillPropertyTest, EveryRowIsInTheInstallationOrInAFolderTheLastMessageNames) {
  const std::vector<std::pair<const char*, std::function<void(std::u16string&)>>> mutations = {
      {"as written", [](std::u16string&) {}},
      {"digest flipped", [](std::u16string& t) { t[t.find(u"sha256:") + 9] ^= 1; }},
      {"cut in half", [](std::u16string& t) { t.resize(t.size() / 2); }},
      {"backup out of the folder", [](std::u16string& t) { t.insert(t.find(u"backup=") + 7, u"..\\"); }},
      {"newer version", [](std::u16string& t) { t.replace(0, 9, u"version=2"); }}};
  for (int kill_after = 0; kill_after <= 10; ++kill_after) {  // 10 files in all: no kill
    for (const auto& [mutation, mutate] : mutations) {
      for (const Answers answers : {Answers::kYes, Answers::kGiveUp, Answers::kNo}) {
        const std::string where = "kill after " + std::to_string(kill_after) + ", " + mutation + ", answers " +
                                  std::to_string(static_cast<int>(answers));
        testing::CoreHarness h;
        h.folders.files[kInstall] = {Database(kDatabases[0], {{u"main", "ab"}, {u"CarOwner", "cd"}}),
                                     Database(kDatabases[1], {{u"People", "ef"}}), {u"Brevak.exe"}, {u"Brevak.ini"}};
        h.folders.files[u"C:\\pkg"] = {Database(kDatabases[0], {}), Database(kDatabases[1], {}), {u"Brevak.exe"}, {u"Brevak.ini"}};
        const std::vector<FakeFile> before = h.folders.files[kInstall];
        testing::InPlaceCopier copier(h.folders);
        testing::ShopDatabase engine(h.folders);
        h.shell_instead = &copier;
        h.database_instead = &engine;
        copier.kill_after = kill_after;
        try {
          const std::u16string last = RunUpdate(h, Answers::kYes);
          EXPECT_EQ(last, u"升级完成") << where;
          ExpectEveryRowKept(h, before, last, where);
          continue;
        } catch (const testing::InPlaceCopier::Killed&) {
        }
        const auto record = h.durable_files.texts.find(kInstall + u"\\upgrade-in-progress.brevak");
        if (record != h.durable_files.texts.end()) mutate(record->second);
        copier.kill_after = -1;
        h.clock.readings = {LocalTime{2012, 12, 25, 6, 0, 0}};
        ExpectEveryRowKept(h, before, RunUpdate(h, answers), where);
      }
    }
  }
}

}  // namespace
}  // namespace brevak
