#ifndef BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FOLDERS_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FOLDERS_H_

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/folders.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// Steps a host directory listing past its current entry. Tests wrap it to
// make a step fail.
class DirectoryStep {
 public:
  virtual ~DirectoryStep() = default;
  virtual void Increment(std::filesystem::directory_iterator& it, std::error_code& ec) { it.increment(ec); }
};

// Scripting.FileSystemObject on a Wine-style prefix. GetFolder maps the
// Windows path into the prefix; an empty path, a missing folder or a file
// raise run-time error 76. SubFolders lists the immediate subfolders
// (hidden ones included, symbolic links to folders too) in the order NTFS
// lists a folder's entries (NtfsNameBefore), whatever order the host's
// directory gives them in; a folder that cannot be listed raises 70
// "没有权限". Names are the host's UTF-8 names in UTF-16. A step of the
// listing that fails ends it after the entry read before it: the folders
// read until then are still listed, and the next call raises the failure.
// Files lists the regular files in the host's order, each step as above. AvailableSpace is the space the user
// may write on the file system that holds the path's nearest existing
// folder; DeleteFolder removes the tree, raising 76 for a folder that does
// not exist and 70 when the host refuses; CreateFolder raises 58 when
// anything (a link too) is at the path already.
// AppPath is the running executable's folder mapped by
// WinePrefix::ToWindows: the deepest drive that holds it, else Z:.
class PosixFolders : public Folders {
 public:
  explicit PosixFolders(const WinePrefix& prefix);
  // The same, with `executable` standing for the running program and `step`
  // (when given) stepping the listings.
  // REQUIRES: step outlives this object and every object made through it.
  PosixFolders(const WinePrefix& prefix, std::filesystem::path executable, DirectoryStep* step = nullptr);

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::u16string AppPath() override;

 private:
  WinePrefix prefix_;
  std::filesystem::path executable_;
  DirectoryStep& step_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_POSIX_FOLDERS_H_
