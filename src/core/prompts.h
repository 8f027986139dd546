#ifndef BREVAK_CORE_PROMPTS_H_
#define BREVAK_CORE_PROMPTS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Every text the tool adds to what the original says, as a table of
// templates with named placeholders ("{folder}"), and the builders that
// fill them from the values they name. Logic chooses a text and passes its
// values; the words live here.
namespace brevak::prompt {

// What a refused run is, as the texts name it.
inline constexpr char16_t kUpdate[] = u"升级";
inline constexpr char16_t kRestore[] = u"恢复";

enum class Id {
  kAnotherCopyRunning,
  kInstallationNotFound,
  kNotRegistered,
  kRegisteredFolderWithoutProgram,
  kPackageNotExtracted,
  kPackageFolderNameUnusable,
  kRestoreFolderNameUnusable,
  kCustomerDatabase,
  kAddressBook,
  kInstalledDatabaseMissing,
  kInstalledDatabaseUnopened,
  kNotABackupQuestion,
  kNoFilesInFolder,
  kNameSeparator,
  kMoreFiles,
  kCustomerDatabaseNotOpened,
  kRetryAfterFreeingSpace,
  kRetryAfterClosing,
  kRetryWillNotHelp,
  kDataLeftInVirtualStore,
  kUpdateSpaceShort,
  kRestoreSpaceShort,
  kSpaceNeeded,
  kPackageProgramDamaged,
  kPackageDatabaseDamaged,
  kProgramInUse,
  kDataFileInUse,
  kBackupFolderExists,
  kBusyReason,
  // What the tool says about the progress file and the backup folders.
  kFolderNamed,
  kRecordUnreadable,
  kRecordIncomplete,
  kRecordFolderOutside,
  kRecordEntryNotListed,
  kRecordDatabasesChanged,
  kRecordGone,
  kUntrustedRecordQuestion,
  kNoBackupFolderFound,
  kBackupDataMayBeIn,
  kSetAsideNamedNoFolder,
  kSetAsideFolders,
  kRestoreAfterSetAside,
  kNewerToolRecord,
  kBackupDataIn,
  kRestoreNotEnded,
  kEarlierDataIn,
  kPutBackAgain,
  kRestoreAgain,
  kGiveUpNotMade,
  kSavedButRecordLost,
  kRetryWillNotHelpMessage,
  kSavedBeforeFinishingIn,
  kFinishWithoutSaving,
  kTryAgain,
  kProgressFileNotWritten,
  kUnfinishedCopyNotEnded,
  kCallSupport,
  kBackupFolderNotMade,
  kUnfinishedCopyKept,
  kForeignFiles,
  kCopyNotRemoved,
  kMoveYourFilesFirst,
  kMayDeleteFolder,
  kRecordNotSetAside,
  kFinishQuestion,
  kWorkSinceUnknown,
  kWorkSinceChanged,
  kWorkSinceUnchanged,
  kSaveBeforeFinishing,
  kGiveUpQuestion,
  kSavedEarlierIn,
  kGivenUpDataIn,
  kProgressNotNoted,
  kUpdateStopsAfterSaving,
  kUpdateStopsAfterBackup,
  kRecordNotRemoved,
  kRestoreSourceGone,
  kRestoreSourceEmpty,
  // The restore's texts.
  kUpdateStillUnfinished,
  kUpdateGivenUpByRestore,
  kRestoreDone,
  kInterruptedRestoreDone,
  kRestoreStops,
  kRestoreCopyFailed,
  kInterruptedRestoreQuestion,
  kRestoreBackupPurpose,
  kRestoreBackupFailed,
  // The update's copies.
  kCopyRequestNotMade,
  kCopyCancelled,
  kCopyFailedWithCode,
  kCopyAborted,
  kUpdateBackupPurpose,
  kFinishBackupPurpose,
  kSavedBeforeFinishPurpose,
  kPackageCopyFailed,
  kSavedBeforeFinishLine,
  // The migration's end.
  kTablesNotMoved,
  kBackupStillHolds,
  kSavedBeforeFinishAfterMigration,
  // The upgrade log's words.
  kLogRestoreDone,
  kLogRestoreNotDone,
  kLogEndedByError,
  kLogKindUpdate,
  kLogKindFinish,
  kLogKindRestore,
  kLogUpdateDone,
  kLogUpdateNotDone,
  kLogTablesNotMoved,
  kLogNothingMoved,
  kLogAllTablesMoved,
  kLogThenRunTimeError,
  kLogProgressFileLeft,
  kLogRowsDiffered,
  kLogUnreadable,
  kLogNoFiles,
  kLogMoved,
  kLogNotMoved,
  kLogAbsent,
  kLogInstalledVersion,
  kLogRestoredVersion,
  kLogPackageVersion,
  kLogRestoredFolder,
  kLogBackupFolder,
  kLogResult,
  kLogLastMessage,
  kLogNoMessage,
  kRestoreBackupFolderExists,
  kRestoreOrUpdateButtons,
  kUpdateButtonOnly,
  kCopyFailedNoReason,
  kUpdateBackupFailed,
  kFinishSaveFailed,
};

struct Template {
  Id id;
  std::u16string_view text;
};

// Every template, one per Id, in the order of Id.
const std::vector<Template>& Templates();

// A placeholder's name (without braces) and its value.
using Values = std::vector<std::pair<std::u16string_view, std::u16string>>;

// The names of the placeholders of `text`, in order of appearance.
std::vector<std::u16string> PlaceholdersOf(std::u16string_view text);

// The template `id` with each "{name}" replaced by its value; values are
// put in as they are, never read for placeholders. Throws std::logic_error
// when the template names a placeholder `values` lacks, or `values` holds
// one the template does not name.
std::u16string Fill(Id id, const Values& values = {});

// --- Builders: each text from the state and values it names.

// Another copy of the tool holds the lock.
std::u16string AnotherCopyRunning();
// Data files in the VirtualStore folders `folders` (each a line).
std::u16string DataLeftInVirtualStore(const std::vector<std::u16string>& folders);
// The drive is short of `shortage` (a SpaceNeeded text) for the run
// (kUpdate or kRestore).
std::u16string SpaceShort(const std::u16string& run, const std::u16string& shortage);
// Bytes needed and available, in megabytes.
std::u16string SpaceNeeded(int64_t needed, int64_t available);
std::u16string PackageProgramDamaged();
std::u16string PackageDatabaseDamaged(const std::u16string& name, const std::u16string& reason);
// Another program holds the installation's file `path`.
std::u16string FileInUse(const std::u16string& path);
std::u16string BackupFolderExists(const std::u16string& folder);
// How the installed databases are named to the user.
std::u16string CustomerDatabase();
std::u16string AddressBook();

// --- The restore's, the update's copies' and the migration's texts.

// The line about an update left unfinished that a restore carried:
// still to be finished, or given up because the restore went through.
std::u16string UnfinishedUpdateLine(const std::u16string& backup, bool still_unfinished);
// A restore went through; `update_line` as above, or empty.
std::u16string RestoreDone(const std::u16string& safety, const std::u16string& update_line);
std::u16string InterruptedRestoreDone(const std::u16string& safety, const std::u16string& earlier,
                                      const std::u16string& update_line);
// What the restore's or the update's progress file failing to be written
// stops; the folder follows it.
std::u16string RestoreStops();
// `saved` names the folder with its date in words; `button` is the restore
// button's label on screen, or empty when it may name another folder.
std::u16string RestoreCopyFailed(const std::u16string& source, const std::u16string& failure,
                                 const std::u16string& saved, const std::u16string& button);
std::u16string InterruptedRestoreQuestion(const std::u16string& safety, const std::u16string& entry);
std::u16string RestoreBackupFailed(const std::u16string& failure);
// What a backup folder holds, for the upgrade log.
std::u16string RestoreBackupPurpose();
std::u16string UpdateBackupPurpose();
std::u16string FinishBackupPurpose();
std::u16string SavedBeforeFinishPurpose();
// A copy request's failure in words: not made (`description`), cancelled,
// failed with Windows' `code`, or aborted.
std::u16string CopyRequestNotMade(const std::u16string& description);
std::u16string CopyCancelled();
std::u16string CopyFailedWithCode(const std::u16string& code);
std::u16string CopyAborted();
// The package copy failed; `saved` the folders saved before finishing (or
// empty), `given_up` a line of its own (or empty).
std::u16string PackageCopyFailed(const std::u16string& backup, const std::u16string& saved,
                                 const std::u16string& given_up);
std::u16string TablesNotMoved(const std::vector<std::u16string>& tables);
// `backup` names the folder with its date in words.
std::u16string BackupStillHolds(const std::u16string& backup);
std::u16string SavedBeforeFinishAfterMigration(const std::u16string& folders);
// A restore's result as the upgrade log keeps it; `failure` when it failed.
std::u16string LogRestoreResult(bool succeeded, const std::u16string& failure);
// Follows the last message shown when a run-time error ended the program.
std::u16string LogEndedByError();
// The restore's safety folder's name was taken; `button` as for
// RestoreCopyFailed.
std::u16string RestoreBackupFolderExists(const std::u16string& folder, const std::u16string& button);
// The buttons that lead back to an unfinished restore.
std::u16string RestoreButtons(const std::u16string& button);
// The backup before an update, or the save before finishing one, failed.
std::u16string BackupFailed(bool finishing, const std::u16string& failure);
// A path as Windows shows it: one backslash between parts.
std::u16string ShownPath(std::u16string_view path);

}  // namespace brevak::prompt

#endif  // BREVAK_CORE_PROMPTS_H_
