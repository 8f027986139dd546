// The update sequence: the checks, the backup request, the in-progress
// record, the package request and the migration, in that order; and how
// every copy request is made and reported.
#include "core/form_update.h"
#include "core/guard_texts.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
void FormUpdate::CmdUpdate_Click() {
  const LogAtEnd log_at_end(log_, sInstallDir_, UpdateRecordPath(sInstallDir_));
  ResumeNext([&] { window().SetBusyReason(guard_text::BusyReason(guard_text::kUpdate)); });
  ClickState click;
  RunUpdateSequence(click);
  record_.NameSetAsideFoldersAtEnd(click, messages_.last());
}

void FormUpdate::RunUpdateSequence(ClickState& click) {
  if (!preconditions_.InstallationFound(guard_text::kUpdate, sInstallDir_) || !preconditions_.PackageUsable()) return;
  // An interrupted update is finished from its own backup instead.
  const InterruptedUpdate interrupted = CheckInterruptedUpdate(click);
  if (interrupted == InterruptedUpdate::kStop) return;
  if (interrupted == InterruptedUpdate::kFinish) {
    log_.BeginUpdate(UpgradeLogEntry::Kind::kFinish, sBackupDir_ + u"\\Brevak.exe");
    log_.NoteBackup(sBackupDir_, prompt::FinishBackupPurpose());
  }
  SHFILEOPSTRUCT request;
  if (interrupted == InterruptedUpdate::kNone && !BackUpInstallation(request)) return;
  if (interrupted == InterruptedUpdate::kFinish && !SavePresentData(click)) return;
  ResumeNext([&] { window().DoEvents(); });
  if (!CopyPackage(click)) return;
  ResumeNext([&] { window().DoEvents(); });
  MigrateData(click);
}

// The checks come first, then the backup, then the record that names it.
bool FormUpdate::BackUpInstallation(SHFILEOPSTRUCT& request) {
  if (!checks_.PassChecksBefore(CheckedRun::kNewUpdate, sInstallDir_)) return false;
  if (!NameBackupFolder()) return false;
  // No database file is held open while the copies write over it.
  ResumeNext([&] { CloseConnIfOpen(); });

  log_.BeginUpdate(UpgradeLogEntry::Kind::kUpdate, sInstallDir_ + u"\\Brevak.exe");
  // The folder is made, then named in the journal, then copied into: a run
  // that ends inside the copy leaves a folder the next run removes by name.
  if (!folders_.Make(sBackupDir_, kUpdateNotMade, kUpdateButton)) return false;
  const std::u16string name = sBackupDir_.substr(sInstallDir_.size());
  if (!folders_.BeginCopyInto(sInstallDir_, sBackupDir_, [&] { journal_.BeginUpdateBackup(name); }, kUpdateNotMade,
                              kUpdateButton)) {
    return false;
  }
  request.pFrom = CopyRequests::BackupSourceList(sInstallDir_);
  request.pTo = sBackupDir_ + u"\\";
  request.fFlags = kBackupFlags;
  // An incomplete backup ends the update: nothing may overwrite the data
  // that it failed to save.
  if (!RunBackupRequest(request, sBackupDir_, /*finishing=*/false)) return false;
  log_.NoteBackup(sBackupDir_, prompt::UpdateBackupPurpose());
  return record_.RecordUpdateInProgress(sInstallDir_, sBackupDir_);
}

// The half-moved installation may hold work entered since the update was
// interrupted: it is saved whole before the package replaces it, while
// sBackupDir keeps naming the recorded backup the migration reads.
// Data just as the last attempt left it holds nothing the backup and the
// folders saved before lack: it is not saved once more.
bool FormUpdate::SavePresentData(ClickState& click) {
  if (record_.PresentDataAsLastAttemptLeft(sInstallDir_, click)) return true;
  click.saved_dir = folders_.NameNew(sInstallDir_);
  if (click.saved_dir.empty() || !folders_.Make(click.saved_dir, kUpdateNotFinished, kUpdateButton)) return false;
  // The save names the update it saves for, as proved (an earlier form's
  // databases by digest); a record gone since is told after the copy.
  const RecordReading reading = record_.Read(sInstallDir_);
  const std::u16string name = click.saved_dir.substr(sInstallDir_.size());
  if (reading.record && reading.record->kind == UpdateRecord::Kind::kUpdate &&
      !folders_.BeginCopyInto(sInstallDir_, click.saved_dir,
                              [&] { journal_.BeginSave(CarriedUpdateOf(*reading.record), name); },
                              kUpdateNotFinished, kUpdateButton)) {
    return false;
  }
  ResumeNext([&] { CloseConnIfOpen(); });
  SHFILEOPSTRUCT request;
  request.pFrom = CopyRequests::BackupSourceList(sInstallDir_);
  request.pTo = click.saved_dir + u"\\";
  request.fFlags = kBackupFlags;
  if (!RunBackupRequest(request, click.saved_dir, /*finishing=*/true)) return false;
  log_.NoteBackup(click.saved_dir, prompt::SavedBeforeFinishPurpose());
  return record_.RecordSavedFolder(sInstallDir_, sBackupDir_, click);
}

// A package copy that did not complete leaves the record: the next
// 开始更新 finishes the update from its backup.
bool FormUpdate::CopyPackage(const ClickState& click) {
  SHFILEOPSTRUCT request;
  request.pFrom = copies_.PackageSourceList();
  request.pTo = sInstallDir_;
  request.fFlags = kOverwriteFlags;
  if (copies_.RunCopyRequest(request, /*stop_when_aborted=*/false)) return true;
  const std::u16string message = prompt::PackageCopyFailed(sBackupDir_, InProgressRecord::SavedFolders(click),
                                                           InProgressRecord::GivenUpLine(click));
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
  // The journal's copy state ends with its folder; a folder that could not
  // be removed stays named, for the next run.
  folders_.EndFailedCopy(folder);
  if (!outcome.not_made) {
    ResumeNext([&] { window().MsgBox(prompt::BackupFailed(finishing, CopyRequests::CopyFailureText(outcome)), MsgBoxButtons::kOkOnly); });
  }
  return false;
}

}  // namespace brevak
