#include "platform/win32/win32_instance_lock.h"

#include <windows.h>

namespace brevak::win32 {

// Global: every session of the machine shares the one installation.
constexpr wchar_t kMutexName[] = L"Global\\BrevakUpgradeTool";

Win32InstanceLock::~Win32InstanceLock() {
  if (mutex_ != nullptr) {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
}

bool Win32InstanceLock::TryLock() {
  if (mutex_ != nullptr) return true;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
  if (mutex == nullptr) return true;  // no lock can be made: nothing to wait for
  const DWORD waited = WaitForSingleObject(mutex, 0);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    mutex_ = mutex;
    return true;
  }
  CloseHandle(mutex);
  return waited != WAIT_TIMEOUT;
}

}  // namespace brevak::win32
