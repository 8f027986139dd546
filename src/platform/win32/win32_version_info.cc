#include "platform/win32/win32_version_info.h"

#include <windows.h>

#include "platform/win32/system_library.h"

namespace brevak::win32 {
namespace {

// version.dll is no known DLL: it is reached from System32 at run time,
// never imported (see system_library.h).
struct VersionDll {
  decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA =
      SystemFunction<decltype(&::GetFileVersionInfoSizeA)>(L"version.dll",
                                                            "GetFileVersionInfoSizeA");
  decltype(&::GetFileVersionInfoA) GetFileVersionInfoA =
      SystemFunction<decltype(&::GetFileVersionInfoA)>(L"version.dll", "GetFileVersionInfoA");
  decltype(&::VerQueryValueA) VerQueryValueA =
      SystemFunction<decltype(&::VerQueryValueA)>(L"version.dll", "VerQueryValueA");
  decltype(&::VerLanguageNameA) VerLanguageNameA =
      SystemFunction<decltype(&::VerLanguageNameA)>(L"version.dll", "VerLanguageNameA");
};

// Resolved on first use; a failure raises the run-time error at that call
// and is tried again at the next.
const VersionDll& Dll() {
  static const VersionDll dll;
  return dll;
}

}  // namespace

uint32_t Win32VersionInfo::GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  DWORD ignored = 0;
  const DWORD size = Dll().GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (handle != nullptr) *handle = ignored;
  return size;
}

int32_t Win32VersionInfo::GetFileVersionInfoA(const std::string& path, uint32_t handle,
                                              uint32_t length, void* data) {
  return Dll().GetFileVersionInfoA(path.c_str(), handle, length, data);
}

int32_t Win32VersionInfo::VerQueryValueA(const void* block, const std::string& sub_block,
                                         const void** buffer, uint32_t* length) {
  void* found = nullptr;
  UINT found_length = 0;
  const BOOL ok = Dll().VerQueryValueA(block, sub_block.c_str(), &found, &found_length);
  *buffer = found;
  if (length != nullptr) *length = found_length;
  return ok;
}

uint32_t Win32VersionInfo::VerLanguageNameA(uint32_t language, char* name, uint32_t size) {
  return Dll().VerLanguageNameA(language, name, size);
}

}  // namespace brevak::win32
