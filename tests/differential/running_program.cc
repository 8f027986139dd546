// running-program.exe SECONDS: stands in for a running Brevak.exe that has
// neither database open: it runs for SECONDS or until ended. It first says
// whether the system keeps a running program's file from being opened for
// writing, as Windows does ("kept"), or not ("open"), so that a check can
// tell the tool's fault from the system's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  const HANDLE file = CreateFileW(own, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool kept = file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  std::puts(kept ? "kept" : "open");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
