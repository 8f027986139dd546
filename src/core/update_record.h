#ifndef BREVAK_CORE_UPDATE_RECORD_H_
#define BREVAK_CORE_UPDATE_RECORD_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevak {

// The version of the record this tool writes and reads in full.
inline constexpr int kUpdateRecordVersion = 1;

// The record of an update or a restore in progress, kept in the
// installation folder as lines of KEY=VALUE. It names the backup folder
// that holds the data the run replaced, and the digest of each of that
// backup's databases as the run wrote them, so that a record that no
// longer matches its backup is never trusted.
//
// On the disk every folder is named by its fourteen-digit name; once read
// and checked (InProgressRecord::Read), `backup` and `saved` hold full
// paths inside the installation folder.
struct UpdateRecord;
// A record of a copy under way into a folder the run made.
bool IsUnfinishedCopy(const UpdateRecord& record);

struct UpdateRecord {
  // kUpdateBackup, kRestoreSafetyCopy and kUpdateSave: a copy into
  // `backup`, a folder the run made, is under way; such a record names no
  // digests. kUpdateSave saves the present data before an unfinished
  // update (`unfinished_update`) is finished.
  enum class Kind { kUpdate, kRestore, kUpdateBackup, kRestoreSafetyCopy, kUpdateSave };
  // kUpdateRecordVersion, 0 for a record of the earlier form (no version
  // line, folders as full paths, databases by size and date), or the
  // higher version of a newer tool (then only `backup` is read, as given).
  int version = kUpdateRecordVersion;
  Kind kind = Kind::kUpdate;
  // The backup folder made by the run and its stamp (its name).
  std::u16string backup;
  std::u16string started;
  // Each database by file name: "sha256:HEX" of the backup's copy as the
  // backup wrote it (an earlier record: "SIZE DATE"), and (after an update
  // that left tables not moved) of the installation's when the update
  // ended. An empty text: the file did not exist.
  std::map<std::u16string, std::u16string> backup_files;
  std::map<std::u16string, std::u16string> after_files;
  // After an update that left tables not moved: each such table and why the
  // engine refused it (one line), and whether the tool's own checks found
  // a cause a retry could remove (false: none, a retry fails the same way).
  std::vector<std::pair<std::u16string, std::u16string>> failed_tables;
  bool retry_will_not_help = false;
  // The history entry a restore copies back.
  std::u16string restored;
  // A restore that follows up an interrupted one (putting back what it
  // replaced, or restoring its entry again) keeps the safety folder and the
  // entry of the chain's first restore: the data from before the chain is
  // there, and the entry the user chose. Both empty: this restore is the
  // chain's first (so reads a record written without them).
  std::u16string chain_backup;
  std::u16string chain_restored;
  // Where earlier runs that finished this update saved the present data
  // before they were interrupted in their turn.
  std::vector<std::u16string> saved;
  // A restore started while an update was unfinished carries that update's
  // record (its lines prefixed "update."): putting back what the restore
  // replaced brings the half-finished installation back, and with it the
  // record that lets 开始更新 finish it.
  std::shared_ptr<const UpdateRecord> unfinished_update;
  // A restore's safety copy that follows up an interrupted restore carries
  // that restore's record (its lines prefixed "restore."): it is the record
  // again when the safety copy does not complete.
  std::shared_ptr<const UpdateRecord> interrupted_restore;
  // Lines this version does not know, kept as they were so that a rewrite
  // does not lose what a later tool of the same version added.
  std::vector<std::pair<std::u16string, std::u16string>> unknown;
};

// Always in the current version; folders by their last component.
std::u16string FormatUpdateRecord(const UpdateRecord& record);
// Nothing when the text is no whole record. A record of a higher version
// comes back with its version and, as written, its backup.
std::optional<UpdateRecord> ParseUpdateRecord(const std::u16string& text);

// The fourteen-digit names of the folders a record's text names (its
// backups and saved folders, carried ones too), read from whatever lines
// can be read: for naming folders to the user when the record is not
// believed, never for removing one.
std::vector<std::u16string> RecordedFolderNames(const std::u16string& text);

// Fourteen digits, as the backup folders are named.
bool IsStampName(const std::u16string& name);
// A name a history entry can have: not empty, no separator, drive or
// control character, not "." or "..".
bool IsPlainEntryName(const std::u16string& name);
// "sha256:" and 64 lower-case hex digits.
bool IsDigestText(const std::u16string& text);

}  // namespace brevak

#endif  // BREVAK_CORE_UPDATE_RECORD_H_
