#ifndef BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_
#define BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace brevak::posix {

// The digests of the files this process has just copied, each read back
// from the copy while it was being written (so the backup's digests cost
// the update no second reading of the files). A digest is handed out once,
// to the first who asks for the file while it is still as the copy left
// it: the same file (device and inode, whatever its name now), the same
// size and the same modification time, which the copy set to the
// source's; any later write or touch changes it and the file is read
// again. After that one answer the file is always read again. A write
// that slipped past all three would leave the record with the copy's own
// digest, which the file then fails: it is distrusted, never wrongly
// trusted.
//
// Used from one thread.
class CopiedDigests {
 public:
  // The copy whose status is `copy` has the digest `digest`.
  void Keep(const struct stat& copy, std::string digest);
  // The kept digest of `file` when it is still as its copy left it;
  // forgets it either way.
  std::optional<std::string> Take(const std::filesystem::path& file);

 private:
  struct Copy {
    off_t size = 0;
    struct timespec modified {};
    std::string digest;
  };
  std::map<std::pair<dev_t, ino_t>, Copy> copies_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DIGEST_COPIED_DIGESTS_H_
