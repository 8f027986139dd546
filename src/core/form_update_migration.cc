// The data migration: the user's records move from the backup's databases
// into the freshly copied ones, table by table, with the progress bar.
#include <algorithm>
#include <map>

#include "core/form_update.h"
#include "core/guard_texts.h"
#include "core/jet_database.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// Jet commits a transaction that passes its per-file lock limit (9500 by
// default) in pieces; the limit is raised so that a large table moves in
// one transaction.
std::u16string MigrationConnectionString(const std::u16string& file, const std::u16string& password) {
  return ConnectionString(file, password) + u";Jet OLEDB:Max Locks Per File=1000000";
}

// A table that holds fewer rows, or more, than its backup after the move.
RunTimeError RowsDiffer(const std::u16string& table, int32_t installed, int32_t backup) {
  return RunTimeError(vb_error::kInternalError, table + u": " + vb::CStr(installed) + u" / " + vb::CStr(backup));
}

// Runs one statement of the migration: the engine's description when it
// failed, nothing when it completed.
template <typename Statement>
std::optional<std::u16string> FailureOf(Statement&& statement) {
  try {
    statement();
    return std::nullopt;
  } catch (const RunTimeError& e) {
    return e.description();
  }
}

void AddOnce(std::vector<std::u16string>& names, const std::u16string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

// A table listed twice (RepairCase) holds the backup's rows when either of
// its passes moved them: each pass replaces it whole or leaves it as it was.
void ForgetMoved(std::vector<std::u16string>& failed, const std::vector<std::u16string>& moved) {
  std::erase_if(failed, [&](const std::u16string& name) {
    return std::find(moved.begin(), moved.end(), name) != moved.end();
  });
}

}  // namespace

// Every table either moves whole or keeps what it had: its delete and
// insert run in one transaction. A table that failed is named at the end;
// one the backup's database lacks had nothing to move.
void FormUpdate::MigrateData(const ClickState& click) {
  MigrationOutcome outcome;
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, true); });
  MoveAddressBook(outcome);
  ResumeNext([&] { window().SetProgressValue(19); });
  ResumeNext([&] { CloseConnIfOpen(); });
  sDataFile_ = sInstallDir_ + kCustomerDatabase;
  outcome.customer_open_error = OpenCustomerDatabase();
  std::vector<std::u16string> moved;
  std::map<std::u16string, std::u16string>& reasons = outcome.reasons;
  for (const char16_t* table : kCustomerTables) {
    bool present = true;
    const std::optional<std::u16string> failure = FailureOf([&] { present = ReData(table); });
    if (failure) reasons.emplace(table, *failure);
    AddOnce(failure ? outcome.failed : present ? moved : outcome.absent, table);
  }
  ForgetMoved(outcome.failed, moved);
  std::erase_if(reasons, [&](const auto& reason) {
    return std::find(moved.begin(), moved.end(), reason.first) != moved.end();
  });
  for (const std::u16string& table : outcome.failed) {
    if (outcome.first_reason.empty() && reasons.count(table)) outcome.first_reason = reasons.at(table);
  }
  ForgetMoved(outcome.absent, moved);
  ForgetMoved(outcome.absent, outcome.failed);
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, false); });
  // The update is over only when every table has moved; otherwise the
  // record stays, so that the next 开始更新 retries from the same backup.
  if (outcome.failed.empty()) {
    record_.End(sInstallDir_);
  } else {
    outcome.retry_remedy = RetryRemedy();
    RecordUpdateEnded(outcome);
  }
  ReportMigration(outcome, click);
}

// The address book is opened afresh in every update, whatever state an
// earlier update left the connection in.
void FormUpdate::MoveAddressBook(MigrationOutcome& outcome) {
  ResumeNext([&] {
    CloseConnIfOpen();
    conn().SetProvider(kProvider);
    conn().Open(MigrationConnectionString(sInstallDir_ + kAddressBook, u""));
  });
  const std::u16string source = u"[;database=" + sBackupDir_ + u"\\" + kAddressBook + u";].";
  for (const char16_t* table : kAddressBookTables) {
    ResumeNext([&] { window().DoEvents(); });  // the window answers between tables
    const std::u16string name = table;
    bool present = true;
    const std::optional<std::u16string> failure = FailureOf([&] {
      present = MoveTable(u"delete from [" + name + u"]",
                          u"Insert into [" + name + u"] Select * From " + source + name,
                          {name, source + u"[" + name + u"]"});
    });
    if (failure) AddOnce(outcome.failed, name);
    if (failure) outcome.reasons.emplace(name, *failure);
    if (failure && outcome.first_reason.empty()) outcome.first_reason = *failure;
    if (!failure && !present) AddOnce(outcome.absent, name);
  }
}

// Returns the failure's description when the customer database cannot be
// opened.
std::optional<std::u16string> FormUpdate::OpenCustomerDatabase() {
  std::optional<std::u16string> error;
  try {
    conn().SetProvider(kProvider);
    conn().Open(MigrationConnectionString(sDataFile_, kCustomerPassword));
  } catch (const RunTimeError& e) {
    error = e.description();
  }
  return error;
}

bool FormUpdate::ReData(const std::u16string& TabName) {
  window().DoEvents();  // the window answers between tables
  if (window().ProgressValue() < 97) window().SetProgressValue(window().ProgressValue() + 3);
  const std::u16string source =
      u"[;database=" + sBackupDir_ + u"\\" + kCustomerDatabase + u";pwd=" + kCustomerPassword + u"].";
  return MoveTable(u"delete from " + TabName, u"Insert into [" + TabName + u"] Select * From " + source + TabName,
                   {TabName, source + u"[" + TabName + u"]"});
}

// The table is verified before its transaction commits: an engine may
// append fewer rows than it selected without raising an error (rows that
// break a key or a validation rule), and such a table is rolled back and
// named like one that failed. An append whose input table the backup's
// database lacks (an older release without it) is rolled back too: the
// table keeps the package's rows, and nothing was there to move. Why a
// table did not move goes into the log.
bool FormUpdate::MoveTable(const std::u16string& delete_statement,
                           const std::u16string& insert_statement, const RowCheck& check) {
  Connection& connection = conn();
  try {
    connection.BeginTrans();
  } catch (const RunTimeError& e) {
    NoteTableNotMoved(check.table, e.description());
    throw;
  }
  try {
    connection.Execute(delete_statement);
    try {
      connection.Execute(insert_statement);
    } catch (const RunTimeError& e) {
      if (e.number() != kJetInputTableNotFound) throw;
      connection.RollbackTrans();
      NoteTableAbsent(check.table);
      return false;
    }
    const RowCounts rows = VerifyRows(check);
    connection.CommitTrans();
    NoteTableMoved(check.table, rows);
  } catch (const RunTimeError& e) {
    ResumeNext([&] { connection.RollbackTrans(); });
    NoteTableNotMoved(check.table, e.description());
    throw;
  }
  return true;
}

FormUpdate::RowCounts FormUpdate::VerifyRows(const RowCheck& check) {
  const int32_t installed = conn().ExecuteCount(u"select count(*) from [" + check.table + u"]");
  const int32_t backup = conn().ExecuteCount(u"select count(*) from " + check.backup_table);
  if (installed != backup) throw RowsDiffer(check.table, installed, backup);
  return {installed, backup};
}

namespace {

}  // namespace

// When the customer database did not open, none of its tables moved: that
// is said in one line, and the tables are named in the upgrade log only.
void FormUpdate::ReportMigration(const MigrationOutcome& outcome, const ClickState& click) {
  std::u16string message = u"升级完成";
  if (!outcome.failed.empty()) {
    std::vector<std::u16string> named = outcome.failed;
    if (outcome.customer_open_error) {
      std::erase_if(named, [](const std::u16string& table) {
        return std::find(kCustomerTables.begin(), kCustomerTables.end(), table) != kCustomerTables.end();
      });
    }
    message = outcome.customer_open_error ? guard_text::CustomerDatabaseNotOpened() : u"";
    if (!named.empty()) {
      message += (message.empty() ? u"" : vb::vbCrLf) + prompt::TablesNotMoved(named);
    }
    message += vb::vbCrLf + prompt::BackupStillHolds(FolderListText(InWords({sBackupDir_})));
  }
  // Tables the old database never had are the upgrade log's to name.
  const std::u16string saved = InProgressRecord::SavedFolders(click);
  if (!saved.empty()) message += vb::vbCrLf + prompt::SavedBeforeFinishAfterMigration(saved);
  message += InProgressRecord::GivenUpLine(click);
  if (!outcome.failed.empty()) message += vb::vbCrLf + RetryEnding(outcome);
  ResumeNext([&] { window().MsgBox(message, MsgBoxButtons::kOkOnly); });
}

}  // namespace brevak
