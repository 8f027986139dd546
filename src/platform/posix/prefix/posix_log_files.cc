#include "platform/posix/prefix/posix_log_files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/durable_replace.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/prefix/host_files.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// Replaces the file by its tail from `from`; a crash leaves the whole old
// file or the tail, never a file cut anywhere else.
void KeepTail(const fs::path& target, const std::string& contents, size_t from) {
  fs::path temp = target;
  temp += ".new";
  const int error = ReplaceFile(target, temp, std::string_view(contents).substr(from));
  if (error != 0) throw HostFileError(error);
}

}  // namespace

void PosixLogFiles::AppendEntry(const std::u16string& path, const std::string& entry) {
  const fs::path target = prefix_.ToHost(path);
  FileDescriptor fd(::open(target.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  CheckHostCall(fd.ok());
  WriteAll(fd.get(), entry);
  CheckHostCall(::fsync(fd.get()) == 0);
  struct stat info {};
  CheckHostCall(::fstat(fd.get(), &info) == 0);
  const size_t size = static_cast<size_t>(info.st_size);
  // A file that this entry created is on the disk once its folder is.
  if (size == entry.size()) {
    const int error = FlushFolder(target.parent_path());
    if (error != 0) throw HostFileError(error);
  }
  if (size <= kLogTrimAbove) return;
  CheckHostCall(::lseek(fd.get(), 0, SEEK_SET) == 0);
  const std::string contents = ReadAll(fd.get());
  const size_t from = LogKeptFrom(contents);
  if (from > 0) KeepTail(target, contents, from);
}

void PosixLogFiles::RenameUnlessTaken(const std::u16string& from, const std::u16string& to) {
  const fs::path source = prefix_.ToHost(from);
  const fs::path target = prefix_.ToHost(to);
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno == EEXIST || errno == ENOENT) return;
    CheckHostCall(errno == EINVAL);
    // A file system without RENAME_NOREPLACE: link() never replaces either.
    if (::link(source.c_str(), target.c_str()) != 0) {
      if (errno == EEXIST || errno == ENOENT) return;
      CheckHostCall(false);
    }
    CheckHostCall(::unlink(source.c_str()) == 0);
  }
  const int error = FlushFolder(target.parent_path());
  if (error != 0) throw HostFileError(error);
}

}  // namespace brevak::posix
