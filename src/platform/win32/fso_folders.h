#ifndef BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_
#define BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_

#include <memory>

#include "platform/folders.h"

namespace brevak::win32 {

class ComApartment;

// Scripting.FileSystemObject through IDispatch: GetFolder, SubFolders (its
// _NewEnum enumerator) and Name; the running executable's folder from
// GetModuleFileNameW.
class FsoFolders : public Folders {
 public:
  FsoFolders();
  ~FsoFolders() override;

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::u16string AppPath() override;

 private:
  std::unique_ptr<ComApartment> apartment_;
};

// The folder of a full file path: everything before its last backslash.
std::u16string FolderOf(const std::u16string& file_path);

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_
