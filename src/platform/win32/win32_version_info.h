#ifndef BREVAK_PLATFORM_WIN32_WIN32_VERSION_INFO_H_
#define BREVAK_PLATFORM_WIN32_WIN32_VERSION_INFO_H_

#include "platform/version_info.h"

namespace brevak::win32 {

// version.dll's 8-bit calls, passed straight through. version.dll is
// loaded from System32 at the first call; when it cannot be, each call
// raises run-time error 48.
class Win32VersionInfo : public VersionInfo {
 public:
  uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) override;
  int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t length,
                              void* data) override;
  int32_t VerQueryValueA(const void* block, const std::string& sub_block, const void** buffer,
                         uint32_t* length) override;
  uint32_t VerLanguageNameA(uint32_t language, char* name, uint32_t size) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_VERSION_INFO_H_
