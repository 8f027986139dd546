#ifndef BREVAK_PLATFORM_POSIX_FILE_DESCRIPTOR_H_
#define BREVAK_PLATFORM_POSIX_FILE_DESCRIPTOR_H_

#include <errno.h>
#include <unistd.h>

namespace brevak::posix {

// An open file descriptor, closed when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now, reporting the error close() saw (0 when none; errno keeps
  // it too).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_FILE_DESCRIPTOR_H_
