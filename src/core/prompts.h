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

}  // namespace brevak::prompt

#endif  // BREVAK_CORE_PROMPTS_H_
