#include "platform/win32/win32_durable_files.h"

#include <windows.h>

#include <string>

#include "platform/runtime_error.h"
#include "platform/win32/wide.h"

namespace brevak::win32 {
namespace {

// The run-time's file error for a Win32 error.
RunTimeError FileError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return vb_error::Raise(vb_error::kDiskFull);
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: return vb_error::Raise(vb_error::kPermissionDenied);
    case ERROR_PATH_NOT_FOUND: return vb_error::Raise(vb_error::kPathNotFound);
    default: return vb_error::Raise(vb_error::kPathFileAccessError);
  }
}

void Check(BOOL ok) {
  if (!ok) throw FileError(GetLastError());
}

// A file handle, closed when it goes out of scope.
class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  ~File() {
    if (ok()) CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

std::string ToUtf8(const std::u16string& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  return bytes;
}

std::u16string FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return FromWide(text.data(), text.size());
}

}  // namespace

std::optional<std::u16string> Win32DurableFiles::ReadText(const std::u16string& path) {
  File file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok() && GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
  Check(file.ok());
  std::string bytes;
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    Check(ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr));
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  return FromUtf8(bytes);
}

void Win32DurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  const std::u16string temp = path + u".new";
  {
    File file(CreateFileW(Wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(file.ok());
    const std::string bytes = ToUtf8(text) + "\r\n";
    DWORD written = 0;
    Check(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    if (written != bytes.size()) throw FileError(ERROR_DISK_FULL);
    Check(FlushFileBuffers(file.get()));
  }
  Check(MoveFileExW(Wide(temp), Wide(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

void Win32DurableFiles::Remove(const std::u16string& path) {
  if (DeleteFileW(Wide(path))) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) throw FileError(error);
}

void Win32DurableFiles::Rename(const std::u16string& from, const std::u16string& to) {
  Check(MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

}  // namespace brevak::win32
