#ifndef BREVAK_TESTS_DIFFERENTIAL_FOREIGN_MUTEX_H_
#define BREVAK_TESTS_DIFFERENTIAL_FOREIGN_MUTEX_H_

// The tool's one-copy mutex as a copy under another account holds it: the
// default security of another user's mutex grants this account nothing,
// and so does an empty DACL, which lets every test program make one.
#include <windows.h>

#include "platform/win32/win32_instance_lock.h"

namespace brevak::win32 {

// The mutex, owned by the calling thread; null when it cannot be made.
inline HANDLE CreateForeignMutex() {
  SECURITY_DESCRIPTOR descriptor;
  ACL nothing_granted;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !InitializeAcl(&nothing_granted, sizeof nothing_granted, ACL_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, &nothing_granted, FALSE)) {
    return nullptr;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  return CreateMutexW(&attributes, TRUE, kInstanceMutexName);
}

// Whether the system keeps this account out of the foreign mutex, as
// Windows does (Wine may grant anything to anyone).
inline bool ForeignMutexKeepsOut() {
  const HANDLE opened = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  if (opened != nullptr) {
    CloseHandle(opened);
    return false;
  }
  return GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace brevak::win32

#endif  // BREVAK_TESTS_DIFFERENTIAL_FOREIGN_MUTEX_H_
