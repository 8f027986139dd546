#ifndef BREVAK_CORE_COPY_REQUESTS_H_
#define BREVAK_CORE_COPY_REQUESTS_H_

#include <string>

#include "core/mod_copy.h"
#include "platform/platform.h"

namespace brevak {

// Every copy request the handlers make, made and reported in one way: the
// owner window and the operation filled in, the call made, and its outcome
// told to the user by the outcome rule (Windows' number, the cancelled
// backup's text, "Operation Failed"). Where the request came from and what
// the handler does next stay with the handler.
class CopyRequests {
 public:
  // `window` is the window the handlers show their messages in.
  CopyRequests(Platform& platform, WindowSystem& window) : platform_(platform), window_(window) {}

  // Fills in the owner window and the operation, and makes the call.
  CopyOutcome MakeCopyRequest(SHFILEOPSTRUCT& request);
  // The outcome rule's messages.
  void ReportCopyOutcome(const CopyOutcome& outcome);
  // Runs one copy request and reports its outcome. Returns true when the
  // caller may go on; `stop_when_aborted` ends it after "Operation Failed".
  bool RunCopyRequest(SHFILEOPSTRUCT& request, bool stop_when_aborted);
  // Why a copy did not complete, in words; empty when it did.
  static std::u16string CopyFailureText(const CopyOutcome& outcome);

  // The source lists of the backup request (the data files of the
  // installation folder `install_dir`) and of the package request (what
  // the tool's own folder lays over the installation).
  static std::u16string BackupSourceList(const std::u16string& install_dir);
  std::u16string PackageSourceList();

 private:
  Platform& platform_;
  WindowSystem& window_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_COPY_REQUESTS_H_
