#ifndef BREVAK_PLATFORM_POSIX_SHELL_COPY_FILE_COPIER_H_
#define BREVAK_PLATFORM_POSIX_SHELL_COPY_FILE_COPIER_H_

#include <cstdint>
#include <filesystem>
#include <functional>

#include "platform/posix/digest/copied_digests.h"
#include "platform/win32_error.h"

namespace brevak::posix {

// The Win32 error for an errno value. `not_found` is what ENOENT means at
// the call site: ERROR_FILE_NOT_FOUND for a file, ERROR_PATH_NOT_FOUND for a folder.
int32_t Win32ErrorFromErrno(int error, int32_t not_found = ERROR_FILE_NOT_FOUND);

// Called as a copy advances with the bytes of the file written so far.
// Returns false to stop the copy.
using CopyProgress = std::function<bool(uint64_t bytes_done)>;

// Copies one host file to one host path. Tests wrap it to inject faults.
class FileCopier {
 public:
  FileCopier() = default;
  FileCopier(const FileCopier&) = delete;
  FileCopier& operator=(const FileCopier&) = delete;
  virtual ~FileCopier() = default;

  // Creates `to`, which must not exist, with the contents, permission bits
  // and modification time of the regular file `from`. The data is on its
  // way to the disk but not yet known to be there: the caller flushes it
  // (fsync or syncfs) before relying on it. Returns 0, ERROR_CANCELLED when
  // `progress` returned false, or another Win32 error. On failure `to` may
  // be left partly written; the caller removes it.
  virtual int32_t CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                           const CopyProgress& progress) = 0;
};

// The real copier: streams in fixed-size chunks (the kernel's
// copy_file_range where it can, read/write otherwise), so memory does not
// grow with the file, and starts writing each chunk to the disk at once.
// Given `digests`, it also reads each copy back as it is written, on a
// thread of its own, and hands that reading to `digests`.
// REQUIRES: digests, when given, outlives this object.
class StreamingFileCopier : public FileCopier {
 public:
  static constexpr size_t kChunkBytes = 16 << 20;

  explicit StreamingFileCopier(CopiedDigests* digests = nullptr) : digests_(digests) {}

  int32_t CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                   const CopyProgress& progress) override;

 private:
  CopiedDigests* digests_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_SHELL_COPY_FILE_COPIER_H_
