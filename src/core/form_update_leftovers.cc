// What an interrupted copy of the tool leaves behind: a backup folder it
// had only begun, holding the copy's temporary files and no database.
#include <algorithm>

#include "core/form_update.h"
#include "core/jet_database.h"
#include "core/update_record.h"

namespace brevak {
namespace {

bool IsCopyTemporary(const std::u16string& name) {
  return name.starts_with(u".~brevak-") && name.ends_with(u".tmp");
}

bool IsDatabase(std::u16string name) {
  for (char16_t& c : name) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return name == u"CUSTOMERDATA.CAR" || name == u"ADDR.MDB";
}

// A folder without the copy's temporary files is the user's, and one that
// holds a database is a backup: neither is half-made.
bool IsHalfMade(Folder& folder) {
  bool temporary = false;
  bool database = false;
  const std::unique_ptr<FileEnumeration> files = folder.Files();
  while (std::unique_ptr<File> file = files->Next()) {
    temporary = temporary || IsCopyTemporary(file->Name());
    database = database || IsDatabase(file->Name());
  }
  return temporary && !database;
}

}  // namespace

// Nothing that cannot be read is removed.
void FormUpdate::RemoveHalfMadeBackups() {
  std::vector<std::u16string> half_made;
  ResumeNext([&] {
    const std::unique_ptr<FileSystemObject> fso = platform_.folders->CreateFileSystemObject();
    const std::unique_ptr<FolderEnumeration> subfolders = fso->GetFolder(sInstallDir_)->SubFolders();
    while (std::unique_ptr<Folder> folder = subfolders->Next()) {
      const std::u16string name = folder->Name();
      if (IsStampName(name) && IsHalfMade(*folder)) half_made.push_back(sInstallDir_ + name);
    }
  });
  for (const std::u16string& folder : half_made) RemoveFolder(folder);
}

}  // namespace brevak
