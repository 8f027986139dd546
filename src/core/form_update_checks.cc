// The version comparison of the original, and the naming of a backup
// folder after the clock; the checks before a run are ChecksBeforeRun's.
#include "core/form_update.h"
#include "core/module_file_ver.h"
#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

// While the stamp's folder exists the clock is read again every so often,
// for a few seconds at the most (a folder for each of the next seconds, or
// a clock that stands still).
constexpr int kNamingWaitMs = 200;
constexpr int kMaxNamingWaits = 25;

}  // namespace

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

// Each part of the name is a reading of the clock of its own.
void FormUpdate::NameBackupFolder() {
  ResumeNext([&] {
    Clock& clock = *platform_.clock;
    std::u16string stamp = vb::CStr(clock.Now().year);
    stamp += Add0(vb::CStr(clock.Now().month));
    stamp += Add0(vb::CStr(clock.Now().day));
    stamp += Add0(vb::CStr(clock.Now().hour));
    stamp += Add0(vb::CStr(clock.Now().minute));
    stamp += Add0(vb::CStr(clock.Now().second));
    sBackupDir_ = sInstallDir_ + stamp;
  });
}

// While the stamp's folder exists (an update earlier in the same second, a
// clock set back), the clock is read again until the name is free.
bool FormUpdate::NameNewBackupFolder(const std::u16string& restore_button, bool restore) {
  NameBackupFolder();
  for (int wait = 0; FolderExists(sBackupDir_); ++wait) {
    if (wait == kMaxNamingWaits) {
      ResumeNext([&] {
        window().MsgBox(restore ? prompt::RestoreBackupFolderExists(sBackupDir_, restore_button)
                                : prompt::BackupFolderExists(sBackupDir_),
                        MsgBoxButtons::kOkOnly);
      });
      return false;
    }
    ResumeNext([&] { platform_.clock->Sleep(kNamingWaitMs); });
    NameBackupFolder();
  }
  return true;
}

}  // namespace brevak
