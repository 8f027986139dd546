// The upgrade log: what each handler that changes data files did, written
// when the handler ends. Nothing here may stop or change the handler.
#include <algorithm>
#include <exception>

#include "core/form_update.h"
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

FormUpdate::LogAtEnd::LogAtEnd(FormUpdate& form) : form_(form), uncaught_(std::uncaught_exceptions()) {
  form_.log_entry_.reset();
  form_.messages_.Forget();
}

FormUpdate::LogAtEnd::~LogAtEnd() {
  try {
    form_.WriteLogEntry(std::uncaught_exceptions() > uncaught_);
  } catch (...) {
    // The log is the last thing a handler does; its failure changes nothing.
  }
}

void FormUpdate::BeginUpdateLogEntry(UpgradeLogEntry::Kind kind, const std::u16string& installed_program) {
  UpgradeLogEntry entry;
  entry.kind = kind;
  ResumeNext([&] { entry.installed_version = GetFileVer(platform_, installed_program)[0]; });
  ResumeNext([&] {
    entry.source_version = GetFileVer(platform_, platform_.folders->AppPath() + u"\\Brevak.exe")[0];
  });
  log_entry_ = std::move(entry);
}

void FormUpdate::BeginRestoreLogEntry(const std::u16string& entry) {
  UpgradeLogEntry log;
  log.kind = UpgradeLogEntry::Kind::kRestore;
  log.restored_folder = sInstallDir_ + entry;
  ResumeNext([&] { log.installed_version = GetFileVer(platform_, sInstallDir_ + u"\\Brevak.exe")[0]; });
  ResumeNext([&] { log.source_version = GetFileVer(platform_, log.restored_folder + u"\\Brevak.exe")[0]; });
  log_entry_ = std::move(log);
}

void FormUpdate::NoteRestoreResult(const CopyOutcome& outcome) {
  if (!log_entry_) return;
  log_entry_->result = prompt::LogRestoreResult(outcome.Succeeded(), CopyFailureText(outcome));
}

void FormUpdate::NoteBackup(const std::u16string& folder, const std::u16string& purpose) {
  if (!log_entry_) return;
  UpgradeLogEntry::Backup backup{folder, purpose, {}};
  ResumeNext([&] {
    const std::unique_ptr<FileEnumeration> files =
        platform_.folders->CreateFileSystemObject()->GetFolder(folder)->Files();
    while (std::unique_ptr<File> file = files->Next()) backup.files.push_back(file->Name());
  });
  log_entry_->backups.push_back(std::move(backup));
}

// A table listed twice (RepairCase) has moved when either pass moved it.
void FormUpdate::NoteTableMoved(const std::u16string& table, const RowCounts& rows) {
  if (!log_entry_) return;
  std::erase_if(log_entry_->not_moved, [&](const auto& t) { return t.table == table; });
  const UpgradeLogEntry::MovedTable moved{table, rows.backup, rows.installed};
  const auto it = FindTable(log_entry_->moved, table);
  if (it != log_entry_->moved.end()) *it = moved;
  else log_entry_->moved.push_back(moved);
}

void FormUpdate::NoteTableNotMoved(const std::u16string& table, const std::u16string& reason) {
  if (!log_entry_ || FindTable(log_entry_->moved, table) != log_entry_->moved.end()) return;
  const UpgradeLogEntry::TableNotMoved not_moved{table, reason, RowsThatDiffered(table, reason)};
  const auto it = FindTable(log_entry_->not_moved, table);
  if (it != log_entry_->not_moved.end()) *it = not_moved;
  else log_entry_->not_moved.push_back(not_moved);
}

void FormUpdate::NoteTableAbsent(const std::u16string& table) {
  if (!log_entry_) return;
  std::vector<std::u16string>& absent = log_entry_->absent;
  if (std::find(absent.begin(), absent.end(), table) == absent.end()) absent.push_back(table);
}

void FormUpdate::WriteLogEntry(bool ended_by_error) {
  if (!log_entry_) return;
  ResumeNext([&] { log_entry_->when = platform_.clock->Now(); });
  log_entry_->last_message = messages_.last();
  if (ended_by_error) log_entry_->last_message += prompt::LogEndedByError();
  log_entry_->ended_by_error = ended_by_error;
  // A record that cannot be read is taken as left: the log never claims a
  // finished update it cannot see.
  if (log_entry_->kind != UpgradeLogEntry::Kind::kRestore) {
    log_entry_->record_left = true;
    ResumeNext([&] { log_entry_->record_left = platform_.durable_files->ReadText(UpdateRecordPath(sInstallDir_)).has_value(); });
  }
  WriteUpgradeLog(platform_, sInstallDir_, *log_entry_);
  log_entry_.reset();
}

}  // namespace brevak
