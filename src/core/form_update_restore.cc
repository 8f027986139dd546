// The restore: the chosen folder's files go back over the installation,
// after the files they replace are saved into a new dated folder, with a
// record while the copy runs.
#include "core/form_update.h"
#include "core/guard_texts.h"
#include "core/jet_database.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

std::u16string LastComponent(const std::u16string& path) {
  const size_t cut = path.find_last_of(u'\\');
  return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

// What becomes of an unfinished update after a restore: a line for the
// last message (it is still to be finished, or given up), empty when no
// update was unfinished.
std::u16string UnfinishedUpdateLine(const std::shared_ptr<const UpdateRecord>& update, bool still_unfinished) {
  if (!update) return u"";
  return prompt::UnfinishedUpdateLine(FolderListText(InWords({update->backup})), still_unfinished);
}

// The first restore of the chain an interrupted restore's record belongs
// to (the record's own safety folder and entry when it names none).
RestoreChain ChainOf(const UpdateRecord& record) {
  if (record.chain_backup.empty()) return {record.backup, record.restored};
  return {record.chain_backup, record.chain_restored};
}

}  // namespace

// An interrupted restore is dealt with first; then the chosen entry. An
// update left unfinished travels in the restore's record: when the restore
// goes through, that update is given up (its data stays in its backup and
// in the restore's); when it does not, the update is still to be finished.
void FormUpdate::CmdRestore_Click() {
  const LogAtEnd log_at_end(log_, sInstallDir_, UpdateRecordPath(sInstallDir_));
  ResumeNext([&] { window().SetBusyReason(guard_text::BusyReason(guard_text::kRestore)); });
  ClickState click;
  RunRestore(click);
  record_.NameSetAsideFoldersAtEnd(click, messages_.last());
}

void FormUpdate::RunRestore(ClickState& click) {
  if (!preconditions_.InstallationFound(guard_text::kRestore, sInstallDir_)) return;
  const std::optional<RecordReading> read = record_.ReadEndingUnfinishedCopy(sInstallDir_);
  if (!read) return;
  const RecordReading& reading = *read;
  if (reading.newer) {
    record_.TellNewerToolRecord(sInstallDir_, reading);
    return;
  }
  if (!reading.problem.empty() && !record_.SetAside(sInstallDir_, reading, click)) return;
  if (reading.record && reading.record->kind == UpdateRecord::Kind::kRestore) {
    OfferInterruptedRestore(*reading.record, click);
    return;
  }
  if (window().ListIndex() < 0) {
    window().MsgBox(u"请点击左侧列表选择需要恢复的数据", MsgBoxButtons::kOkOnly);
    return;
  }
  if (!preconditions_.ConfirmRestoreOf(sInstallDir_, window().List(window().ListIndex()))) return;
  std::shared_ptr<const UpdateRecord> unfinished_update;
  if (reading.record) unfinished_update = std::make_shared<const UpdateRecord>(*reading.record);
  const std::u16string safety = RestoreEntry(click, window().List(window().ListIndex()), unfinished_update, false);
  if (click.restore_not_ended) return;
  if (!unfinished_update) {
    // A plain restore says nothing when it goes through, unless a record
    // was set aside on the way: then it speaks, so it names every folder
    // that holds data it replaced, its own safety copy included, and the
    // set-aside record's folders once more.
    if (!safety.empty() && click.record_set_aside) {
      ResumeNext([&] {
        window().MsgBox(RestoreAfterSetAsideMessage(InWords({safety}).front(), InWords(click.set_aside_folders)),
                        MsgBoxButtons::kOkOnly);
      });
    }
    return;
  }
  ResumeNext([&] {
    if (safety.empty()) {
      window().MsgBox(UnfinishedUpdateLine(unfinished_update, true), MsgBoxButtons::kOkOnly);
    } else {
      window().MsgBox(prompt::RestoreDone(FolderListText(InWords({safety})), UnfinishedUpdateLine(unfinished_update, false)),
                      MsgBoxButtons::kOkOnly);
    }
  });
}

// The connection is closed first so that a database file can be replaced,
// nothing is copied over a database another program is using, and the
// files it replaces are backed up first so that it can be undone. A
// successful restore replaces the installation's data, so no record of an
// update or a restore is left to finish, unless it put back the data of an
// update still to be finished.
std::u16string FormUpdate::RestoreEntry(ClickState& click, const std::u16string& entry,
                                        const std::shared_ptr<const UpdateRecord>& unfinished_update,
                                        bool back_to_update, const UpdateRecord* interrupted,
                                        const RestoreChain& chain) {
  if (!RestoreSourceHoldsData(entry, sInstallDir_ + entry)) return u"";
  if (!checks_.PassChecksBefore(CheckedRun::kRestore, sInstallDir_, entry)) return u"";
  const std::u16string source = sInstallDir_ + u"\\" + entry;
  // Named as an update names its backup; sBackupDir keeps naming the last
  // update's backup, from which that update's migration read.
  const std::u16string safety = folders_.NameNew(sInstallDir_, RestoreButtonOnScreen(), true);
  if (safety.empty()) return u"";  // the user has been told why
  log_.BeginRestore(sInstallDir_, entry);
  // Made, named, then copied into, as an update's backup.
  const std::u16string button = SplitDir(entry);
  if (!folders_.Make(safety, kRestoreNotMade, button)) return u"";
  RestoreSafetyCopy copy{safety.substr(sInstallDir_.size()), entry, std::nullopt, std::nullopt};
  if (unfinished_update) copy.carried = CarriedUpdateOf(*unfinished_update);
  if (interrupted) copy.interrupted = std::get<RestoreCopying>(JournalStateOf(*interrupted));
  if (!folders_.BeginCopyInto(sInstallDir_, safety, [&] { journal_.BeginSafetyCopy(copy); }, kRestoreNotMade, button)) {
    return u"";
  }
  if (!BackUpBeforeRestore(safety)) return u"";
  const std::u16string what_stops = prompt::RestoreStops();
  std::optional<UpdateRecord> record = record_.New(sInstallDir_, UpdateRecord::Kind::kRestore, safety, what_stops);
  if (record) {
    record->restored = entry;
    record->chain_backup = chain.safety;
    record->chain_restored = chain.entry;
    record->unfinished_update = unfinished_update;
  }
  if (!record ||
      !record_.Write([&] { journal_.BeginRestore(std::get<RestoreCopying>(JournalStateOf(*record))); }, what_stops,
                   record->backup)) {
    folders_.DropCopyState();  // the safety copy is whole: it stays, as the message says
    return u"";
  }
  SHFILEOPSTRUCT request;
  request.pFrom = SourceList({source + u"\\*.*"});
  request.pTo = sInstallDir_ + u"\\";
  request.fFlags = kOverwriteFlags;
  const CopyOutcome outcome = copies_.MakeCopyRequest(request);
  // The restore has no handling of its own: a request that cannot be made
  // ends the program with its run-time error (the record reports it next
  // time).
  if (outcome.not_made) throw *outcome.not_made;
  copies_.ReportCopyOutcome(outcome);
  log_.NoteRestoreResult(outcome.Succeeded(), CopyRequests::CopyFailureText(outcome));
  if (outcome.Succeeded()) {
    EndRestore(click, entry, safety, unfinished_update, back_to_update);
    return safety;
  }
  ResumeNext([&] {
    window().MsgBox(prompt::RestoreCopyFailed(source, CopyRequests::CopyFailureText(outcome),
                                              FolderListText(InWords({chain.safety.empty() ? safety : chain.safety})),
                                              RestoreButtonOnScreen()),
                    MsgBoxButtons::kOkOnly);
  });
  return u"";
}

// 是 copies back what the chain of interrupted restores replaced first
// (from the first restore's safety backup), 否 restores the entry the first
// restore was for again; each is a restore of its own, with its own safety
// backup, and keeps the chain's first restore in its record until one goes
// through: a put-back or a restore interrupted in its turn must never make
// the half-restored data the one to put back. 取消 changes nothing. An
// update the interrupted restore found unfinished is unfinished again
// after 是.
void FormUpdate::OfferInterruptedRestore(const UpdateRecord& record, ClickState& click) {
  const RestoreChain chain = ChainOf(record);
  const std::u16string question = prompt::InterruptedRestoreQuestion(FolderListText(InWords({chain.safety})), chain.entry);
  int answer = vbCancel;
  ResumeNext([&] { answer = window().MsgBox(question, MsgBoxButtons::kYesNoCancel); });
  if (answer == vbCancel) return;
  const bool back_to_update = answer == vbYes;
  click.interrupted_restore_safety = chain.safety;
  const std::u16string safety = RestoreEntry(click, back_to_update ? LastComponent(chain.safety) : chain.entry,
                                             record.unfinished_update, back_to_update, &record, chain);
  if (click.restore_not_ended) return;
  // A question was asked, so the end is said too, with every folder that
  // holds data this run or the interrupted one replaced.
  ResumeNext([&] {
    if (safety.empty()) {
      if (record.unfinished_update) {
        window().MsgBox(UnfinishedUpdateLine(record.unfinished_update, true), MsgBoxButtons::kOkOnly);
      }
      return;  // nothing restored, and the user has been told why
    }
    const std::u16string update_line = UnfinishedUpdateLine(record.unfinished_update, back_to_update);
    window().MsgBox(prompt::InterruptedRestoreDone(FolderListText(InWords({safety})),
                                                   FolderListText(InWords({chain.safety})), update_line), MsgBoxButtons::kOkOnly);
  });
}

// A folder deleted or emptied of its databases after it was chosen is
// refused before the safety copy: nothing is replaced and no restore is
// recorded.
bool FormUpdate::RestoreSourceHoldsData(const std::u16string& entry, const std::u16string& source) {
  const bool gone = !folders_.FolderExists(source);
  const bool holds_data =
      !gone && (folders_.FileExists(source + u"\\" + kCustomerDatabase) || folders_.FileExists(source + u"\\" + kAddressBook));
  if (holds_data) return true;
  ResumeNext([&] { window().MsgBox(guard_text::RestoreSourceMissing(entry, gone), MsgBoxButtons::kOkOnly); });
  return false;
}

// A restore that went through ends its record; one that put back an
// unfinished update's data makes the record that update's again. When the
// record cannot be changed it stays a restore's, and the next click asks
// about an interrupted restore: the message says so (no message that the
// restore is done follows), names every folder the record names, and says
// which answer keeps the data.
void FormUpdate::EndRestore(ClickState& click, const std::u16string& entry, const std::u16string& safety,
                            const std::shared_ptr<const UpdateRecord>& unfinished_update, bool put_back) {
  try {
    if (put_back && unfinished_update) {
      journal_.ReturnToUpdate(CarriedUpdateOf(*unfinished_update));
    } else {
      journal_.End();
    }
  } catch (const RunTimeError& e) {
    std::vector<std::u16string> earlier;
    if (!click.interrupted_restore_safety.empty()) earlier.push_back(click.interrupted_restore_safety);
    if (unfinished_update && earlier != std::vector{unfinished_update->backup}) {
      earlier.push_back(unfinished_update->backup);
    }
    click.restore_not_ended = true;
    ResumeNext([&] {
      window().MsgBox(RestoreNotEndedMessage(entry, InWords({safety}), InWords(earlier), e.description(),
                                             UpdateRecordPath(sInstallDir_), put_back, RestoreButtonOnScreen()),
                      MsgBoxButtons::kOkOnly);
    });
  }
}

// The restore's backup is taken like an update's, into a folder of its own
// that the history then lists; when it cannot be made whole, nothing is
// restored.
bool FormUpdate::BackUpBeforeRestore(const std::u16string& folder) {
  SHFILEOPSTRUCT request;
  request.pFrom = CopyRequests::BackupSourceList(sInstallDir_);
  request.pTo = folder + u"\\";
  request.fFlags = kBackupFlags;
  const std::u16string failure = CopyRequests::CopyFailureText(copies_.MakeCopyRequest(request));
  if (failure.empty()) {
    log_.NoteBackup(folder, prompt::RestoreBackupPurpose());
    return true;
  }
  folders_.EndFailedCopy(folder);
  window().MsgBox(prompt::RestoreBackupFailed(failure), MsgBoxButtons::kOkOnly);
  return false;
}

// After a click on the list the restore button carries the selected
// backup's date; before one, its label may name any folder.
std::u16string FormUpdate::RestoreButtonOnScreen() {
  std::u16string label;
  ResumeNext([&] {
    if (window().ListIndex() >= 0) label = SplitDir(window().List(window().ListIndex()));
  });
  return label;
}

}  // namespace brevak
