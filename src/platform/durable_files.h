#ifndef BREVAK_PLATFORM_DURABLE_FILES_H_
#define BREVAK_PLATFORM_DURABLE_FILES_H_

#include <optional>
#include <string>

namespace brevak {

// Small text files that must survive a power cut: each is replaced whole
// or not at all, and is on the disk when the call returns. Paths are
// Windows paths; the text is kept as UTF-8. Failures raise a RunTimeError.
inline constexpr long long kMaxDurableFileSize = 64 * 1024;

class DurableFiles {
 public:
  DurableFiles() = default;
  DurableFiles(const DurableFiles&) = delete;
  DurableFiles& operator=(const DurableFiles&) = delete;
  virtual ~DurableFiles() = default;

  // The file's text, or nothing when the file does not exist. Anything
  // but a regular file of at most kMaxDurableFileSize bytes (a link, a
  // folder, a pipe, a device) raises a RunTimeError without being read.
  virtual std::optional<std::u16string> ReadText(const std::u16string& path) = 0;
  // Replaces the file with `text`; a crash leaves the old file or the new.
  virtual void WriteText(const std::u16string& path, const std::u16string& text) = 0;
  // Removes the file, durably; a missing file is no failure.
  virtual void Remove(const std::u16string& path) = 0;
  // Gives the file another name in the same folder, durably; an existing
  // file of that name is replaced.
  virtual void Rename(const std::u16string& from, const std::u16string& to) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_DURABLE_FILES_H_
