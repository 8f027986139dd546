#ifndef BREVAK_CORE_UPDATE_RECORD_H_
#define BREVAK_CORE_UPDATE_RECORD_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brevak {

// The record of an update or a restore in progress, kept in the
// installation folder as lines of KEY=VALUE. It names the backup folder
// that holds the data the run replaced and what identifies that backup's
// databases as the run wrote them, so that a record that no longer
// matches its backup is never trusted.
struct UpdateRecord {
  enum class Kind { kUpdate, kRestore };
  Kind kind = Kind::kUpdate;
  // The backup folder made by the run (its full path) and its stamp.
  std::u16string backup;
  std::u16string started;
  // "SIZE DATE" of each database by file name: as the backup wrote it, and
  // (after an update that left tables not moved) as the installation held
  // it when the update ended. An empty text: the file did not exist.
  std::map<std::u16string, std::u16string> backup_files;
  std::map<std::u16string, std::u16string> after_files;
  // The entry a restore copies back.
  std::u16string restored;
  // Where earlier runs that finished this update saved the present data
  // before they were interrupted in their turn.
  std::vector<std::u16string> saved;
  // A restore started while an update was unfinished carries that update's
  // record (its lines prefixed "update."): putting back what the restore
  // replaced brings the half-finished installation back, and with it the
  // record that lets 开始更新 finish it.
  std::shared_ptr<const UpdateRecord> unfinished_update;
};

std::u16string FormatUpdateRecord(const UpdateRecord& record);
// Nothing when the text is no whole record.
std::optional<UpdateRecord> ParseUpdateRecord(const std::u16string& text);

// Fourteen digits, as the backup folders are named.
bool IsStampName(const std::u16string& name);

}  // namespace brevak

#endif  // BREVAK_CORE_UPDATE_RECORD_H_
