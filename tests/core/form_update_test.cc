// The program's start, update, history and restore on in-memory services,
// seen through the scripted window system's transcript.
#include "core/form_update.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/posix/text/utf.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using namespace std::string_literals;
using testing::CoreHarness;
using Lines = std::vector<std::string>;

std::string Escaped(const std::u16string& text) {
  std::string out;
  for (char c : posix::Utf16ToUtf8(text)) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

const std::string kBackupDir = "C:\\Program Files\\Brevak\\20121225051422";
// The end of the message when the tool finds nothing a retry could remove.
const std::string kRetry =
    "\\r\\n再次点击“开始更新”也不能解决这个问题，请联系技术支持；在此之前请先不要在Brevak中录入数据。"
    "\\r\\n数据库引擎的说明：injected failure";
const std::string kCancelled = "msgbox OK 需要先建立数据备份文件夹并备份数据才可继续，请再试一次";
const std::string kDone = "msgbox OK 升级完成";
const std::string kBackupInWords =
    "备份文件夹 C:\\\\Program Files\\\\Brevak\\\\20121225051422（2012年12月25日05时14分22秒）中。";
// The words after a failed backup's number or "Operation Failed".
std::string BackupFailed(const std::string& reason) {
  return "msgbox OK 升级没有进行：升级前未能备份目前的数据，" + reason +
         "。\\r\\n数据没有改动。\\r\\n排除原因后请再点击“开始更新”；如果这个提示再次出现，请联系技术支持。";
}

std::string Utf8(const std::u16string& text) { return posix::Utf16ToUtf8(text); }

// The customer database's tables in the order the update moves them:
// RepairCase at 17 and again at 25.
const char16_t* const kCustomerTableList[] = {
    u"main",         u"Call_Manager", u"Car_Club",          u"car_name",          u"CarOwner",
    u"Cash_In",      u"Cash_Out",     u"InCall",            u"Ins_Name",          u"Ins_Policy",
    u"Ins_Return",   u"InsCulHistory", u"LogSave",          u"Repair_Customer",   u"Repair_Sheet",
    u"Repair_Sheet_Part", u"Repair_Sheet_Work", u"RepairCase", u"SalesMoney",     u"SalesOff",
    u"ScheduleSave", u"SmsReg",       u"SmsSave",           u"SmsSend",           u"UserTab",
    u"RepairCase",   u"WillCustomer", u"Huifang_kind",      u"Huifang_main"};

// Every progress line of a full migration that starts from 0.
Lines FullProgress() {
  Lines lines = {"progress visible 1", "progress value 19"};
  for (int value = 22; value <= 97; value += 3) lines.push_back("progress value " + std::to_string(value));
  lines.push_back("progress visible 0");
  return lines;
}

// The start prompt, a failing load and a missing registry key are seen
// from outside (tests/blackbox/start_test.cc); what the load asks of the
// engine is seen here.
TEST(LoadTest, YesOpensTheAddressBookAndClosingClosesIt) {
  CoreHarness harness;
  const Lines transcript = harness.Run("yes\nclose");
  EXPECT_EQ(Lines(transcript.begin() + 1, transcript.end()),
            (Lines{"answer yes", "window shown", "window closed", "exit 0"}));
  EXPECT_EQ(harness.form->sInstallDir(), CoreHarness::kInstallDir);
  EXPECT_EQ(harness.database.log.lines,
            (std::vector<std::u16string>{
                u"create Adodb.Connection", u"provider Microsoft.Jet.OLEDB.4.0",
                u"open Data Source =C:\\Program Files\\Brevak\\Addr.mdb;Jet OLEDB:Database Password=",
                u"close"}));
  EXPECT_EQ(harness.form->Conn(), nullptr);
}

TEST(UpdateTest, AFullUpdateBacksUpCopiesAndMovesEveryTable) {
  CoreHarness harness;
  int32_t conn_state_at_copy = -1;
  harness.shell.on_call = [&] {
    if (conn_state_at_copy == -1) conn_state_at_copy = harness.form->Conn()->State();
  };
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");

  ASSERT_EQ(harness.shell.requests.size(), 2u);
  const ShFileOpStruct& backup = harness.shell.requests[0];
  EXPECT_NE(backup.hwnd, 0u);
  EXPECT_EQ(backup.wFunc, FO_COPY);
  EXPECT_EQ(backup.pFrom,
            "C:\\Program Files\\Brevak\\*.car\0C:\\Program Files\\Brevak\\*.mdb\0"
            "C:\\Program Files\\Brevak\\\\Brevak.*\0C:\\Program Files\\Brevak\\\\*.ini\0\0"s);
  EXPECT_EQ(backup.pTo, kBackupDir + "\\");
  EXPECT_EQ(backup.fFlags, 0x211);  // never asks about its own duplicates
  const ShFileOpStruct& package = harness.shell.requests[1];
  EXPECT_EQ(package.pFrom,
            "C:\\pkg\\*.car\0C:\\pkg\\*.mdb\0C:\\pkg\\vkUserControlsXP.*\0C:\\pkg\\adb*.*\0"
            "C:\\pkg\\Brevak.*\0C:\\pkg\\*.ini\0\0"s);
  EXPECT_EQ(package.pTo, "C:\\Program Files\\Brevak\\");
  EXPECT_EQ(package.fFlags, 0x11);
  EXPECT_EQ(conn_state_at_copy, adStateClosed);  // nothing held open under the copy

  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "progress"), FullProgress());
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"), Lines{kDone});
  EXPECT_EQ(harness.form->sDataFile(), u"C:\\Program Files\\Brevak\\Customerdata.car");
}

TEST(UpdateTest, EachTableMovesInItsOwnTransactionInListOrder) {
  CoreHarness harness;
  harness.Run("yes\nclick CmdUpdate\nok\nclose");
  std::vector<std::u16string> expected = {
      u"create Adodb.Connection", u"provider Microsoft.Jet.OLEDB.4.0",
      u"open Data Source =C:\\Program Files\\Brevak\\Addr.mdb;Jet OLEDB:Database Password=",
      u"close",  // before the backup
      // the installation's databases, opened read-only before the backup
      u"create Adodb.Connection", u"provider Microsoft.Jet.OLEDB.4.0",
      u"open Data Source =C:\\Program Files\\Brevak\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw;Mode=Read",
      u"close", u"create Adodb.Connection", u"provider Microsoft.Jet.OLEDB.4.0",
      u"open Data Source =C:\\Program Files\\Brevak\\Addr.mdb;Jet OLEDB:Database Password=;Mode=Read", u"close",
      u"provider Microsoft.Jet.OLEDB.4.0",
      u"open Data Source =C:\\Program Files\\Brevak\\Addr.mdb;Jet OLEDB:Database Password=;"
      u"Jet OLEDB:Max Locks Per File=1000000"};
  // Each table: emptied, filled from the backup, both counted, committed.
  const auto move = [&](const std::u16string& table, const std::u16string& deleted, const std::u16string& source) {
    expected.insert(expected.end(), {u"begin", u"exec delete from " + deleted,
                                     u"exec Insert into [" + table + u"] Select * From " + source + table,
                                     u"count select count(*) from [" + table + u"]",
                                     u"count select count(*) from " + source + u"[" + table + u"]", u"commit"});
  };
  for (const std::u16string table : {u"GroupList", u"People", u"Pic"}) {
    move(table, u"[" + table + u"]", u"[;database=C:\\Program Files\\Brevak\\20121225051422\\Addr.mdb;].");
  }
  expected.insert(expected.end(),
                  {u"close", u"provider Microsoft.Jet.OLEDB.4.0",
                   u"open Data Source =C:\\Program Files\\Brevak\\Customerdata.car;Jet OLEDB:Database "
                   u"Password=mqzvtw;Jet OLEDB:Max Locks Per File=1000000"});
  for (const std::u16string table : kCustomerTableList) {
    move(table, table, u"[;database=C:\\Program Files\\Brevak\\20121225051422\\Customerdata.car;pwd=mqzvtw].");
  }
  expected.push_back(u"close");  // at unload
  EXPECT_EQ(harness.database.log.lines, expected);
}

TEST(UpdateTest, EveryCopyOutcomeIsReportedAndDecidesWhatFollows) {
  struct Case {
    const char* name;
    std::vector<testing::CopyOutcome> outcomes;
    Lines messages;
    size_t requests;
    bool migrated;
  };
  const testing::CopyOutcome ok{};
  const std::string where = "msgbox OK 升级没有完成：复制升级文件时出错。升级前的数据保存在：" +
                            Escaped(posix::Utf8ToUtf16(kBackupDir)) + "\\r\\n再次点击“开始更新”即可继续完成升级。";
  const Case cases[] = {
      {"backup cancelled", {{1223, 1, 1223}}, {kCancelled, "msgbox OK 1223", BackupFailed("复制被取消")}, 1, false},
      {"backup failed", {{2, 0, 5}}, {"msgbox OK 5", BackupFailed("复制失败（Windows错误代码 5）")}, 1, false},
      {"backup aborted", {{0, 1, 0}}, {"msgbox OK Operation Failed", BackupFailed("复制被中止")}, 1, false},
      {"backup cannot be made",
       {{.cannot_be_made = true}},
       {"msgbox OK 无法执行文件复制：找不到 DLL 入口点 SHFileOperationA"},
       1,
       false},
      {"package failed", {ok, {2, 0, 0}}, {"msgbox OK 0", where}, 2, false},
      {"package cancelled", {ok, {1223, 1, 1223}}, {kCancelled, "msgbox OK 1223", where}, 2, false},
      {"package aborted", {ok, {0, 1, 0}}, {"msgbox OK Operation Failed", kDone}, 2, true},
      {"package cannot be made",
       {ok, {.cannot_be_made = true}},
       {"msgbox OK 无法执行文件复制：找不到 DLL 入口点 SHFileOperationA", where},
       2,
       false},
      {"both succeed", {ok, ok}, {kDone}, 2, true},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.shell.outcomes.assign(c.outcomes.begin(), c.outcomes.end());
    std::string script = "yes\nclick CmdUpdate\n";
    for (size_t i = 0; i < c.messages.size(); ++i) script += "ok\n";
    const Lines transcript = harness.Run(script + "close");
    EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"), c.messages) << c.name;
    EXPECT_EQ(harness.shell.requests.size(), c.requests) << c.name;
    EXPECT_EQ(!CoreHarness::LinesStartingWith(transcript, "progress").empty(), c.migrated) << c.name;
    EXPECT_EQ(harness.exit_code(), 0) << c.name;
  }
}

TEST(UpdateTest, ThePackageMustBeNewerOrTheUserAsked) {
  const char kInstalled[] = "C:\\Program Files\\Brevak\\\\Brevak.exe";
  const char kPackage[] = "C:\\pkg\\Brevak.exe";
  struct Case {
    const char* installed;  // null: no such file
    const char* package;
    bool installed_fails, package_fails, asks;
  };
  const Case cases[] = {
      {"5.06.0004", "5.06.0005", false, false, false},
      {"5.06.0005", "5.06.0005", false, false, true},
      {"5.06.0005", "5.06.0004", false, false, true},
      {"5.9", "5.10", false, false, true},
      {"5.10", "5.9", false, false, false},
      {nullptr, "5.06.0005", false, false, false},
      {"5.06.0005", nullptr, false, false, true},
      {nullptr, nullptr, false, false, true},
      {"5.06.0005", "5.06.0005", true, false, false},
      {"5.06.0005", "5.06.0005", false, true, false},
  };
  const std::string question = "msgbox YesNo 升级版本并不比当前版本更新，是否继续？";
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.version_files.files.clear();
    if (c.installed) harness.version_files.AddFile(kInstalled, c.installed);
    if (c.package) harness.version_files.AddFile(kPackage, c.package);
    if (c.installed_fails) harness.version_files.failing.push_back(kInstalled);
    if (c.package_fails) harness.version_files.failing.push_back(kPackage);
    const Lines transcript = harness.Run(c.asks ? "yes\nclick CmdUpdate\nno\nclose"
                                                : "yes\nclick CmdUpdate\nok\nclose");
    const Lines asked = CoreHarness::LinesStartingWith(transcript, question);
    EXPECT_EQ(asked.size(), c.asks ? 1u : 0u) << (c.installed ? c.installed : "-") << " "
                                              << (c.package ? c.package : "-");
    // No at the question: nothing named, copied or closed. A package
    // program whose version cannot be read is refused after the gate.
    EXPECT_EQ(harness.shell.requests.empty(), c.asks || c.package_fails);
    if (c.asks) {
      EXPECT_EQ(harness.form->sBackupDir(), u"");
    }
  }
}

TEST(UpdateTest, YesAtTheQuestionUpdatesAsForANewerPackage) {
  CoreHarness harness;
  harness.version_files.AddFile("C:\\pkg\\Brevak.exe", "5.06.0004");
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nyes\nok\nclose");
  EXPECT_EQ(harness.shell.requests.size(), 2u);
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"), Lines{kDone});
}

TEST(UpdateTest, AnUnreadableToolFolderCountsAsANewerPackage) {
  CoreHarness harness;
  harness.folders.fail_app_path = true;
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
  EXPECT_TRUE(CoreHarness::LinesStartingWith(transcript, "msgbox YesNo 升级版本").empty());
}

TEST(NamingTest, EachPartIsAReadingOfItsOwn) {
  using T = LocalTime;
  struct Case { std::deque<LocalTime> readings; std::string stamp; };
  const Case cases[] = {
      {{T{2013, 7, 9, 13, 5, 7}}, "20130709130507"},
      {{T{2013, 1, 1, 0, 0, 0}}, "20130101000000"},
      {{T{2012, 12, 31, 23, 59, 58}}, "20121231235958"},
      // The day turns between the third and the fourth reading.
      {{T{2012, 12, 31, 23, 59, 59}, T{2012, 12, 31, 23, 59, 59}, T{2012, 12, 31, 23, 59, 59},
        T{2013, 1, 1, 0, 0, 0}},
       "20121231000000"},
      // The second turns between the fifth and the sixth.
      {{T{2012, 12, 25, 5, 14, 22}, T{2012, 12, 25, 5, 14, 22}, T{2012, 12, 25, 5, 14, 22},
        T{2012, 12, 25, 5, 14, 22}, T{2012, 12, 25, 5, 14, 59}, T{2012, 12, 25, 5, 15, 0}},
       "20121225051400"},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.clock.readings = c.readings;
    harness.Run("yes\nclick CmdUpdate\nok\nclose");
    EXPECT_EQ(Utf8(harness.form->sBackupDir()), "C:\\Program Files\\Brevak\\" + c.stamp);
  }
}

TEST(MigrationTest, AFailedTableIsRolledBackAndNamedOnce) {
  CoreHarness harness;
  harness.database.log.fail = [](const std::u16string& line) {
    return line.starts_with(u"exec Insert into [Ins_Policy]") ||
           line.starts_with(u"exec Insert into [RepairCase]") || line == u"exec delete from [Pic]";
  };
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "progress"), FullProgress());
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"),
            Lines{"msgbox OK 升级没有完成：有 3 个数据表的数据没有转移到新版本中：\\r\\nPic、Ins_Policy、RepairCase\\r\\n"
                  "这些数据没有丢失，仍保存在" + kBackupInWords + kRetry});
  const auto& log = harness.database.log.lines;
  const auto insert = std::find_if(log.begin(), log.end(), [](const std::u16string& line) {
    return line.starts_with(u"exec Insert into [Ins_Policy]");
  });
  ASSERT_NE(insert, log.end());
  EXPECT_EQ(*(insert + 1), u"rollback");
}

// RepairCase is listed twice; each pass replaces it whole or leaves it as it
// was, so it holds the backup's rows when either pass moved them.
TEST(MigrationTest, ATableListedTwiceIsNamedOnlyWhenNoPassMovedIt) {
  struct Case { std::set<int> failing_passes; bool named; };
  const Case cases[] = {{{1}, false}, {{2}, false}, {{1, 2}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing_passes.size() == 2 ? "both passes fail" : "one pass fails");
    CoreHarness harness;
    int pass = 0;
    harness.database.log.fail = [&](const std::u16string& line) {
      return line.starts_with(u"exec Insert into [RepairCase]") && c.failing_passes.count(++pass) > 0;
    };
    const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
    const Lines expected =
        c.named ? Lines{"msgbox OK 升级没有完成：有 1 个数据表的数据没有转移到新版本中：\\r\\nRepairCase\\r\\n"
                        "这些数据没有丢失，仍保存在" + kBackupInWords + kRetry}
                : Lines{"msgbox OK 升级完成"};
    EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"), expected);
  }
}

TEST(MigrationTest, AnUnopenedCustomerDatabaseTouchesNoTableAndSaysSo) {
  CoreHarness harness;
  harness.database.log.fail = [](const std::u16string& line) {
    return line.starts_with(u"open") && line.find(u"Customerdata.car") != std::u16string::npos &&
           !line.ends_with(u";Mode=Read");
  };
  const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "progress"), FullProgress());
  // One line for the whole customer database; its tables are in the log.
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"),
            Lines{"msgbox OK 客户数据库打不开，客户数据都没有转移（各数据表的名称记在升级日志中）。"
                  "\\r\\n这些数据没有丢失，仍保存在" + kBackupInWords + kRetry});
  for (const std::u16string& line : harness.database.log.lines) {
    EXPECT_FALSE(line.starts_with(u"exec delete from main")) << Utf8(line);
  }
  // Closing after the failed reopening shows nothing.
  EXPECT_EQ(transcript.back(), "exit 0");
  EXPECT_EQ(transcript[transcript.size() - 2], "window closed");
}

TEST(MigrationTest, ASecondUpdateCarriesTheAddressBookAgain) {
  CoreHarness harness;
  const LocalTime now{2012, 12, 25, 5, 14, 22};
  harness.clock.readings = {now, now, now, now, now, now, LocalTime{2012, 12, 25, 5, 14, 23}};  // its own folder
  harness.Run("yes\nclick CmdUpdate\nok\nclick CmdUpdate\nok\nclose");
  int address_book_inserts = 0;
  int address_book_opens = 0;
  for (const std::u16string& line : harness.database.log.lines) {
    if (line.starts_with(u"exec Insert into [GroupList]")) ++address_book_inserts;
    if (line.starts_with(u"open") && line.find(u"Addr.mdb") != std::u16string::npos &&
        !line.ends_with(u";Mode=Read")) {
      ++address_book_opens;
    }
  }
  EXPECT_EQ(address_book_inserts, 2);
  EXPECT_EQ(address_book_opens, 3);  // at load, and at each update
}

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_.folders.subfolders[CoreHarness::kInstallDir] = {u"20121224093000", u"Images",
                                                            u"备份 1"};
    harness_.folders.files[u"C:\\Program Files\\Brevak\\20121224093000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  }
  CoreHarness harness_;
};

TEST_F(HistoryTest, TheListIsRebuiltOnEveryClick) {
  const Lines transcript = harness_.Run("yes\nclick cmdGetHistory\nclick cmdGetHistory\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "list"),
            (Lines{"list add 20121224093000", "list add Images", "list add 备份 1",
                   "list remove 0", "list remove 0", "list remove 0",
                   "list add 20121224093000", "list add Images", "list add 备份 1"}));
  EXPECT_TRUE(CoreHarness::LinesStartingWith(transcript, "msgbox OK").empty());
}

TEST_F(HistoryTest, NothingToListSaysSoOnce) {
  struct Case { const char* name; std::function<void(testing::FakeFolders&)> arrange; };
  const Case cases[] = {
      {"no subfolders", [](testing::FakeFolders& f) { f.subfolders[CoreHarness::kInstallDir] = {}; }},
      {"no such folder",
       [](testing::FakeFolders& f) {
         f.subfolders.clear();
         f.files.clear();
       }},
      {"no file-system object", [](testing::FakeFolders& f) { f.fail_create = true; }},
      {"listing refused", [](testing::FakeFolders& f) { f.fail_enumeration = true; }},
      {"first step fails", [](testing::FakeFolders& f) { f.fail_step_after = 0; }},
  };
  for (const Case& c : cases) {
    CoreHarness harness;
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"a"};
    c.arrange(harness.folders);
    const Lines transcript = harness.Run("yes\nclick cmdGetHistory\nok\nclose");
    EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"),
              Lines{"msgbox OK 没有找到升级记录"})
        << c.name;
    EXPECT_EQ(harness.exit_code(), 0) << c.name;
  }
}

TEST_F(HistoryTest, AnUnreadableNameIsLeftOutAndAFailedStepEndsTheList) {
  harness_.folders.unreadable_name = u"Images";
  Lines transcript = harness_.Run("yes\nclick cmdGetHistory\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "list"),
            (Lines{"list add 20121224093000", "list add 备份 1"}));
  CoreHarness harness;
  harness.folders.subfolders[CoreHarness::kInstallDir] = {u"a", u"b", u"c"};
  harness.folders.fail_step_after = 2;
  transcript = harness.Run("yes\nclick cmdGetHistory\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "list"), (Lines{"list add a", "list add b"}));
}

TEST_F(HistoryTest, ASelectedEntryLabelsAndRestoresWithoutAWord) {
  int32_t conn_state_at_copy = -1;
  harness_.shell.on_call = [&] { conn_state_at_copy = harness_.form->Conn()->State(); };
  const Lines transcript =
      harness_.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nselect -1\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "caption"),
            (Lines{"caption CmdRestore 恢复2012年12月24日09时30分00秒数据", "caption CmdRestore 恢复数据"}));
  ASSERT_EQ(harness_.shell.requests.size(), 2u);
  const ShFileOpStruct& backup = harness_.shell.requests[0];  // what the restore will replace
  EXPECT_EQ(backup.pFrom,
            "C:\\Program Files\\Brevak\\*.car\0C:\\Program Files\\Brevak\\*.mdb\0"
            "C:\\Program Files\\Brevak\\\\Brevak.*\0C:\\Program Files\\Brevak\\\\*.ini\0\0"s);
  EXPECT_EQ(backup.pTo, kBackupDir + "\\");
  EXPECT_EQ(backup.fFlags, 0x211);
  const ShFileOpStruct& restore = harness_.shell.requests[1];
  EXPECT_EQ(restore.pFrom, kBackupDir.substr(0, 24) + "\\20121224093000\\*.*\0\0"s);
  EXPECT_EQ(restore.pTo, "C:\\Program Files\\Brevak\\\\");
  EXPECT_EQ(restore.fFlags, 0x11);
  EXPECT_EQ(conn_state_at_copy, adStateClosed);
  EXPECT_TRUE(CoreHarness::LinesStartingWith(transcript, "msgbox OK").empty());
}

TEST_F(HistoryTest, RestoreAsksForASelectionAfterARefresh) {
  const Lines transcript =
      harness_.Run("yes\nclick cmdGetHistory\nselect 2\nclick cmdGetHistory\nclick CmdRestore\nok\nclose");
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "msgbox OK"),
            Lines{"msgbox OK 请点击左侧列表选择需要恢复的数据"});
  EXPECT_TRUE(harness_.shell.requests.empty());
  EXPECT_EQ(CoreHarness::LinesStartingWith(transcript, "caption"),
            Lines{"caption CmdRestore 恢复备份备份分 1秒数据"});
}

TEST_F(HistoryTest, ARestoreOutcomeIsReportedLikeAnyCopy) {
  harness_.shell.outcomes.push_back({});  // its backup
  harness_.shell.outcomes.push_back({1223, 1, 1223});
  const Lines transcript =
      harness_.Run("yes\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nok\nok\nok\nclose");
  const Lines boxes = CoreHarness::LinesStartingWith(transcript, "msgbox OK");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(Lines(boxes.begin(), boxes.begin() + 2), (Lines{kCancelled, "msgbox OK 1223"}));
  // then in words, naming the folder that saved what the restore replaced
  EXPECT_TRUE(boxes[2].starts_with("msgbox OK 恢复没有完成：")) << boxes[2];
  EXPECT_NE(boxes[2].find("恢复前的数据保存在备份文件夹 C:\\\\Program Files\\\\Brevak\\\\2012"), std::string::npos) << boxes[2];
}

}  // namespace
}  // namespace brevak
