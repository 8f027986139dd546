#ifndef BREVAK_PLATFORM_WIN32_WIN32_SHELL_COPY_H_
#define BREVAK_PLATFORM_WIN32_WIN32_SHELL_COPY_H_

#include "platform/shell_copy.h"

namespace brevak::win32 {

// Shell32's SHFileOperationA on the platform's own SHFILEOPSTRUCTA, filled
// field by field. The thread's last-error code is taken right after the
// call, before anything else can change it, and GetLastError() reports
// that reading.
class Win32ShellCopy : public ShellCopy {
 public:
  int32_t SHFileOperationA(ShFileOpStruct* op) override;
  int32_t GetLastError() override { return last_error_; }

 private:
  int32_t last_error_ = 0;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_SHELL_COPY_H_
