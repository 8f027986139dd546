#include "platform/posix/posix_clock.h"

#include <time.h>

#include <chrono>
#include <system_error>
#include <thread>

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// The running program's file, as the kernel names it.
fs::path RunningExecutable() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) / "brevak-upgrade" : exe;
}

}  // namespace

PosixClock::PosixClock(const WinePrefix& prefix) : PosixClock(prefix, RunningExecutable()) {}

PosixClock::PosixClock(const WinePrefix& prefix, fs::path executable)
    : prefix_(prefix), executable_(std::move(executable)) {}

void PosixClock::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LocalTime PosixClock::Now() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::u16string PosixClock::AppPath() { return prefix_.ToWindows(executable_.parent_path()); }

}  // namespace brevak::posix
