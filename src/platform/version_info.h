#ifndef BREVAK_PLATFORM_VERSION_INFO_H_
#define BREVAK_PLATFORM_VERSION_INFO_H_

#include <cstdint>
#include <string>

namespace brevak {

// The version resources of executable files, in the shape of version.dll's
// 8-bit calls. Paths, sub-block paths and text values are bytes in the
// system's code page (GBK).
class VersionInfo {
 public:
  VersionInfo() = default;
  VersionInfo(const VersionInfo&) = delete;
  VersionInfo& operator=(const VersionInfo&) = delete;
  virtual ~VersionInfo() = default;

  // Size in bytes of the file's version block; 0 when the file is missing
  // or carries none. *handle is set to 0.
  virtual uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) = 0;

  // Reads the version block into `data` of `length` bytes. Non-zero when
  // the whole block was read.
  virtual int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t length,
                                      void* data) = 0;

  // Looks `sub_block` up in a block read by GetFileVersionInfoA(). Non-zero
  // when it exists; then *buffer points into `block` and *length is the
  // value's length (bytes for binary values, characters for text).
  virtual int32_t VerQueryValueA(const void* block, const std::string& sub_block,
                                 const void** buffer, uint32_t* length) = 0;

  // Writes the display name of `language` with a NUL into `name` of `size`
  // bytes. Returns the name's length.
  virtual uint32_t VerLanguageNameA(uint32_t language, char* name, uint32_t size) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_VERSION_INFO_H_
