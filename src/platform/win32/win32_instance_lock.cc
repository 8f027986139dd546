#include "platform/win32/win32_instance_lock.h"

#include <windows.h>

namespace brevak::win32 {

Win32InstanceLock::~Win32InstanceLock() {
  if (mutex_ != nullptr) {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
}

bool Win32InstanceLock::TryLock() {
  if (mutex_ != nullptr) return true;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  if (mutex == nullptr) {
    // Denied: the mutex exists, made by a copy running under another
    // account or in another session, whose security keeps this one out.
    // Any other failure: no lock can be made, so there is nothing to wait for.
    return GetLastError() != ERROR_ACCESS_DENIED;
  }
  const DWORD waited = WaitForSingleObject(mutex, 0);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    mutex_ = mutex;
    return true;
  }
  CloseHandle(mutex);
  return waited != WAIT_TIMEOUT;
}

}  // namespace brevak::win32
