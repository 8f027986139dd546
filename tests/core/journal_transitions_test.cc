// Every transition of the journal as the update window makes it, on the
// fakes: from each state the file can hold, each click and answer that
// changes it, with the write, removal, rename or re-read failing where the
// transition has such a row. Each row checks the text left in the file (a
// line it must hold), the state it reads as, and a message the run shows.
#include <gtest/gtest.h>

#include <functional>

#include "core/journal.h"
#include "support/core_harness.h"

namespace brevak {
namespace {
using testing::CoreHarness;
using Lines = std::vector<std::string>;
using Knob = std::function<void(CoreHarness&)>;

const std::u16string kInstall = u"C:\\Program Files\\Brevak";
const std::u16string kRecord = kInstall + u"\\upgrade-in-progress.brevak";
const std::u16string kBackup = kInstall + u"\\20121224093000";
const std::u16string kEntry = kInstall + u"\\20121220120000";

std::u16string Digests(CoreHarness& h, const std::u16string& prefix, const std::u16string& folder) {
  std::u16string lines;
  for (const char16_t* name : {u"Addr.mdb", u"Customerdata.car"}) {
    const std::string hex = *h.file_digests.Sha256(folder + u"\\" + name, nullptr);
    lines += prefix + name + u"=sha256:" + std::u16string(hex.begin(), hex.end()) + u"\r\n";
  }
  return lines;
}

// The states' texts, as this tool writes them, proved by the harness's
// folders.
std::u16string Update(CoreHarness& h) {
  return u"version=1\r\nkind=update\r\nbackup=20121224093000\r\n" + Digests(h, u"backup.", kBackup);
}
std::u16string Ended(CoreHarness& h) { return Update(h) + Digests(h, u"after.", kInstall); }
std::u16string Restore(CoreHarness& h) {
  return u"version=1\r\nkind=restore\r\nbackup=20121224093000\r\n" + Digests(h, u"backup.", kBackup) +
         u"restored=20121220120000\r\n";
}
// `text` followed by the update's lines, each as a carried one.
std::u16string WithUpdate(CoreHarness& h, std::u16string text) {
  const std::u16string update = Update(h);
  for (size_t at = 0; at < update.size(); at = update.find(u'\n', at) + 1) {
    text += u"update." + update.substr(at, update.find(u'\n', at) + 1 - at);
  }
  return text;
}
std::u16string Saving(CoreHarness& h) {
  return WithUpdate(h, u"version=1\r\nkind=update-save\r\nbackup=20121225000000\r\n");
}
std::u16string Carrying(CoreHarness& h) { return WithUpdate(h, Restore(h)); }

// A knob set when the run makes its `n`th copy request.
Knob AtCopy(size_t n, Knob knob) {
  return [n, knob](CoreHarness& h) {
    h.shell.on_call = [&h, n, knob, copy = h.shell.on_call] {
      if (copy) copy();
      if (h.shell.requests.size() == n) knob(h);
    };
  };
}
const Knob kNothing = [](CoreHarness&) {};
const Knob kWriteFails = [](CoreHarness& h) { h.durable_files.fail_write = true; };
const Knob kRemoveFails = [](CoreHarness& h) { h.durable_files.fail_remove = true; };
const Knob kReadFails = [](CoreHarness& h) { h.durable_files.fail_read = true; };
const Knob kSecondCopyFails = [](CoreHarness& h) { h.shell.outcomes = {{}, {112, 0, 112}}; };
const Knob kTableFails = [](CoreHarness& h) {
  h.database.log.fail = [](const std::u16string& line) { return line == u"exec delete from SmsSave"; };
};
Knob Both(Knob a, Knob b) {
  return [a, b](CoreHarness& h) {
    a(h);
    b(h);
  };
}

const std::string kRestoreFromList = "click cmdGetHistory\nselect 0\nclick CmdRestore\n";

TEST(JournalTransitionTest, EveryStateAndEventOfTheTable) {
  struct Row {
    const char* name;
    std::function<std::u16string(CoreHarness&)> from;  // nullptr: no file
    Knob setup;
    std::string script;  // after the start prompt
    size_t after;        // the state's index in JournalState
    std::u16string holds;  // a line the file holds after, when any
    std::string says;      // a message box of the run begins so (empty: the run shows none)
  };
  const auto kDamaged = [](CoreHarness&) { return std::u16string(u"kind=update\r\n"); };
  const Row rows[] = {
      // BeginUpdate, End after a migration, EndWithTablesLeft.
      {"update, package fails", nullptr, kSecondCopyFails, "click CmdUpdate\nok\nok", 1, u"backup=20121225051422",
       "msgbox OK 升级没有完成：复制升级文件时出错"},
      {"update, every table moved", nullptr, kNothing, "click CmdUpdate\nok", 0, u"", "msgbox OK 升级完成"},
      {"update, cannot begin", nullptr, kWriteFails, "click CmdUpdate\nok", 0, u"", "msgbox OK 升级没有进行：无法写入升级进度文件"},
      {"update, a table left", nullptr, kTableFails, "click CmdUpdate\nok", 2, u"failed.SmsSave=",
       "msgbox OK 升级没有完成：有 "},
      {"update, a table left, not written", nullptr, Both(kTableFails, AtCopy(2, kWriteFails)), "click CmdUpdate\nok",
       1, u"backup=20121225051422", "msgbox OK 升级没有完成：有 "},
      {"update, end not removed", nullptr, kRemoveFails, "click CmdUpdate\nok\nok", 1, u"backup=20121225051422",
       "msgbox OK 数据都已转移到新版本，但未能删除升级进度文件"},
      // NoteSaved, and the finishing's ends.
      {"finish, package fails", Update, kSecondCopyFails, "click CmdUpdate\nyes\nok\nok", 1,
       u"saved=20121225051422", "msgbox OK 升级没有完成：复制升级文件时出错"},
      {"finish, save not begun", Update, kWriteFails, "click CmdUpdate\nyes\nok", 1, u"backup=20121224093000",
       "msgbox OK 升级没有继续：无法写入升级进度文件"},
      {"finish, save not noted", Update, AtCopy(1, kWriteFails), "click CmdUpdate\nyes\nok", 7,
       u"kind=update-save\r\nbackup=20121225051422",
       "msgbox OK 升级没有继续，数据没有改动。继续升级前另存的数据在备份文件夹 "},
      {"finish, file unreadable after the save", Update, AtCopy(1, kReadFails), "click CmdUpdate\nyes\nok", 7,
       u"update.backup=20121224093000", "msgbox OK 升级没有继续：升级进度文件不能再用"},
      // An interrupted save: its folder goes, the finishing question comes back.
      {"finish after a killed save", Saving, kNothing, "click CmdUpdate\nno\nno", 1, u"backup=20121224093000",
       "msgbox YesNo 上次升级没有完成"},
      {"finish, every table moved", Update, kNothing, "click CmdUpdate\nyes\nok", 0, u"", "msgbox OK 升级完成"},
      {"finish, a table left again", Ended, kTableFails, "click CmdUpdate\nyes\nok", 2, u"failed.SmsSave=",
       "msgbox OK 升级没有完成：有 "},
      {"finish, a retry cannot help", [](CoreHarness& h) { return Ended(h) + u"retry=will-not-help\r\n"; }, kNothing,
       "click CmdUpdate\nok\nno", 2, u"retry=will-not-help", "msgbox OK 升级没有再进行"},
      // End on giving up.
      {"give up", Ended, kNothing, "click CmdUpdate\nno\nyes\nok", 0, u"", "msgbox OK 升级完成"},
      {"give up, not removed", Ended, kRemoveFails, "click CmdUpdate\nno\nyes\nok", 2, u"after.Addr.mdb=",
       "msgbox OK 没有放弃上次的升级"},
      {"give up, No", Update, kNothing, "click CmdUpdate\nno\nno", 1, u"backup=20121224093000",
       "msgbox YesNo 是否放弃这次没有完成的升级？"},
      // BeginRestore, End after a restore.
      {"restore, copy fails", nullptr, kSecondCopyFails, kRestoreFromList + "ok\nok", 3, u"restored=20121220120000",
       "msgbox OK 恢复没有完成"},
      {"restore", nullptr, kNothing, kRestoreFromList, 0, u"", ""},
      {"restore, cannot begin", nullptr, kWriteFails, kRestoreFromList + "ok", 0, u"", "msgbox OK 恢复没有进行：无法写入升级进度文件"},
      {"restore over an update", Update, kNothing, kRestoreFromList + "ok", 0, u"", "msgbox OK 恢复完成。"},
      {"restore over an update, copy fails", Update, kSecondCopyFails, kRestoreFromList + "ok\nok\nok", 3,
       u"update.backup=20121224093000", "msgbox OK 恢复没有完成"},
      {"restore, end not removed", nullptr, kRemoveFails, kRestoreFromList + "ok", 3, u"restored=20121220120000",
       "msgbox OK 已把 20121220120000 中的数据复制回安装文件夹"},
      // An interrupted restore: put back (是), again (否), nothing (取消).
      {"put back", Restore, kNothing, "click CmdUpdate\nyes\nok", 0, u"", "msgbox OK 恢复完成。"},
      {"put back, interrupted", Restore, kSecondCopyFails, "click CmdUpdate\nyes\nok\nok", 3,
       u"chain.backup=20121224093000", "msgbox OK 恢复没有完成"},
      {"put back, end not removed", Restore, kRemoveFails, "click CmdUpdate\nyes\nok", 3,
       u"chain.backup=20121224093000", "msgbox OK 已把 20121224093000 中的数据复制回安装文件夹"},
      {"again, end not removed", Restore, kRemoveFails, "click CmdUpdate\nno\nok", 3, u"chain.restored=20121220120000",
       "msgbox OK 已把 20121220120000 中的数据复制回安装文件夹"},
      {"cancel", Restore, kNothing, "click CmdUpdate\ncancel", 3, u"restored=20121220120000",
       "msgbox YesNoCancel 上次恢复数据没有完成"},
      // ReturnToUpdate.
      {"put back over an update", Carrying, kNothing, "click CmdUpdate\nyes\nok", 1, u"backup=20121224093000",
       "msgbox OK 恢复完成。"},
      {"put back over an update, not written", Carrying, AtCopy(2, kWriteFails), "click CmdUpdate\nyes\nok", 3,
       u"update.backup=20121224093000",
       "msgbox OK 已把 20121224093000 中的数据复制回安装文件夹，但这次恢复还没有结束：未能改动升级进度文件"},
      // SetAside.
      {"set aside", kDamaged, kNothing, "click CmdUpdate\nyes\nok", 0, u"", "msgbox OK 升级完成"},
      {"set aside, not renamed", kDamaged, kWriteFails, "click CmdUpdate\nyes\nok", 4, u"kind=update",
       "msgbox OK 升级进度文件未能改名"},
      {"set aside, No", kDamaged, kNothing, "click CmdUpdate\nno", 4, u"kind=update",
       "msgbox YesNo 上次没有完成的升级或恢复不能继续"},
  };
  const bool whole = false;
  for (const Row& row : rows) {
    CoreHarness harness;
    harness.CopyDatabasesAsTheShell(whole);
    harness.folders.files[kInstall] = {{u"Customerdata.car", 5, 0, "now"}, {u"Addr.mdb", 5, 0, "now"}};
    harness.folders.files[kBackup] = {{u"Customerdata.car", 7, 0, "old"}, {u"Addr.mdb", 7, 0, "old"}};
    harness.folders.files[kEntry] = {{u"Customerdata.car", 9, 0, "entry"}, {u"Addr.mdb", 9, 0, "entry"}};
    harness.folders.subfolders[CoreHarness::kInstallDir] = {u"20121220120000", u"20121224093000"};
    if (row.from) harness.durable_files.texts[kRecord] = row.from(harness);
    row.setup(harness);
    const Lines transcript = harness.Run("yes\n" + row.script + "\nclose");
    const Lines all = CoreHarness::LinesStartingWith(transcript, "msgbox");
    const Lines boxes(all.begin() + 1, all.end());
    const auto file = harness.durable_files.texts.find(kRecord);
    const std::optional<std::u16string> text =
        file == harness.durable_files.texts.end() ? std::nullopt : std::optional(file->second);
    EXPECT_EQ(ParseJournal(text).index(), row.after) << row.name;
    if (!row.holds.empty()) {
      EXPECT_NE(text.value_or(u"").find(row.holds + (row.holds.back() == u'=' ? u"" : u"\r\n")), std::u16string::npos)
          << row.name;
    }
    if (row.says.empty()) {
      EXPECT_TRUE(boxes.empty()) << row.name << ": " << (boxes.empty() ? "" : boxes.front());
      continue;
    }
    const bool shown = std::any_of(boxes.begin(), boxes.end(), [&](const std::string& box) {
      return box.starts_with(row.says);
    });
    EXPECT_TRUE(shown) << row.name << ": " << (boxes.empty() ? "no message" : boxes.back());
  }
}

}  // namespace
}  // namespace brevak
