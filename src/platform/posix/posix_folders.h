#ifndef BREVAK_PLATFORM_POSIX_POSIX_FOLDERS_H_
#define BREVAK_PLATFORM_POSIX_POSIX_FOLDERS_H_

#include <memory>

#include "platform/folders.h"
#include "platform/posix/wine_prefix.h"

namespace brevak::posix {

// Scripting.FileSystemObject on a Wine-style prefix. GetFolder maps the
// Windows path into the prefix; an empty path, a missing folder or a file
// raise run-time error 76. SubFolders lists the immediate subfolders
// (hidden ones included, symbolic links to folders too) in the order the
// host's directory listing gives them; a folder that cannot be listed
// raises 70 "没有权限". Names are the host's UTF-8 names in UTF-16. Files
// lists the regular files in the same way. AvailableSpace is the space
// the user may write on the file system that holds the path's nearest
// existing folder; DeleteFolder removes the tree, raising 76 for a folder
// that does not exist and 70 when the host refuses.
class PosixFolders : public Folders {
 public:
  explicit PosixFolders(const WinePrefix& prefix);

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_POSIX_FOLDERS_H_
