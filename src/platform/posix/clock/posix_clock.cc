#include "platform/posix/clock/posix_clock.h"

#include <time.h>

#include <chrono>
#include <thread>

namespace brevak::posix {

LocalTime PosixClock::Now() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

void PosixClock::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace brevak::posix
