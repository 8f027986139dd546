#ifndef BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_
#define BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_

#include "platform/clock.h"

namespace brevak::win32 {

// GetLocalTime.
class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  void Sleep(int milliseconds) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_CLOCK_H_
