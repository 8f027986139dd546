#ifndef BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_
#define BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_

#include <memory>

#include "platform/folders.h"

namespace brevak::win32 {

class ComApartment;

// Scripting.FileSystemObject through IDispatch: GetFolder, SubFolders (its
// _NewEnum enumerator) and Name.
class FsoFolders : public Folders {
 public:
  FsoFolders();
  ~FsoFolders() override;

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;

 private:
  std::unique_ptr<ComApartment> apartment_;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_FSO_FOLDERS_H_
