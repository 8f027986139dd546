#ifndef BREVAK_PLATFORM_REGISTRY_H_
#define BREVAK_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <string>

#include "platform/win32_error.h"

namespace brevak {

using HKEY = uintptr_t;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr uint32_t REG_LINK = 6;
inline constexpr uint32_t REG_MULTI_SZ = 7;
inline constexpr uint32_t REG_QWORD = 11;

// The registry, read only, in the shape of advapi32's 8-bit calls, and the
// environment expansion of Kernel32. Names, paths and text data are bytes
// in the system's code page (GBK).
class Registry {
 public:
  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  virtual ~Registry() = default;

  // Opens `sub_key` below `root`. Returns ERROR_SUCCESS and sets *result.
  virtual int32_t RegOpenKeyA(HKEY root, const std::string& sub_key, HKEY* result) = 0;

  // Reads the value at `index`. On entry *name_size is the size of `name`
  // in bytes (room for the NUL included), on return the name's length
  // without the NUL. `data` may be null: then only *type and *data_size are
  // reported. When `data` is given, *data_size is its size on entry and
  // the data's size on return. Returns ERROR_NO_MORE_ITEMS past the last
  // value and ERROR_MORE_DATA when the name or the data does not fit.
  // REQUIRES: key was returned by a successful RegOpenKeyA().
  virtual int32_t RegEnumValueA(HKEY key, uint32_t index, char* name, uint32_t* name_size,
                                uint32_t* reserved, uint32_t* type, uint8_t* data,
                                uint32_t* data_size) = 0;

  // Writes the name of the sub-key at `index` with its NUL into `name` of
  // `size` bytes. Returns ERROR_NO_MORE_ITEMS past the last sub-key and
  // ERROR_MORE_DATA when the name does not fit.
  // REQUIRES: key was returned by a successful RegOpenKeyA().
  virtual int32_t RegEnumKeyA(HKEY key, uint32_t index, char* name, uint32_t size) = 0;

  virtual int32_t RegCloseKey(HKEY key) = 0;

  // Replaces each %NAME% of `source` (read up to its first NUL) by the
  // variable's value and writes the result with a NUL into `destination`
  // of `size` characters. Returns the characters needed, NUL included.
  virtual uint32_t ExpandEnvironmentStringsA(const char* source, char* destination,
                                             uint32_t size) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_REGISTRY_H_
