#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_EXISTENCE_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_EXISTENCE_H_

#include "platform/file_existence.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// File existence on a Wine-style prefix: the pattern's folder is mapped into
// the prefix and its entries matched as the shell copy matches them.
class PosixFileExistence : public FileExistence {
 public:
  explicit PosixFileExistence(const WinePrefix& prefix) : prefix_(prefix) {}

  bool AnyFileMatches(const std::u16string& pattern) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FILE_EXISTENCE_H_
