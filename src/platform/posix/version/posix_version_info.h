#ifndef BREVAK_PLATFORM_POSIX_VERSION_POSIX_VERSION_INFO_H_
#define BREVAK_PLATFORM_POSIX_VERSION_POSIX_VERSION_INFO_H_

#include <cstdint>
#include <span>

#include "platform/code_page.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "platform/version_info.h"

namespace brevak::posix {

// Version resources read from the PE files of a Wine-style prefix.
//
// The caller's block buffer holds everything a query needs, so it may be
// copied or moved between calls:
//   [0, L)            the version block as the file holds it (L: its wLength)
//   [A, A + 4)        the mark "FE2X", A = L rounded up to 32 bits
//   [A + 4, 2A + 8)   the 8-bit area: a text value at offset P of the block
//                     is converted to the code page at A + 4 + P, NUL-ended
// An 8-bit text never needs more bytes than its UTF-16 form, so each
// converted value fits in the place of its original.
class PosixVersionInfo : public VersionInfo {
 public:
  // Both must outlive this object.
  PosixVersionInfo(const WinePrefix& prefix, CodePage& code_page);

  uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) override;
  // Fails (0) unless `length` is at least what GetFileVersionInfoSizeA()
  // reports for the file.
  int32_t GetFileVersionInfoA(const std::string& path, uint32_t handle, uint32_t length,
                              void* data) override;
  // REQUIRES: `block` was filled by GetFileVersionInfoA() (or is a copy of
  // such a buffer). A text value is converted into the block's 8-bit area;
  // *length is then its byte count, with the NUL when the file stores one.
  int32_t VerQueryValueA(const void* block, const std::string& sub_block, const void** buffer,
                         uint32_t* length) override;
  // Copies the Chinese display name, cut to `size` - 1 bytes on a character
  // boundary, with a NUL. Returns the whole name's length in bytes.
  uint32_t VerLanguageNameA(uint32_t language, char* name, uint32_t size) override;

  // The buffer size that GetFileVersionInfoSizeA() reports for a version
  // block of `block_length` bytes.
  static uint32_t BufferSize(size_t block_length);
  // Lays `block` out in `buffer` as GetFileVersionInfoA() does.
  // REQUIRES: `buffer` holds BufferSize(block.size()) bytes.
  static void FillBlockBuffer(std::span<const uint8_t> block, uint8_t* buffer);

 private:
  std::filesystem::path HostPath(const std::string& path);

  const WinePrefix& prefix_;
  CodePage& code_page_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_VERSION_POSIX_VERSION_INFO_H_
