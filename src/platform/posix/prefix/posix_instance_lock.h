#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_INSTANCE_LOCK_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_INSTANCE_LOCK_H_

#include <filesystem>

#include "platform/instance_lock.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// The lock is flock() on the prefix's own folder, the machine the tool
// serves: nothing is created for it, and the kernel drops it when the
// process ends, however it ends, so a lock of a dead process never blocks.
class PosixInstanceLock : public InstanceLock {
 public:
  explicit PosixInstanceLock(const WinePrefix& prefix);
  ~PosixInstanceLock() override;

  bool TryLock() override;


 private:
  std::filesystem::path folder_;
  int fd_ = -1;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_INSTANCE_LOCK_H_
