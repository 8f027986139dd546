#include "platform/posix/durable_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/file_descriptor.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

int WriteAll(int fd, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    done += static_cast<size_t>(n);
  }
  return 0;
}

// Runs `sync` (fsync or syncfs) through the folder. EINVAL: the folder's
// file system has nothing to flush (it keeps no data of its own).
int SyncThroughFolder(const fs::path& folder, int (*sync)(int)) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.ok()) return errno;
  return sync(fd.get()) == 0 || errno == EINVAL ? 0 : errno;
}

}  // namespace

int ReplaceFile(const fs::path& target, const fs::path& temp, std::string_view bytes) {
  if (const int error = WriteFlushed(temp, bytes)) return error;
  if (const int error = RenameOver(temp, target)) return error;
  return FlushFolder(target.parent_path());
}

int WriteFlushed(const fs::path& temp, std::string_view bytes) {
  FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.ok()) return errno;
  if (const int error = WriteAll(fd.get(), bytes)) return error;
  if (::fsync(fd.get()) != 0) return errno;
  return fd.Close();
}

int FlushFileSystem(const fs::path& folder) { return SyncThroughFolder(folder, ::syncfs); }

int RenameOver(const fs::path& temp, const fs::path& target) {
  return std::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

int FlushFolder(const fs::path& folder) { return SyncThroughFolder(folder, ::fsync); }

}  // namespace brevak::posix
