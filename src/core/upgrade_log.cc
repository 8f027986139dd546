#include "core/upgrade_log.h"

#include "core/vb_text.h"

namespace brevak {
namespace {

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
    case UpgradeLogEntry::Kind::kUpdate: return u"升级";
    case UpgradeLogEntry::Kind::kFinish: return u"继续完成上次升级";
    case UpgradeLogEntry::Kind::kRestore: return u"恢复";
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
    return u"升级完成";
  }
  std::u16string text = u"升级没有完成：";
  if (!entry.not_moved.empty()) text += vb::CStr(static_cast<int32_t>(entry.not_moved.size())) + u" 个数据表没有转移";
  else if (entry.moved.empty()) text += u"数据没有转移";
  else text += u"数据表都已转移";
  if (entry.ended_by_error) text += u"，随后程序因运行时错误而结束";
  if (entry.record_left) text += u"；升级进度文件（upgrade-in-progress.brevak）仍在，下次点击“开始更新”会询问是否继续完成这次升级";
  return text;
}

std::u16string NotMovedReason(const UpgradeLogEntry::TableNotMoved& table) {
  if (!table.rows) return table.reason;
  return u"转入后有 " + vb::CStr(table.rows->arrived) + u" 条，备份中有 " + vb::CStr(table.rows->backup) +
         u" 条，条数不一致，这个数据表的转移已撤回";
}

std::u16string OrUnknown(const std::u16string& text) { return text.empty() ? u"（无法读取）" : text; }

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
  for (const std::u16string& name : names) text += (text.empty() ? u"" : u"、") + name;
  return text.empty() ? u"（没有文件）" : text;
}

void AddMigration(std::u16string& out, const UpgradeLogEntry& entry) {
  for (const UpgradeLogEntry::MovedTable& t : entry.moved) {
    AddFact(out, u"已转移：",
            t.table + u"，备份中 " + vb::CStr(t.backup_rows) + u" 条，升级后 " + vb::CStr(t.installed_rows) + u" 条");
  }
  for (const UpgradeLogEntry::TableNotMoved& t : entry.not_moved) {
    AddFact(out, u"未转移：", t.table + u"，原因：" + NotMovedReason(t));
  }
  for (const std::u16string& table : entry.absent) {
    AddFact(out, u"无需转移：", table + u"，原有数据库中没有这个数据表");
  }
}

}  // namespace

std::u16string FormatUpgradeLogEntry(const UpgradeLogEntry& entry) {
  const bool restore = entry.kind == UpgradeLogEntry::Kind::kRestore;
  std::u16string out;
  AddFact(out, Header(entry), u"");
  AddFact(out, u"原来安装的版本：", OrUnknown(entry.installed_version));
  AddFact(out, restore ? u"恢复的备份中的版本：" : u"升级包的版本：", OrUnknown(entry.source_version));
  if (restore) AddFact(out, u"恢复的文件夹：", entry.restored_folder);
  for (const UpgradeLogEntry::Backup& backup : entry.backups) {
    AddFact(out, u"备份文件夹：", backup.folder + u"（" + backup.purpose + u"：" + Joined(backup.files) + u"）");
  }
  AddMigration(out, entry);
  const std::u16string result = restore ? entry.result : UpdateResult(entry);
  if (!result.empty()) AddFact(out, u"结果：", result);
  AddFact(out, u"最后显示的消息：", entry.last_message.empty() ? u"（没有显示消息）" : entry.last_message);
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
