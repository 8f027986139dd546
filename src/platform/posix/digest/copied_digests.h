#ifndef BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_
#define BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/digest/read_back_digest.h"

namespace brevak::posix {

// The digests of the files this process has just copied, each read back
// from the copy while it was being written (so the backup's digests cost
// the update no second reading of the files). The reading of a copy may
// still be going on while the next file is copied; the first who asks
// for the file waits for it. A digest is handed out once, to the first
// who asks for the file while it is still as the copy left it: the same
// file (device and inode, whatever its name now), the same size and the
// same modification time, which the copy set to the source's; any later
// write or touch changes it and the file is read again. After that one
// answer the file is always read again. A write that slipped past all
// three would leave the record with the copy's own digest, which the file
// then fails: it is distrusted, never wrongly trusted.
//
// Used from one thread.
class CopiedDigests {
 public:
  // Copies whose reading may go on at once; the oldest is waited for
  // when another comes.
  static constexpr size_t kReadingAtOnce = 4;
  // Copies kept at most: a digest nobody asked for (the package's files,
  // a restore's) is forgotten, oldest first, once this many followed it.
  static constexpr size_t kKeptAtMost = 64;

  // The copy whose status is `copy` is being read back by `reading`,
  // whose writes have ended.
  void Keep(const struct stat& copy, std::unique_ptr<ReadBackDigest> reading);
  // The digest of `file` read back from its copy, when the file is still
  // as its copy left it; forgets the copy either way.
  std::optional<std::string> Take(const std::filesystem::path& file);

 private:
  struct Copy {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified {};
    std::unique_ptr<ReadBackDigest> reading;  // null once finished
    std::optional<std::string> digest;
  };
  static void Finish(Copy& copy);

  std::list<Copy> copies_;  // oldest first
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_
