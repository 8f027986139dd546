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
using testing::FakeFile;
using Lines = std::vector<std::string>;

const std::u16string kRecord = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
const std::u16string kOldBackup = u"C:\\Program Files\\Brevak\\20121224093000";
const std::string kOld = "C:\\\\Program Files\\\\Brevak\\\\20121224093000";
const std::string kDone = "msgbox OK 升级完成";
const std::string kFinish = "msgbox YesNo 上次升级没有完成。";
const std::string kOldNamed = "备份文件夹 " + kOld + "（2012年12月24日09时30分00秒）";
const std::string kBackupNamed = "\\r\\n升级前的数据在备份文件夹 " + kOld + "（2012年12月24日09时30分00秒）。";
const std::string kDamaged = "msgbox YesNo 上次没有完成的升级或恢复不能继续";
const std::u16string kRecordText = u"kind=update\r\nbackup=" + kOldBackup +
                                   u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=0 0\r\n";

// The message boxes after the start prompt.
Lines Messages(const Lines& transcript) {
  const Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox");
  return Lines(boxes.begin() + 1, boxes.end());
}

std::u16string Digest(CoreHarness& harness, const std::u16string& path) {
  const std::string hex = *harness.file_digests.Sha256(path, nullptr);
  return u"sha256:" + std::u16string(hex.begin(), hex.end());
}

// A record of this version naming `backup` as its databases are now.
std::u16string V1Record(CoreHarness& harness, const std::u16string& backup) {
  return u"version=1\r\nkind=update\r\nbackup=" + backup.substr(backup.rfind(u'\\') + 1) + u"\r\nbackup.Addr.mdb=" +
         Digest(harness, backup + u"\\Addr.mdb") + u"\r\nbackup.Customerdata.car=" +
         Digest(harness, backup + u"\\Customerdata.car") + u"\r\n";
}

// An earlier update was interrupted after its backup into kOldBackup.
void LeaveInterruptedUpdate(CoreHarness& harness) {
  harness.durable_files.texts[kRecord] = kRecordText;
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
      {"backup failed", {{2, 0, 2}}, u"", false, 1, false},  // OK to the number and to the words
      {"package failed", {ok, {112, 0, 112}}, u"", false, 2, true},
      {"a table failed", {ok, ok}, u"exec delete from SmsSave", false, 2, true},
      {"record not written", {ok, ok}, u"", true, 0, false},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.shell.outcomes.assign(c.outcomes.begin(), c.outcomes.end());
    harness.database.log.fail = [&](const std::u16string& line) { return line == c.failing_statement; };
    harness.durable_files.fail_write = c.fail_write;
    std::vector<size_t> requests_at_write;
    harness.durable_files.on_change = [&] { requests_at_write.push_back(harness.shell.requests.size()); };
    harness.Run(c.requests == 1 ? "yes\nclick CmdUpdate\nok\nok\nclose" : "yes\nclick CmdUpdate\nok\nclose");
    EXPECT_EQ(harness.shell.requests.size(), c.requests) << c.name;
    // The backup's folder is named before the backup, the update between
    // the copies.
    if (!requests_at_write.empty()) {
      EXPECT_EQ(requests_at_write[0], 0u) << c.name;
    }
    if (requests_at_write.size() > 1) {
      EXPECT_EQ(requests_at_write[1], 1u) << c.name << ": between the copies";
    }
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), c.left ? 1u : 0u) << c.name;
  }
}

TEST(InterruptedUpdateTest, YesSavesThePresentDataFirstThenFinishesFromTheRecordedBackup) {
  CoreHarness harness;
  LeaveInterruptedUpdate(harness);
  harness.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004");  // not newer, yet never asked
  const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\nyes\nok\nclose"));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(boxes[0].starts_with(kFinish)) << boxes[0];
  EXPECT_NE(boxes[0].find(kBackupNamed), std::string::npos) << boxes[0];
  EXPECT_EQ(boxes[1], kDone + "\\r\\n继续升级前另存的数据保存在：C:\\\\Program Files\\\\Brevak\\\\20121225051422");
  ASSERT_EQ(harness.shell.requests.size(), 2u);
  EXPECT_EQ(harness.shell.requests[0].pTo, "C:\\Program Files\\Brevak\\20121225051422\\");
  EXPECT_EQ(harness.shell.requests[1].pTo, "C:\\Program Files\\Brevak\\");
  const auto& log = harness.database.log.lines;
  EXPECT_NE(std::find(log.begin(), log.end(), u"exec Insert into [main] Select * From [;database=" + kOldBackup +
                                                  u"\\Customerdata.car;pwd=mqzvtw].main"),
            log.end());
  EXPECT_EQ(harness.durable_files.texts.count(kRecord), 0u);
}

// When finishing has saved the present data and its record is gone or
// cannot be read again, the run stops before the package replaces
// anything, naming both folders.
TEST(InterruptedUpdateTest, ARecordLostDuringTheSaveStopsTheFinishing) {
  for (const bool unreadable : {false, true}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.shell.on_call = [&] {
      if (unreadable) harness.durable_files.fail_read = true;
      else harness.durable_files.texts.erase(kRecord);
    };
    const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\nyes\nok\nclose"));
    EXPECT_EQ(harness.shell.requests.size(), 1u) << unreadable;
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.back().starts_with("msgbox OK 升级没有继续：升级进度文件不能再用")) << boxes.back();
    EXPECT_NE(boxes.back().find("20121225051422"), std::string::npos) << boxes.back();
    EXPECT_NE(boxes.back().find("20121224093000"), std::string::npos) << boxes.back();
  }
}

// A record that does not prove itself is never followed: No changes
// nothing, Yes sets it aside and a normal update with its own backup runs.
TEST(InterruptedUpdateTest, ADamagedRecordIsOfferedToBeSetAside) {
  const std::vector<std::pair<const char*, std::function<void(CoreHarness&)>>> damages = {
      {"unreadable", [](CoreHarness& h) { h.durable_files.fail_read = true; }},
      {"empty", [](CoreHarness& h) { h.durable_files.texts[kRecord] = u""; }},
      {"old form", [](CoreHarness& h) { h.durable_files.texts[kRecord] = kOldBackup; }},
      {"installation folder",
       [](CoreHarness& h) {
         h.durable_files.texts[kRecord] = u"kind=update\r\nbackup=C:\\Program Files\\Brevak\\\r\nstarted=20121224093000"
                                          u"\r\nbackup.Addr.mdb=0 0\r\nbackup.Customerdata.car=0 0";
       }},
      {"package folder",
       [](CoreHarness& h) {
         h.folders.app_path = kOldBackup;
         h.folders.files[kOldBackup].push_back({u"Brevak.exe"});
       }},
      {"backup gone", [](CoreHarness& h) { h.folders.files.erase(kOldBackup); }},
      {"backup changed", [](CoreHarness& h) { h.folders.files[kOldBackup][0].size = 4096; }},
  };
  for (const auto& [name, damage] : damages) {
    for (const bool set_aside : {false, true}) {
      CoreHarness harness;
      LeaveInterruptedUpdate(harness);
      harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
      damage(harness);
      const Lines boxes = Messages(harness.Run(set_aside ? "yes\nclick CmdUpdate\nyes\nok\nclose"
                                                         : "yes\nclick CmdUpdate\nno\nclose"));
      ASSERT_FALSE(boxes.empty()) << name;
      EXPECT_TRUE(boxes[0].starts_with(kDamaged)) << name << ": " << boxes[0];
      if (!set_aside) {
        EXPECT_TRUE(harness.shell.requests.empty()) << name;
      }
      // (a package folder moved into the backup's place asks more than this script answers)
      if (set_aside && std::string(name) != "package folder") {
        ASSERT_EQ(harness.shell.requests.size(), 2u) << name;
        EXPECT_EQ(harness.shell.requests[0].pTo, "C:\\Program Files\\Brevak\\20121225051422\\") << name;
        // The old backup may hold rows the installation lacks: never a
        // plain "升级完成", and the folder is named.
        EXPECT_TRUE(boxes.back().starts_with(kDone + "\\r\\n")) << name << ": " << boxes.back();
        EXPECT_NE(boxes.back().find(kOld), std::string::npos) << name << ": " << boxes.back();
        EXPECT_EQ(harness.durable_files.log.front().substr(0, 7), u"rename ") << name;
      }
      if (!set_aside) {
        EXPECT_TRUE(harness.durable_files.log.empty()) << name;
      }
    }
  }
}

// A record is proved by its backup's content and the folder's name: a
// touched backup, a moved clock or another spelling of the installation
// folder still proves it; other rows in a backup of the same size, or a
// folder elsewhere, do not. A newer tool's record is left alone.
TEST(InterruptedUpdateTest, ARecordIsProvedByContentAndNameNotByTimesOrSpelling) {
  const std::string kAsks = kFinish;
  const std::string kNewer = "msgbox OK 新版本的升级工具进行的一次升级还没有完成";
  const std::vector<std::tuple<const char*, std::function<void(CoreHarness&)>, std::string>> cases = {
      {"touched", [](CoreHarness& h) { h.folders.files[kOldBackup][0].modified = 45000; }, kAsks},
      {"this version, touched",
       [](CoreHarness& h) {
         h.durable_files.texts[kRecord] = V1Record(h, kOldBackup);
         h.folders.files[kOldBackup][1].modified = 45000;
       }, kAsks},
      {"earlier form, other spelling",
       [](CoreHarness& h) {
         h.SetRegistryValues("@=\"C:/PROGRAM FILES/Brevak\\\\Brevak.exe\"");
         h.folders.files[u"C:/PROGRAM FILES/Brevak\\20121224093000"] = h.folders.files[kOldBackup];
         h.durable_files.texts[u"C:/PROGRAM FILES/Brevak\\upgrade-in-progress.brevak"] = kRecordText;
       }, kAsks},
      {"earlier form, other size", [](CoreHarness& h) { h.folders.files[kOldBackup][1].size = 1; }, kDamaged},
      {"same size, other rows",
       [](CoreHarness& h) {
         h.durable_files.texts[kRecord] = V1Record(h, kOldBackup);
         h.folders.files[kOldBackup][0].content = "other rows";
       }, kDamaged},
      {"elsewhere",
       [](CoreHarness& h) {
         h.durable_files.texts[kRecord] = V1Record(h, kOldBackup);
         h.durable_files.texts[kRecord].replace(h.durable_files.texts[kRecord].find(u"backup=") + 7, 0, u"..\\");
       }, kDamaged},
      {"newer tool", [](CoreHarness& h) { h.durable_files.texts[kRecord] = u"version=2\r\nbackup=20121224093000"; },
       kNewer + "，这个升级工具不能继续它。数据没有改动。\\r\\n升级前的数据在：备份文件夹 " + kOld},
  };
  for (const auto& [name, change, asks] : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    change(harness);
    const std::string answers = asks == kAsks ? "no\nno" : asks == kDamaged ? "no" : "ok";
    const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\n" + answers + "\nclose"));
    ASSERT_FALSE(boxes.empty()) << name;
    EXPECT_TRUE(boxes[0].starts_with(asks)) << name << ": " << boxes[0];
    EXPECT_TRUE(harness.shell.requests.empty()) << name;
  }
}

// However the run after a record set aside ends, its last message names
// the folders the question named: a backup that fails, a package not
// newer answered No, a restore.
TEST(InterruptedUpdateTest, ARunThatSetARecordAsideEndsNamingItsFolders) {
  const std::vector<std::pair<const char*, std::string>> runs = {
      {"backup fails", "click CmdUpdate\nyes\nok\nok"},
      {"not newer, No", "click CmdUpdate\nyes\nno\nok"},
      {"restore", "click cmdGetHistory\nselect 0\nclick CmdRestore\nyes\nok"}};
  for (const auto& [name, script] : runs) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
    harness.durable_files.texts[kRecord] = u"kind=update";
    if (std::string(name) == "backup fails") harness.shell.outcomes = {{2, 0, 2}};
    if (std::string(name) == "not newer, No") harness.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004");
    const Lines boxes = Messages(harness.Run("yes\n" + script + "\nclose"));
    ASSERT_FALSE(boxes.empty()) << name;
    EXPECT_NE(boxes.back().find(kOld + "（2012年12月24日09时30分00秒）"), std::string::npos) << name << ": " << boxes.back();
  }
}

// What a click learned (an update given up, a record set aside) is said at
// its end and never again by the click after it.
TEST(InterruptedUpdateTest, TheNextClickSaysNothingOfWhatTheLastOneLearned) {
  const LocalTime now{2012, 12, 25, 5, 14, 22};
  const LocalTime later{2012, 12, 25, 5, 14, 23};
  struct Case {
    const char* name;
    std::u16string record;  // empty: the interrupted update's
    size_t readings;        // of the clock the first click takes
    std::string first;
  };
  const Case cases[] = {{"given up", u"", 6, "click CmdUpdate\nno\nyes\nok"},
                        {"set aside", u"kind=update", 12, "click CmdUpdate\nyes\nok"}};
  for (const Case& c : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    if (!c.record.empty()) harness.durable_files.texts[kRecord] = c.record;
    harness.clock.readings = std::deque<LocalTime>(c.readings, now);
    harness.clock.readings.push_back(later);  // the second click's own folder
    const Lines boxes = Messages(harness.Run("yes\n" + c.first + "\nclick CmdUpdate\nok\nclose"));
    ASSERT_GE(boxes.size(), 2u) << c.name;
    EXPECT_TRUE(boxes[boxes.size() - 2].starts_with(kDone + "\\r\\n")) << c.name << ": " << boxes[boxes.size() - 2];
    EXPECT_EQ(boxes.back(), kDone) << c.name;
  }
}

// No asks whether to give the unfinished update up: Yes removes the record
// and a normal update follows with its own backup; No changes nothing.
TEST(InterruptedUpdateTest, NoThenGivingUpRunsANormalUpdateAndNoAgainChangesNothing) {
  for (const bool give_up : {true, false}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    const Lines boxes = Messages(harness.Run(give_up ? "yes\nclick CmdUpdate\nno\nyes\nok\nclose"
                                                     : "yes\nclick CmdUpdate\nno\nno\nclose"));
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].starts_with("msgbox YesNo 是否放弃这次没有完成的升级？")) << boxes[1];
    EXPECT_EQ(harness.shell.requests.size(), give_up ? 2u : 0u);
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), 0u + !give_up);
    if (give_up) {
      // The shop's data from before the given-up update is in its backup,
      // not in the installation: the last message says where.
      EXPECT_EQ(boxes.back(), kDone + "\\r\\n放弃的那次升级之前的数据仍保存在：C:\\\\Program Files\\\\Brevak\\\\20121224093000")
          << boxes.back();
    }
  }
}

// The question says whether the installation's data changed after the
// update ended with tables not moved.
TEST(InterruptedUpdateTest, TheQuestionSaysWhetherTheDataChangedSince) {
  const std::vector<std::tuple<std::u16string, std::string>> cases = {
      {u"", "如果那次升级之后又在Brevak中录入过数据"},
      {u"same", "那次升级之后Brevak中的数据没有改动。"},
      {u"clock moved", "那次升级之后Brevak中的数据没有改动。"},
      {u"same size, other rows", "那次升级之后Brevak中的数据又有了改动"},
      {u"earlier form", "如果那次升级之后又在Brevak中录入过数据"}};
  for (const auto& [after, says] : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    const std::u16string install = u"C:\\Program Files\\Brevak";
    harness.folders.files[install] = {{u"Customerdata.car", 8192, 41000, "rows"}, {u"Addr.mdb"}};
    if (after == u"earlier form") {
      harness.durable_files.texts[kRecord] += u"after.Addr.mdb=0 0\r\nafter.Customerdata.car=8192 41000\r\n";
    } else if (!after.empty()) {
      harness.durable_files.texts[kRecord] = V1Record(harness, kOldBackup) + u"after.Addr.mdb=" +
                                             Digest(harness, install + u"\\Addr.mdb") + u"\r\nafter.Customerdata.car=" +
                                             Digest(harness, install + u"\\Customerdata.car") + u"\r\n";
    }
    if (after == u"clock moved") harness.folders.files[install][0].modified += 1.0 / 24;
    if (after == u"same size, other rows") harness.folders.files[install][0].content = "ROWS";
    const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\nno\nno\nclose"));
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes[0].find(says), std::string::npos) << boxes[0];
  }
}

// So does a running Brevak with neither database open: its program file.
TEST(DatabasesInUseTest, AHeldDatabaseStopsTheUpdateTheFinishingAndTheRestore) {
  const std::vector<std::tuple<const char16_t*, bool, std::string>> cases = {
      {u"Customerdata.car", false, "click CmdUpdate"},
      {u"Addr.mdb", false, "click CmdUpdate"},
      {u"Addr.mdb", true, "click CmdUpdate\nyes"},
      {u"Customerdata.car", false, "click cmdGetHistory\nselect 0\nclick CmdRestore"},
      {u"Brevak.exe", false, "click CmdUpdate"},
      {u"Brevak.exe", true, "click CmdUpdate\nyes"},
      {u"Brevak.exe", false, "click cmdGetHistory\nselect 0\nclick CmdRestore"}};
  for (const auto& [held, interrupted, script] : cases) {
    const std::string kind = std::u16string(held) == u"Brevak.exe" ? "程序文件" : "数据文件";
    CoreHarness harness;
    if (interrupted) LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000"};
    harness.folders.files[kOldBackup] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
    harness.data_file_use.in_use = {CoreHarness::kInstallDir + std::u16string(held)};
    const Lines boxes = Messages(harness.Run("yes\n" + script + "\nok\nclose"));
    EXPECT_EQ(boxes.back(), "msgbox OK " + kind + "正在被其他程序使用。数据没有改动。\\r\\n请先关闭Brevak以及可能正在使用"
                            "这个文件的其他程序（如杀毒、备份软件），然后再试。\\r\\n正在被使用的文件：C:\\\\Program Files\\\\Brevak\\\\" +
                                posix::Utf16ToUtf8(held)) << script;
    EXPECT_TRUE(harness.shell.requests.empty()) << script;
    EXPECT_EQ(harness.data_file_use.checked.front(), u"C:\\Program Files\\Brevak\\Customerdata.car|mqzvtw");
  }
}

// A successful restore replaces the installation's data: no record of an
// interrupted update is left asking, whichever folder was restored.
TEST(RestoreTest, ASuccessfulRestoreClearsTheRecordAFailedOneKeepsItsOwn) {
  for (const bool fails : {false, true}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000"};
    harness.folders.files[u"C:\\Program Files\\Brevak\\20121220120000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
    harness.shell.outcomes = {{}, fails ? testing::CopyOutcome{112, 0, 112} : testing::CopyOutcome{}};
    const Lines boxes =
        Messages(harness.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nok\nok\nclose"));
    ASSERT_EQ(harness.durable_files.texts.count(kRecord), fails ? 1u : 0u);
    if (fails) {
      EXPECT_NE(harness.durable_files.texts[kRecord].find(u"restored=20121220120000"), std::u16string::npos);
      EXPECT_NE(harness.durable_files.texts[kRecord].find(u"update.backup=20121224093000\r\n"), std::u16string::npos);
      // The update left unfinished before is not forgotten.
      EXPECT_TRUE(boxes.back().starts_with("msgbox OK 上次升级没有完成，升级前的数据仍保存在：" + kOldNamed))
          << boxes.back();
    }
  }
}

// An interrupted restore is reported at the next 开始更新: Yes puts back
// what it replaced, No restores the same entry again, each with a safety
// backup of its own. An update the restore found unfinished is unfinished
// again after Yes (its record back, word for word), given up after No.
TEST(RestoreTest, AnInterruptedRestoreOffersToPutBackOrRestoreAgain) {
  const std::u16string restore = u"kind=restore\r\nbackup=" + kOldBackup +
                                 u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\n"
                                 u"backup.Customerdata.car=0 0\r\nrestored=20121220120000\r\n";
  // kRecordText, carried in the restore's record.
  const std::u16string carried = u"update.kind=update\r\nupdate.backup=" + kOldBackup +
                                 u"\r\nupdate.started=20121224093000\r\nupdate.backup.Addr.mdb=0 0\r\n"
                                 u"update.backup.Customerdata.car=0 0\r\n";
  for (const bool unfinished : {false, true}) {
    for (const std::string answer : {"yes", "no", "cancel"}) {
      const std::string name = answer + (unfinished ? " with an unfinished update" : "");
      CoreHarness harness;
      LeaveInterruptedUpdate(harness);
      harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000"};
      harness.folders.files[u"C:\\Program Files\\Brevak\\20121220120000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
      const std::u16string text = restore + (unfinished ? carried : u"");
      harness.durable_files.texts[kRecord] = text;
      const Lines boxes =
          Messages(harness.Run("yes\nclick CmdUpdate\n" + answer + (answer == "cancel" ? "" : "\nok") + "\nclose"));
      EXPECT_EQ(harness.exit_code(), 0) << name;
      ASSERT_FALSE(boxes.empty());
      EXPECT_TRUE(boxes[0].starts_with("msgbox YesNoCancel 上次恢复数据没有完成")) << boxes[0];
      if (answer == "cancel") {
        EXPECT_TRUE(harness.shell.requests.empty()) << name;
        EXPECT_EQ(harness.durable_files.texts[kRecord], text) << name;
        continue;
      }
      ASSERT_EQ(harness.shell.requests.size(), 2u) << name;
      const std::string source = answer == "yes" ? "20121224093000" : "20121220120000";
      EXPECT_TRUE(harness.shell.requests[1].pFrom.starts_with("C:\\Program Files\\Brevak\\\\" + source + "\\*.*"))
          << name;
      const bool update_back = unfinished && answer == "yes";
      ASSERT_EQ(harness.durable_files.texts.count(kRecord), update_back ? 1u : 0u) << name;
      std::string update_line;
      if (update_back) {
        // (rewritten in this version: the folder by its name, the databases by digest)
        EXPECT_EQ(harness.durable_files.texts[kRecord], V1Record(harness, kOldBackup)) << name;
        update_line = "\\r\\n上次升级没有完成，升级前的数据仍保存在：" + kOldNamed + "\\r\\n点击“开始更新”可以继续完成那次升级。";
      }
      if (unfinished && !update_back) update_line = "\\r\\n上次没有完成的升级不再继续，那次升级之前的数据仍保存在：" + kOldNamed;
      // A question was asked, so the end names where both restores' replaced data is.
      EXPECT_EQ(boxes.back(), "msgbox OK 恢复完成。\\r\\n这次恢复之前的数据保存在：备份文件夹 C:\\\\Program Files\\\\Brevak\\\\"
                              "20121225051422（2012年12月25日05时14分22秒）\\r\\n上次没有完成的恢复之前的数据保存在：" + kOldNamed +
                                  update_line)
          << name;
    }
  }
}

// A run killed while it copied over the address book leaves the file
// unopenable: with its record beside it the window still opens and asks
// about that run; without one the start fails as it always has.
TEST(RestoreTest, AnAddressBookTheInterruptedRunDamagedStillLetsTheNextClickAsk) {
  for (const bool recorded : {true, false}) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000"};
    if (recorded) {
      harness.durable_files.texts[kRecord] = u"kind=restore\r\nbackup=" + kOldBackup +
                                             u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\n"
                                             u"backup.Customerdata.car=0 0\r\nrestored=20121220120000\r\n";
    } else {
      harness.durable_files.texts.erase(kRecord);
    }
    harness.database.log.fail = [](const std::u16string& line) {
      return line.starts_with(u"open ") && line.find(u"Addr.mdb;") != std::u16string::npos;
    };
    const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\ncancel\nclose"));
    EXPECT_EQ(harness.exit_code(), recorded ? 0 : 1) << recorded;
    if (!recorded) continue;
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes[0].starts_with("msgbox YesNoCancel 上次恢复数据没有完成")) << boxes[0];
  }
}

// Tables the new version refuses: when the tool finds no cause a retry
// could remove, the next 开始更新 says to call support and migrates
// nothing; when it finds one, finishing goes on, saving the present data
// only when it changed since the last attempt.
TEST(TablesLeftTest, ARetryThatCannotHelpIsNotMadeAndUnchangedDataIsNotSavedAgain) {
  const std::u16string install = u"C:\\Program Files\\Brevak";
  struct Case {
    const char* name;
    bool held;     // the retry's own checks find the database held
    bool changed;  // data entered between the two runs
    std::string second;
    std::string asks;
    size_t requests;  // copy requests of the second run
  };
  const Case cases[] = {
      {"no cause", false, false, "ok\nno", "msgbox OK 升级没有再进行", 0},
      {"held, unchanged", true, false, "yes\nok", "msgbox YesNo 上次升级没有完成", 1},
      {"held, changed", true, true, "yes\nok", "msgbox YesNo 上次升级没有完成", 2},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.folders.files[install] = {{u"Customerdata.car", 5, 0, "rows"}, {u"Addr.mdb", 5, 0, "rows"}};
    const bool interrupt = false;
    harness.CopyDatabasesAsTheShell(interrupt);
    harness.database.log.fail = [&](const std::u16string& line) {
      if (line != u"exec delete from SmsSave") return false;
      if (c.held) harness.data_file_use.in_use = {install + u"\\Addr.mdb"};
      return true;
    };
    harness.Run("yes\nclick CmdUpdate\nok\nclose");
    const std::u16string text = harness.durable_files.texts[kRecord];
    EXPECT_NE(text.find(u"failed.SmsSave="), std::u16string::npos) << c.name;
    EXPECT_EQ(text.find(u"retry=will-not-help"), c.held ? std::u16string::npos : text.find(u"retry=")) << c.name;
    harness.data_file_use.in_use.clear();
    if (c.changed) harness.folders.files[install][0].content = "entered since";
    const size_t before = harness.shell.requests.size();
    const Lines boxes = Messages(harness.Run("yes\nclick CmdUpdate\n" + c.second + "\nclose"));
    ASSERT_FALSE(boxes.empty()) << c.name;
    EXPECT_TRUE(boxes[0].starts_with(c.asks)) << c.name << ": " << boxes[0];
    EXPECT_EQ(harness.shell.requests.size() - before, c.requests) << c.name;
    if (!c.held) {
      EXPECT_NE(boxes[0].find("\\r\\nSmsSave\\r\\n"), std::string::npos) << boxes[0];
      EXPECT_EQ(boxes[0].find("完成"), std::string::npos) << boxes[0];
      EXPECT_TRUE(boxes[1].starts_with("msgbox YesNo 是否放弃这次没有完成的升级？")) << boxes[1];
      EXPECT_EQ(harness.durable_files.texts[kRecord], text) << c.name;
    }
  }
}

// A chain of interrupted restores and put-backs, each answered 是 or 否:
// whatever the chain, 是 at the end brings back the data from before the
// chain's first restore, and 否 the entry that restore was for, whole.
TEST(RestoreTest, AChainOfInterruptedRestoresPutsBackTheDataFromBeforeItsFirst) {
  const std::u16string install = u"C:\\Program Files\\Brevak";
  const std::vector<FakeFile> before = {{u"Customerdata.car", 10, 0, "before"}, {u"Addr.mdb", 10, 0, "before"}};
  const std::vector<FakeFile> entry = {{u"Customerdata.car", 20, 0, "entry"}, {u"Addr.mdb", 20, 0, "entry"}};
  // The answers after the first restore was interrupted; each but the last
  // is interrupted in its turn.
  const std::vector<std::vector<std::string>> chains = {
      {"yes", "yes"}, {"yes", "no"}, {"no", "yes"}, {"yes", "no", "yes"}, {"no", "yes", "no"}, {"yes", "yes", "yes"}};
  for (const std::vector<std::string>& answers : chains) {
    std::string name;
    for (const std::string& answer : answers) name += answer + " ";
    CoreHarness harness;
    harness.folders.files[install] = before;
    harness.folders.files[install + u"\\20121220120000"] = entry;
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000"};
    bool interrupt = true;
    harness.CopyDatabasesAsTheShell(interrupt);
    harness.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nok\nclose");
    for (size_t i = 0; i < answers.size(); ++i) {
      interrupt = i + 1 < answers.size();
      const Lines boxes =
          Messages(harness.Run("yes\nclick CmdUpdate\n" + answers[i] + (interrupt ? "\nok\nok" : "\nok") + "\nclose"));
      ASSERT_FALSE(boxes.empty()) << name;
      EXPECT_NE(boxes[0].find("恢复前的数据保存在：备份文件夹 " + kOld.substr(0, kOld.size() - 14) + "20121225051422（"),
                std::string::npos) << name << ": " << boxes[0];
      EXPECT_NE(boxes[0].find("重新恢复 20121220120000"), std::string::npos) << name << ": " << boxes[0];
      if (!interrupt) {
        EXPECT_TRUE(boxes.back().starts_with("msgbox OK 恢复完成。")) << name << ": " << boxes.back();
      }
    }
    const std::vector<FakeFile>& now = harness.folders.files[install];
    ASSERT_EQ(now.size(), 2u) << name;
    for (size_t i = 0; i < now.size(); ++i) {
      EXPECT_EQ(now[i].content, answers.back() == "yes" ? "before" : "entry") << name;
    }
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), 0u) << name;
  }
}

}  // namespace
}  // namespace brevak

namespace brevak {
namespace {

// A progress file that cannot be removed at the end of a restore or of a
// give-up: the file stays, the last message says what the next click will
// ask and which answer keeps the data, and no 恢复完成 or 升级完成 follows.
TEST(RecordNotRemovedTest, TheLastMessageFitsTheStateLeft) {
  const std::u16string restore = u"kind=restore\r\nbackup=" + kOldBackup +
                                 u"\r\nstarted=20121224093000\r\nbackup.Addr.mdb=0 0\r\n"
                                 u"backup.Customerdata.car=0 0\r\nrestored=20121220120000\r\n";
  struct Case {
    const char* name;
    std::u16string record;  // empty: the interrupted update of LeaveInterruptedUpdate
    std::string script;
    std::string last;  // how the last message begins
    std::string names; // a folder it must name
  };
  const std::string restored = "msgbox OK 已把 20121220120000 中的数据复制回安装文件夹，但这次恢复还没有结束";
  const Case cases[] = {
      {"restore over an unfinished update", u"", "yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nok\nclose",
       restored, "20121224093000"},
      {"restore again after an interrupted one", restore, "yes\nclick CmdUpdate\nno\nok\nclose", restored,
       "20121224093000"},
      {"give up", u"", "yes\nclick CmdUpdate\nno\nyes\nok\nclose", "msgbox OK 没有放弃上次的升级", "20121224093000"},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    LeaveInterruptedUpdate(harness);
    if (!c.record.empty()) harness.durable_files.texts[kRecord] = c.record;
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000"};
    harness.folders.files[u"C:\\Program Files\\Brevak\\20121220120000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
    harness.durable_files.fail_remove = true;
    const Lines boxes = Messages(harness.Run(c.script));
    ASSERT_FALSE(boxes.empty()) << c.name;
    EXPECT_TRUE(boxes.back().starts_with(c.last)) << c.name << ": " << boxes.back();
    EXPECT_NE(boxes.back().find(c.names), std::string::npos) << c.name << ": " << boxes.back();
    EXPECT_NE(boxes.back().find("upgrade-in-progress.brevak"), std::string::npos) << c.name;
    EXPECT_EQ(harness.durable_files.texts.count(kRecord), 1u) << c.name;
    // The state left is what the message said: a restore's record is asked
    // about as an interrupted restore at the next click.
    if (c.last == restored) {
      EXPECT_NE(harness.durable_files.texts[kRecord].find(u"kind=restore"), std::u16string::npos) << c.name;
    }
  }
}

}  // namespace
}  // namespace brevak
