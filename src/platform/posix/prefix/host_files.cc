#include "platform/posix/prefix/host_files.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace brevak::posix {

RunTimeError HostFileError(int error) {
  switch (error) {
    case ENOSPC: case EDQUOT: return vb_error::Raise(vb_error::kDiskFull);
    case EACCES: case EPERM: case EROFS: return vb_error::Raise(vb_error::kPermissionDenied);
    case ENOENT: case ENOTDIR: return vb_error::Raise(vb_error::kPathNotFound);
    default: return vb_error::Raise(vb_error::kPathFileAccessError);
  }
}

void CheckHostCall(bool ok) {
  if (!ok) throw HostFileError(errno);
}

void WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    CheckHostCall(n >= 0);
    done += static_cast<size_t>(n);
  }
}

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    CheckHostCall(n >= 0);
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace brevak::posix
