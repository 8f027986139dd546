// The data migration: the user's records move from the backup's databases
// into the freshly copied ones, table by table, with the progress bar.
#include <algorithm>

#include "core/connection_string.h"
#include "core/form_update.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

const char16_t kCustomerPassword[] = u"mqzvtw";

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
  sDataFile_ = sInstallDir_ + u"Customerdata.car";
  const std::optional<std::u16string> open_error = OpenCustomerDatabase();
  std::vector<std::u16string> moved;
  for (const char16_t* table : kCustomerTables) {
    AddOnce(ResumeNext([&] { ReData(table); }) ? moved : failed, table);
  }
  ForgetMoved(failed, moved);
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, false); });
  ReportMigration(failed, open_error);
}

// The address book is opened afresh in every update, whatever state an
// earlier update left the connection in.
void FormUpdate::MoveAddressBook(std::vector<std::u16string>& failed) {
  ResumeNext([&] {
    CloseConnIfOpen();
    conn().SetProvider(kProvider);
    conn().Open(ConnectionString(sInstallDir_ + u"Addr.mdb", u""));
  });
  const std::u16string source = u"[;database=" + sBackupDir_ + u"\\Addr.mdb;].";
  for (const char16_t* table : kAddressBookTables) {
    const std::u16string name = table;
    const bool moved = ResumeNext([&] {
      MoveTable(u"delete from [" + name + u"]",
                u"Insert into [" + name + u"] Select * From " + source + name);
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
    conn().Open(ConnectionString(sDataFile_, kCustomerPassword));
  } catch (const RunTimeError& e) {
    error = e.description();
  }
  return error;
}

void FormUpdate::ReData(const std::u16string& TabName) {
  if (window().ProgressValue() < 97) window().SetProgressValue(window().ProgressValue() + 3);
  MoveTable(u"delete from " + TabName,
            u"Insert into [" + TabName + u"] Select * From [;database=" + sBackupDir_ +
                u"\\Customerdata.car;pwd=" + kCustomerPassword + u"]." + TabName);
}

void FormUpdate::MoveTable(const std::u16string& delete_statement,
                           const std::u16string& insert_statement) {
  Connection& connection = conn();
  connection.BeginTrans();
  try {
    connection.Execute(delete_statement);
    connection.Execute(insert_statement);
    connection.CommitTrans();
  } catch (const RunTimeError&) {
    ResumeNext([&] { connection.RollbackTrans(); });
    throw;
  }
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
