#include "core/upgrade_log.h"

#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

using prompt::Fill;
using prompt::Id;

const char16_t kCrLf[] = u"\r\n";
// Where a text of several lines goes on.
const char16_t kIndent[] = u"    ";

std::u16string TwoDigits(int number) {
  std::u16string text = vb::CStr(number);
  if (text.size() == 1) text.insert(text.begin(), u'0');
  return text;
}

std::u16string DateTime(const LocalTime& t) {
  return vb::CStr(t.year) + u"-" + TwoDigits(t.month) + u"-" + TwoDigits(t.day) + u" " + TwoDigits(t.hour) +
         u":" + TwoDigits(t.minute) + u":" + TwoDigits(t.second);
}

std::u16string KindInWords(UpgradeLogEntry::Kind kind) {
  switch (kind) {
    case UpgradeLogEntry::Kind::kUpdate: return Fill(Id::kLogKindUpdate);
    case UpgradeLogEntry::Kind::kFinish: return Fill(Id::kLogKindFinish);
    case UpgradeLogEntry::Kind::kRestore: return Fill(Id::kLogKindRestore);
  }
  return u"";
}

// The first line of an entry, which stands out between entries when the
// log is read in Notepad.
std::u16string Header(const UpgradeLogEntry& entry) {
  return u"======== " + DateTime(entry.when) + u" " + KindInWords(entry.kind) + u" ========";
}

// An update's or a finishing run's outcome. It is finished only when every
// table moved and nothing is left for the next 开始更新 to finish.
std::u16string UpdateResult(const UpgradeLogEntry& entry) {
  if (entry.not_moved.empty() && !entry.moved.empty() && !entry.ended_by_error && !entry.record_left) {
    return Fill(Id::kLogUpdateDone);
  }
  std::u16string what;
  if (!entry.not_moved.empty()) {
    what = Fill(Id::kLogTablesNotMoved, {{u"count", vb::CStr(static_cast<int32_t>(entry.not_moved.size()))}});
  } else {
    what = Fill(entry.moved.empty() ? Id::kLogNothingMoved : Id::kLogAllTablesMoved);
  }
  if (entry.ended_by_error) what += Fill(Id::kLogThenRunTimeError);
  if (entry.record_left) what += Fill(Id::kLogProgressFileLeft);
  return Fill(Id::kLogUpdateNotDone, {{u"what", what}});
}

std::u16string NotMovedReason(const UpgradeLogEntry::TableNotMoved& table) {
  if (!table.rows) return table.reason;
  return Fill(Id::kLogRowsDiffered,
              {{u"arrived", vb::CStr(table.rows->arrived)}, {u"backup", vb::CStr(table.rows->backup)}});
}

std::u16string OrUnknown(const std::u16string& text) { return text.empty() ? Fill(Id::kLogUnreadable) : text; }

// One fact: its label, its text, and the text's further lines indented
// (an empty one too), whatever line ends it uses.
void AddFact(std::u16string& out, const std::u16string& label, const std::u16string& text) {
  out += label;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') {
      out += c;
      continue;
    }
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    out += kCrLf;
    out += kIndent;
  }
  out += kCrLf;
}

std::u16string Joined(const std::vector<std::u16string>& names) {
  std::u16string text;
  for (const std::u16string& name : names) text += (text.empty() ? u"" : Fill(Id::kNameSeparator)) + name;
  return text.empty() ? Fill(Id::kLogNoFiles) : text;
}

void AddMigration(std::u16string& out, const UpgradeLogEntry& entry) {
  for (const UpgradeLogEntry::MovedTable& t : entry.moved) {
    AddFact(out, u"", Fill(Id::kLogMoved, {{u"table", t.table},
                                           {u"backup", vb::CStr(t.backup_rows)},
                                           {u"installed", vb::CStr(t.installed_rows)}}));
  }
  for (const UpgradeLogEntry::TableNotMoved& t : entry.not_moved) {
    AddFact(out, u"", Fill(Id::kLogNotMoved, {{u"table", t.table}, {u"reason", NotMovedReason(t)}}));
  }
  for (const std::u16string& table : entry.absent) {
    AddFact(out, u"", Fill(Id::kLogAbsent, {{u"table", table}}));
  }
}

}  // namespace

std::u16string FormatUpgradeLogEntry(const UpgradeLogEntry& entry) {
  const bool restore = entry.kind == UpgradeLogEntry::Kind::kRestore;
  std::u16string out;
  AddFact(out, Header(entry), u"");
  AddFact(out, Fill(Id::kLogInstalledVersion), OrUnknown(entry.installed_version));
  AddFact(out, Fill(restore ? Id::kLogRestoredVersion : Id::kLogPackageVersion), OrUnknown(entry.source_version));
  if (restore) AddFact(out, Fill(Id::kLogRestoredFolder), entry.restored_folder);
  for (const UpgradeLogEntry::Backup& backup : entry.backups) {
    AddFact(out, u"", Fill(Id::kLogBackupFolder, {{u"folder", backup.folder},
                                                 {u"purpose", backup.purpose},
                                                 {u"files", Joined(backup.files)}}));
  }
  AddMigration(out, entry);
  const std::u16string result = restore ? entry.result : UpdateResult(entry);
  if (!result.empty()) AddFact(out, Fill(Id::kLogResult), result);
  AddFact(out, Fill(Id::kLogLastMessage), entry.last_message.empty() ? Fill(Id::kLogNoMessage) : entry.last_message);
  return out + kCrLf;
}

void WriteUpgradeLog(Platform& platform, const std::u16string& install_dir, const UpgradeLogEntry& entry) {
  std::u16string log = install_dir + kUpgradeLogName;
  const std::u16string earlier = install_dir + kEarlierUpgradeLogName;
  // One log, never two: when the earlier one keeps its name, it goes on.
  if (CatchFailure([&] { platform.log_files->RenameUnlessTaken(earlier, log); })) log = earlier;
  // Any failure at all, a conversion's too, only costs the entry.
  (void)CatchFailure([&] { platform.log_files->AppendEntry(log, platform.code_page->ToAnsi(FormatUpgradeLogEntry(entry))); });
}

}  // namespace brevak
