#include "platform/posix/clock/posix_clock.h"

#include <time.h>

namespace brevak::posix {

LocalTime PosixClock::Now() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace brevak::posix
