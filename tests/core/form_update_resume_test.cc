// The safeguards around an update on in-memory services: the record of an
// update in progress, finishing an interrupted update from its backup, one
// copy of the tool at a time, databases in use, a backup folder never
// reused.
#include <gtest/gtest.h>

#include "platform/posix/utf.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using Lines = std::vector<std::string>;

const std::u16string kRecord = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
const std::u16string kNewBackup = u"C:\\Program Files\\Brevak\\20121225051422";
const std::u16string kOldBackup = u"C:\\Program Files\\Brevak\\20121224093000";
const std::string kDone = "msgbox OK 升级完成";
const std::string kResumeQuestion =
    "msgbox YesNo 上次升级没有完成，原有数据保存在：C:\\\\Program Files\\\\Brevak\\\\20121224093000\\r\\n"
    "是否用这个备份继续完成升级？";

// The message boxes after the start prompt.
Lines Messages(const Lines& transcript) {
  Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox");
  return Lines(boxes.begin() + 1, boxes.end());
}

// An earlier update was interrupted after its backup of kOldBackup.
void LeaveInterruptedUpdate(CoreHarness& harness) {
  harness.durable_files.texts[kRecord] = kOldBackup;
  harness.durable_files.exists = {kOldBackup + u"\\Customerdata.car", kOldBackup + u"\\Addr.mdb"};
  harness.folders.subfolders[kOldBackup] = {};
}

TEST(UpdateRecordTest, WrittenBetweenTheTwoCopiesAndClearedOnlyWhenEveryTableMoved) {
  struct Case {
    const char* name;
    std::vector<testing::CopyOutcome> outcomes;
    std::function<bool(const std::u16string&)> failing_statement;
    bool written, left;
  };
  const auto none = [](const std::u16string&) { return false; };
  const testing::CopyOutcome ok{};
  const Case cases[] = {
      {"all moved", {ok, ok}, none, true, false},
      {"backup failed", {{2, 0, 2}}, none, false, false},
      {"package failed", {ok, {112, 0, 112}}, none, true, true},
      {"a table failed", {ok, ok}, [](const std::u16string& l) { return l == u"exec delete from SmsSave"; }, true, true},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.shell.outcomes.assign(c.outcomes.begin(), c.outcomes.end());
    harness.database.log.fail = c.failing_statement;
    std::vector<size_t> requests_at_change;
    harness.durable_files.on_change = [&] { requests_at_change.push_back(harness.shell.requests.size()); };
    harness.Run("yes\nclick CmdUpdate\nok\nclose");
    EXPECT_EQ(harness.durable_files.log.empty(), !c.written) << c.name;
    if (c.written) {
      EXPECT_EQ(requests_at_change.front(), 1u) << c.name << ": after the backup, before the package";
    }
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), c.left ? 1u : 0u) << c.name;
    if (c.left) {
      EXPECT_EQ(harness.durable_files.texts[kRecord], kNewBackup) << c.name;
    }
  }
}

TEST(UpdateRecordTest, AnUpdateThatCannotBeRecordedStopsBeforeThePackage) {
  CoreHarness harness;
  harness.durable_files.fail_write = true;
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
  EXPECT_EQ(Messages(transcript), Lines{"msgbox OK 无法记录升级进度：磁盘已满\\r\\n升级没有继续，原有数据已备份到："
                                        "C:\\\\Program Files\\\\Brevak\\\\20121225051422"});
  EXPECT_EQ(harness.shell.requests.size(), 1u);
}

TEST(InterruptedUpdateTest, YesFinishesItFromItsOwnBackupWithoutANewBackupOrVersionQuestion) {
  CoreHarness harness;
  LeaveInterruptedUpdate(harness);
  harness.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004");  // not newer: never asked
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nyes\nok\nclose");
  EXPECT_EQ(Messages(transcript), (Lines{kResumeQuestion, kDone}));
  ASSERT_EQ(harness.shell.requests.size(), 1u);
  EXPECT_EQ(posix::Utf8ToUtf16(harness.shell.requests[0].pTo), u"C:\\Program Files\\Brevak\\");
  EXPECT_EQ(harness.form->sBackupDir(), kOldBackup);
  const auto& log = harness.database.log.lines;
  EXPECT_NE(std::find(log.begin(), log.end(),
                      u"exec Insert into [main] Select * From [;database=" + kOldBackup +
                          u"\\Customerdata.car;pwd=mqzvtw].main"),
            log.end());
  EXPECT_EQ(harness.durable_files.texts.count(kRecord), 0u);
}

TEST(InterruptedUpdateTest, NoOrAnIncompleteBackupChangesNothing) {
  struct Case {
    const char* name;
    std::function<void(CoreHarness&)> arrange;
    std::string script;
    Lines messages;
  };
  const std::string tail = "为免丢失数据，升级没有继续。请找回这个备份后再开始更新；如确定不再需要它，请删除"
                           "C:\\\\Program Files\\\\Brevak\\\\upgrade-in-progress.brevak";
  const std::string head = "msgbox OK 上次升级没有完成，原有数据保存在：C:\\\\Program Files\\\\Brevak\\\\20121224093000\\r\\n";
  const Case cases[] = {
      {"no", [](CoreHarness&) {}, "no", {kResumeQuestion}},
      {"folder gone",
       [](CoreHarness& h) { h.durable_files.exists.clear(); h.folders.subfolders.erase(kOldBackup); },
       "ok",
       {head + "这个备份文件夹已不存在。\\r\\n" + tail}},
      {"databases gone", [](CoreHarness& h) { h.durable_files.exists.clear(); }, "ok",
       {head + "这个备份缺少：Customerdata.car、Addr.mdb\\r\\n" + tail}},
      {"record unreadable", [](CoreHarness& h) { h.durable_files.fail_read = true; }, "ok",
       {"msgbox OK 无法读取上次升级的记录：C:\\\\Program Files\\\\Brevak\\\\upgrade-in-progress.brevak\\r\\n"
        "路径/文件访问错误"}},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    c.arrange(harness);
    const Lines transcript = harness.Run("yes\nclick CmdUpdate\n" + c.script + "\nclose");
    EXPECT_EQ(Messages(transcript), c.messages) << c.name;
    EXPECT_TRUE(harness.shell.requests.empty()) << c.name;
    EXPECT_TRUE(harness.durable_files.log.empty()) << c.name;
    EXPECT_EQ(harness.database.log.lines.size(), 4u) << c.name << ": the address book opened and closed only";
  }
}

TEST(InstanceLockTest, ASecondCopySaysSoAndEndsBeforeAnything) {
  CoreHarness harness;
  harness.instance_lock.held_elsewhere = true;
  const Lines transcript = harness.Run("ok");
  EXPECT_EQ(transcript, (Lines{"msgbox OK Brevak升级程序已经在运行。\\r\\n请等它结束后再运行升级程序。", "answer ok",
                               "exit 0"}));
  EXPECT_TRUE(harness.database.log.lines.empty());
}

TEST(DatabasesInUseTest, AHeldDatabaseStopsTheUpdateTheFinishingAndTheRestore) {
  struct Case {
    const char* name;
    const char16_t* held;
    bool interrupted;
    std::string script;
  };
  const Case cases[] = {
      {"update, customer database", u"Customerdata.car", false, "click CmdUpdate"},
      {"update, address book", u"Addr.mdb", false, "click CmdUpdate"},
      {"finishing", u"Addr.mdb", true, "click CmdUpdate\nyes"},
      {"restore", u"Customerdata.car", false, "click cmdGetHistory\nselect 0\nclick CmdRestore"},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    if (c.interrupted) LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
    const std::u16string held = CoreHarness::kInstallDir + std::u16string(c.held);
    harness.data_file_use.in_use = {held};
    const Lines transcript = harness.Run("yes\n" + c.script + "\nok\nclose");
    EXPECT_EQ(Messages(transcript).back(), "msgbox OK 数据文件正在被其他程序使用：C:\\\\Program Files\\\\Brevak\\\\" +
                                               posix::Utf16ToUtf8(c.held) + "\\r\\n请先关闭Brevak，然后再试。")
        << c.name;
    EXPECT_TRUE(harness.shell.requests.empty()) << c.name;
    EXPECT_EQ(harness.data_file_use.checked.front(), u"C:\\Program Files\\Brevak\\Customerdata.car|mqzvtw") << c.name;
  }
}

TEST(BackupFolderTest, AnExistingFolderIsNeverReused) {
  using T = LocalTime;
  CoreHarness harness;
  harness.folders.subfolders[u"C:\\Program Files\\Brevak\\20121225051422"] = {};
  harness.folders.subfolders[u"C:\\Program Files\\Brevak\\20121225051423"] = {};
  harness.clock.readings.assign(14, T{2012, 12, 25, 5, 14, 22});
  harness.clock.readings.insert(harness.clock.readings.end(), 6, T{2012, 12, 25, 5, 14, 23});
  harness.clock.readings.push_back(T{2012, 12, 25, 5, 14, 24});
  harness.Run("yes\nclick CmdUpdate\nok\nclose");
  ASSERT_FALSE(harness.shell.requests.empty());
  EXPECT_EQ(harness.shell.requests[0].pTo, "C:\\Program Files\\Brevak\\20121225051424\\");
}

TEST(RestoreTest, RestoringTheInterruptedUpdatesBackupClearsItsRecord) {
  for (const char16_t* entry : {u"20121224093000", u"20121225051422"}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {entry};
    harness.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nclose");
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), entry == std::u16string(u"20121224093000") ? 0u : 1u);
  }
}

}  // namespace
}  // namespace brevak
