// The in-progress record: an update or a restore is recorded once its
// backup is complete, and an interrupted one is finished, given up or
// undone from that backup. A record is trusted only when it proves itself.
#include "core/form_update.h"
#include "core/vb_text.h"

namespace brevak {
// The restore label's date without its frame: 2012年12月25日05时14分22秒.
std::u16string FormUpdate::StampInWords(const std::u16string& stamp) {
  const std::u16string label = SplitDir(stamp);
  return label.substr(2, label.size() - 4);
}

// A record that is not believed is never followed. Set aside (kept for
// support), it lets a normal run go on with its own backup, and every last
// message of that run names the folders the question named; No changes
// nothing.
bool FormUpdate::SetAsideUntrustedRecord(const RecordReading& reading, ClickState& click) {
  const std::u16string question = UntrustedRecordQuestion(reading.problem, InWords(reading.folders), UpdateRecordPath());
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(question, MsgBoxButtons::kYesNo); });
  if (answer != vbYes) return false;
  const std::u16string update_backup = sBackupDir_;
  NameBackupFolder();  // only for its stamp
  const std::u16string aside = UpdateRecordPath() + u".damaged-" + sBackupDir_.substr(sInstallDir_.size());
  sBackupDir_ = update_backup;
  try {
    journal().SetAside(aside);
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(RecordNotSetAsideMessage(e.description()), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  click.record_set_aside = true;
  click.set_aside_folders = reading.folders;
  return true;
}

// However the run ends, its last message names the folders of a record it
// set aside: the shop's rows may be there and nowhere else.
void FormUpdate::NameSetAsideFoldersAtEnd(const ClickState& click) {
  if (!click.record_set_aside) return;
  const std::u16string line = SetAsideRecordLine(InWords(click.set_aside_folders));
  if (messages_.last().find(line) != std::u16string::npos) return;
  ResumeNext([&] { window().MsgBox(line, MsgBoxButtons::kOkOnly); });
}

void FormUpdate::TellNewerToolRecord(const RecordReading& reading) {
  ResumeNext([&] {
    window().MsgBox(NewerToolRecordMessage(InWords(reading.folders), UpdateRecordPath()), MsgBoxButtons::kOkOnly);
  });
}

// kFinish sets sBackupDir to the recorded backup: finishing migrates from
// it, after the present data has been saved into a new folder.
FormUpdate::InterruptedUpdate FormUpdate::CheckInterruptedUpdate(ClickState& click) {
  const std::optional<RecordReading> read = ReadRecordEndingUnfinishedCopy();
  if (!read) return InterruptedUpdate::kStop;
  const RecordReading& reading = *read;
  if (reading.newer) {
    TellNewerToolRecord(reading);
    return InterruptedUpdate::kStop;
  }
  if (!reading.problem.empty()) {
    return SetAsideUntrustedRecord(reading, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
  }
  if (!reading.record) return InterruptedUpdate::kNone;
  if (reading.record->kind == UpdateRecord::Kind::kRestore) {
    OfferInterruptedRestore(*reading.record, click);
    return InterruptedUpdate::kStop;
  }
  click.earlier_saved = reading.record->saved;
  click.last_attempt_left = reading.record->after_files;
  // Tables the engine refused with no cause the tool could find: trying
  // again fails the same way, so it is not offered; giving up still is.
  if (reading.record->retry_will_not_help) {
    TellRetryWillNotHelp(*reading.record);
    return AskToGiveUp(*reading.record, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
  }
  if (AskToFinish(*reading.record, click)) {
    if (!PassChecksBefore(CheckedRun::kFinishing)) return InterruptedUpdate::kStop;
    sBackupDir_ = reading.record->backup;
    return InterruptedUpdate::kFinish;
  }
  return AskToGiveUp(*reading.record, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
}

bool FormUpdate::AskToFinish(const UpdateRecord& record, const ClickState& click) {
  // Whether the data changed since is told by content: a clock or a time
  // zone that moved changes nothing. Unreadable counts as changed.
  bool unchanged = false;
  if (!record.after_files.empty()) {
    try {
      unchanged = DatabaseDigests(sInstallDir_) == record.after_files;
    } catch (const RunTimeError&) {
      unchanged = false;
    }
  }
  const WorkSince since = record.after_files.empty() ? WorkSince::kUnknown
                          : unchanged                 ? WorkSince::kUnchanged
                                                      : WorkSince::kChanged;
  const std::u16string question =
      FinishQuestion(InWords({record.backup}), since,
                     record.saved.empty() ? std::vector<NamedFolder>{} : InWords(click.SavedFolders()));
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(question, MsgBoxButtons::kYesNo); });
  return answer == vbYes;
}

// Giving up removes the record only: the backup folder stays, and the
// normal update that follows makes its own backup.
bool FormUpdate::AskToGiveUp(const UpdateRecord& record, ClickState& click) {
  const std::u16string question =
      GiveUpQuestion(InWords({record.backup}),
                     record.saved.empty() ? std::vector<NamedFolder>{} : InWords(click.SavedFolders()));
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(question, MsgBoxButtons::kYesNo); });
  if (answer != vbYes) return false;
  try {
    journal().End();
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(GiveUpNotMadeMessage(InWords({record.backup}), e.description(), UpdateRecordPath()),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  click.given_up_dir = record.backup;
  return true;
}

std::u16string FormUpdate::GivenUpLine(const ClickState& click) {
  std::u16string line;
  if (!click.given_up_dir.empty()) {
    line = GivenUpDataLine(click.given_up_dir);
    if (!click.earlier_saved.empty()) line += SavedEarlierLine(InWords(click.SavedFolders()));
  }
  if (click.record_set_aside) line += vb::vbCrLf + SetAsideRecordLine(InWords(click.set_aside_folders));
  return line;
}

std::u16string FormUpdate::SavedFolders(const ClickState& click) { return NameList(click.SavedFolders()); }

// A run that is interrupted after this save must let the next one name the
// folder: the work entered since the update is only there. A record that
// is gone, cannot be read or no longer proves itself stops the run before
// anything is replaced: finishing unrecorded would leave nothing to name
// the saved folder.
bool FormUpdate::RecordSavedFolder(const ClickState& click) {
  RecordReading reading = ReadRecord();
  // The save under way names the update it saves for: that update, proved
  // again, is what the saved folder is noted in.
  if (reading.unfinished_copy && reading.unfinished_copy->kind == UpdateRecord::Kind::kUpdateSave) {
    UpdateRecord update = *reading.unfinished_copy->unfinished_update;
    if (const std::u16string problem = ProveRecord(update); problem.empty()) {
      reading.record = std::move(update);
    } else {
      reading.problem = problem;
    }
  }
  if (!reading.record || reading.record->kind != UpdateRecord::Kind::kUpdate) {
    const std::u16string reason = !reading.problem.empty() ? reading.problem
                                  : reading.newer            ? RecordIncompleteReason()
                                                             : RecordGoneReason();
    ResumeNext([&] {
      window().MsgBox(SavedButRecordLostMessage(reason, InWords({click.saved_dir}), InWords({sBackupDir_}),
                                                UpdateRecordPath()),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  try {
    journal().NoteSaved(CarriedUpdateOf(*reading.record), click.saved_dir);
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(ProgressNotNotedMessage(e.description(), UpdateStopsAfterSaving(), FolderListText(InWords({click.saved_dir}))),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// The record names the backup folder and how the backup wrote its
// databases, so that a run interrupted from here on is finished from this
// backup. Without it the run must not go on.
bool FormUpdate::WriteRecord(const std::function<void()>& transition, const std::u16string& what_stops,
                             const std::u16string& folder) {
  try {
    transition();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(ProgressNotNotedMessage(e.description(), what_stops, FolderListText(InWords({folder}))), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// The digests are taken after the backup, from the backup's own files.
std::optional<UpdateRecord> FormUpdate::NewRecord(UpdateRecord::Kind kind, const std::u16string& backup,
                                                  const std::u16string& what_stops) {
  UpdateRecord record;
  record.kind = kind;
  record.backup = backup;
  record.started = backup.substr(sInstallDir_.size());
  try {
    record.backup_files = DatabaseDigests(backup);
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(ProgressNotNotedMessage(e.description(), what_stops, FolderListText(InWords({backup}))), MsgBoxButtons::kOkOnly);
    });
    return std::nullopt;
  }
  return record;
}

// When the update cannot be recorded, its backup is whole and is kept as
// the message says.
bool FormUpdate::RecordUpdateInProgress() {
  const std::u16string what_stops = UpdateStopsAfterBackup();
  const std::optional<UpdateRecord> record = NewRecord(UpdateRecord::Kind::kUpdate, sBackupDir_, what_stops);
  const bool recorded =
      record && WriteRecord([&] { journal().BeginUpdate(std::get<UpdateInProgress>(JournalStateOf(*record))); },
                            what_stops, record->backup);
  if (!recorded) DropCopyState();
  return recorded;
}

// The record stays, so that the next 开始更新 retries from the same backup;
// it keeps how the databases stand now, so that the question can tell
// whether work was entered since.
// When it cannot be read or rewritten, it stays as the update began it: the
// next question then says that work entered since would be replaced, which
// holds either way, and the migration's own message follows.
// It keeps why each table did not move, and whether a retry can help.
void FormUpdate::RecordUpdateEnded(const MigrationOutcome& outcome) {
  const RecordReading reading = ReadRecord();
  if (!reading.record) return;
  const CarriedUpdate update = CarriedUpdateOf(*reading.record);
  TablesLeft why;
  why.retry_will_not_help = !outcome.retry_remedy;
  for (const std::u16string& table : outcome.failed) {
    const auto reason = outcome.reasons.find(table);
    why.reasons.emplace_back(table, reason == outcome.reasons.end() ? outcome.customer_open_error.value_or(u"")
                                                                    : reason->second);
  }
  ResumeNext([&] { journal().EndWithTablesLeft(update, DatabaseDigests(sInstallDir_), why); });
}

void FormUpdate::TellRetryWillNotHelp(const UpdateRecord& record) {
  std::vector<std::u16string> tables;
  for (const auto& [table, reason] : record.failed_tables) tables.push_back(table);
  const std::u16string reason = record.failed_tables.empty() ? u"" : record.failed_tables.front().second;
  ResumeNext([&] {
    window().MsgBox(RetryWillNotHelpMessage(tables, reason, InWords({record.backup}), InWords(record.saved)),
                    MsgBoxButtons::kOkOnly);
  });
}

bool FormUpdate::PresentDataAsLastAttemptLeft(const ClickState& click) {
  if (click.last_attempt_left.empty()) return false;
  try {
    return DatabaseDigests(sInstallDir_) == click.last_attempt_left;
  } catch (const RunTimeError&) {
    return false;  // unreadable counts as changed: it is saved
  }
}

// After an update whose every table moved, a record that cannot be removed
// is said: the data is whole, but the record may ask again.
bool FormUpdate::ClearUpdateRecord() {
  try {
    journal().End();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window().MsgBox(RecordNotRemovedMessage(UpdateRecordPath(), e.description()), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

}  // namespace brevak
