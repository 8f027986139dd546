// The update sequence: version gate, backup folder name, the backup and the
// package copy requests with their outcome.
#include "core/form_update.h"
#include "core/module_file_ver.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

const char16_t kNotNewerQuestion[] = u"升级版本并不比当前版本更新，是否继续？";
const char16_t kCancelledText[] = u"需要先建立数据备份文件夹并备份数据才可继续，请再试一次";
const char16_t kRequestNotMade[] = u"无法执行文件复制：";

}  // namespace

void FormUpdate::CmdUpdate_Click() {
  // An interrupted update is finished from its own backup instead.
  const InterruptedUpdate interrupted = CheckInterruptedUpdate();
  if (interrupted == InterruptedUpdate::kStop) return;
  SHFILEOPSTRUCT request;
  if (interrupted == InterruptedUpdate::kNone && !BackUpInstallation(request)) return;
  ResumeNext([&] { window().DoEvents(); });

  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  request.pFrom = SourceList({package + u"\\*.car", package + u"\\*.mdb",
                              package + u"\\vkUserControlsXP.*", package + u"\\adb*.*",
                              package + u"\\Brevak.*", package + u"\\*.ini"});
  request.pTo = sInstallDir_;
  request.fFlags = kOverwriteFlags;
  if (!RunCopyRequest(request, /*stop_when_aborted=*/false)) return;
  ResumeNext([&] { window().DoEvents(); });

  MigrateData();
}

// A new update up to its recorded backup: the version question, the checks
// that it can finish, the backup request. False ends the update.
bool FormUpdate::BackUpInstallation(SHFILEOPSTRUCT& request) {
  if (!PassVersionGate()) return false;
  if (DataLeftInVirtualStore()) return false;
  if (!PassPreUpdateChecks()) return false;
  if (!DatabasesFree()) return false;
  if (!NameNewBackupFolder()) return false;
  // No database file is held open while the copies write over it.
  ResumeNext([&] { CloseConnIfOpen(); });

  request.pFrom = BackupSourceList();
  request.pTo = sBackupDir_ + u"\\";
  request.fFlags = kBackupFlags;
  // An incomplete backup ends the update: nothing may overwrite the data
  // that it failed to save.
  if (!RunBackupRequest(request)) return false;
  return RecordUpdateInProgress();
}

// Asks before going on when the package is not newer. False ends the update.
bool FormUpdate::PassVersionGate() {
  bool newer = false;
  ResumeNext([&] { newer = CompVer(); });
  if (newer) return true;
  int answer = vbNo;
  ResumeNext([&] { answer = window().MsgBox(kNotNewerQuestion, MsgBoxButtons::kYesNo); });
  return answer == vbYes;
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

std::u16string FormUpdate::BackupSourceList() const {
  const std::u16string& dir = sInstallDir_;
  return SourceList({dir + u"*.car", dir + u"*.mdb", dir + u"\\Brevak.*", dir + u"\\*.ini"});
}

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

bool FormUpdate::RunCopyRequest(SHFILEOPSTRUCT& request, bool stop_when_aborted) {
  ResumeNext([&] { request.hwnd = static_cast<int32_t>(window().hWnd()); });
  request.wFunc = static_cast<int32_t>(FO_COPY);
  int32_t result = 0;
  int32_t last_error = 0;
  try {
    result = SHFileOperation(platform_, request, &last_error);
  } catch (const RunTimeError& e) {
    // A request that cannot be made has failed: never go on as if it had
    // copied.
    ResumeNext([&] { window().MsgBox(kRequestNotMade + e.description(), MsgBoxButtons::kOkOnly); });
    return false;
  }
  ReportCopyOutcome(result, last_error, request);
  if (result != 0) return false;
  return !(stop_when_aborted && request.fAnyOperationsAborted != 0);
}

void FormUpdate::ReportCopyOutcome(int32_t result, int32_t last_error,
                                   const SHFILEOPSTRUCT& request) {
  if (result != 0) {
    if (result == ERROR_CANCELLED) {
      ResumeNext([&] { window().MsgBox(kCancelledText, MsgBoxButtons::kOkOnly); });
    }
    ResumeNext([&] { window().MsgBox(vb::CStr(last_error), MsgBoxButtons::kOkOnly); });
  } else if (request.fAnyOperationsAborted != 0) {
    ResumeNext([&] { window().MsgBox(u"Operation Failed", MsgBoxButtons::kOkOnly); });
  }
}

}  // namespace brevak
