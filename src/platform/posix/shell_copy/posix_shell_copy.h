#ifndef BREVAK_PLATFORM_POSIX_SHELL_COPY_POSIX_SHELL_COPY_H_
#define BREVAK_PLATFORM_POSIX_SHELL_COPY_POSIX_SHELL_COPY_H_

#include <chrono>
#include <cstdint>
#include <random>

#include "platform/code_page.h"
#include "platform/posix/shell_copy/file_copier.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "platform/shell_copy.h"
#include "platform/window_system.h"

namespace brevak::posix {

// How the shell copy puts each copied file in place.
enum class CopyPlacement {
  kThroughTemporary,  // written under a temporary name, renamed over the real one at the end
  kInPlace,           // written under the real name, file after file
};

// SHFileOperationA on a Wine-style prefix, for FO_COPY:
// - `pFrom` (code-page bytes) lists patterns; the last component of each
//   may hold `*` and `?` (case-insensitive). A wildcard pattern that
//   matches nothing copies nothing; a plain pattern naming nothing fails
//   with 2 (3 when its folder is missing). A folder that a pattern names,
//   or that a wildcard matches (unless FOF_FILESONLY), is copied with
//   everything in it into a folder of its name in the destination, merged
//   with one that is there; symbolic links to folders inside it are left
//   out. A folder that is the destination or holds it fails with
//   DE_DESTSUBTREE before anything is copied. A file matched by two
//   patterns is copied twice, as the shell does: its second copy meets the
//   first like an existing file (below).
// - `pTo` is the destination folder. When missing it is created with its
//   parents under FOF_NOCONFIRMMKDIR or FOF_NOCONFIRMATION, else after the
//   user says Yes (No cancels: 1223).
// - An existing file (in the destination or a subfolder of it) is replaced
//   silently under FOF_NOCONFIRMATION, else after asking (Yes replaces, No
//   skips it and sets the aborted flag, Cancel stops with 1223 and the
//   aborted flag). A source that is the
//   destination file itself is skipped silently.
// - Each file is written under a temporary name in its destination folder;
//   when the copying ends, the completed files are flushed to the disk
//   (one flush for all) and renamed over their real names, so a real name
//   never holds a partial file; a failed file's temporary copy is removed.
//   Temporary files an interrupted copy left in the destination folder are
//   removed before copying, and never taken as sources.
//   A database's rollback journal ("X-journal") travels with X; replacing
//   X removes a stale X-journal the source does not have.
// - Under CopyPlacement::kInPlace each file is instead written straight
//   under its real name, one after another in the request's order, as
//   Windows' own SHFileOperationA does: a copy stopped between two files
//   leaves the earlier ones new and the later ones old, and one stopped
//   inside a file leaves that file partly written. A file whose copy fails
//   is removed (its old content is gone already). The fault campaign uses
//   this placement to meet the states a copy on Windows leaves.
// - A copy that runs longer than `progress_delay` shows the window's
//   operation progress; a cancel there stops with 1223 and the aborted flag.
// - The first failure or cancel stops the operation; the files completed
//   before it are still put in place. The result is a Win32 error code
//   and becomes the last error.
class PosixShellCopy : public ShellCopy {
 public:
  // REQUIRES: code_page, window and copier (when given) outlive this object.
  PosixShellCopy(const WinePrefix& prefix, CodePage& code_page, WindowSystem& window,
                 FileCopier* copier = nullptr,
                 std::chrono::steady_clock::duration progress_delay = std::chrono::seconds(1),
                 CopyPlacement placement = CopyPlacement::kThroughTemporary);

  int32_t SHFileOperationA(ShFileOpStruct* op) override;
  int32_t GetLastError() override { return last_error_; }

 private:
  WinePrefix prefix_;
  CodePage& code_page_;
  WindowSystem& window_;
  StreamingFileCopier streaming_copier_;
  FileCopier& copier_;
  std::chrono::steady_clock::duration progress_delay_;
  CopyPlacement placement_;
  std::mt19937_64 random_;
  int32_t last_error_ = 0;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_SHELL_COPY_POSIX_SHELL_COPY_H_
