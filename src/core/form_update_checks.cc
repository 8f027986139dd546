// The version comparison of the original, and the naming of a backup
// folder after the clock; the checks before a run are ChecksBeforeRun's.
#include "core/form_update.h"
#include "core/module_file_ver.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {

bool FormUpdate::CompVer() {
  std::optional<std::array<std::u16string, 6>> installed;
  std::optional<std::array<std::u16string, 6>> package;
  ResumeNext([&] { installed = GetFileVer(platform_, sInstallDir_ + u"\\Brevak.exe"); });
  ResumeNext([&] { package = GetFileVer(platform_, platform_.folders->AppPath() + u"\\Brevak.exe"); });
  // A record that could not be read fails the test, and the statement after
  // it answers True.
  if (!installed || !package) return true;
  return (*installed)[0] < (*package)[0];
}

// The update's backup folder is named by the clock, read again while a
// folder of that name exists.
bool FormUpdate::NameBackupFolder() {
  const std::u16string folder = folders_.NameNew(sInstallDir_);
  if (folder.empty()) return false;
  sBackupDir_ = folder;
  return true;
}

}  // namespace brevak
