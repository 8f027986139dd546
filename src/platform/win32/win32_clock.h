#ifndef BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_
#define BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_

#include "platform/clock.h"

namespace brevak::win32 {

// GetLocalTime, and the running executable's folder from GetModuleFileNameW.
class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  void Sleep(int milliseconds) override;
  std::u16string AppPath() override;
};

// The folder of a full file path: everything before its last backslash.
std::u16string FolderOf(const std::u16string& file_path);

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_
