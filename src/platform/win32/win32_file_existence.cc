#include "platform/win32/win32_file_existence.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace brevak::win32 {

bool Win32FileExistence::AnyFileMatches(const std::u16string& pattern) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(Wide(pattern), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool file = false;
  do {
    file = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  } while (!file && FindNextFileW(search, &found));
  FindClose(search);
  return file;
}

}  // namespace brevak::win32
