// Before an update: the shop's live data may be in the user's VirtualStore.
#include "core/form_update.h"
#include "core/vb_text.h"
#include "core/virtual_store.h"

namespace brevak {
namespace {

const char16_t kCopiesFound[] = u"在以下文件夹中发现了本软件数据文件的副本：";
const char16_t kWhatItMeans[] =
    u"软件没有以管理员身份运行时，Windows 会把数据写到那里，您最近的数据可能就在其中。"
    u"为免把旧数据升级，本次升级没有做任何更改。请先让技术人员核对这些文件，再运行升级程序。";

}  // namespace

// When Brevak ran without administrator rights on Vista or later, Windows
// redirected its writes under the installation folder into the user's
// VirtualStore: the copies there may be the shop's live data, and an update
// would back up and migrate the stale files instead. The user is told where
// they are, and nothing changes. A folder that cannot be read is taken to
// hold nothing: the check must not stop an update on its own failure.
bool FormUpdate::DataLeftInVirtualStore() {
  std::u16string folder;
  ResumeNext([&] { folder = VirtualStoreFolderWithData(platform_, sInstallDir_); });
  if (folder.empty()) return false;
  ResumeNext([&] {
    window().MsgBox(kCopiesFound + vb::vbCrLf + folder + vb::vbCrLf + kWhatItMeans,
                    MsgBoxButtons::kOkOnly);
  });
  return true;
}

}  // namespace brevak
