#ifndef BREVAK_PLATFORM_POSIX_POSIX_CLOCK_H_
#define BREVAK_PLATFORM_POSIX_POSIX_CLOCK_H_

#include <filesystem>

#include "platform/clock.h"
#include "platform/posix/wine_prefix.h"

namespace brevak::posix {

// The host's local clock (TZ honoured) and the running executable's folder
// as a path of the prefix's drives.
class PosixClock : public Clock {
 public:
  explicit PosixClock(const WinePrefix& prefix);
  // The same, with `executable` standing for the running program.
  PosixClock(const WinePrefix& prefix, std::filesystem::path executable);

  LocalTime Now() override;
  void Sleep(int milliseconds) override;
  // The executable's folder mapped by WinePrefix::ToWindows: the deepest
  // drive that holds it, else Z:; no trailing backslash.
  std::u16string AppPath() override;

 private:
  WinePrefix prefix_;
  std::filesystem::path executable_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_POSIX_CLOCK_H_
