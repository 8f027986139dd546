#ifndef BREVAK_PLATFORM_WIN32_WIN32_DURABLE_FILES_H_
#define BREVAK_PLATFORM_WIN32_WIN32_DURABLE_FILES_H_

#include "platform/durable_files.h"

namespace brevak::win32 {

// A file is written as "NAME.new", flushed (FlushFileBuffers), and moved
// over NAME with MOVEFILE_WRITE_THROUGH, so a crash leaves the old text or
// the new one.
class Win32DurableFiles : public DurableFiles {
 public:
  std::optional<std::u16string> ReadText(const std::u16string& path) override;
  void WriteText(const std::u16string& path, const std::u16string& text) override;
  void Remove(const std::u16string& path) override;
  void Rename(const std::u16string& from, const std::u16string& to) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_DURABLE_FILES_H_
