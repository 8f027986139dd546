#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_

#include "platform/log_files.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// Entries are appended with O_APPEND and flushed (a new file's folder too);
// a file that grew too large is replaced by its tail through "NAME.new"
// (ReplaceFile).
class PosixLogFiles : public LogFiles {
 public:
  explicit PosixLogFiles(const WinePrefix& prefix) : prefix_(prefix) {}

  void AppendEntry(const std::u16string& path, const std::string& entry) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_
