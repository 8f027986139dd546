#ifndef BREVAK_CORE_UPGRADE_LOCK_H_
#define BREVAK_CORE_UPGRADE_LOCK_H_

#include "platform/platform.h"

namespace brevak {

// Takes the lock that lets one copy of the tool run at a time, held until
// the program ends. When another copy holds it, says so and returns false:
// this copy must end without changing anything.
bool TakeUpgradeLock(Platform& platform);

}  // namespace brevak

#endif  // BREVAK_CORE_UPGRADE_LOCK_H_
