// The data migration: the user's records move from the backup's databases
// into the freshly copied ones, table by table, with the progress bar.
#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/migration_message.h"

namespace brevak {
namespace {

// What the record keeps of an update that ended with tables not moved: why
// each did not move, and whether a retry can help.
TablesLeft TablesLeftOf(const MigrationOutcome& outcome) {
  TablesLeft why;
  why.retry_will_not_help = !outcome.retry_remedy;
  for (const std::u16string& table : outcome.failed) {
    const auto reason = outcome.reasons.find(table);
    why.reasons.emplace_back(table, reason == outcome.reasons.end() ? outcome.customer_open_error.value_or(u"")
                                                                    : reason->second);
  }
  return why;
}

}  // namespace

// Every table either moves whole or keeps what it had: its delete and
// insert run in one transaction. A table that failed is named at the end;
// one the backup's database lacks had nothing to move.
void FormUpdate::MigrateData(const ClickState& click) {
  MigrationOutcome outcome;
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, true); });
  // The address book is opened afresh in every update, whatever state an
  // earlier update left the connection in.
  ResumeNext([&] {
    CloseConnIfOpen();
    mover_.Open(conn(), sInstallDir_ + kAddressBook, u"");
  });
  for (const char16_t* table : kAddressBookTables) {
    ResumeNext([&] { window().DoEvents(); });  // the window answers between tables
    TableMover::Count(outcome, table, [&] { return mover_.MoveAddressBookTable(conn(), table, sBackupDir_); });
  }
  ResumeNext([&] { window().SetProgressValue(19); });
  ResumeNext([&] { CloseConnIfOpen(); });
  sDataFile_ = sInstallDir_ + kCustomerDatabase;
  outcome.customer_open_error = FailureOf([&] { mover_.Open(conn(), sDataFile_, kCustomerPassword); });
  for (const char16_t* table : kCustomerTables) TableMover::Count(outcome, table, [&] { return ReData(table); });
  TableMover::Settle(outcome);
  ResumeNext([&] { window().SetVisible(Control::ProgressBar1, false); });
  // The update is over only when every table has moved; otherwise the
  // record stays, so that the next 开始更新 retries from the same backup.
  if (outcome.failed.empty()) {
    record_.End(sInstallDir_);
  } else {
    outcome.retry_remedy = checks_.RetryRemedy(sInstallDir_);
    record_.RecordUpdateEnded(sInstallDir_, TablesLeftOf(outcome));
  }
  const std::u16string retry_ending =
      outcome.failed.empty()
          ? u""
          : ChecksBeforeRun::RetryEnding(outcome.retry_remedy, outcome.customer_open_error.value_or(outcome.first_reason));
  const std::u16string message =
      MigrationMessage(outcome, {FolderListText(InWords({sBackupDir_})), InProgressRecord::SavedFolders(click),
                                            InProgressRecord::GivenUpLine(click), retry_ending});
  ResumeNext([&] { window().MsgBox(message, MsgBoxButtons::kOkOnly); });
}

bool FormUpdate::ReData(const std::u16string& TabName) {
  window().DoEvents();  // the window answers between tables
  if (window().ProgressValue() < 97) window().SetProgressValue(window().ProgressValue() + 3);
  return mover_.MoveCustomerTable(conn(), TabName, sBackupDir_);
}

}  // namespace brevak
