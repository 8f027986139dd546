#ifndef BREVAK_PLATFORM_FOLDERS_H_
#define BREVAK_PLATFORM_FOLDERS_H_

#include <cstdint>
#include <memory>
#include <string>

namespace brevak {

class Folder;

// A file object of Scripting.FileSystemObject.
class File {
 public:
  virtual ~File() = default;
  // The file's own name, the last component of its path.
  virtual std::u16string Name() = 0;
  // Its size in bytes.
  virtual int64_t Size() = 0;
  // When it was last written, as a Date (days since 30 December 1899).
  virtual double DateLastModified() = 0;
};

// An enumeration of a folder's files (Files).
class FileEnumeration {
 public:
  virtual ~FileEnumeration() = default;
  // The next file, or null when none is left. Raises a RunTimeError when
  // stepping fails.
  virtual std::unique_ptr<File> Next() = 0;
};

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
  // The folder's files, not those of its subfolders. Raises a RunTimeError
  // when the enumeration cannot be started.
  virtual std::unique_ptr<FileEnumeration> Files() = 0;
};

// Scripting.FileSystemObject.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // The folder at `path` (a trailing backslash names the same folder).
  // Raises a RunTimeError for an empty path or a folder that does not exist.
  virtual std::unique_ptr<Folder> GetFolder(const std::u16string& path) = 0;
  // The file at `path`. Raises a RunTimeError when there is no such file.
  virtual std::unique_ptr<File> GetFile(const std::u16string& path) = 0;
  // FolderExists / FileExists: false for anything else at `path`.
  virtual bool FolderExists(const std::u16string& path) = 0;
  virtual bool FileExists(const std::u16string& path) = 0;
  // DeleteFolder(path, True): the folder with everything in it, read-only
  // files included. Raises a RunTimeError when the folder does not exist or
  // cannot be removed whole.
  virtual void DeleteFolder(const std::u16string& path) = 0;
  // CreateFolder(path): one new, empty folder whose parent exists. Raises
  // run-time error 58 when anything exists at `path` already, and a
  // RunTimeError when the folder cannot be made.
  virtual void CreateFolder(const std::u16string& path) = 0;
  // GetDrive(GetDriveName(path)).AvailableSpace: the bytes the user may
  // still write on the drive that holds `path`. Raises a RunTimeError when
  // the drive cannot be read.
  virtual int64_t AvailableSpace(const std::u16string& path) = 0;
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
