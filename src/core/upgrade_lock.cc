#include "core/upgrade_lock.h"

#include "core/vb_text.h"

namespace brevak {

bool TakeUpgradeLock(Platform& platform) {
  if (platform.instance_lock->TryLock()) return true;
  platform.window->MsgBox(u"Brevak升级程序已经在运行。" + vb::vbCrLf + u"请等它结束后再运行升级程序。",
                          MsgBoxButtons::kOkOnly);
  return false;
}

}  // namespace brevak
