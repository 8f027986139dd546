#ifndef BREVAK_PLATFORM_CLOCK_H_
#define BREVAK_PLATFORM_CLOCK_H_

namespace brevak {

struct LocalTime {
  int year = 0;
  int month = 0;   // 1 to 12
  int day = 0;     // 1 to 31
  int hour = 0;    // 0 to 23
  int minute = 0;
  int second = 0;
};

// The local clock.
class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  // One reading of the current local date and time.
  virtual LocalTime Now() = 0;
  // Waits about `milliseconds` before returning (for a clock to move on).
  virtual void Sleep(int milliseconds) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_CLOCK_H_
