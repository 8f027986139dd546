#include "platform/win32/win32_clock.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace brevak::win32 {

void Win32Clock::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

LocalTime Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  return time;
}

// The buffer grows until the whole path fits: a path may be longer than
// MAX_PATH where long paths are enabled.
std::u16string Win32Clock::AppPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return FolderOf(FromWide(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::u16string FolderOf(const std::u16string& file_path) {
  const size_t slash = file_path.find_last_of(u'\\');
  return slash == std::u16string::npos ? std::u16string() : file_path.substr(0, slash);
}

}  // namespace brevak::win32
