#ifndef BREVAK_PLATFORM_WIN32_WIN32_FILE_DIGESTS_H_
#define BREVAK_PLATFORM_WIN32_WIN32_FILE_DIGESTS_H_

#include "platform/file_digests.h"

namespace brevak::win32 {

// SHA-256 through CryptoAPI's AES provider (PROV_RSA_AES, which Windows XP
// has from SP3), reading the file in 1 MiB chunks.
class Win32FileDigests : public FileDigests {
 public:
  std::optional<std::string> Sha256(const std::u16string& path,
                                    const std::function<void()>& between_chunks) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_FILE_DIGESTS_H_
