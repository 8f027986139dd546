// What an update's click does with the in-progress record it finds, and
// what the record keeps when the migration left tables unmoved. Reading,
// proving and writing the record: in_progress_record.h.
#include "core/form_update.h"

namespace brevak {

// kFinish sets sBackupDir to the recorded backup: finishing migrates from
// it, after the present data has been saved into a new folder.
FormUpdate::InterruptedUpdate FormUpdate::CheckInterruptedUpdate(ClickState& click) {
  const std::optional<RecordReading> read = record_.ReadEndingUnfinishedCopy(sInstallDir_);
  if (!read) return InterruptedUpdate::kStop;
  const RecordReading& reading = *read;
  if (reading.newer) {
    record_.TellNewerToolRecord(sInstallDir_, reading);
    return InterruptedUpdate::kStop;
  }
  if (!reading.problem.empty()) {
    return record_.SetAside(sInstallDir_, reading, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
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
    record_.TellRetryWillNotHelp(*reading.record);
    return record_.AskToGiveUp(sInstallDir_, *reading.record, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
  }
  if (record_.AskToFinish(sInstallDir_, *reading.record, click)) {
    if (!checks_.PassChecksBefore(CheckedRun::kFinishing, sInstallDir_)) return InterruptedUpdate::kStop;
    sBackupDir_ = reading.record->backup;
    return InterruptedUpdate::kFinish;
  }
  return record_.AskToGiveUp(sInstallDir_, *reading.record, click) ? InterruptedUpdate::kNone : InterruptedUpdate::kStop;
}

}  // namespace brevak
