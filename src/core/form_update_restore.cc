// The restore: the chosen folder's files go back over the installation,
// after the files they replace are saved into a new dated folder.
#include "core/form_update.h"
#include "core/vb_text.h"

namespace brevak {

// The connection is closed first so that a database file can be replaced,
// nothing is copied over a database another program is using, and the
// files it replaces are backed up first so that it can be undone.
void FormUpdate::CmdRestore_Click() {
  const LogAtEnd log_at_end(*this);
  if (window().ListIndex() < 0) {
    window().MsgBox(u"请点击左侧列表选择需要恢复的数据", MsgBoxButtons::kOkOnly);
    return;
  }
  if (!DatabasesFree()) return;
  BeginRestoreLogEntry(window().List(window().ListIndex()));
  if (!BackUpBeforeRestore()) return;
  SHFILEOPSTRUCT request;
  const std::u16string entry = window().List(window().ListIndex());
  request.pFrom = SourceList({sInstallDir_ + u"\\" + entry + u"\\*.*"});
  request.pTo = sInstallDir_ + u"\\";
  request.fFlags = kOverwriteFlags;
  const CopyOutcome outcome = MakeCopyRequest(request);
  // The restore has no handling of its own: a request that cannot be made
  // ends the program with its run-time error.
  if (outcome.not_made) throw *outcome.not_made;
  ReportCopyOutcome(outcome);
  NoteRestoreResult(outcome);
  if (outcome.Succeeded()) ClearRecordOfRestoredBackup(entry);
}

// The restore's backup is taken like an update's, into a folder of its own
// that the history then lists; when it cannot be made whole, nothing is
// restored.
bool FormUpdate::BackUpBeforeRestore() {
  const std::u16string folder = NameRestoreBackupFolder();
  if (folder.empty()) return false;  // the user has been told why
  SHFILEOPSTRUCT request;
  request.pFrom = BackupSourceList();
  request.pTo = folder + u"\\";
  request.fFlags = kBackupFlags;
  const std::u16string failure = CopyFailureText(MakeCopyRequest(request));
  if (failure.empty()) {
    NoteBackup(folder, u"恢复之前的数据，即这次恢复替换掉的文件");
    return true;
  }
  RemoveFolder(folder);
  window().MsgBox(u"恢复没有进行：恢复之前未能备份现有数据（" + failure + u"）。" + vb::vbCrLf +
                      u"现有数据没有改动。",
                  MsgBoxButtons::kOkOnly);
  return false;
}

// Named as an update names its backup, while sBackupDir keeps naming the
// last update's backup, from which that update's migration read.
std::u16string FormUpdate::NameRestoreBackupFolder() {
  const std::u16string update_backup = sBackupDir_;
  sBackupDir_.clear();
  const std::u16string folder = NameNewBackupFolder() ? sBackupDir_ : u"";
  sBackupDir_ = update_backup;
  return folder;
}

}  // namespace brevak
