// The update sequence: the checks, the backup request, the in-progress
// record, the package request and the migration, in that order; and how
// every copy request is made and reported.
#include "core/form_update.h"
#include "core/guard_texts.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
void FormUpdate::CmdUpdate_Click() {
  const LogAtEnd log_at_end(log_, sInstallDir_, UpdateRecordPath());
  ResumeNext([&] { window().SetBusyReason(guard_text::BusyReason(guard_text::kUpdate)); });
  sSavedDir_.clear();
  sGivenUpDir_.clear();
  sEarlierSaved_.clear();
  sLastAttemptLeft_.clear();
  ForgetLastClick();
  RunUpdateSequence();
  NameSetAsideFoldersAtEnd();
}

void FormUpdate::RunUpdateSequence() {
  if (!preconditions_.InstallationFound(guard_text::kUpdate, sInstallDir_) || !preconditions_.PackageUsable()) return;
  // An interrupted update is finished from its own backup instead.
  const InterruptedUpdate interrupted = CheckInterruptedUpdate();
  if (interrupted == InterruptedUpdate::kStop) return;
  if (interrupted == InterruptedUpdate::kFinish) {
    log_.BeginUpdate(UpgradeLogEntry::Kind::kFinish, sBackupDir_ + u"\\Brevak.exe");
    log_.NoteBackup(sBackupDir_, prompt::FinishBackupPurpose());
  }
  SHFILEOPSTRUCT request;
  if (interrupted == InterruptedUpdate::kNone && !BackUpInstallation(request)) return;
  if (interrupted == InterruptedUpdate::kFinish && !SavePresentData()) return;
  ResumeNext([&] { window().DoEvents(); });
  if (!CopyPackage()) return;
  ResumeNext([&] { window().DoEvents(); });
  MigrateData();
}

// The checks come first, then the backup, then the record that names it.
bool FormUpdate::BackUpInstallation(SHFILEOPSTRUCT& request) {
  if (!checks_.PassChecksBefore(CheckedRun::kNewUpdate, sInstallDir_)) return false;
  if (!NameNewBackupFolder()) return false;
  // No database file is held open while the copies write over it.
  ResumeNext([&] { CloseConnIfOpen(); });

  log_.BeginUpdate(UpgradeLogEntry::Kind::kUpdate, sInstallDir_ + u"\\Brevak.exe");
  // The folder is made, then named in the journal, then copied into: a run
  // that ends inside the copy leaves a folder the next run removes by name.
  if (!MakeBackupFolder(sBackupDir_, kUpdateNotMade, kUpdateButton)) return false;
  const std::u16string name = sBackupDir_.substr(sInstallDir_.size());
  if (!BeginCopyInto(sBackupDir_, [&] { journal().BeginUpdateBackup(name); }, kUpdateNotMade, kUpdateButton)) {
    return false;
  }
  request.pFrom = CopyRequests::BackupSourceList(sInstallDir_);
  request.pTo = sBackupDir_ + u"\\";
  request.fFlags = kBackupFlags;
  // An incomplete backup ends the update: nothing may overwrite the data
  // that it failed to save.
  if (!RunBackupRequest(request, sBackupDir_, /*finishing=*/false)) return false;
  log_.NoteBackup(sBackupDir_, prompt::UpdateBackupPurpose());
  return RecordUpdateInProgress();
}

// The half-moved installation may hold work entered since the update was
// interrupted: it is saved whole before the package replaces it, while
// sBackupDir keeps naming the recorded backup the migration reads.
// Data just as the last attempt left it holds nothing the backup and the
// folders saved before lack: it is not saved once more.
bool FormUpdate::SavePresentData() {
  if (PresentDataAsLastAttemptLeft()) return true;
  const std::u16string recorded = sBackupDir_;
  const bool named = NameNewBackupFolder();
  sSavedDir_ = sBackupDir_;
  sBackupDir_ = recorded;
  if (!named || !MakeBackupFolder(sSavedDir_, kUpdateNotFinished, kUpdateButton)) return false;
  // The save names the update it saves for, as proved (an earlier form's
  // databases by digest); a record gone since is told after the copy.
  const RecordReading reading = ReadRecord();
  const std::u16string name = sSavedDir_.substr(sInstallDir_.size());
  if (reading.record && reading.record->kind == UpdateRecord::Kind::kUpdate &&
      !BeginCopyInto(sSavedDir_, [&] { journal().BeginSave(CarriedUpdateOf(*reading.record), name); },
                     kUpdateNotFinished, kUpdateButton)) {
    return false;
  }
  ResumeNext([&] { CloseConnIfOpen(); });
  SHFILEOPSTRUCT request;
  request.pFrom = CopyRequests::BackupSourceList(sInstallDir_);
  request.pTo = sSavedDir_ + u"\\";
  request.fFlags = kBackupFlags;
  if (!RunBackupRequest(request, sSavedDir_, /*finishing=*/true)) return false;
  log_.NoteBackup(sSavedDir_, prompt::SavedBeforeFinishPurpose());
  return RecordSavedFolder();
}

// A package copy that did not complete leaves the record: the next
// 开始更新 finishes the update from its backup.
bool FormUpdate::CopyPackage() {
  SHFILEOPSTRUCT request;
  request.pFrom = copies_.PackageSourceList();
  request.pTo = sInstallDir_;
  request.fFlags = kOverwriteFlags;
  if (copies_.RunCopyRequest(request, /*stop_when_aborted=*/false)) return true;
  const std::u16string message = prompt::PackageCopyFailed(sBackupDir_, SavedFolders(), GivenUpLine());
  ResumeNext([&] { window().MsgBox(message, MsgBoxButtons::kOkOnly); });
  return false;
}

// The folder was made by this run, so a copy that failed takes it along.
// After Windows' number or "Operation Failed", the user is told in words
// that nothing changed and what to do.
bool FormUpdate::RunBackupRequest(SHFILEOPSTRUCT& request, const std::u16string& folder, bool finishing) {
  const CopyOutcome outcome = copies_.MakeCopyRequest(request);
  copies_.ReportCopyOutcome(outcome);
  if (!outcome.not_made && outcome.result == 0 && !outcome.aborted) return true;
  RemoveFolder(folder);
  // The journal's copy state ends with its folder; a folder that could not
  // be removed stays named, for the next run.
  if (!FolderExists(folder)) DropCopyState();
  if (!outcome.not_made) {
    ResumeNext([&] { window().MsgBox(prompt::BackupFailed(finishing, CopyRequests::CopyFailureText(outcome)), MsgBoxButtons::kOkOnly); });
  }
  return false;
}

}  // namespace brevak
