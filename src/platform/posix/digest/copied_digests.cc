#include "platform/posix/digest/copied_digests.h"

namespace brevak::posix {

void CopiedDigests::Keep(const struct stat& copy, std::string digest) {
  copies_[{copy.st_dev, copy.st_ino}] = Copy{copy.st_size, copy.st_mtim, std::move(digest)};
}

std::optional<std::string> CopiedDigests::Take(const std::filesystem::path& file) {
  if (copies_.empty()) return std::nullopt;
  struct stat now {};
  if (::stat(file.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) return std::nullopt;
  const auto kept = copies_.find({now.st_dev, now.st_ino});
  if (kept == copies_.end()) return std::nullopt;
  const Copy copy = std::move(kept->second);
  copies_.erase(kept);
  if (copy.size != now.st_size || copy.modified.tv_sec != now.st_mtim.tv_sec ||
      copy.modified.tv_nsec != now.st_mtim.tv_nsec) {
    return std::nullopt;
  }
  return copy.digest;
}

}  // namespace brevak::posix
