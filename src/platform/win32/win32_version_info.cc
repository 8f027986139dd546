#include "platform/win32/win32_version_info.h"

#include <windows.h>

namespace brevak::win32 {

uint32_t Win32VersionInfo::GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (handle != nullptr) *handle = ignored;
  return size;
}

int32_t Win32VersionInfo::GetFileVersionInfoA(const std::string& path, uint32_t handle,
                                              uint32_t length, void* data) {
  return ::GetFileVersionInfoA(path.c_str(), handle, length, data);
}

int32_t Win32VersionInfo::VerQueryValueA(const void* block, const std::string& sub_block,
                                         const void** buffer, uint32_t* length) {
  void* found = nullptr;
  UINT found_length = 0;
  const BOOL ok = ::VerQueryValueA(block, sub_block.c_str(), &found, &found_length);
  *buffer = found;
  if (length != nullptr) *length = found_length;
  return ok;
}

uint32_t Win32VersionInfo::VerLanguageNameA(uint32_t language, char* name, uint32_t size) {
  return ::VerLanguageNameA(language, name, size);
}

}  // namespace brevak::win32
