#include "platform/posix/prefix/posix_durable_files.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/posix/file_descriptor.h"
#include "platform/posix/prefix/host_files.h"
#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"

namespace brevak::posix {
namespace fs = std::filesystem;

std::optional<std::u16string> PosixDurableFiles::ReadText(const std::u16string& path) {
  FileDescriptor fd(::open(prefix_.ToHost(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 && errno == ENOENT) return std::nullopt;
  CheckHostCall(fd.get() >= 0);
  return Utf8ToUtf16(ReadAll(fd.get()));
}

void PosixDurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  const fs::path target = prefix_.ToHost(path);
  fs::path temp = target;
  temp += ".new";
  {
    FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    CheckHostCall(fd.get() >= 0);
    WriteAll(fd.get(), Utf16ToUtf8(text) + "\r\n");
    CheckHostCall(::fsync(fd.get()) == 0);
    CheckHostCall(fd.Close() == 0);
  }
  CheckHostCall(std::rename(temp.c_str(), target.c_str()) == 0);
  SyncFolder(target.parent_path());
}

void PosixDurableFiles::Remove(const std::u16string& path) {
  const fs::path target = prefix_.ToHost(path);
  if (::unlink(target.c_str()) != 0) {
    if (errno == ENOENT) return;
    throw HostFileError(errno);
  }
  SyncFolder(target.parent_path());
}

}  // namespace brevak::posix
