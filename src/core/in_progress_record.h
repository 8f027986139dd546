#ifndef BREVAK_CORE_IN_PROGRESS_RECORD_H_
#define BREVAK_CORE_IN_PROGRESS_RECORD_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/backup_folders.h"
#include "core/click_state.h"
#include "core/journal.h"
#include "core/update_record.h"
#include "platform/platform.h"

namespace brevak {

// What a click found in the in-progress record: nothing, a record that
// proves itself, a newer tool's, or one that is not believed.
struct RecordReading {
  std::optional<UpdateRecord> record;  // one that proves itself
  std::u16string problem;              // why the record found is not believed
  bool newer = false;                  // a newer tool's record: nothing is done
  // When the record is not believed or is a newer tool's: the folders
  // that may hold the data it was about, to be named to the user.
  std::vector<std::u16string> folders;
  // A copy into a backup folder was under way: its record, not proved.
  std::optional<UpdateRecord> unfinished_copy;
};

// The in-progress record as the handlers meet it: reading it and proving
// it before anything of it is followed, the questions it raises (finish,
// give up, set aside), its transitions written through the journal with
// the message each failure leaves, and the lines that name the folders
// holding data saved or given up in a click. An update or a restore is
// recorded once its backup is complete; a record is trusted only when it
// proves itself. The journal stays the only writer of the file.
class InProgressRecord {
 public:
  InProgressRecord(Platform& platform, WindowSystem& window, Journal& journal, BackupFolders& folders)
      : platform_(platform), window_(window), journal_(journal), folders_(folders) {}

  RecordReading Read(const std::u16string& install_dir);
  // Read, after ending an unfinished copy it finds; nothing when that state
  // cannot be ended (the user has been told).
  std::optional<RecordReading> ReadEndingUnfinishedCopy(const std::u16string& install_dir);
  // Checks every field of a record read in this tool's version or the
  // earlier form and proves its backup; on success the record names full
  // paths and digests. Returns why it is not believed, or the empty text.
  std::u16string Prove(const std::u16string& install_dir, UpdateRecord& record);

  // Says that a newer tool's update is unfinished; changes nothing.
  void TellNewerToolRecord(const std::u16string& install_dir, const RecordReading& reading);
  // True when the record was set aside and a normal run may follow.
  bool SetAside(const std::u16string& install_dir, const RecordReading& reading, ClickState& click);
  // Ends a click that set a record aside with its folders named, unless
  // its last message (`last_message`) named them already.
  void NameSetAsideFoldersAtEnd(const ClickState& click, const std::u16string& last_message);
  bool AskToFinish(const std::u16string& install_dir, const UpdateRecord& record, const ClickState& click);
  bool AskToGiveUp(const std::u16string& install_dir, const UpdateRecord& record, ClickState& click);
  // An update that ended with tables a retry cannot move: says so and that
  // support is needed; the update is not tried again.
  void TellRetryWillNotHelp(const UpdateRecord& record);

  // A line naming the given-up update's backup, and the folders of a
  // record set aside, when there are any.
  static std::u16string GivenUpLine(const ClickState& click);
  // Every folder that saved the present data of this update, joined.
  static std::u16string SavedFolders(const ClickState& click);

  // A new record naming `backup` with its databases' digests; nothing,
  // after telling the user, when they cannot be read.
  std::optional<UpdateRecord> New(const std::u16string& install_dir, UpdateRecord::Kind kind,
                                  const std::u16string& backup, const std::u16string& what_stops);
  // Makes one journal transition; when the file cannot be written, tells
  // the user that the run stops (`what_stops`, then `folder`) and is false.
  bool Write(const std::function<void()>& transition, const std::u16string& what_stops,
             const std::u16string& folder);
  // Records the update whose backup is `backup`; false when it cannot be.
  bool RecordUpdateInProgress(const std::u16string& install_dir, const std::u16string& backup);
  // Adds the click's save folder to the record of the update migrating from
  // `backup`. False, after telling the user, when it cannot be written.
  bool RecordSavedFolder(const std::u16string& install_dir, const std::u16string& backup, const ClickState& click);
  // The update ended with tables left (`why`); the record keeps how the
  // installation's databases stand now.
  void RecordUpdateEnded(const std::u16string& install_dir, const TablesLeft& why);
  // Finishing an update whose installation holds just what its last
  // attempt left: nothing new to save.
  bool PresentDataAsLastAttemptLeft(const std::u16string& install_dir, const ClickState& click);
  // False, after telling the user, when the record of an update that
  // moved every table could not be removed.
  bool End(const std::u16string& install_dir);

 private:
  // The full path of a folder a record names, inside the installation
  // folder; empty when the value names none there.
  std::u16string RecordFolder(const std::u16string& install_dir, const std::u16string& value, int version) const;
  bool IsHistoryEntry(const std::u16string& install_dir, const std::u16string& entry);
  // The newest fourteen-digit folder holding both databases, or empty.
  std::u16string NewestBackupWithDatabases(const std::u16string& install_dir);
  // The existing folders among `names` and the newest backup, once each.
  std::vector<std::u16string> FoldersToName(const std::u16string& install_dir,
                                            const std::vector<std::u16string>& names);

  Platform& platform_;
  WindowSystem& window_;
  Journal& journal_;
  BackupFolders& folders_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_IN_PROGRESS_RECORD_H_
