#ifndef BREVAK_PLATFORM_WIN32_WIN32_INSTANCE_LOCK_H_
#define BREVAK_PLATFORM_WIN32_WIN32_INSTANCE_LOCK_H_

#include "platform/instance_lock.h"

namespace brevak::win32 {

// Global: every session of the machine shares the one installation.
inline constexpr wchar_t kInstanceMutexName[] = L"Global\\BrevakUpgradeTool";

// A named mutex, owned until the process ends. Windows hands a mutex whose
// owner died to the next waiter (WAIT_ABANDONED), and destroys it with its
// last handle, so a lock of a dead process never blocks. A mutex that this
// account may not open (another user's copy, another session's) is held.
class Win32InstanceLock : public InstanceLock {
 public:
  Win32InstanceLock() = default;
  ~Win32InstanceLock() override;

  bool TryLock() override;

 private:
  void* mutex_ = nullptr;  // a HANDLE, owned by this process once taken
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_INSTANCE_LOCK_H_
