#include "platform/win32/win32_registry.h"

// After the platform header: windows.h defines REG_SZ and friends as macros.
#include <windows.h>

namespace brevak::win32 {
namespace {

::HKEY Native(brevak::HKEY key) { return reinterpret_cast<::HKEY>(key); }

// A DWORD in-out argument for a uint32_t that may be absent.
class DwordArgument {
 public:
  explicit DwordArgument(uint32_t* value) : value_(value), dword_(value ? *value : 0) {}
  ~DwordArgument() {
    if (value_ != nullptr) *value_ = dword_;
  }
  DwordArgument(const DwordArgument&) = delete;
  DwordArgument& operator=(const DwordArgument&) = delete;
  DWORD* get() { return value_ != nullptr ? &dword_ : nullptr; }

 private:
  uint32_t* value_;
  DWORD dword_;
};

}  // namespace

int32_t Win32Registry::RegOpenKeyA(brevak::HKEY root, const std::string& sub_key,
                                   brevak::HKEY* result) {
  ::HKEY opened = nullptr;
  const LONG rc = ::RegOpenKeyA(Native(root), sub_key.c_str(), &opened);
  *result = reinterpret_cast<brevak::HKEY>(opened);
  return rc;
}

int32_t Win32Registry::RegEnumValueA(brevak::HKEY key, uint32_t index, char* name,
                                     uint32_t* name_size, uint32_t* reserved, uint32_t* type,
                                     uint8_t* data, uint32_t* data_size) {
  DwordArgument name_dword(name_size), reserved_dword(reserved), type_dword(type),
      size_dword(data_size);
  return ::RegEnumValueA(Native(key), index, name, name_dword.get(), reserved_dword.get(),
                         type_dword.get(), data, size_dword.get());
}

int32_t Win32Registry::RegEnumKeyA(brevak::HKEY key, uint32_t index, char* name, uint32_t size) {
  return ::RegEnumKeyA(Native(key), index, name, size);
}

int32_t Win32Registry::RegCloseKey(brevak::HKEY key) { return ::RegCloseKey(Native(key)); }

uint32_t Win32Registry::ExpandEnvironmentStringsA(const char* source, char* destination,
                                                  uint32_t size) {
  return ::ExpandEnvironmentStringsA(source, destination, size);
}

}  // namespace brevak::win32
