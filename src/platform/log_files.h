#ifndef BREVAK_PLATFORM_LOG_FILES_H_
#define BREVAK_PLATFORM_LOG_FILES_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace brevak {

// A file above this size loses its oldest entries on the next append ...
inline constexpr size_t kLogTrimAbove = size_t{1} << 20;
// ... and keeps at most this many bytes of its newest ones.
inline constexpr size_t kLogKeep = size_t{512} << 10;
// Every entry ends with an empty line, and holds no other.
inline constexpr std::string_view kLogEntryEnd = "\r\n\r\n";

// Where a log of `contents` starts once its oldest entries have gone: 0
// while it is not above kLogTrimAbove, else the first entry that starts in
// its last kLogKeep bytes (the last entry when none does: an entry is never
// cut).
size_t LogKeptFrom(std::string_view contents);

// Log files that a person reads later: entries are only ever added at the
// end, and the file never grows without bound. Paths are Windows paths; the
// bytes go into the file as given. Failures raise a RunTimeError.
class LogFiles {
 public:
  LogFiles() = default;
  LogFiles(const LogFiles&) = delete;
  LogFiles& operator=(const LogFiles&) = delete;
  virtual ~LogFiles() = default;

  // Appends `entry` to the file, creating it when missing, and has it on
  // the disk when the call returns. When the file is then above
  // kLogTrimAbove, it is replaced by its tail from LogKeptFrom, written
  // beside it, flushed and renamed over it: a crash leaves the old file or
  // the new one. REQUIRES: `entry` ends with kLogEntryEnd and holds it
  // nowhere else.
  virtual void AppendEntry(const std::u16string& path, const std::string& entry) = 0;
  // Gives the log kept under the earlier name `from` the name `to`, in the
  // same folder, durably. A file already named `to` is never replaced (the
  // call then changes nothing), and a missing `from` is no failure.
  virtual void RenameUnlessTaken(const std::u16string& from, const std::u16string& to) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_LOG_FILES_H_
