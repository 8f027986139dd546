#include "platform/posix/posix_clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>

#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

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
  testing::TempPrefix prefix;
  PosixClock clock{WinePrefix(prefix.root())};
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

TEST(PosixClockTest, MapsTheExecutablesFolderToTheDeepestDrive) {
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Program Files/Brevak/升级包"));
  fs::create_directories(prefix.OnDriveC("Tools"));
  fs::create_directory_symlink(prefix.OnDriveC("Tools"), prefix.root() / "dosdevices" / "d:");
  struct Case { fs::path executable; std::u16string app_path; };
  const Case cases[] = {
      {prefix.OnDriveC("Program Files/Brevak/升级包/brevak-upgrade"), u"C:\\Program Files\\Brevak\\升级包"},
      {prefix.OnDriveC("brevak-upgrade"), u"C:"},
      {prefix.OnDriveC("Tools/brevak-upgrade"), u"D:"},
      {"/usr/bin/brevak-upgrade", u"Z:\\usr\\bin"},
  };
  for (const Case& c : cases) {
    PosixClock clock(WinePrefix(prefix.root()), c.executable);
    EXPECT_EQ(clock.AppPath(), c.app_path) << c.executable;
  }
}

TEST(PosixClockTest, TheRunningProgramIsTheExecutable) {
  testing::TempPrefix prefix;
  const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
  fs::create_directory_symlink(folder, prefix.root() / "dosdevices" / "e:");
  PosixClock clock{WinePrefix(prefix.root())};
  EXPECT_EQ(clock.AppPath(), u"E:");
}

}  // namespace
}  // namespace brevak::posix
