// A copy into a backup folder that a run did not finish: the next run
// removes exactly the folder the progress file names, and no other.
#include <gtest/gtest.h>

#include "core/journal.h"
#include "support/core_harness.h"
#include "support/in_place_shop.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using Lines = std::vector<std::string>;

const std::u16string kRecord = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
const std::u16string kHalf = u"C:\\Program Files\\Brevak\\20121225051422";   // the killed run's folder
const std::u16string kUsers = u"C:\\Program Files\\Brevak\\20200101000000";  // named by nothing
const std::u16string kEntry = u"C:\\Program Files\\Brevak\\20121224093000";
const std::string kKept = "msgbox OK 上次的备份没有完成，留下了不完整的备份文件夹";

Lines Boxes(const Lines& transcript) {
  const Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox");
  return Lines(boxes.begin() + 1, boxes.end());
}

// A user's folder holding a copier's temporary and no database, and a
// backup to restore, both listed.
void MakeFolders(CoreHarness& h) {
  h.folders.files[kUsers] = {{u".~brevak-Addr.mdb-00ff00ff00ff00ff.tmp"}};
  h.folders.files[kEntry] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  h.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000", u"20200101000000"};
}

TEST(UnfinishedCopyTest, TheNextRunRemovesOnlyTheFolderTheProgressFileNames) {
  const JournalState backing_up = UpdateBackingUp{u"20121225051422"};
  struct Case {
    const char* name;
    std::vector<testing::FakeFile> half;  // nothing: the folder is gone
    bool undeletable;
    bool removed;
    std::string first_box;
  };
  const Case cases[] = {
      {"half copied", {{u"Customerdata.car"}, {u".~brevak-Addr.mdb-0123456789abcdef.tmp"}}, false, true, ""},
      {"gone or renamed", {}, false, false, ""},
      {"a file of the user's put in", {{u"Customerdata.car"}, {u"notes.txt"}}, false, false, kKept},
      {"cannot be removed", {{u"Customerdata.car"}}, true, false, kKept},
  };
  for (const Case& c : cases) {
    CoreHarness h;
    MakeFolders(h);
    if (!c.half.empty()) h.folders.files[kHalf] = c.half;
    if (c.undeletable) h.folders.undeletable.insert(kHalf);
    h.durable_files.texts[kRecord] = FormatJournal(backing_up);
    h.clock.readings = {LocalTime{2012, 12, 25, 6, 0, 0}};
    const Lines boxes = Boxes(h.Run("yes\nclick CmdUpdate\nok\nok\nclose"));
    ASSERT_FALSE(boxes.empty()) << c.name;
    EXPECT_EQ(boxes.back(), "msgbox OK 升级完成") << c.name;
    EXPECT_EQ(boxes.size(), c.first_box.empty() ? 1u : 2u) << c.name;
    EXPECT_TRUE(boxes[0].starts_with(c.first_box.empty() ? "msgbox OK 升级完成" : c.first_box)) << boxes[0];
    EXPECT_EQ(h.folders.files.count(kHalf) == 1, !c.half.empty() && !c.removed) << c.name;
    EXPECT_EQ(h.folders.files.count(kUsers), 1u) << c.name;
  }
}

// Killed inside the update's backup or the restore's safety copy, at each
// file: the folder it made is named, not listed, and goes at the next run;
// the user's folder and the installation stay as they were.
TEST(UnfinishedCopyTest, AKillInsideEitherCopyLeavesOnlyANamedFolder) {
  const std::pair<const char*, std::string> phases[] = {
      {"update backup", "yes\nclick CmdUpdate\nok\nclose"},
      {"safety copy", "yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nclose"}};
  for (const auto& [phase, script] : phases) {
    for (int kill_after = 0; kill_after < 4; ++kill_after) {  // four files each
      const std::string where = std::string(phase) + ", kill after " + std::to_string(kill_after);
      CoreHarness h;
      MakeFolders(h);
      // as the copier finds the installation's files
      h.folders.files[u"C:\\Program Files\\Brevak"] = {{u"Brevak.exe"}, {u"Brevak.ini"}, {u"Customerdata.car"}, {u"Addr.mdb"}};
      testing::InPlaceCopier copier(h.folders);
      h.shell_instead = &copier;
      copier.kill_after = kill_after;
      EXPECT_THROW(h.Run(script), testing::InPlaceCopier::Killed) << where;
      const JournalState named = ParseJournal(h.durable_files.texts.at(kRecord));
      EXPECT_TRUE(std::holds_alternative<UpdateBackingUp>(named) || std::holds_alternative<RestoreSafetyCopy>(named))
          << where;
      EXPECT_EQ(CoreHarness::LinesStartingWith(h.Run("yes\nclick cmdGetHistory\nclose"), "list add"),
                (Lines{"list add 20121224093000", "list add 20200101000000"}))
          << where;
      copier.kill_after = -1;
      h.clock.readings = {LocalTime{2012, 12, 25, 6, 0, 0}};
      h.Run("yes\nclick CmdUpdate\nok\nclose");
      EXPECT_EQ(h.folders.deleted, std::vector<std::u16string>{kHalf}) << where;
      EXPECT_EQ(h.folders.files.count(kUsers), 1u) << where;
    }
  }
}

// Killed inside the safety copy of a restore that followed up an
// interrupted one: the next run gives the interrupted restore back, word
// for word, and asks about it again.
TEST(UnfinishedCopyTest, AKilledSafetyCopyGivesBackTheRestoreItFollowedUp) {
  CoreHarness h;
  MakeFolders(h);
  h.folders.files[u"C:\\Program Files\\Brevak"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  JournalDigests digests;
  for (const char16_t* name : {u"Addr.mdb", u"Customerdata.car"}) {
    const std::string hex = *h.file_digests.Sha256(kEntry + u"\\" + name, nullptr);
    digests[name] = u"sha256:" + std::u16string(hex.begin(), hex.end());
  }
  const std::u16string interrupted =
      FormatJournal(RestoreCopying{u"20121224093000", digests, u"20121224093000", std::nullopt, {}});
  h.durable_files.texts[kRecord] = interrupted;
  testing::InPlaceCopier copier(h.folders);
  h.shell_instead = &copier;
  copier.kill_after = 1;
  EXPECT_THROW(h.Run("yes\nclick CmdUpdate\nno\nclose"), testing::InPlaceCopier::Killed);
  EXPECT_TRUE(std::get<RestoreSafetyCopy>(ParseJournal(h.durable_files.texts.at(kRecord))).interrupted);
  copier.kill_after = -1;
  const Lines boxes = Boxes(h.Run("yes\nclick CmdUpdate\ncancel\nclose"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].starts_with("msgbox YesNoCancel 上次恢复数据没有完成")) << boxes[0];
  EXPECT_EQ(h.durable_files.texts.at(kRecord), interrupted);
  EXPECT_EQ(h.folders.deleted, std::vector<std::u16string>{kHalf});
}

}  // namespace
}  // namespace brevak
