#include "platform/posix/prefix/posix_durable_files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/durable_replace.h"
#include "platform/posix/file_descriptor.h"
#include "platform/posix/prefix/host_files.h"
#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"

namespace brevak::posix {
namespace fs = std::filesystem;
namespace {

// Raises the file error for the errno value of a step that failed.
void CheckStep(int error) {
  if (error != 0) throw HostFileError(error);
}

// Where a write of `target` puts its text before the rename.
fs::path UnfinishedWrite(const fs::path& target) {
  fs::path temp = target;
  temp += ".new";
  return temp;
}

}  // namespace

std::optional<std::u16string> PosixDurableFiles::ReadText(const std::u16string& path) {
  // A write cut off before its rename never happened: its caller was told
  // nothing was written. Its leftover goes; if it cannot, it does no harm,
  // since the next write replaces it.
  ::unlink(UnfinishedWrite(prefix_.ToHost(path)).c_str());
  // Only a small regular file is read: a link, a pipe or a device put in
  // its place is refused at once instead of hanging or filling memory.
  FileDescriptor fd(::open(prefix_.ToHost(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
  if (fd.get() < 0 && errno == ENOENT) return std::nullopt;
  CheckHostCall(fd.get() >= 0);
  struct stat status {};
  CheckHostCall(::fstat(fd.get(), &status) == 0);
  if (!S_ISREG(status.st_mode) || status.st_size > kMaxDurableFileSize) {
    throw vb_error::Raise(vb_error::kPathFileAccessError);
  }
  std::string bytes = ReadAll(fd.get());
  if (bytes.size() > static_cast<size_t>(kMaxDurableFileSize)) throw vb_error::Raise(vb_error::kPathFileAccessError);
  return Utf8ToUtf16(bytes);
}

void PosixDurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  const fs::path target = prefix_.ToHost(path);
  CheckStep(ReplaceFile(target, UnfinishedWrite(target), Utf16ToUtf8(text) + "\r\n"));
}

// The file goes, and so does what an unfinished write of it left.
void PosixDurableFiles::Remove(const std::u16string& path) {
  const fs::path target = prefix_.ToHost(path);
  bool removed = false;
  for (const fs::path& file : {UnfinishedWrite(target), target}) {
    if (::unlink(file.c_str()) == 0) {
      removed = true;
    } else if (errno != ENOENT) {
      throw HostFileError(errno);
    }
  }
  if (removed) CheckStep(FlushFolder(target.parent_path()));
}

void PosixDurableFiles::Rename(const std::u16string& from, const std::u16string& to) {
  const fs::path target = prefix_.ToHost(to);
  CheckHostCall(std::rename(prefix_.ToHost(from).c_str(), target.c_str()) == 0);
  CheckStep(FlushFolder(target.parent_path()));
}

}  // namespace brevak::posix
