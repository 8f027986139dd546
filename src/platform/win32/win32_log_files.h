#ifndef BREVAK_PLATFORM_WIN32_WIN32_LOG_FILES_H_
#define BREVAK_PLATFORM_WIN32_WIN32_LOG_FILES_H_

#include "platform/log_files.h"

namespace brevak::win32 {

// Entries are appended through FILE_APPEND_DATA and flushed
// (FlushFileBuffers); a file that grew too large is replaced by its tail
// through "NAME.new", flushed and moved over it with
// MOVEFILE_WRITE_THROUGH. A log is renamed by MoveFileExW without
// MOVEFILE_REPLACE_EXISTING, which never replaces a file.
class Win32LogFiles : public LogFiles {
 public:
  void AppendEntry(const std::u16string& path, const std::string& entry) override;
  void RenameUnlessTaken(const std::u16string& from, const std::u16string& to) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_LOG_FILES_H_
