#include "core/upgrade_log_observer.h"

#include <algorithm>

#include "core/module_file_ver.h"
#include "core/prompts.h"

namespace brevak {
namespace {

template <typename T>
auto FindTable(std::vector<T>& tables, const std::u16string& name) {
  return std::find_if(tables.begin(), tables.end(), [&](const T& t) { return t.table == name; });
}

// The migration's verification describes a table whose rows did not match
// as "TABLE: ARRIVED / BACKUP"; any other description is the engine's own.
std::optional<UpgradeLogEntry::TableNotMoved::Rows> RowsThatDiffered(const std::u16string& table,
                                                                    const std::u16string& reason) {
  const std::u16string prefix = table + u": ";
  const size_t slash = reason.find(u" / ");
  if (!reason.starts_with(prefix) || slash == std::u16string::npos) return std::nullopt;
  const std::u16string arrived = reason.substr(prefix.size(), slash - prefix.size());
  const std::u16string backup = reason.substr(slash + 3);
  const auto digits = [](const std::u16string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  };
  if (!digits(arrived) || !digits(backup)) return std::nullopt;
  const auto number = [](const std::u16string& text) {
    int32_t value = 0;
    for (const char16_t c : text) value = value * 10 + (c - u'0');
    return value;
  };
  return UpgradeLogEntry::TableNotMoved::Rows{number(arrived), number(backup)};
}

}  // namespace

void UpgradeLogObserver::Forget() {
  entry_.reset();
  messages_.Forget();
}

void UpgradeLogObserver::BeginUpdate(UpgradeLogEntry::Kind kind, const std::u16string& installed_program) {
  UpgradeLogEntry entry;
  entry.kind = kind;
  ResumeNext([&] { entry.installed_version = GetFileVer(platform_, installed_program)[0]; });
  ResumeNext([&] {
    entry.source_version = GetFileVer(platform_, platform_.folders->AppPath() + u"\\Brevak.exe")[0];
  });
  entry_ = std::move(entry);
}

void UpgradeLogObserver::BeginRestore(const std::u16string& install_dir, const std::u16string& entry) {
  UpgradeLogEntry log;
  log.kind = UpgradeLogEntry::Kind::kRestore;
  log.restored_folder = install_dir + entry;
  ResumeNext([&] { log.installed_version = GetFileVer(platform_, install_dir + u"\\Brevak.exe")[0]; });
  ResumeNext([&] { log.source_version = GetFileVer(platform_, log.restored_folder + u"\\Brevak.exe")[0]; });
  entry_ = std::move(log);
}

void UpgradeLogObserver::NoteRestoreResult(bool succeeded, const std::u16string& failure) {
  if (!entry_) return;
  entry_->result = prompt::LogRestoreResult(succeeded, failure);
}

void UpgradeLogObserver::NoteBackup(const std::u16string& folder, const std::u16string& purpose) {
  if (!entry_) return;
  UpgradeLogEntry::Backup backup{folder, purpose, {}};
  ResumeNext([&] {
    const std::unique_ptr<FileEnumeration> files =
        platform_.folders->CreateFileSystemObject()->GetFolder(folder)->Files();
    while (std::unique_ptr<File> file = files->Next()) backup.files.push_back(file->Name());
  });
  entry_->backups.push_back(std::move(backup));
}

void UpgradeLogObserver::TableMoved(const std::u16string& table, const RowCounts& rows) {
  if (!entry_) return;
  std::erase_if(entry_->not_moved, [&](const auto& t) { return t.table == table; });
  const UpgradeLogEntry::MovedTable moved{table, rows.backup, rows.installed};
  const auto it = FindTable(entry_->moved, table);
  if (it != entry_->moved.end()) *it = moved;
  else entry_->moved.push_back(moved);
}

void UpgradeLogObserver::TableNotMoved(const std::u16string& table, const std::u16string& reason) {
  if (!entry_ || FindTable(entry_->moved, table) != entry_->moved.end()) return;
  const UpgradeLogEntry::TableNotMoved not_moved{table, reason, RowsThatDiffered(table, reason)};
  const auto it = FindTable(entry_->not_moved, table);
  if (it != entry_->not_moved.end()) *it = not_moved;
  else entry_->not_moved.push_back(not_moved);
}

void UpgradeLogObserver::TableAbsent(const std::u16string& table) {
  if (!entry_) return;
  std::vector<std::u16string>& absent = entry_->absent;
  if (std::find(absent.begin(), absent.end(), table) == absent.end()) absent.push_back(table);
}

void UpgradeLogObserver::Write(const std::u16string& install_dir, const std::u16string& record_path,
                               bool ended_by_error) {
  if (!entry_) return;
  ResumeNext([&] { entry_->when = platform_.clock->Now(); });
  entry_->last_message = messages_.last();
  if (ended_by_error) entry_->last_message += prompt::LogEndedByError();
  entry_->ended_by_error = ended_by_error;
  // A record that cannot be read is taken as left: the log never claims a
  // finished update it cannot see.
  if (entry_->kind != UpgradeLogEntry::Kind::kRestore) {
    entry_->record_left = true;
    ResumeNext([&] { entry_->record_left = platform_.durable_files->ReadText(record_path).has_value(); });
  }
  WriteUpgradeLog(platform_, install_dir, *entry_);
  entry_.reset();
}

}  // namespace brevak
