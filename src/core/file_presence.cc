#include "core/file_presence.h"

#include "platform/runtime_error.h"

namespace brevak {

bool FolderIsThere(Platform& platform, const std::u16string& folder) {
  bool exists = true;
  ResumeNext([&] { exists = platform.folders->CreateFileSystemObject()->FolderExists(folder); });
  return exists;
}

bool FileIsThere(Platform& platform, const std::u16string& path) {
  bool exists = false;
  ResumeNext([&] { exists = platform.folders->CreateFileSystemObject()->FileExists(path); });
  return exists;
}

}  // namespace brevak
