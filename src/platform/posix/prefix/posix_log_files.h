#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_

#include "platform/log_files.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// Entries are appended with O_APPEND and flushed (a new file's folder too);
// a file that grew too large is replaced by its tail through "NAME.new"
// (ReplaceFile); a log is renamed with RENAME_NOREPLACE (a hard link and an
// unlink where the file system lacks it), so no file is ever replaced.
class PosixLogFiles : public LogFiles {
 public:
  explicit PosixLogFiles(const WinePrefix& prefix) : prefix_(prefix) {}

  void AppendEntry(const std::u16string& path, const std::string& entry) override;
  void RenameUnlessTaken(const std::u16string& from, const std::u16string& to) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_LOG_FILES_H_
