// The data migration: the user's records move from the backup's databases
// into the freshly copied ones, table by table, with the progress bar.
#include <algorithm>

#include "core/form_update.h"
#include "core/jet_database.h"
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
// insert run in one transaction. A table that failed is named at the end.
void FormUpdate::MigrateData() {
  std::vector<std::u16string> failed;
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, true); });
  MoveAddressBook(failed);
  ResumeNext([&] { window().SetProgressValue(19); });
  ResumeNext([&] { CloseConnIfOpen(); });
  sDataFile_ = sInstallDir_ + kCustomerDatabase;
  const std::optional<std::u16string> open_error = OpenCustomerDatabase();
  std::vector<std::u16string> moved;
  for (const char16_t* table : kCustomerTables) {
    AddOnce(ResumeNext([&] { ReData(table); }) ? moved : failed, table);
  }
  ForgetMoved(failed, moved);
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, false); });
  // The update is over only when every table has moved.
  if (failed.empty()) ClearUpdateRecord();
  ReportMigration(failed, open_error);
}

// The address book is opened afresh in every update, whatever state an
// earlier update left the connection in.
void FormUpdate::MoveAddressBook(std::vector<std::u16string>& failed) {
  ResumeNext([&] {
    CloseConnIfOpen();
    conn().SetProvider(kProvider);
    conn().Open(MigrationConnectionString(sInstallDir_ + kAddressBook, u""));
  });
  const std::u16string source = u"[;database=" + sBackupDir_ + u"\\" + kAddressBook + u";].";
  for (const char16_t* table : kAddressBookTables) {
    ResumeNext([&] { window().DoEvents(); });  // the window answers between tables
    const std::u16string name = table;
    const bool moved = ResumeNext([&] {
      MoveTable(u"delete from [" + name + u"]",
                u"Insert into [" + name + u"] Select * From " + source + name,
                {name, source + u"[" + name + u"]"});
    });
    if (!moved) AddOnce(failed, name);
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

void FormUpdate::ReData(const std::u16string& TabName) {
  window().DoEvents();  // the window answers between tables
  if (window().ProgressValue() < 97) window().SetProgressValue(window().ProgressValue() + 3);
  const std::u16string source =
      u"[;database=" + sBackupDir_ + u"\\" + kCustomerDatabase + u";pwd=" + kCustomerPassword + u"].";
  MoveTable(u"delete from " + TabName, u"Insert into [" + TabName + u"] Select * From " + source + TabName,
            {TabName, source + u"[" + TabName + u"]"});
}

// The table is verified before its transaction commits: an engine may
// append fewer rows than it selected without raising an error (rows that
// break a key or a validation rule), and such a table is rolled back and
// named like one that failed. Why a table did not move goes into the log.
void FormUpdate::MoveTable(const std::u16string& delete_statement,
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
    connection.Execute(insert_statement);
    const RowCounts rows = VerifyRows(check);
    connection.CommitTrans();
    NoteTableMoved(check.table, rows);
  } catch (const RunTimeError& e) {
    ResumeNext([&] { connection.RollbackTrans(); });
    NoteTableNotMoved(check.table, e.description());
    throw;
  }
}

FormUpdate::RowCounts FormUpdate::VerifyRows(const RowCheck& check) {
  const int32_t installed = conn().ExecuteCount(u"select count(*) from [" + check.table + u"]");
  const int32_t backup = conn().ExecuteCount(u"select count(*) from " + check.backup_table);
  if (installed != backup) throw RowsDiffer(check.table, installed, backup);
  return {installed, backup};
}

void FormUpdate::ReportMigration(const std::vector<std::u16string>& failed,
                                 const std::optional<std::u16string>& customer_open_error) {
  std::u16string message = u"升级完成";
  if (!failed.empty()) {
    std::u16string names;
    for (const std::u16string& name : failed) names += (names.empty() ? u"" : u"、") + name;
    message = u"升级已完成，但以下数据未能转移：" + vb::vbCrLf + names + vb::vbCrLf +
              u"原有数据仍保存在：" + sBackupDir_;
    if (customer_open_error) message = u"无法打开客户数据库：" + *customer_open_error + vb::vbCrLf + message;
  }
  ResumeNext([&] { window().MsgBox(message, MsgBoxButtons::kOkOnly); });
}

}  // namespace brevak
