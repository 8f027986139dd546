#ifndef BREVAK_CORE_BACKUP_FOLDERS_H_
#define BREVAK_CORE_BACKUP_FOLDERS_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/journal.h"
#include "core/record_texts.h"
#include "core/update_record.h"
#include "platform/platform.h"

namespace brevak {

// The dated folders a copy of the shop's data is made into: naming a new
// one by the clock, making it (failing when anything is there), ending a
// copy that did not complete, removing exactly the folder the journal
// names when a run ended inside its copy, and what the databases in a
// folder are (digests, sizes). A folder the journal never named is the
// user's and is never removed.
class BackupFolders {
 public:
  BackupFolders(Platform& platform, WindowSystem& window, Journal& journal)
      : platform_(platform), window_(window), journal_(journal) {}

  // `install_dir` followed by the clock's fourteen digits; nothing when the
  // clock cannot be read. Each part of the name is a reading of its own.
  std::optional<std::u16string> Stamped(const std::u16string& install_dir);
  // A folder in `install_dir` that does not exist yet, waiting for the
  // clock; empty, after telling the user, when none comes free. A
  // restore's folder (`restore`) names the restore button as it is on
  // screen (or empty) when the name is taken.
  std::u16string NameNew(const std::u16string& install_dir, const std::u16string& restore_button = u"",
                         bool restore = false);
  // Makes `folder`, failing when anything is there already; false, after
  // telling the user that `what` did not happen and which `button` to
  // click again.
  bool Make(const std::u16string& folder, const std::u16string& what, const std::u16string& button);
  // The journal's transition that names the folder just made; when it
  // cannot be written the folder goes again and the user is told (false).
  bool BeginCopyInto(const std::u16string& install_dir, const std::u16string& folder,
                     const std::function<void()>& transition, const std::u16string& what,
                     const std::u16string& button);
  // Ends a copy state, keeping its folder: the copy failed and its folder
  // is gone, or it is whole and stays as a backup the user was told of.
  // When the file cannot be changed, the next run removes the folder.
  void DropCopyState();
  // A copy into `folder`, made by this run, did not complete: the folder
  // goes, and the journal's copy state with it; a folder that could not be
  // removed stays named, for the next run.
  void EndFailedCopy(const std::u16string& folder);
  // Removes the folder an unfinished copy state names, and ends the state.
  // False only when the state cannot be ended (the user has been told).
  bool EndUnfinishedCopy(const std::u16string& install_dir, const UpdateRecord& copy);
  // The name of the folder an unfinished copy state names, or empty: the
  // history does not list it.
  std::u16string UnfinishedCopyFolderName(const std::u16string& install_dir);

  // True also when it cannot be told: nothing unknown is ever removed.
  bool FolderExists(const std::u16string& folder);
  // False also when it cannot be told.
  bool FileExists(const std::u16string& path);
  void Remove(const std::u16string& folder);
  // "sha256:HEX" of each database in `folder` (empty: no such file); the
  // window answers between chunks. Raises a RunTimeError when one cannot
  // be read.
  std::map<std::u16string, std::u16string> DatabaseDigests(const std::u16string& folder);
  // The size of each database in `folder` as decimal text (empty: none).
  std::map<std::u16string, std::u16string> DatabaseSizes(const std::u16string& folder);

 private:
  // The folder holds no subfolder and only files a backup copies.
  bool HoldsOnlyCopiedFiles(const std::u16string& folder);

  Platform& platform_;
  WindowSystem& window_;
  Journal& journal_;
};

// A folder's name without its path.
std::u16string FolderName(const std::u16string& path);
// The restore label's date without its frame: 2012年12月25日05时14分22秒.
std::u16string StampInWords(const std::u16string& stamp);
// Folders as the messages name them: each path with its date in words.
std::vector<NamedFolder> InWords(const std::vector<std::u16string>& folders);

}  // namespace brevak

#endif  // BREVAK_CORE_BACKUP_FOLDERS_H_
