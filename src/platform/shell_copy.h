#ifndef BREVAK_PLATFORM_SHELL_COPY_H_
#define BREVAK_PLATFORM_SHELL_COPY_H_

#include <cstdint>
#include <string>

#include "platform/win32_error.h"

namespace brevak {

inline constexpr uint32_t FO_COPY = 2;
inline constexpr uint16_t FOF_MULTIDESTFILES = 0x1;
inline constexpr uint16_t FOF_NOCONFIRMATION = 0x10;
inline constexpr uint16_t FOF_FILESONLY = 0x80;
inline constexpr uint16_t FOF_NOCONFIRMMKDIR = 0x200;
// The shell's own result for a folder copied into itself or below itself.
inline constexpr int32_t DE_DESTSUBTREE = 0x76;

// The platform's SHFILEOPSTRUCTA, field by field. The texts are bytes in
// the system's code page; `from` is a list of NUL-ended patterns closed by
// one more NUL.
struct ShFileOpStruct {
  uintptr_t hwnd = 0;
  uint32_t wFunc = 0;
  std::string pFrom;
  std::string pTo;
  uint16_t fFlags = 0;
  int32_t fAnyOperationsAborted = 0;
  uintptr_t hNameMappings = 0;
  std::string lpszProgressTitle;
};

// The shell's file operation (Shell32's SHFileOperationA) and the thread's
// last-error code after it.
class ShellCopy {
 public:
  ShellCopy() = default;
  ShellCopy(const ShellCopy&) = delete;
  ShellCopy& operator=(const ShellCopy&) = delete;
  virtual ~ShellCopy() = default;

  // Runs the operation; sets op->fAnyOperationsAborted. Returns 0 on
  // success, ERROR_CANCELLED when the user cancelled, another code on
  // failure.
  virtual int32_t SHFileOperationA(ShFileOpStruct* op) = 0;

  // The last-error code of the calling thread.
  virtual int32_t GetLastError() = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_SHELL_COPY_H_
