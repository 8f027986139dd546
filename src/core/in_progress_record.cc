// The in-progress record's questions and transitions: an update or a
// restore is recorded once its backup is complete, and an interrupted one
// is finished, given up or undone from that backup.
#include "core/in_progress_record.h"

#include "core/record_path.h"
#include "core/vb_text.h"

namespace brevak {
// A record that is not believed is never followed. Set aside (kept for
// support), it lets a normal run go on with its own backup, and every last
// message of that run names the folders the question named; No changes
// nothing.
bool InProgressRecord::SetAside(const std::u16string& install_dir, const RecordReading& reading,
                                ClickState& click) {
  const std::u16string question =
      UntrustedRecordQuestion(reading.problem, InWords(reading.folders), UpdateRecordPath(install_dir));
  int answer = vbNo;
  ResumeNext([&] { answer = window_.MsgBox(question, MsgBoxButtons::kYesNo); });
  if (answer != vbYes) return false;
  // Named as a backup folder is, only for its stamp.
  const std::u16string stamped = folders_.Stamped(install_dir).value_or(install_dir);
  const std::u16string aside = UpdateRecordPath(install_dir) + u".damaged-" + stamped.substr(install_dir.size());
  try {
    journal_.SetAside(aside);
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(RecordNotSetAsideMessage(e.description()), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  click.record_set_aside = true;
  click.set_aside_folders = reading.folders;
  return true;
}

// However the run ends, its last message names the folders of a record it
// set aside: the shop's rows may be there and nowhere else.
void InProgressRecord::NameSetAsideFoldersAtEnd(const ClickState& click, const std::u16string& last_message) {
  if (!click.record_set_aside) return;
  const std::u16string line = SetAsideRecordLine(InWords(click.set_aside_folders));
  if (last_message.find(line) != std::u16string::npos) return;
  ResumeNext([&] { window_.MsgBox(line, MsgBoxButtons::kOkOnly); });
}

void InProgressRecord::TellNewerToolRecord(const std::u16string& install_dir, const RecordReading& reading) {
  ResumeNext([&] {
    window_.MsgBox(NewerToolRecordMessage(InWords(reading.folders), UpdateRecordPath(install_dir)),
                   MsgBoxButtons::kOkOnly);
  });
}

bool InProgressRecord::AskToFinish(const std::u16string& install_dir, const UpdateRecord& record,
                                   const ClickState& click) {
  // Whether the data changed since is told by content: a clock or a time
  // zone that moved changes nothing. Unreadable counts as changed.
  bool unchanged = false;
  if (!record.after_files.empty()) {
    try {
      unchanged = folders_.DatabaseDigests(install_dir) == record.after_files;
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
  ResumeNext([&] { answer = window_.MsgBox(question, MsgBoxButtons::kYesNo); });
  return answer == vbYes;
}

// Giving up removes the record only: the backup folder stays, and the
// normal update that follows makes its own backup.
bool InProgressRecord::AskToGiveUp(const std::u16string& install_dir, const UpdateRecord& record,
                                   ClickState& click) {
  const std::u16string question =
      GiveUpQuestion(InWords({record.backup}),
                     record.saved.empty() ? std::vector<NamedFolder>{} : InWords(click.SavedFolders()));
  int answer = vbNo;
  ResumeNext([&] { answer = window_.MsgBox(question, MsgBoxButtons::kYesNo); });
  if (answer != vbYes) return false;
  try {
    journal_.End();
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(GiveUpNotMadeMessage(InWords({record.backup}), e.description(), UpdateRecordPath(install_dir)),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  click.given_up_dir = record.backup;
  return true;
}

std::u16string InProgressRecord::GivenUpLine(const ClickState& click) {
  std::u16string line;
  if (!click.given_up_dir.empty()) {
    line = GivenUpDataLine(click.given_up_dir);
    if (!click.earlier_saved.empty()) line += SavedEarlierLine(InWords(click.SavedFolders()));
  }
  if (click.record_set_aside) line += vb::vbCrLf + SetAsideRecordLine(InWords(click.set_aside_folders));
  return line;
}

std::u16string InProgressRecord::SavedFolders(const ClickState& click) { return NameList(click.SavedFolders()); }

// A run that is interrupted after this save must let the next one name the
// folder: the work entered since the update is only there. A record that
// is gone, cannot be read or no longer proves itself stops the run before
// anything is replaced: finishing unrecorded would leave nothing to name
// the saved folder.
bool InProgressRecord::RecordSavedFolder(const std::u16string& install_dir, const std::u16string& backup,
                                         const ClickState& click) {
  RecordReading reading = Read(install_dir);
  // The save under way names the update it saves for: that update, proved
  // again, is what the saved folder is noted in.
  if (reading.unfinished_copy && reading.unfinished_copy->kind == UpdateRecord::Kind::kUpdateSave) {
    UpdateRecord update = *reading.unfinished_copy->unfinished_update;
    if (const std::u16string problem = Prove(install_dir, update); problem.empty()) {
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
      window_.MsgBox(SavedButRecordLostMessage(reason, InWords({click.saved_dir}), InWords({backup}),
                                                UpdateRecordPath(install_dir)),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
  try {
    journal_.NoteSaved(CarriedUpdateOf(*reading.record), click.saved_dir);
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(ProgressNotNotedMessage(e.description(), UpdateStopsAfterSaving(),
                                             FolderListText(InWords({click.saved_dir}))),
                      MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// The record names the backup folder and how the backup wrote its
// databases, so that a run interrupted from here on is finished from this
// backup. Without it the run must not go on.
bool InProgressRecord::Write(const std::function<void()>& transition, const std::u16string& what_stops,
                             const std::u16string& folder) {
  try {
    transition();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(ProgressNotNotedMessage(e.description(), what_stops, FolderListText(InWords({folder}))),
                     MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

// The digests are taken after the backup, from the backup's own files.
std::optional<UpdateRecord> InProgressRecord::New(const std::u16string& install_dir, UpdateRecord::Kind kind,
                                                  const std::u16string& backup, const std::u16string& what_stops) {
  UpdateRecord record;
  record.kind = kind;
  record.backup = backup;
  record.started = backup.substr(install_dir.size());
  try {
    record.backup_files = folders_.DatabaseDigests(backup);
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(ProgressNotNotedMessage(e.description(), what_stops, FolderListText(InWords({backup}))),
                     MsgBoxButtons::kOkOnly);
    });
    return std::nullopt;
  }
  return record;
}

// When the update cannot be recorded, its backup is whole and is kept as
// the message says.
bool InProgressRecord::RecordUpdateInProgress(const std::u16string& install_dir, const std::u16string& backup) {
  const std::u16string what_stops = UpdateStopsAfterBackup();
  const std::optional<UpdateRecord> record = New(install_dir, UpdateRecord::Kind::kUpdate, backup, what_stops);
  const bool recorded =
      record && Write([&] { journal_.BeginUpdate(std::get<UpdateInProgress>(JournalStateOf(*record))); },
                            what_stops, record->backup);
  if (!recorded) folders_.DropCopyState();
  return recorded;
}

// The record stays, so that the next 开始更新 retries from the same backup;
// it keeps how the databases stand now, so that the question can tell
// whether work was entered since.
// When it cannot be read or rewritten, it stays as the update began it: the
// next question then says that work entered since would be replaced, which
// holds either way, and the migration's own message follows.
void InProgressRecord::RecordUpdateEnded(const std::u16string& install_dir, const TablesLeft& why) {
  const RecordReading reading = Read(install_dir);
  if (!reading.record) return;
  const CarriedUpdate update = CarriedUpdateOf(*reading.record);
  ResumeNext([&] { journal_.EndWithTablesLeft(update, folders_.DatabaseDigests(install_dir), why); });
}

void InProgressRecord::TellRetryWillNotHelp(const UpdateRecord& record) {
  std::vector<std::u16string> tables;
  for (const auto& [table, reason] : record.failed_tables) tables.push_back(table);
  const std::u16string reason = record.failed_tables.empty() ? u"" : record.failed_tables.front().second;
  ResumeNext([&] {
    window_.MsgBox(RetryWillNotHelpMessage(tables, reason, InWords({record.backup}), InWords(record.saved)),
                    MsgBoxButtons::kOkOnly);
  });
}

bool InProgressRecord::PresentDataAsLastAttemptLeft(const std::u16string& install_dir, const ClickState& click) {
  if (click.last_attempt_left.empty()) return false;
  try {
    return folders_.DatabaseDigests(install_dir) == click.last_attempt_left;
  } catch (const RunTimeError&) {
    return false;  // unreadable counts as changed: it is saved
  }
}

// After an update whose every table moved, a record that cannot be removed
// is said: the data is whole, but the record may ask again.
bool InProgressRecord::End(const std::u16string& install_dir) {
  try {
    journal_.End();
    return true;
  } catch (const RunTimeError& e) {
    ResumeNext([&] {
      window_.MsgBox(RecordNotRemovedMessage(UpdateRecordPath(install_dir), e.description()), MsgBoxButtons::kOkOnly);
    });
    return false;
  }
}

std::optional<RecordReading> InProgressRecord::ReadEndingUnfinishedCopy(const std::u16string& install_dir) {
  RecordReading reading = Read(install_dir);
  if (!reading.unfinished_copy) return reading;
  if (!folders_.EndUnfinishedCopy(install_dir, *reading.unfinished_copy)) return std::nullopt;
  return Read(install_dir);
}

}  // namespace brevak
