#ifndef BREVAK_PLATFORM_WIN32_WIN32_REGISTRY_H_
#define BREVAK_PLATFORM_WIN32_WIN32_REGISTRY_H_

#include "platform/registry.h"

namespace brevak::win32 {

// advapi32's registry calls and Kernel32's environment expansion, passed
// straight through.
class Win32Registry : public Registry {
 public:
  int32_t RegOpenKeyA(HKEY root, const std::string& sub_key, HKEY* result) override;
  int32_t RegEnumValueA(HKEY key, uint32_t index, char* name, uint32_t* name_size,
                        uint32_t* reserved, uint32_t* type, uint8_t* data,
                        uint32_t* data_size) override;
  int32_t RegEnumKeyA(HKEY key, uint32_t index, char* name, uint32_t size) override;
  int32_t RegCloseKey(HKEY key) override;
  uint32_t ExpandEnvironmentStringsA(const char* source, char* destination,
                                     uint32_t size) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_REGISTRY_H_
