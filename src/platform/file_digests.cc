#include "platform/file_digests.h"

namespace brevak {

std::string DigestHex(const unsigned char* digest, size_t size) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

}  // namespace brevak
