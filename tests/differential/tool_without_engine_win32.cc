// tool-without-engine.exe: brevak-upgrade.exe with every real Windows
// service but the database engine, whose connections accept everything.
// Under Wine, which has no Jet provider, this is how the window, the
// history list (Scripting.FileSystemObject) and the copies are reached.
#include "accepting_database.h"
#include "app_win32/win32_services.h"
#include "platform/win32/system_library.h"

int main() {
  brevak::win32::RestrictDllSearch();
  brevak::win32::Win32Services services;
  brevak::AcceptingDatabase database;
  brevak::Platform platform = services.MakePlatform();
  platform.database = &database;
  return brevak::win32::RunTool(platform);
}
