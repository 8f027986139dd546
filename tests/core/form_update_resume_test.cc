// The safeguards around an update on in-memory services: the record of an
// update in progress, finishing an interrupted update from its backup,
// databases in use. (One copy at a time and a backup folder of the same
// second: tests/blackbox/interrupted_update_test.cc.)
#include <gtest/gtest.h>

#include "platform/posix/text/utf.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using Lines = std::vector<std::string>;

const std::u16string kRecord = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
const std::u16string kOldBackup = u"C:\\Program Files\\Brevak\\20121224093000";
const std::string kOld = "C:\\\\Program Files\\\\Brevak\\\\20121224093000";
const std::string kDone = "msgbox OK 升级完成";
const std::string kFinish = "msgbox YesNo 上次升级没有完成，原有数据保存在：" + kOld + "\\r\\n是否用这个备份继续完成升级？";

// The message boxes after the start prompt.
Lines Messages(const Lines& transcript) {
  const Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox");
  return Lines(boxes.begin() + 1, boxes.end());
}

// An earlier update was interrupted after its backup into kOldBackup.
void LeaveInterruptedUpdate(CoreHarness& harness) {
  harness.durable_files.texts[kRecord] = kOldBackup;
  harness.folders.files[kOldBackup] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  harness.folders.subfolders[kOldBackup] = {};
}

TEST(UpdateRecordTest, WrittenAfterTheBackupAndClearedOnlyWhenEveryTableMoved) {
  struct Case {
    const char* name;
    std::vector<testing::CopyOutcome> outcomes;
    const char16_t* failing_statement;
    bool fail_write;
    size_t requests;
    bool left;
  };
  const testing::CopyOutcome ok{};
  const Case cases[] = {
      {"all moved", {ok, ok}, u"", false, 2, false},
      {"backup failed", {{2, 0, 2}}, u"", false, 1, false},
      {"package failed", {ok, {112, 0, 112}}, u"", false, 2, true},
      {"a table failed", {ok, ok}, u"exec delete from SmsSave", false, 2, true},
      {"record not written", {ok, ok}, u"", true, 1, false},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.shell.outcomes.assign(c.outcomes.begin(), c.outcomes.end());
    harness.database.log.fail = [&](const std::u16string& line) { return line == c.failing_statement; };
    harness.durable_files.fail_write = c.fail_write;
    std::vector<size_t> requests_at_write;
    harness.durable_files.on_change = [&] { requests_at_write.push_back(harness.shell.requests.size()); };
    harness.Run("yes\nclick CmdUpdate\nok\nclose");
    EXPECT_EQ(harness.shell.requests.size(), c.requests) << c.name;
    if (!requests_at_write.empty()) {
      EXPECT_EQ(requests_at_write[0], 1u) << c.name << ": between the copies";
    }
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), c.left ? 1u : 0u) << c.name;
  }
}

TEST(InterruptedUpdateTest, YesFinishesItFromItsOwnBackupWithoutANewBackupOrVersionQuestion) {
  CoreHarness harness;
  LeaveInterruptedUpdate(harness);
  harness.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004");  // not newer, yet never asked
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nyes\nok\nclose");
  EXPECT_EQ(Messages(transcript), (Lines{kFinish, kDone}));
  ASSERT_EQ(harness.shell.requests.size(), 1u);
  EXPECT_EQ(harness.shell.requests[0].pTo, "C:\\Program Files\\Brevak\\");
  const auto& log = harness.database.log.lines;
  EXPECT_NE(std::find(log.begin(), log.end(), u"exec Insert into [main] Select * From [;database=" + kOldBackup +
                                                  u"\\Customerdata.car;pwd=mqzvtw].main"),
            log.end());
  EXPECT_EQ(harness.durable_files.texts.count(kRecord), 0u);
}

TEST(InterruptedUpdateTest, NoAMissingBackupOrAnUnreadableRecordChangesNothing) {
  const std::string head = "msgbox OK 上次升级没有完成，原有数据保存在：" + kOld + "\\r\\n";
  const std::string tail = "\\r\\n为免丢失数据，升级没有继续。请找回这个备份后再开始更新；如确定不再需要它，请删除"
                           "C:\\\\Program Files\\\\Brevak\\\\upgrade-in-progress.brevak";
  const std::vector<std::tuple<std::function<void(CoreHarness&)>, std::string, std::string>> cases = {
      {[](CoreHarness&) {}, "no", kFinish},
      {[](CoreHarness& h) { h.folders.files.clear(); h.folders.subfolders.clear(); }, "ok",
       head + "这个备份文件夹已不存在。" + tail},
      {[](CoreHarness& h) { h.folders.files[kOldBackup].pop_back(); }, "ok",
       head + "这个备份缺少：Addr.mdb" + tail},
      {[](CoreHarness& h) { h.durable_files.fail_read = true; }, "ok",
       "msgbox OK 无法读取上次升级的记录：C:\\\\Program Files\\\\Brevak\\\\upgrade-in-progress.brevak\\r\\n"
       "路径/文件访问错误"},
  };
  for (const auto& [arrange, answer, message] : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    arrange(harness);
    EXPECT_EQ(Messages(harness.Run("yes\nclick CmdUpdate\n" + answer + "\nclose")), Lines{message});
    EXPECT_TRUE(harness.shell.requests.empty()) << message;
    EXPECT_TRUE(harness.durable_files.log.empty()) << message;
    EXPECT_EQ(harness.database.log.lines.size(), 4u) << message << ": only the address book opened and closed";
  }
}

TEST(DatabasesInUseTest, AHeldDatabaseStopsTheUpdateTheFinishingAndTheRestore) {
  const std::vector<std::tuple<const char16_t*, bool, std::string>> cases = {
      {u"Customerdata.car", false, "click CmdUpdate"},
      {u"Addr.mdb", false, "click CmdUpdate"},
      {u"Addr.mdb", true, "click CmdUpdate\nyes"},
      {u"Customerdata.car", false, "click cmdGetHistory\nselect 0\nclick CmdRestore"}};
  for (const auto& [held, interrupted, script] : cases) {
    CoreHarness harness;
    if (interrupted) LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
    harness.data_file_use.in_use = {CoreHarness::kInstallDir + std::u16string(held)};
    const Lines boxes = Messages(harness.Run("yes\n" + script + "\nok\nclose"));
    EXPECT_EQ(boxes.back(), "msgbox OK 数据文件正在被其他程序使用：C:\\\\Program Files\\\\Brevak\\\\" +
                                posix::Utf16ToUtf8(held) + "\\r\\n请先关闭Brevak，然后再试。") << script;
    EXPECT_TRUE(harness.shell.requests.empty()) << script;
    EXPECT_EQ(harness.data_file_use.checked.front(), u"C:\\Program Files\\Brevak\\Customerdata.car|mqzvtw");
  }
}

TEST(RestoreTest, RestoringTheInterruptedUpdatesBackupClearsItsRecord) {
  for (const std::u16string entry : {u"20121224093000", u"20121225051422"}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {entry};
    harness.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nclose");
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), entry == u"20121224093000" ? 0u : 1u);
  }
}

}  // namespace
}  // namespace brevak
