#ifndef BREVAK_PLATFORM_FOLDERS_H_
#define BREVAK_PLATFORM_FOLDERS_H_

#include <memory>
#include <string>

namespace brevak {

class Folder;

// An enumeration of a folder's immediate subfolders (SubFolders).
class FolderEnumeration {
 public:
  virtual ~FolderEnumeration() = default;
  // The next subfolder, or null when none is left. Raises a RunTimeError
  // when stepping fails.
  virtual std::unique_ptr<Folder> Next() = 0;
};

// A folder object of Scripting.FileSystemObject.
class Folder {
 public:
  virtual ~Folder() = default;
  // The folder's own name, the last component of its path.
  virtual std::u16string Name() = 0;
  // Raises a RunTimeError when the enumeration cannot be started.
  virtual std::unique_ptr<FolderEnumeration> SubFolders() = 0;
};

// Scripting.FileSystemObject.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // The folder at `path` (a trailing backslash names the same folder).
  // Raises a RunTimeError for an empty path or a folder that does not exist.
  virtual std::unique_ptr<Folder> GetFolder(const std::u16string& path) = 0;
};

// Creates file-system objects (CreateObject("Scripting.FileSystemObject"))
// and knows the folder the running tool was started from.
class Folders {
 public:
  Folders() = default;
  Folders(const Folders&) = delete;
  Folders& operator=(const Folders&) = delete;
  virtual ~Folders() = default;

  // Raises a RunTimeError when the object cannot be created.
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject() = 0;
  // The folder that holds the running tool, as a Windows path without a
  // trailing backslash (App.Path).
  virtual std::u16string AppPath() = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_FOLDERS_H_
