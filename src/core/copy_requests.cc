#include "core/copy_requests.h"

#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {

const char16_t kCancelledText[] = u"需要先建立数据备份文件夹并备份数据才可继续，请再试一次";

}  // namespace

bool CopyRequests::RunCopyRequest(SHFILEOPSTRUCT& request, bool stop_when_aborted) {
  const CopyOutcome outcome = MakeCopyRequest(request);
  ReportCopyOutcome(outcome);
  // A request that cannot be made has failed: never go on as if it had
  // copied.
  if (outcome.not_made || outcome.result != 0) return false;
  return !(stop_when_aborted && outcome.aborted);
}

CopyOutcome CopyRequests::MakeCopyRequest(SHFILEOPSTRUCT& request) {
  ResumeNext([&] { request.hwnd = static_cast<int32_t>(window_.hWnd()); });
  request.wFunc = static_cast<int32_t>(FO_COPY);
  return RunCopy(platform_, request);
}

void CopyRequests::ReportCopyOutcome(const CopyOutcome& outcome) {
  if (outcome.not_made) {
    ResumeNext([&] {
      window_.MsgBox(prompt::CopyRequestNotMade(outcome.not_made->description()), MsgBoxButtons::kOkOnly);
    });
  } else if (outcome.result != 0) {
    if (outcome.result == ERROR_CANCELLED) {
      ResumeNext([&] { window_.MsgBox(kCancelledText, MsgBoxButtons::kOkOnly); });
    }
    ResumeNext([&] { window_.MsgBox(vb::CStr(outcome.last_error), MsgBoxButtons::kOkOnly); });
  } else if (outcome.aborted) {
    ResumeNext([&] { window_.MsgBox(u"Operation Failed", MsgBoxButtons::kOkOnly); });
  }
}

std::u16string CopyRequests::CopyFailureText(const CopyOutcome& outcome) {
  if (outcome.not_made) return prompt::CopyRequestNotMade(outcome.not_made->description());
  if (outcome.result == ERROR_CANCELLED) return prompt::CopyCancelled();
  if (outcome.result != 0) return prompt::CopyFailedWithCode(vb::CStr(outcome.last_error));
  if (outcome.aborted) return prompt::CopyAborted();
  return u"";
}

std::u16string CopyRequests::BackupSourceList(const std::u16string& dir) {
  return SourceList({dir + u"*.car", dir + u"*.mdb", dir + u"\\Brevak.*", dir + u"\\*.ini"});
}

std::u16string CopyRequests::PackageSourceList() {
  std::u16string package;
  ResumeNext([&] { package = platform_.folders->AppPath(); });
  return SourceList({package + u"\\*.car", package + u"\\*.mdb", package + u"\\vkUserControlsXP.*",
                     package + u"\\adb*.*", package + u"\\Brevak.*", package + u"\\*.ini"});
}

}  // namespace brevak
