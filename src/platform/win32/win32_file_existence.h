#ifndef BREVAK_PLATFORM_WIN32_WIN32_FILE_EXISTENCE_H_
#define BREVAK_PLATFORM_WIN32_WIN32_FILE_EXISTENCE_H_

#include "platform/file_existence.h"

namespace brevak::win32 {

// File existence through FindFirstFileW / FindNextFileW (folders skipped).
class Win32FileExistence : public FileExistence {
 public:
  bool AnyFileMatches(const std::u16string& pattern) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_FILE_EXISTENCE_H_
