#ifndef BREVAK_CORE_FORM_UPDATE_H_
#define BREVAK_CORE_FORM_UPDATE_H_

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/backup_folders.h"
#include "core/checks_before_run.h"
#include "core/click_state.h"
#include "core/copy_requests.h"
#include "core/in_progress_record.h"
#include "core/journal.h"
#include "core/log_at_end.h"
#include "core/mod_copy.h"
#include "core/preconditions.h"
#include "core/record_path.h"
#include "core/record_texts.h"
#include "core/shown_messages.h"
#include "core/table_mover.h"
#include "core/update_record.h"
#include "core/upgrade_log.h"
#include "core/upgrade_log_observer.h"
#include "platform/platform.h"

namespace brevak {

// The first restore of a chain of interrupted restores and put-backs: what
// a put-back copies back, and what a restore again copies.
struct RestoreChain {
  std::u16string safety;  // the data from before the chain
  std::u16string entry;   // the entry the chain's first restore copied back
};

// The update window: its state, its load and unload steps, and every
// handler and private procedure of the upgrade, the history and the restore.
// Its members live in one file per stage, named after the stage.
class FormUpdate : public FormEvents {
 public:
  // REQUIRES: platform.window is set.
  explicit FormUpdate(Platform& platform) : platform_(platform) {}

  // Start (form_update.cc) and history (form_update_history.cc).
  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;
  void CmdClose_Click() override;
  void cmdGetHistory_Click() override;
  void ListDir_Click() override;
  // The update sequence (form_update_sequence.cc).
  void CmdUpdate_Click() override;
  // The restore with its own backup (form_update_restore.cc).
  void CmdRestore_Click() override;

  // The window's state, living as long as the window.
  const std::u16string& sInstallDir() const { return sInstallDir_; }
  const std::u16string& sBackupDir() const { return sBackupDir_; }
  const std::u16string& sDataFile() const { return sDataFile_; }
  // The connection, or null once released.
  Connection* Conn() const { return Conn_.get(); }

  // True when the package's main program is newer than the installed one,
  // and when the two cannot be compared.
  bool CompVer();
  // The restore button's label for a list entry: its date and time in words.
  static std::u16string SplitDir(const std::u16string& sDir);
  // "0" in front of a one-character text.
  static std::u16string Add0(const std::u16string& txt);

 private:
  // --- Start, and what every stage shares (form_update.cc).
  // The window, keeping the last message shown for the upgrade log.
  WindowSystem& window() { return messages_; }
  // Conn, or run-time error 91 when it holds nothing.
  Connection& conn();
  void CloseConnIfOpen();

  // --- History (form_update_history.cc).
  // `hidden`: a subfolder name not listed.
  void SeachFile(std::u16string strPath, const std::u16string& hidden = u"");

  // --- Naming a backup folder (form_update_checks.cc).
  // Names the update's backup folder (sBackupDir), one that does not exist
  // yet; false, after telling the user, when none comes free.
  bool NameBackupFolder();

  // --- The update sequence and its copy requests (form_update_sequence.cc).
  // CmdUpdate_Click's steps, from the unfinished update to the migration.
  void RunUpdateSequence(ClickState& click);
  // A new update up to its recorded backup. False ends the update.
  bool BackUpInstallation(SHFILEOPSTRUCT& request);
  // Finishing an interrupted update first saves the half-moved
  // installation into a new folder (the click's saved_dir). False ends it.
  bool SavePresentData(ClickState& click);
  // The package request; false, after saying where the data is, when the
  // migration must not run.
  bool CopyPackage(const ClickState& click);
  // Runs a backup request into `folder`; a backup that did not complete
  // leaves no folder behind, nor a journal state naming it. False ends the
  // handler.
  bool RunBackupRequest(SHFILEOPSTRUCT& request, const std::u16string& folder, bool finishing);

  // --- The data migration (form_update_migration.cc): the table mover
  // moves each table, the window answers and the bar advances.
  void MigrateData(const ClickState& click);
  // Advances the bar and moves one table of the customer database; false
  // when the backup's database lacks the table.
  bool ReData(const std::u16string& TabName);

  // --- What an update's click does with the in-progress record
  // (form_update_record.cc; the record itself: in_progress_record.h).
  enum class InterruptedUpdate { kNone, kFinish, kStop };
  // kFinish sets sBackupDir to the recorded backup.
  InterruptedUpdate CheckInterruptedUpdate(ClickState& click);
  // The restore button's label when it names the selected backup, else empty.
  std::u16string RestoreButtonOnScreen();

  // --- The restore with its own backup (form_update_restore.cc).
  // CmdRestore_Click's steps: an interrupted restore first, then the entry.
  void RunRestore(ClickState& click);
  // Restores one entry of the installation folder, recorded, after its
  // safety backup. An unfinished update's record (or null) travels in the
  // restore's record; once the restore has gone through, it is the record
  // again when `back_to_update` (the installation holds that update's
  // half-finished data once more), else no record is left.
  // Returns the safety folder when the restore went through, else empty.
  // `interrupted`: the interrupted restore this one follows up, or null;
  // `chain` names the first restore of the chain this one follows up
  // (empty: none), kept in the record until a restore goes through.
  std::u16string RestoreEntry(ClickState& click, const std::u16string& entry,
                              const std::shared_ptr<const UpdateRecord>& unfinished_update, bool back_to_update,
                              const UpdateRecord* interrupted = nullptr, const RestoreChain& chain = {});
  // The folder to restore from is there and holds a database; false,
  // after telling the user, when it does not.
  bool RestoreSourceHoldsData(const std::u16string& entry, const std::u16string& source);
  // Backs up the files a restore will replace into `folder`. False, after
  // telling the user why, when the restore must not go on; a backup that
  // failed leaves neither its folder nor a journal state naming it (one
  // that cannot be removed stays named, for the next run).
  bool BackUpBeforeRestore(const std::u16string& folder);
  // Ends the record of a restore that went through; `put_back`: the restore
  // put back what an interrupted one replaced.
  void EndRestore(ClickState& click, const std::u16string& entry, const std::u16string& safety,
                  const std::shared_ptr<const UpdateRecord>& unfinished_update, bool put_back = false);
  // An interrupted restore: put back what it replaced, or restore again.
  void OfferInterruptedRestore(const UpdateRecord& record, ClickState& click);


  Platform& platform_;
  ShownMessages messages_{platform_};
  // The upgrade log's entry of the running handler, which the table mover
  // tells what became of each table.
  UpgradeLogObserver log_{platform_, messages_};
  TableMover mover_{log_};
  // The only writer of the in-progress record; each handler reads it first.
  Journal journal_{*platform_.durable_files};
  BackupFolders folders_{platform_, window(), journal_};
  InProgressRecord record_{platform_, window(), journal_, folders_};
  CopyRequests copies_{platform_, messages_};
  Preconditions preconditions_{platform_, messages_};
  ChecksBeforeRun checks_{platform_, messages_, preconditions_, copies_,
                          {[this] { return CompVer(); }, [this] { CloseConnIfOpen(); }}};
  std::u16string sInstallDir_;
  std::u16string sBackupDir_;
  std::u16string sDataFile_;
  std::unique_ptr<Connection> Conn_;
};

// The table list of the customer database, in the order the migration
// moves it. RepairCase stands twice, at 17 and 25.
extern const std::array<const char16_t*, 29> kCustomerTables;
// The address book's tables.
extern const std::array<const char16_t*, 3> kAddressBookTables;

}  // namespace brevak

#endif  // BREVAK_CORE_FORM_UPDATE_H_
