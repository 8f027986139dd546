// brevak-upgrade.exe: the upgrade tool on Windows, on the real platform: the
// registry, version.dll, the shell's copy, ADO, Scripting.FileSystemObject
// and a Win32 window. When BREVAK_UI_SCRIPT names a script the scripted
// window system takes the window's place and writes its transcript to
// standard output.
#include "app_win32/win32_services.h"
#include "platform/win32/system_library.h"

int main() {
  brevak::win32::RestrictDllSearch();  // before anything loads a DLL
  brevak::win32::Win32Services services;
  brevak::Platform platform = services.MakePlatform();
  return brevak::win32::RunTool(platform);
}
