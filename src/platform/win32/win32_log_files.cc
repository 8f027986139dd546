#include "platform/win32/win32_log_files.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_file.h"

namespace brevak::win32 {
namespace {

// Replaces the file by its tail from `from`; a crash leaves the whole old
// file or the tail.
void KeepTail(const std::u16string& path, const std::string& contents, size_t from) {
  const std::u16string temp = path + u".new";
  {
    FileHandle file(CreateFileW(Wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    CheckFileCall(file.ok());
    WriteAll(file.get(), contents.substr(from));
    CheckFileCall(FlushFileBuffers(file.get()));
  }
  CheckFileCall(MoveFileExW(Wide(temp), Wide(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

}  // namespace

// Readers (a text viewer left open) may share the file while it grows.
void Win32LogFiles::AppendEntry(const std::u16string& path, const std::string& entry) {
  std::string contents;
  {
    FileHandle file(CreateFileW(Wide(path), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    CheckFileCall(file.ok());
    WriteAll(file.get(), entry);
    CheckFileCall(FlushFileBuffers(file.get()));
    LARGE_INTEGER size{};
    CheckFileCall(GetFileSizeEx(file.get(), &size));
    if (static_cast<unsigned long long>(size.QuadPart) <= kLogTrimAbove) return;
    CheckFileCall(SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    contents = ReadAll(file.get());
  }
  const size_t from = LogKeptFrom(contents);
  if (from > 0) KeepTail(path, contents, from);
}

void Win32LogFiles::RenameUnlessTaken(const std::u16string& from, const std::u16string& to) {
  if (MoveFileExW(Wide(from), Wide(to), MOVEFILE_WRITE_THROUGH)) return;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS || error == ERROR_FILE_NOT_FOUND) return;
  throw FileError(error);
}

}  // namespace brevak::win32
