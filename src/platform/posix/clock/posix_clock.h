#ifndef BREVAK_PLATFORM_POSIX_CLOCK_POSIX_CLOCK_H_
#define BREVAK_PLATFORM_POSIX_CLOCK_POSIX_CLOCK_H_

#include "platform/clock.h"

namespace brevak::posix {

// The host's local clock (TZ honoured).
class PosixClock : public Clock {
 public:
  LocalTime Now() override;
  void Sleep(int milliseconds) override;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_CLOCK_POSIX_CLOCK_H_
