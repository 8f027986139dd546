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
#include "core/click_state.h"
#include "core/in_progress_record.h"
#include "core/journal.h"
#include "core/mod_copy.h"
#include "core/record_path.h"
#include "core/record_texts.h"
#include "core/shown_messages.h"
#include "core/update_record.h"
#include "core/upgrade_log.h"
#include "platform/platform.h"

namespace brevak {

// The runs that make the checks before anything changes; which check each
// makes is the table in form_update_checks.cc.
enum class CheckedRun { kNewUpdate, kFinishing, kRestore };

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
  // The backup folders' answers, for the checks.
  bool FolderExists(const std::u16string& folder);
  bool FileExists(const std::u16string& path);

  // --- History (form_update_history.cc).
  // `hidden`: a subfolder name not listed.
  void SeachFile(std::u16string strPath, const std::u16string& hidden = u"");

  // --- The checks before a run changes anything (form_update_checks.cc).
  // Makes the checks of `run` in its order; `entry` is the list entry a
  // restore copies back. False, after telling the user why, when the run
  // must not go on.
  bool PassChecksBefore(CheckedRun run, const std::u16string& entry = u"");
  // Each check says what is wrong to the user and returns false when the
  // run must not go on.
  bool PassVersionGate();
  // True (after telling the user) when the VirtualStore holds data files.
  bool DataLeftInVirtualStore();
  bool EnoughSpace(CheckedRun run, const std::u16string& entry);
  bool PackageWhole();
  // The problem to tell the user, or the empty text.
  std::u16string DatabaseProblem(const std::u16string& package, const std::u16string& name,
                                 const std::u16string& password);
  // No other program holds the installation's databases.
  bool DatabasesFree();
  // The installation's file another program holds, or the empty text.
  // Closes the tool's own connection first: it is no other user.
  std::u16string FileInUse();
  // Names the update's backup folder (sBackupDir), one that does not exist
  // yet; false, after telling the user, when none comes free.
  bool NameBackupFolder();

  // --- What must hold before an update or a restore starts
  // (form_update_preconditions.cc). None changes a file; each check that
  // answers false has told the user why the run does not go on.
  // The registry named an installation folder that holds Brevak.exe.
  // `run` names the refused run in the message.
  bool InstallationFound(const std::u16string& run);
  // The tool runs from a whole package whose folder name the code page
  // holds.
  bool PackageUsable();
  // The installation's two databases are there and open, read-only.
  bool InstalledDatabasesOpen();
  // The engine's description when the database at `path` does not open
  // read-only; nothing when it does.
  std::optional<std::u16string> ReadOnlyOpenError(const std::u16string& path, const std::u16string& password);
  // The text survives a round trip through the system's code page.
  bool FitsCodePage(const std::u16string& text);
  // A restore of a listed folder that is no backup replaces the shop's
  // data with whatever it holds: the user is asked first. A folder whose
  // name the code page cannot hold is refused. True to go on.
  bool ConfirmRestoreOf(const std::u16string& entry);
  // A fourteen-digit folder of the installation holding both databases.
  bool IsBackupFolder(const std::u16string& entry);

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
  // The source lists of the backup and the package request.
  std::u16string BackupSourceList() const;
  std::u16string PackageSourceList();
  // Runs a backup request into `folder`; a backup that did not complete
  // leaves no folder behind, nor a journal state naming it. False ends the
  // handler.
  bool RunBackupRequest(SHFILEOPSTRUCT& request, const std::u16string& folder, bool finishing);
  // Runs one copy request and reports its outcome. Returns true when the
  // caller may go on; `stop_when_aborted` ends it after "Operation Failed".
  bool RunCopyRequest(SHFILEOPSTRUCT& request, bool stop_when_aborted);
  // Fills in the owner window and the operation, and makes the call.
  CopyOutcome MakeCopyRequest(SHFILEOPSTRUCT& request);
  // The outcome rule's messages.
  void ReportCopyOutcome(const CopyOutcome& outcome);
  // Why a copy did not complete, in words; empty when it did.
  static std::u16string CopyFailureText(const CopyOutcome& outcome);

  // --- The data migration (form_update_migration.cc).
  // What the migration came to, table by table.
  struct MigrationOutcome {
    std::vector<std::u16string> failed;  // not moved, in list order, once each
    std::vector<std::u16string> absent;  // the backup's database lacks them: nothing to move
    std::optional<std::u16string> customer_open_error;
    std::u16string first_reason;  // the engine's word on the first table not moved
    std::map<std::u16string, std::u16string> reasons;  // the engine's word on each table not moved
    // What a retry needs removed first (the tool's own checks run again on
    // tables not moved); nothing: they found no such cause.
    std::optional<std::u16string> retry_remedy;
  };
  void MigrateData(const ClickState& click);
  void MoveAddressBook(MigrationOutcome& outcome);
  std::optional<std::u16string> OpenCustomerDatabase();
  // False when the backup's database lacks the table.
  bool ReData(const std::u16string& TabName);
  // A moved table and its backup's table as a count statement names it
  // (with the external-database clause).
  struct RowCheck {
    std::u16string table;
    std::u16string backup_table;
  };
  // False (the table as it was) when the backup's database lacks the table.
  bool MoveTable(const std::u16string& delete_statement, const std::u16string& insert_statement,
                 const RowCheck& check);
  struct RowCounts {
    int32_t installed = 0;
    int32_t backup = 0;
  };
  // Raises a run-time error when the table's rows differ from its backup's.
  RowCounts VerifyRows(const RowCheck& check);
  void ReportMigration(const MigrationOutcome& outcome, const ClickState& click);
  // How the message of an update with tables not moved ends: the cause a
  // retry needs removed, found by running the update's own checks again,
  // or that a retry will not help (form_update_retry.cc).
  std::u16string RetryEnding(const MigrationOutcome& outcome);
  std::optional<std::u16string> RetryRemedy();

  // --- What an update's click does with the in-progress record
  // (form_update_record.cc; the record itself: in_progress_record.h).
  enum class InterruptedUpdate { kNone, kFinish, kStop };
  // kFinish sets sBackupDir to the recorded backup.
  InterruptedUpdate CheckInterruptedUpdate(ClickState& click);
  void RecordUpdateEnded(const MigrationOutcome& outcome);
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
  struct RestoreChain {
    std::u16string safety;  // the data from before the chain
    std::u16string entry;   // the entry the chain's first restore copied back
  };
  std::u16string RestoreEntry(ClickState& click, const std::u16string& entry,
                              const std::shared_ptr<const UpdateRecord>& unfinished_update, bool back_to_update,
                              const UpdateRecord* interrupted = nullptr, const RestoreChain& chain = {});
  // The first restore of the chain an interrupted restore's record belongs
  // to (the record's own safety folder and entry when it names none).
  static RestoreChain ChainOf(const UpdateRecord& record);
  // The folder to restore from is there and holds a database; false,
  // after telling the user, when it does not.
  bool RestoreSourceHoldsData(const std::u16string& entry, const std::u16string& source);
  // Backs up the files a restore will replace into `folder`. False, after
  // telling the user why, when the restore must not go on.
  bool BackUpBeforeRestore(const std::u16string& folder);
  // `put_back`: the restore put back what an interrupted one replaced.
  void EndRestore(ClickState& click, const std::u16string& entry, const std::u16string& safety,
                  const std::shared_ptr<const UpdateRecord>& unfinished_update, bool put_back = false);
  // An interrupted restore: put back what it replaced, or restore again.
  void OfferInterruptedRestore(const UpdateRecord& record, ClickState& click);
  // What becomes of an unfinished update after a restore: a line for the
  // last message (it is still to be finished, or given up), empty when no
  // update was unfinished.
  static std::u16string UnfinishedUpdateLine(const std::shared_ptr<const UpdateRecord>& update, bool still_unfinished);

  // --- Free space (form_update_space.cc).
  // The problem to tell the user, or the empty text: the drive must hold
  // the backup of the installation's data files and what the incoming
  // files (from `incoming_folder`, taken by `incoming_patterns`) need
  // beyond the files they replace.
  std::u16string SpaceProblemFor(const std::u16string& incoming_folder,
                                 const std::u16string& incoming_patterns, bool migrates);

  // --- The upgrade log (form_update_log.cc).
  // Writes the handler's entry, when it began one, however the handler
  // ends: after the data work, and never with an error of its own.
  class LogAtEnd {
   public:
    explicit LogAtEnd(FormUpdate& form);
    ~LogAtEnd();
    LogAtEnd(const LogAtEnd&) = delete;
    LogAtEnd& operator=(const LogAtEnd&) = delete;

   private:
    FormUpdate& form_;
    int uncaught_;
  };
  // The run is about to change data files: from here on it is logged.
  // The installed version is read from `installed_program`, the new one
  // from the package's.
  void BeginUpdateLogEntry(UpgradeLogEntry::Kind kind, const std::u16string& installed_program);
  // The restore of the list entry `entry` is about to change data files.
  void BeginRestoreLogEntry(const std::u16string& entry);
  void NoteRestoreResult(const CopyOutcome& outcome);
  // A backup folder of this run and what it holds now.
  void NoteBackup(const std::u16string& folder, const std::u16string& purpose);
  void NoteTableMoved(const std::u16string& table, const RowCounts& rows);
  void NoteTableNotMoved(const std::u16string& table, const std::u16string& reason);
  // A listed table the backup's database does not hold.
  void NoteTableAbsent(const std::u16string& table);
  void WriteLogEntry(bool ended_by_error);

  Platform& platform_;
  ShownMessages messages_{platform_};
  // The only writer of the in-progress record; each handler reads it first.
  Journal journal_{*platform_.durable_files};
  BackupFolders folders_{platform_, window(), journal_};
  InProgressRecord record_{platform_, window(), journal_, folders_};
  std::optional<UpgradeLogEntry> log_entry_;
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
