#ifndef BREVAK_CORE_PRECONDITIONS_H_
#define BREVAK_CORE_PRECONDITIONS_H_

#include <optional>
#include <string>

#include "platform/platform.h"

namespace brevak {

// What must hold before an update or a restore starts: an installation the
// registry names, a whole package in a folder the code page can name, the
// installation's databases in working order, and, for a restore of a folder
// that is no backup, the user's word. None of these checks changes a file;
// each one that answers false has told the user why the run does not go on.
// `install_dir` is the installation folder the registry named (sInstallDir).
class Preconditions {
 public:
  // `window` is the window the handlers show their messages in.
  Preconditions(Platform& platform, WindowSystem& window) : platform_(platform), window_(window) {}

  // The registry named an installation folder that holds Brevak.exe.
  // `run` names the refused run in the message.
  bool InstallationFound(const std::u16string& run, const std::u16string& install_dir);
  // The tool runs from a whole package whose folder name the code page
  // holds.
  bool PackageUsable();
  // The installation's two databases are there and open, read-only.
  bool InstalledDatabasesOpen(const std::u16string& install_dir);
  // The engine's description when the database at `path` does not open
  // read-only; nothing when it does.
  std::optional<std::u16string> ReadOnlyOpenError(const std::u16string& path, const std::u16string& password);
  // A restore of a listed folder that is no backup replaces the shop's
  // data with whatever it holds: the user is asked first. A folder whose
  // name the code page cannot hold is refused. True to go on.
  bool ConfirmRestoreOf(const std::u16string& install_dir, const std::u16string& entry);
  // False also when it cannot be told.
  bool FileExists(const std::u16string& path);

 private:
  // The text survives a round trip through the system's code page.
  bool FitsCodePage(const std::u16string& text);
  // A fourteen-digit folder of the installation holding both databases.
  bool IsBackupFolder(const std::u16string& install_dir, const std::u16string& entry);
  // True also when it cannot be told.
  bool FolderExists(const std::u16string& folder);

  Platform& platform_;
  WindowSystem& window_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_PRECONDITIONS_H_
