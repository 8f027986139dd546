// The campaign's own judgement: which folders a message names, which rows
// a folder still holds, and which system call a fault hits. A fault here
// would hide lost rows or invent them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "campaign/messages.h"
#include "campaign/record_mutation.h"
#include "campaign/safeguard_judge.h"
#include "campaign/schedule.h"
#include "campaign/shop_rows.h"
#include "campaign/syscall_fault.h"
#include "campaign/user_folder.h"

namespace brevak::campaign {
namespace {

TEST(NamesFolderTest, AFolderIsNamedOnlyByItsWholePath) {
  struct Case {
    const char* text;
    const char* folder;
    bool named;
  } cases[] = {
      {"原有数据仍保存在：C:\\Brevak\\20261209101500", "C:\\Brevak\\20261209101500", true},
      {"原有数据仍保存在：c:\\BREVAK\\20261209101500。", "C:\\Brevak\\20261209101500", true},
      {"C:\\Brevak\\20261209101500\\Addr.mdb", "C:\\Brevak\\20261209101500", true},
      {"C:\\Brevak\\20261209101500，请…", "C:\\Brevak\\20261209101500", true},
      {"C:\\Brevak\\202612091015001", "C:\\Brevak\\20261209101500", false},
      {"C:\\Brevak\\2026120910150", "C:\\Brevak\\20261209101500", false},
      {"升级包在 C:\\Brevak升级包", "C:\\Brevak", false},
      {"C:\\Brevak.old", "C:\\Brevak", false},
      {"见 C:\\Brevak.", "C:\\Brevak", true},
      {"112", "C:\\Brevak", false},
      {"保存在：C:/Brevak\\20261209101500", "C:\\Brevak\\20261209101500", true},
      {"保存在：C:\\\\Brevak\\\\20261209101500", "C:\\Brevak\\20261209101500", true},
      {"C:/Brevak/2026120910150", "C:\\Brevak\\20261209101500", false},
  };
  for (const Case& c : cases) EXPECT_EQ(NamesFolder(c.text, c.folder), c.named) << c.text << " / " << c.folder;
}

TEST(NamesFolderTest, ABackupIsAlsoNamedByItsDateInTheLabelsWords) {
  EXPECT_EQ(BackupDate("20261209101500"), "2026年12月09日10时15分00秒");
  EXPECT_EQ(BackupDate("2026120910150"), "");
  EXPECT_EQ(BackupDate("2026120910150x"), "");
}

TEST(NamesFolderTest, TranscriptEscapesAreTakenBack) {
  EXPECT_EQ(UnescapeText("a\\r\\nC:\\\\Brevak\\\\x"), "a\r\nC:\\Brevak\\x");
}

TEST(HeldRowsTest, RowsAreComparedOnTheFieldsBothTablesHave) {
  const TableRows old_table{{"ID", "Name"}, {{"I1", "T张"}, {"I2", "T李"}, {"I2", "T李"}}};
  struct Case {
    const char* what;
    TableRows holder;
    std::vector<bool> held;
  } cases[] = {
      {"the same rows", old_table, {true, true, true}},
      {"a field more, in another place", {{"WeChat", "Name", "ID"}, {{"Tw", "T李", "I2"}, {"T", "T张", "I1"}}},
       {true, true, false}},
      {"one copy of a doubled row", {{"ID", "Name"}, {{"I2", "T李"}}}, {false, true, false}},
      {"another value", {{"ID", "Name"}, {{"I1", "T王"}, {"I2", "I2"}}}, {false, false, false}},
      {"no field in common", {{"Other"}, {{"I1"}}}, {false, false, false}},
      {"nothing", {{"ID", "Name"}, {}}, {false, false, false}},
  };
  for (const Case& c : cases) EXPECT_EQ(HeldRows(old_table, c.holder), c.held) << c.what;
}

TEST(SyscallFaultTest, OnlyCallsOnTheShopsFilesAreCandidatesAndCountedAsStraceCounts) {
  const std::filesystem::path log = std::filesystem::path(::testing::TempDir()) / "campaign.strace";
  std::ofstream(log) << "700 write(1<pipe:[9]>, \"msgbox OK 112\\n\", 14) = 14\n"
                        "700 write(5</p/drive_c/Brevak/upgrade-in-progress.brevak.new>, \"C:\\\\Brevak\", 9) = 9\n"
                        "700 copy_file_range(5</p/drive_c/pkg/Addr.mdb>, NULL, 6</p/drive_c/Brevak/.~b.tmp>, NULL, 9, 0)"
                        " = 9\n"
                        "701 write(5</p/drive_c/Brevak/x>, \"\", 0) = 0\n"
                        "700 rename(\"/p/dosdevices/c:/Brevak/.~b.tmp\", \"/p/dosdevices/c:/Brevak/Addr.mdb\") = 0\n"
                        "700 fsync(4</other/Brevak>) = 0\n"
                        "70  fsync(4</p/drive_c/Brevak>) = 0\n"
                        "700 write(5</p/drive_c/Brevak/\\345\\215\\207>, \"x\", 1) = -1 ENOSPC (No space left on "
                        "device) (INJECTED)\n"
                        "700 +++ exited with 0 +++\n";
  const std::vector<SyscallCall> calls = CallsInside(log, "/p");
  const std::vector<std::string> expected = {"write 2 /p/drive_c/Brevak/upgrade-in-progress.brevak.new",
                                             "copy_file_range 1 /p/drive_c/Brevak/.~b.tmp",
                                             "rename 1 /p/dosdevices/c:/Brevak/Addr.mdb", "write 3 /p/drive_c/Brevak/升"};
  ASSERT_EQ(calls.size(), expected.size()) << "process 70's call is not the first process's";
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].syscall + " " + std::to_string(calls[i].index) + " " + calls[i].target, expected[i]);
  }
  SyscallCall injected;
  ASSERT_TRUE(FindInjected(log, &injected));
  EXPECT_EQ(injected.syscall + " " + std::to_string(injected.index) + " " + injected.target,
            "write 3 /p/drive_c/Brevak/升");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line.ends_with("\r") ? line : line + "\r");
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Each mutation does what its name says, wherever the draw makes it strike,
// so a schedule's "record cut short" is what the tool was given.
TEST(RecordMutationTest, EachMutationDamagesTheRecordAsNamed) {
  const std::string record =
      "kind=update\r\nbackup=C:\\Brevak\\20261209101500\r\nstarted=20261209101500\r\n"
      "backup.Addr.mdb=8192 2026-12-09 10:15:00\r\nsaved=20261209111500\r\n";
  const std::string outside = "C:\\Brevak升级包";
  using Check = std::function<bool(const std::string&)>;
  const auto changed_lines = [&](const std::string& after) {
    std::vector<std::string> a = Lines(record), b = Lines(after), changed;
    if (a.size() != b.size()) return changed;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) changed.push_back(b[i]);
    }
    return changed;
  };
  const auto one_folder_line = [&](const std::string& after, const Check& value_ok) {
    const std::vector<std::string> changed = changed_lines(after);
    return changed.size() == 1 && NamesFolderValue(changed[0]) && value_ok(changed[0].substr(changed[0].find('=') + 1));
  };
  struct Case {
    RecordMutation mutation;
    Check holds;
  } cases[] = {
      {RecordMutation::kFlipBit, [&](const std::string& after) {
         size_t bits = 0;
         for (size_t i = 0; i < record.size() && after.size() == record.size(); ++i) {
           bits += static_cast<size_t>(__builtin_popcount(static_cast<unsigned char>(record[i] ^ after[i])));
         }
         return after.size() == record.size() && bits == 1;
       }},
      {RecordMutation::kTruncate, [&](const std::string& after) {
         return after.size() < record.size() && record.starts_with(after);
       }},
      {RecordMutation::kDuplicateLine, [&](const std::string& after) {
         std::vector<std::string> lines = Lines(after);
         const auto twice = std::adjacent_find(lines.begin(), lines.end());
         if (twice == lines.end()) return false;
         lines.erase(twice);
         return lines == Lines(record);
       }},
      {RecordMutation::kDropLine, [&](const std::string& after) {
         const std::vector<std::string> lines = Lines(after), all = Lines(record);
         size_t kept = 0;  // the lines left are the record's, in its order
         for (size_t i = 0; i < all.size() && kept < lines.size(); ++i) kept += all[i] == lines[kept] ? 1 : 0;
         return lines.size() + 1 == all.size() && kept == lines.size();
       }},
      {RecordMutation::kSwapLines, [&](const std::string& after) {
         return after != record && Sorted(Lines(after)) == Sorted(Lines(record)) && changed_lines(after).size() == 2;
       }},
      {RecordMutation::kOutsideFolder, [&](const std::string& after) {
         return one_folder_line(after, [&](const std::string& value) { return value == outside + "\r"; });
       }},
      {RecordMutation::kDotDot, [&](const std::string& after) {
         return one_folder_line(after, [&](const std::string& value) {
           return value.ends_with("..\\Brevak升级包\r") &&
                  (value.starts_with("..\\") || value.find("\\..\\..\\") != std::string::npos);
         });
       }},
  };
  for (const Case& c : cases) {
    for (uint64_t seed = 1; seed <= 40; ++seed) {
      std::mt19937_64 rng(seed);
      const std::string after = MutateRecord(record, c.mutation, rng, outside);
      EXPECT_TRUE(c.holds(after)) << MutationName(c.mutation) << ", seed " << seed << ":\n" << after;
    }
  }
}

TEST(RecordMutationTest, ARecordWithNothingToMutateIsLeftAsItIs) {
  std::mt19937_64 rng(1);
  EXPECT_EQ(MutateRecord("", RecordMutation::kFlipBit, rng, "C:\\x"), "");
  EXPECT_EQ(MutateRecord("kind=update\r\n", RecordMutation::kOutsideFolder, rng, "C:\\x"), "kind=update\r\n");
  EXPECT_EQ(MutateRecord("a=1\r\na=1\r\n", RecordMutation::kSwapLines, rng, "C:\\x"), "a=1\r\na=1\r\n");
}


TEST(UserFolderTest, EveryChangeToTheFolderIsSeen) {
  using Entries = std::vector<std::pair<std::string, std::string>>;
  const auto folder = [](bool exists, const Entries& entries) {
    FolderContents contents;
    contents.exists = exists;
    contents.entries.insert(entries.begin(), entries.end());
    return contents;
  };
  const Entries planted = {{"a.txt", "1"}, {"d/", ""}, {"d/b.jpg", "2"}};
  const struct {
    bool exists;
    Entries now;
    const char* changes;
  } cases[] = {
      {true, planted, ""},
      {false, {}, "removed"},
      {true, {}, "a.txt removed, d/ removed, d/b.jpg removed"},
      {true, {{"a.txt", "1"}, {"d/", ""}, {"d/b.jpg", "3"}}, "d/b.jpg changed"},
      {true, {{"a.txt", "1"}, {"d/", ""}, {"d/b.jpg", "2"}, {"c", ""}}, "c added"},
  };
  for (const auto& c : cases) EXPECT_EQ(ContentChanges(folder(true, planted), folder(c.exists, c.now)), c.changes);
}

TEST(SafeguardJudgeTest, HalfRestoredDataIsNeitherTheBackupNorTheDataBefore) {
  const RowSet backup = {{"T", {{"ID"}, {{"I1"}, {"I2"}}}}, {"U", {{"ID"}, {{"I1"}}}}};
  const RowSet before = {{"T", {{"ID"}, {{"I1"}, {"I2"}, {"I3"}}}}, {"U", {{"ID"}, {{"I1"}, {"I2"}}}}};
  const RowSet half = {{"T", {{"ID"}, {{"I1"}, {"I2"}}}}, {"U", {{"ID"}, {{"I1"}, {"I2"}}}}};
  EXPECT_TRUE(SameRows(backup, backup));
  EXPECT_FALSE(SameRows(before, backup));  // a superset is not the same data
  EXPECT_FALSE(SameRows(half, backup));
  EXPECT_FALSE(SameRows(half, before));
  EXPECT_FALSE(SameRows({{"T", backup.at("T")}}, backup));  // a table missing
}

std::string Outline(const SchedulePlan& plan) {
  std::string text = plan.aim + " " + plan.time_zone;
  for (const StepPlan& step : plan.steps) {
    text += std::string(" ") + StepName(step.kind) + "/" + DescribeFault(step.fault) + "/" +
            std::to_string(step.answers.seed) + step.answers.first_answer;
  }
  return text;
}

TEST(ScheduleKindsTest, AKindLeftOutLeavesEverySchedulesAsItWas) {
  PlanOptions all, none, some;
  none.kinds.clear();
  ASSERT_TRUE(ParseScheduleKinds("chain,schema", &some.kinds));
  std::map<std::string, int> drawn;
  for (int index = 0; index < 400; ++index) {
    const SchedulePlan with_all = MakeSchedule(7, index, all), without = MakeSchedule(7, index, none);
    const SchedulePlan with_some = MakeSchedule(7, index, some);
    EXPECT_EQ(Outline(with_all), Outline(MakeSchedule(7, index, all))) << index;
    const bool kind = with_all.aim.rfind("user-folder", 0) == 0 || with_all.aim == "chain" ||
                      with_all.aim == "vanished" || with_all.aim == "schema";
    ++drawn[with_all.aim.substr(0, with_all.aim.find(','))];
    if (!kind) {
      EXPECT_EQ(Outline(with_all), Outline(without)) << index;
    }
    const bool in_some = with_all.aim == "chain" || with_all.aim == "schema";
    EXPECT_EQ(Outline(with_some), Outline(in_some ? with_all : without)) << index;
  }
  for (const char* kind : {"chain", "user-folder", "vanished", "schema", "update", "tamper"}) {
    EXPECT_GT(drawn[kind], 10) << kind;
  }
}

TEST(ScheduleKindsTest, KindsAreNamedAsTheOptionTakesThem) {
  struct Case {
    const char* text;
    bool valid;
    size_t count;
  } cases[] = {{"all", true, 4}, {"none", true, 0}, {"chain", true, 1}, {"vanished,user-folder,vanished", true, 2},
               {"", false, 0},   {"chains", false, 0}, {"chain,", true, 1}, {",", false, 0}};
  for (const Case& c : cases) {
    std::vector<ScheduleKind> kinds;
    EXPECT_EQ(ParseScheduleKinds(c.text, &kinds), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(kinds.size(), c.count) << c.text;
    }
  }
}

}  // namespace
}  // namespace brevak::campaign
