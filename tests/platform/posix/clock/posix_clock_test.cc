#include "platform/posix/clock/posix_clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>

namespace brevak::posix {
namespace {

// Sets TZ for the life of the object.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_) setenv("TZ", old_->c_str(), 1); else unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

// The reading as seconds since the epoch, taken as UTC then moved by the
// zone's offset east of UTC.
time_t SecondsOf(const LocalTime& t, int offset_east_seconds) {
  struct tm fields {};
  fields.tm_year = t.year - 1900;
  fields.tm_mon = t.month - 1;
  fields.tm_mday = t.day;
  fields.tm_hour = t.hour;
  fields.tm_min = t.minute;
  fields.tm_sec = t.second;
  return timegm(&fields) - offset_east_seconds;
}

TEST(PosixClockTest, ReadsTheLocalTimeOfTheZone) {
  struct Case { const char* zone; int offset_east_seconds; };
  const Case cases[] = {{"UTC0", 0}, {"<+08>-8", 8 * 3600}, {"<-0530>+5:30", -(5 * 3600 + 1800)}};
  PosixClock clock;
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.zone);
    const time_t before = time(nullptr);
    const LocalTime now = clock.Now();
    const time_t after = time(nullptr);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(SecondsOf(now, c.offset_east_seconds), before) << c.zone;
    EXPECT_LE(SecondsOf(now, c.offset_east_seconds), after) << c.zone;
  }
}

}  // namespace
}  // namespace brevak::posix
