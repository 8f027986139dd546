#include "core/upgrade_lock.h"

#include "core/prompts.h"

namespace brevak {

bool TakeUpgradeLock(Platform& platform) {
  if (platform.instance_lock->TryLock()) return true;
  platform.window->MsgBox(prompt::AnotherCopyRunning(), MsgBoxButtons::kOkOnly);
  return false;
}

}  // namespace brevak
