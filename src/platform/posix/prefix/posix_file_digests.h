#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_DIGESTS_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_DIGESTS_H_

#include "platform/file_digests.h"
#include "platform/posix/digest/copied_digests.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// SHA-256 through libcrypto, reading the file in 1 MiB chunks; or the
// digest the copy just kept for it, when given `copied` and the file is
// still as the copy left it.
// REQUIRES: copied, when given, outlives this object.
class PosixFileDigests : public FileDigests {
 public:
  explicit PosixFileDigests(const WinePrefix& prefix, CopiedDigests* copied = nullptr)
      : prefix_(prefix), copied_(copied) {}

  std::optional<std::string> Sha256(const std::u16string& path,
                                    const std::function<void()>& between_chunks) override;

 private:
  WinePrefix prefix_;
  CopiedDigests* copied_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_DIGESTS_H_
