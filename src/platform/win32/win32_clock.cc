#include "platform/win32/win32_clock.h"

#include <windows.h>

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

}  // namespace brevak::win32
