#include "platform/posix/shell_copy/file_copier.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/posix/digest/read_back_digest.h"
#include "platform/posix/file_descriptor.h"

namespace brevak::posix {
namespace {

int32_t Failed(int32_t not_found = ERROR_FILE_NOT_FOUND) { return Win32ErrorFromErrno(errno, not_found); }

// Starts writing the chunk just copied to the disk without waiting for
// it, so the disk works while the copy goes on and the flush that follows
// finds little left to do.
void StartWriteback(int out, uint64_t chunk_start, uint64_t chunk_bytes) {
  ::sync_file_range(out, static_cast<off64_t>(chunk_start), static_cast<off64_t>(chunk_bytes),
                    SYNC_FILE_RANGE_WRITE);
}

// read/write through one buffer of a fixed size (1 MiB); for file systems
// where copy_file_range is not available.
int32_t CopyByBuffer(int in, int out, uint64_t done, const CopyProgress& progress) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failed();
    if (got == 0) return ERROR_SUCCESS;
    for (ssize_t put = 0; put < got;) {
      const ssize_t n = ::write(out, buffer.data() + put, static_cast<size_t>(got - put));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failed();
      put += n;
    }
    StartWriteback(out, done, static_cast<uint64_t>(got));
    done += static_cast<uint64_t>(got);
    if (!progress(done)) return ERROR_CANCELLED;
  }
}

// The kernel copies chunk by chunk (no user-space buffer at all); falls
// back to read/write when the file systems cannot do that.
int32_t CopyContents(int in, int out, const CopyProgress& progress) {
  uint64_t done = 0;
  for (;;) {
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, StreamingFileCopier::kChunkBytes, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
      return CopyByBuffer(in, out, done, progress);
    }
    if (n < 0) return Failed();
    if (n == 0) return ERROR_SUCCESS;
    StartWriteback(out, done, static_cast<uint64_t>(n));
    done += static_cast<uint64_t>(n);
    if (!progress(done)) return ERROR_CANCELLED;
  }
}

// Permission bits and modification time of the source; the access time is now.
int32_t CopyAttributes(int out, const struct stat& source) {
  if (::fchmod(out, source.st_mode & 07777) != 0) return Failed();
  const struct timespec times[2] = {{0, UTIME_NOW}, source.st_mtim};
  if (::futimens(out, times) != 0) return Failed();
  return ERROR_SUCCESS;
}

}  // namespace

int32_t Win32ErrorFromErrno(int error, int32_t not_found) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return not_found;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case EBUSY: case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    default: return ERROR_GEN_FAILURE;
  }
}

int32_t StreamingFileCopier::CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                                      const CopyProgress& progress) {
  FileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return Failed(ERROR_FILE_NOT_FOUND);
  struct stat source;
  if (::fstat(in.get(), &source) != 0) return Failed();
  if (!S_ISREG(source.st_mode)) return ERROR_ACCESS_DENIED;
  FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!out.ok()) return Failed(ERROR_PATH_NOT_FOUND);
  std::unique_ptr<ReadBackDigest> read_back;
  if (digests_ != nullptr) read_back = std::make_unique<ReadBackDigest>(to);
  const CopyProgress written = [&](uint64_t bytes_done) {
    if (read_back) read_back->Written(bytes_done);
    return progress(bytes_done);
  };
  if (const int32_t error = CopyContents(in.get(), out.get(), written)) return error;
  if (const int32_t error = CopyAttributes(out.get(), source)) return error;
  struct stat copy {};
  const bool copy_known = ::fstat(out.get(), &copy) == 0;
  if (const int closed = out.Close()) return Win32ErrorFromErrno(closed);
  if (read_back && copy_known) {
    // The reading goes on while the next file is copied.
    read_back->WritesEnded();
    digests_->Keep(copy, std::move(read_back));
  }
  return ERROR_SUCCESS;
}

}  // namespace brevak::posix
