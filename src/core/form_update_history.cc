// The backup history: the list of the installation's subfolders and the
// restore button's label.
#include "core/form_update.h"
#include "core/vb_text.h"

namespace brevak {

void FormUpdate::cmdGetHistory_Click() {
  const int16_t count = window().ListCount();
  for (int16_t i = 1; i <= count; ++i) window().RemoveItem(0);
  SeachFile(sInstallDir_, folders_.UnfinishedCopyFolderName(sInstallDir_));
  if (window().ListCount() == 0) window().MsgBox(u"没有找到升级记录", MsgBoxButtons::kOkOnly);
}

// Lists every immediate subfolder of `strPath` in the platform's order. A
// folder that cannot be opened or listed lists nothing; a subfolder whose
// name cannot be read is left out, and so is a folder a copy was still
// being made into when a run ended: nothing in it is a whole backup.
void FormUpdate::SeachFile(std::u16string strPath, const std::u16string& hidden) {
  std::unique_ptr<FileSystemObject> fso;
  std::unique_ptr<Folder> folder;
  std::unique_ptr<FolderEnumeration> subfolders;
  ResumeNext([&] { fso = platform_.folders->CreateFileSystemObject(); });
  if (!fso) return;
  ResumeNext([&] { folder = fso->GetFolder(strPath); });
  if (!folder) return;
  ResumeNext([&] { subfolders = folder->SubFolders(); });
  if (!subfolders) return;
  for (;;) {
    std::unique_ptr<Folder> subfolder;
    if (!ResumeNext([&] { subfolder = subfolders->Next(); }) || !subfolder) return;
    ResumeNext([&] {
      const std::u16string name = subfolder->Name();
      if (hidden.empty() || name != hidden) window().AddItem(name);
    });
  }
}

void FormUpdate::ListDir_Click() {
  window().SetCaption(Control::CmdRestore, SplitDir(window().List(window().ListIndex())));
}

// Pairs of characters counted from the end, each followed by its unit, the
// first two characters in front: 20121225051422 gives
// 恢复2012年12月25日05时14分22秒数据. A pair that would start before the
// first character is left out with its unit.
std::u16string FormUpdate::SplitDir(const std::u16string& sDir) {
  const std::vector<std::u16string> units = vb::Split(u"秒;分;时;日;月;年", u";");
  const int32_t length = vb::Len(sDir);
  std::u16string middle;
  for (int32_t i = 0; i <= 5; ++i) {
    ResumeNext([&] { middle = vb::Mid(sDir, length - 2 * i - 1, 2) + units[i] + middle; });
  }
  return u"恢复" + vb::Left(sDir, 2) + middle + u"数据";
}

}  // namespace brevak
