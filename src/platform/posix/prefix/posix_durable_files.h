#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_DURABLE_FILES_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_DURABLE_FILES_H_

#include "platform/durable_files.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// A file is written as "NAME.new", flushed, renamed over NAME, and the
// folder flushed, so a crash leaves the old text or the new one.
class PosixDurableFiles : public DurableFiles {
 public:
  explicit PosixDurableFiles(const WinePrefix& prefix) : prefix_(prefix) {}

  std::optional<std::u16string> ReadText(const std::u16string& path) override;
  void WriteText(const std::u16string& path, const std::u16string& text) override;
  void Remove(const std::u16string& path) override;
  void Rename(const std::u16string& from, const std::u16string& to) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_DURABLE_FILES_H_
