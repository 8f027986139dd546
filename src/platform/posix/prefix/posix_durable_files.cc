#include "platform/posix/prefix/posix_durable_files.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/durable_replace.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// The run-time's file error for a host error.
RunTimeError FileError(int error) {
  switch (error) {
    case ENOSPC: case EDQUOT: return vb_error::Raise(vb_error::kDiskFull);
    case EACCES: case EPERM: case EROFS: return vb_error::Raise(vb_error::kPermissionDenied);
    case ENOENT: case ENOTDIR: return vb_error::Raise(vb_error::kPathNotFound);
    default: return vb_error::Raise(vb_error::kPathFileAccessError);
  }
}

void Check(bool ok) {
  if (!ok) throw FileError(errno);
}

// Raises the file error for the errno value of a step that failed.
void CheckStep(int error) {
  if (error != 0) throw FileError(error);
}

}  // namespace

std::optional<std::u16string> PosixDurableFiles::ReadText(const std::u16string& path) {
  FileDescriptor fd(::open(prefix_.ToHost(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0 && errno == ENOENT) return std::nullopt;
  Check(fd.get() >= 0);
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    Check(n >= 0);
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return Utf8ToUtf16(bytes);
}

void PosixDurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  const fs::path target = prefix_.ToHost(path);
  fs::path temp = target;
  temp += ".new";
  CheckStep(ReplaceFile(target, temp, Utf16ToUtf8(text) + "\r\n"));
}

void PosixDurableFiles::Remove(const std::u16string& path) {
  const fs::path target = prefix_.ToHost(path);
  if (::unlink(target.c_str()) != 0) {
    if (errno == ENOENT) return;
    throw FileError(errno);
  }
  CheckStep(FlushFolder(target.parent_path()));
}

void PosixDurableFiles::Rename(const std::u16string& from, const std::u16string& to) {
  const fs::path target = prefix_.ToHost(to);
  Check(std::rename(prefix_.ToHost(from).c_str(), target.c_str()) == 0);
  CheckStep(FlushFolder(target.parent_path()));
}

}  // namespace brevak::posix
