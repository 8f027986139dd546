// The backup folders alone: a new name never names a folder that is there,
// and a copy that failed never ends the journal's copy state while its
// folder stays.
#include "core/backup_folders.h"

#include <gtest/gtest.h>

#include "support/record_fakes.h"

namespace brevak {
namespace {
using testing::RecordFakes;
using T = LocalTime;

TEST(BackupFoldersTest, ANewNameIsFreeOrNothingAfterTellingTheUser) {
  struct Case {
    const char* name;
    std::deque<LocalTime> readings;
    std::vector<std::u16string> taken;  // folders there already
    bool restore;
    std::u16string named;  // empty: none came free
  };
  const Case cases[] = {
      {"free at once", {T{2013, 7, 9, 13, 5, 7}}, {}, false, u"C:\\Shop\\20130709130507"},
      {"taken, then the clock moves on",
       {T{2013, 7, 9, 13, 5, 7}, T{2013, 7, 9, 13, 5, 7}, T{2013, 7, 9, 13, 5, 7}, T{2013, 7, 9, 13, 5, 7},
        T{2013, 7, 9, 13, 5, 7}, T{2013, 7, 9, 13, 5, 7}, T{2013, 7, 9, 13, 5, 8}},
       {u"C:\\Shop\\20130709130507"}, false, u"C:\\Shop\\20130709130508"},
      {"a clock that stands still", {T{2013, 7, 9, 13, 5, 7}}, {u"C:\\Shop\\20130709130507"}, false, u""},
      {"a restore's, the same", {T{2013, 7, 9, 13, 5, 7}}, {u"C:\\Shop\\20130709130507"}, true, u""},
  };
  for (const Case& c : cases) {
    RecordFakes f;
    f.clock.readings = c.readings;
    for (const std::u16string& folder : c.taken) f.folders.existing_folders.insert(folder);
    EXPECT_EQ(f.backup_folders.NameNew(RecordFakes::kInstall, u"BUTTON", c.restore), c.named) << c.name;
    ASSERT_EQ(f.window.message_boxes().size(), c.named.empty() ? 1u : 0u) << c.name;
    if (c.named.empty()) {
      const std::u16string& told = f.window.message_boxes().front().prompt;
      EXPECT_NE(told.find(u"20130709130507"), std::u16string::npos) << c.name;
      EXPECT_EQ(told.find(u"BUTTON") != std::u16string::npos, c.restore) << c.name;
    }
  }
}

// The journal names the folder of the copy under way; when the copy fails
// the name goes only with the folder, so that the next run removes it.
TEST(BackupFoldersTest, AFailedCopyEndsItsStateOnlyWithItsFolder) {
  const std::u16string folder = u"C:\\Shop\\20121225051422";
  for (const bool undeletable : {false, true}) {
    RecordFakes f;
    f.journal.Read(RecordFakes::kRecord);
    ASSERT_TRUE(f.backup_folders.Make(folder, u"WHAT", u"BUTTON"));
    f.journal.BeginUpdateBackup(u"20121225051422");
    f.folders.files[folder] = {{u"Customerdata.car"}};
    if (undeletable) f.folders.undeletable.insert(folder);
    f.backup_folders.EndFailedCopy(folder);
    EXPECT_EQ(f.backup_folders.FolderExists(folder), undeletable);
    EXPECT_EQ(f.durable_files.texts.count(RecordFakes::kRecord), undeletable ? 1u : 0u) << undeletable;
    EXPECT_EQ(f.backup_folders.UnfinishedCopyFolderName(RecordFakes::kInstall),
              undeletable ? u"20121225051422" : u"");
  }
}

TEST(BackupFoldersTest, AFolderIsMadeOnlyWhereNothingIs) {
  const std::u16string folder = u"C:\\Shop\\20121225051422";
  RecordFakes f;
  f.folders.files[folder] = {{u"notes.txt"}};
  EXPECT_FALSE(f.backup_folders.Make(folder, u"WHAT", u"BUTTON"));
  EXPECT_EQ(f.window.message_boxes().size(), 1u);
  EXPECT_TRUE(f.folders.created.empty());
}

TEST(BackupFoldersTest, DigestsNameAMissingDatabaseAndRaiseForAnUnreadableOne) {
  RecordFakes f;
  f.folders.files[u"C:\\Shop\\b"] = {{u"Customerdata.car", 10, 0, "rows"}};
  const auto digests = f.backup_folders.DatabaseDigests(u"C:\\Shop\\b\\");
  EXPECT_TRUE(digests.at(u"Customerdata.car").starts_with(u"sha256:"));
  EXPECT_EQ(digests.at(u"Addr.mdb"), u"");
  f.file_digests.failing.insert(u"C:\\Shop\\b\\Customerdata.car");
  EXPECT_THROW(f.backup_folders.DatabaseDigests(u"C:\\Shop\\b"), RunTimeError);
}

}  // namespace
}  // namespace brevak
