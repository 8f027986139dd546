#include "platform/posix/prefix/posix_instance_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace brevak::posix {

PosixInstanceLock::PosixInstanceLock(const WinePrefix& prefix) : folder_(prefix.root()) {}

PosixInstanceLock::~PosixInstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool PosixInstanceLock::TryLock() {
  if (fd_ >= 0) return true;
  // Close-on-exec: a program the tool starts must not keep the lock alive.
  const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;  // nowhere to keep a lock: nothing to wait for
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !held_elsewhere;
  }
  fd_ = fd;
  return true;
}

}  // namespace brevak::posix
