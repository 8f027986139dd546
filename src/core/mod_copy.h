#ifndef BREVAK_CORE_MOD_COPY_H_
#define BREVAK_CORE_MOD_COPY_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak {

// The copy request record, in the platform's field order.
struct SHFILEOPSTRUCT {
  int32_t hwnd = 0;
  int32_t wFunc = 0;
  std::u16string pFrom;
  std::u16string pTo;
  int32_t fFlags = 0;
  int32_t fAnyOperationsAborted = 0;
  int32_t hNameMappings = 0;
  std::u16string lpszProgressTitle;
};

// The backup never asks about its own duplicates: Brevak.ini matches both
// "\Brevak.*" and "\*.ini", and its second copy would be a "replace?"
// question (which a shell that cannot ask answers as an abort, and a No or
// Cancel on which ends the update). The backup folder is always new, so
// nothing of the user's can be replaced there.
inline constexpr int32_t kBackupFlags =
    FOF_NOCONFIRMATION + FOF_NOCONFIRMMKDIR + FOF_MULTIDESTFILES;                  // 0x211
inline constexpr int32_t kOverwriteFlags = FOF_NOCONFIRMATION + FOF_MULTIDESTFILES;  // 0x11

// Hands the record to the shell's file operation field by field, its texts
// in the system's code page, and reads the aborted flag back from the
// platform's own field. *last_error receives the thread's last-error code
// taken right after the call. Returns the operation's result.
int32_t SHFileOperation(Platform& platform, SHFILEOPSTRUCT& request, int32_t* last_error);

// What one copy request came to.
struct CopyOutcome {
  // Set when the request could not be made at all: why.
  std::optional<RunTimeError> not_made;
  int32_t result = 0;
  int32_t last_error = 0;
  bool aborted = false;

  bool Succeeded() const { return !not_made && result == 0 && !aborted; }
};

// Makes the request. A request that cannot be made (the record cannot be
// converted, the platform refuses the call) comes back as not made, never
// as a result of 0.
CopyOutcome RunCopy(Platform& platform, SHFILEOPSTRUCT& request);

// A source list: each pattern followed by one NUL, and one more NUL.
std::u16string SourceList(std::initializer_list<std::u16string> patterns);
// The patterns of a source list, in order.
std::vector<std::u16string> PatternsOf(const std::u16string& source_list);

}  // namespace brevak

#endif  // BREVAK_CORE_MOD_COPY_H_
