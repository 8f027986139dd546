#include "platform/win32/win32_data_file_use.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace brevak::win32 {

bool Win32DataFileUse::InUse(const std::u16string& path, const std::u16string& /*password*/) {
  HANDLE file = CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
  }
  CloseHandle(file);
  return false;
}

}  // namespace brevak::win32
