#include "platform/win32/win32_durable_files.h"

#include <windows.h>

#include <string>

#include "platform/runtime_error.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_file.h"

namespace brevak::win32 {
namespace {

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

// Where a write of `path` puts its text before the move.
std::u16string UnfinishedWrite(const std::u16string& path) { return path + u".new"; }

}  // namespace

std::optional<std::u16string> Win32DurableFiles::ReadText(const std::u16string& path) {
  // A write cut off before its move never happened: its caller was told
  // nothing was written. Its leftover goes; if it cannot, it does no harm,
  // since the next write replaces it.
  DeleteFileW(Wide(UnfinishedWrite(path)));
  // Only a small regular file on a disk is read: a link, a folder, a pipe
  // or a device put in its place is refused at once instead of hanging or
  // filling memory.
  FileHandle file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.ok() && GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
  CheckFileCall(file.ok());
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      info.nFileSizeHigh != 0 || info.nFileSizeLow > kMaxDurableFileSize) {
    throw FileError(ERROR_INVALID_DATA);
  }
  const std::string bytes = ReadAll(file.get());
  if (bytes.size() > kMaxDurableFileSize) throw FileError(ERROR_INVALID_DATA);
  return FromUtf8(bytes);
}

void Win32DurableFiles::WriteText(const std::u16string& path, const std::u16string& text) {
  const std::u16string temp = UnfinishedWrite(path);
  {
    FileHandle file(CreateFileW(Wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    CheckFileCall(file.ok());
    WriteAll(file.get(), ToUtf8(text) + "\r\n");
    CheckFileCall(FlushFileBuffers(file.get()));
  }
  CheckFileCall(MoveFileExW(Wide(temp), Wide(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

// The file goes, and so does what an unfinished write of it left.
void Win32DurableFiles::Remove(const std::u16string& path) {
  for (const std::u16string& file : {UnfinishedWrite(path), path}) {
    if (DeleteFileW(Wide(file))) continue;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) throw FileError(error);
  }
}

void Win32DurableFiles::Rename(const std::u16string& from, const std::u16string& to) {
  CheckFileCall(MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

}  // namespace brevak::win32
