// hold-foreign-mutex.exe SECONDS: holds the upgrade tool's one-copy mutex
// as a copy under another account would (foreign_mutex.h), for SECONDS or
// until ended. Prints "held" once it holds it and the system keeps this
// account out; "not kept out" (exit 2) where the system lets this account
// open it anyway, as Wine may; "not made" (exit 1) when it cannot be made.
#include <cstdio>
#include <cstdlib>

#include "foreign_mutex.h"

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const HANDLE mutex = brevak::win32::CreateForeignMutex();
  if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
    std::puts("not made");
    return 1;
  }
  if (!brevak::win32::ForeignMutexKeepsOut()) {
    std::puts("not kept out");
    return 2;
  }
  std::puts("held");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  CloseHandle(mutex);
  return 0;
}
