// The in-progress record alone: nothing of a record is followed before it
// proves itself, and a question answered Yes changes the record only when
// the journal could write it.
#include "core/in_progress_record.h"

#include <gtest/gtest.h>

#include "support/record_fakes.h"

namespace brevak {
namespace {
using testing::RecordFakes;

const std::u16string kBackup = u"C:\\Shop\\20121225051422";

// An update recorded from a whole backup in kBackup, as the run writes it.
UpdateRecord RecordedUpdate(RecordFakes& f) {
  f.folders.files[kBackup] = {{u"Customerdata.car", 10, 0, "rows"}, {u"Addr.mdb", 5, 0, "people"}};
  f.journal.Read(RecordFakes::kRecord);
  f.journal.BeginUpdateBackup(u"20121225051422");
  const std::optional<UpdateRecord> record = f.record.New(RecordFakes::kInstall, UpdateRecord::Kind::kUpdate,
                                                          kBackup, u"STOPS");
  f.journal.BeginUpdate(std::get<UpdateInProgress>(JournalStateOf(*record)));
  return *record;
}

TEST(InProgressRecordTest, ARecordIsBelievedOnlyWhenItProvesItself) {
  struct Case {
    const char* name;
    std::function<void(UpdateRecord&, RecordFakes&)> change;
    bool believed;
  };
  const Case cases[] = {
      {"as written", [](UpdateRecord& r, RecordFakes&) { r.backup = u"20121225051422"; }, true},
      {"a backup named by path", [](UpdateRecord& r, RecordFakes&) { r.backup = kBackup; }, false},
      {"a backup that is no stamp", [](UpdateRecord& r, RecordFakes&) { r.backup = u"Brevak"; }, false},
      {"a saved folder outside",
       [](UpdateRecord& r, RecordFakes&) {
         r.backup = u"20121225051422";
         r.saved = {u"..\\20121225051423"};
       },
       false},
      {"the backup's database changed since",
       [](UpdateRecord& r, RecordFakes& f) {
         r.backup = u"20121225051422";
         f.folders.files[kBackup][0].content = "other rows";
       },
       false},
      {"the backup's database gone",
       [](UpdateRecord& r, RecordFakes& f) {
         r.backup = u"20121225051422";
         f.folders.files[kBackup].erase(f.folders.files[kBackup].begin());
       },
       false},
  };
  for (const Case& c : cases) {
    RecordFakes f;
    UpdateRecord record = RecordedUpdate(f);
    c.change(record, f);
    const std::u16string problem = f.record.Prove(RecordFakes::kInstall, record);
    EXPECT_EQ(problem.empty(), c.believed) << c.name;
    if (c.believed) {
      EXPECT_EQ(record.backup, kBackup) << c.name;
    }
  }
}

TEST(InProgressRecordTest, GivingUpNamesTheBackupOnlyOnceTheRecordIsGone) {
  struct Case {
    int answer;
    bool removal_fails;
    bool given_up;
  };
  for (const Case& c : {Case{vbNo, false, false}, Case{vbYes, false, true}, Case{vbYes, true, false}}) {
    RecordFakes f;
    const UpdateRecord record = RecordedUpdate(f);
    f.durable_files.fail_remove = c.removal_fails;
    f.window.QueueAnswer(c.answer);
    ClickState click;
    EXPECT_EQ(f.record.AskToGiveUp(RecordFakes::kInstall, record, click), c.given_up);
    EXPECT_EQ(click.given_up_dir, c.given_up ? kBackup : u"");
    EXPECT_EQ(f.durable_files.texts.count(RecordFakes::kRecord), c.given_up ? 0u : 1u);
    EXPECT_EQ(InProgressRecord::GivenUpLine(click).empty(), !c.given_up);
  }
}

// A damaged record set aside keeps its text under a name dated by the
// clock, and the click remembers the folders to name at its end.
TEST(InProgressRecordTest, ADamagedRecordIsSetAsideUnderTheClocksStamp) {
  for (const int answer : {vbYes, vbNo}) {
    RecordFakes f;
    f.durable_files.texts[RecordFakes::kRecord] = u"not a record";
    const RecordReading reading = f.record.Read(RecordFakes::kInstall);
    ASSERT_FALSE(reading.problem.empty());
    f.window.QueueAnswer(answer);
    ClickState click;
    EXPECT_EQ(f.record.SetAside(RecordFakes::kInstall, reading, click), answer == vbYes);
    EXPECT_EQ(click.record_set_aside, answer == vbYes);
    const std::u16string aside = std::u16string(RecordFakes::kRecord) + u".damaged-20121225051422";
    EXPECT_EQ(f.durable_files.texts.count(aside), answer == vbYes ? 1u : 0u);
    EXPECT_EQ(f.durable_files.texts.count(RecordFakes::kRecord), answer == vbYes ? 0u : 1u);
  }
}

}  // namespace
}  // namespace brevak
