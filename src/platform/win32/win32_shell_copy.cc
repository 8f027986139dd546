#include "platform/win32/win32_shell_copy.h"

// After the platform header: shellapi.h defines FO_COPY and the FOF_ flags.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace brevak::win32 {
namespace {

#ifndef _WIN64
// On 32-bit Windows the record is byte-packed: a 16-bit fFlags and the
// aborted flag right after it.
static_assert(offsetof(SHFILEOPSTRUCTA, fFlags) == 16, "SHFILEOPSTRUCTA is byte-packed");
static_assert(offsetof(SHFILEOPSTRUCTA, fAnyOperationsAborted) == 18,
              "SHFILEOPSTRUCTA is byte-packed");
#endif

// The shell reads pFrom and, with FOF_MULTIDESTFILES, pTo as lists closed by
// two NULs. Two more NULs after the text keep it from reading past the
// buffer whatever the text holds.
std::string DoubleNulEnded(const std::string& text) { return text + std::string(2, '\0'); }

}  // namespace

int32_t Win32ShellCopy::SHFileOperationA(ShFileOpStruct* op) {
  const std::string from = DoubleNulEnded(op->pFrom);
  const std::string to = DoubleNulEnded(op->pTo);
  SHFILEOPSTRUCTA native{};
  native.hwnd = reinterpret_cast<HWND>(op->hwnd);
  native.wFunc = op->wFunc;
  native.pFrom = from.c_str();
  native.pTo = to.c_str();
  native.fFlags = op->fFlags;
  native.fAnyOperationsAborted = FALSE;
  native.hNameMappings = reinterpret_cast<LPVOID>(op->hNameMappings);
  native.lpszProgressTitle = op->lpszProgressTitle.empty() ? nullptr
                                                           : op->lpszProgressTitle.c_str();
  const int result = ::SHFileOperationA(&native);
  last_error_ = static_cast<int32_t>(::GetLastError());
  op->fAnyOperationsAborted = native.fAnyOperationsAborted;
  op->hNameMappings = reinterpret_cast<uintptr_t>(native.hNameMappings);
  return result;
}

}  // namespace brevak::win32
