#ifndef BREVAK_CORE_UPGRADE_LOG_OBSERVER_H_
#define BREVAK_CORE_UPGRADE_LOG_OBSERVER_H_

#include <optional>
#include <string>

#include "core/shown_messages.h"
#include "core/table_mover.h"
#include "core/upgrade_log.h"
#include "platform/platform.h"

// The upgrade log's entry for the handler that runs: it begins when the
// handler is about to change data files, takes in the handler's notes (the
// backups it made, a restore's result) and the table mover's events, and
// is written when the handler ends. Nothing here may stop or change the
// handler.
namespace brevak {

class UpgradeLogObserver : public MigrationEvents {
 public:
  // `messages`: the window the handlers use, which keeps the last message.
  UpgradeLogObserver(Platform& platform, ShownMessages& messages) : platform_(platform), messages_(messages) {}

  // A handler starts: no entry, no message shown yet.
  void Forget();
  // The run is about to change data files: from here on it is logged.
  // The installed version is read from `installed_program`, the new one
  // from the package's.
  void BeginUpdate(UpgradeLogEntry::Kind kind, const std::u16string& installed_program);
  // The restore of the list entry `entry` of `install_dir` is about to
  // change data files.
  void BeginRestore(const std::u16string& install_dir, const std::u16string& entry);
  // `failure`: why the restore's copy did not complete, when it did not.
  void NoteRestoreResult(bool succeeded, const std::u16string& failure);
  // A backup folder of this run and what it holds now.
  void NoteBackup(const std::u16string& folder, const std::u16string& purpose);

  // A table listed twice (RepairCase) has moved when either pass moved it.
  void TableMoved(const std::u16string& table, const RowCounts& rows) override;
  void TableNotMoved(const std::u16string& table, const std::u16string& reason) override;
  void TableAbsent(const std::u16string& table) override;

  // Appends the entry begun, if any, to the log of `install_dir`; whether
  // the in-progress record at `record_path` is left is read now.
  void Write(const std::u16string& install_dir, const std::u16string& record_path, bool ended_by_error);

 private:
  Platform& platform_;
  ShownMessages& messages_;
  std::optional<UpgradeLogEntry> entry_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_UPGRADE_LOG_OBSERVER_H_
