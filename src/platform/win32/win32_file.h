#ifndef BREVAK_PLATFORM_WIN32_WIN32_FILE_H_
#define BREVAK_PLATFORM_WIN32_WIN32_FILE_H_

// A file handle and the run-time's file errors, shared by the small files
// the tool keeps (the in-progress record, the log).
#include <windows.h>

#include <string>

#include "platform/runtime_error.h"

namespace brevak::win32 {

// The run-time's file error for a Win32 error.
inline RunTimeError FileError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return vb_error::Raise(vb_error::kDiskFull);
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: return vb_error::Raise(vb_error::kPermissionDenied);
    case ERROR_PATH_NOT_FOUND: return vb_error::Raise(vb_error::kPathNotFound);
    default: return vb_error::Raise(vb_error::kPathFileAccessError);
  }
}

// Raises FileError(GetLastError()) unless `ok`.
inline void CheckFileCall(BOOL ok) {
  if (!ok) throw FileError(GetLastError());
}

// A file handle, closed when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (ok()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Writes every byte; a short write is a full disk.
inline void WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  CheckFileCall(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  if (written != bytes.size()) throw FileError(ERROR_DISK_FULL);
}

// Everything from the file's position to its end.
inline std::string ReadAll(HANDLE file) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    CheckFileCall(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_FILE_H_
