#include "platform/posix/digest/copied_digests.h"

#include <algorithm>
#include <utility>

namespace brevak::posix {

void CopiedDigests::Finish(Copy& copy) {
  if (!copy.reading) return;
  copy.digest = copy.reading->Finish();
  copy.reading.reset();
}

void CopiedDigests::Keep(const struct stat& copy, std::unique_ptr<ReadBackDigest> reading) {
  // The same file copied again is read again.
  copies_.remove_if([&](const Copy& kept) { return kept.device == copy.st_dev && kept.inode == copy.st_ino; });
  const auto still_reading = [](const Copy& kept) { return kept.reading != nullptr; };
  if (static_cast<size_t>(std::count_if(copies_.begin(), copies_.end(), still_reading)) >= kReadingAtOnce) {
    Finish(*std::find_if(copies_.begin(), copies_.end(), still_reading));
  }
  copies_.push_back(Copy{copy.st_dev, copy.st_ino, copy.st_size, copy.st_mtim, std::move(reading), std::nullopt});
  if (copies_.size() > kKeptAtMost) copies_.pop_front();  // its reading ended long ago
}

std::optional<std::string> CopiedDigests::Take(const std::filesystem::path& file) {
  if (copies_.empty()) return std::nullopt;
  struct stat now {};
  if (::stat(file.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) return std::nullopt;
  const auto kept = std::find_if(copies_.begin(), copies_.end(), [&](const Copy& copy) {
    return copy.device == now.st_dev && copy.inode == now.st_ino;
  });
  if (kept == copies_.end()) return std::nullopt;
  Copy copy = std::move(*kept);
  copies_.erase(kept);
  if (copy.size != now.st_size || copy.modified.tv_sec != now.st_mtim.tv_sec ||
      copy.modified.tv_nsec != now.st_mtim.tv_nsec) {
    return std::nullopt;  // its reading stops with it
  }
  Finish(copy);
  return copy.digest;
}

}  // namespace brevak::posix
