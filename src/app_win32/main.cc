// brevak-upgrade.exe: the upgrade tool on Windows, on the real platform: the
// registry, version.dll, the shell's copy, ADO, Scripting.FileSystemObject
// and a Win32 window. When BREVAK_UI_SCRIPT names a script the scripted
// window system takes the window's place and writes its transcript to
// standard output.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include "core/form_update.h"
#include "core/module_main.h"
#include "platform/scripted/scripted_window_system.h"
#include "platform/win32/ado_database.h"
#include "platform/win32/fso_folders.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_copy.h"
#include "platform/win32/win32_version_info.h"
#include "platform/win32/win32_window_system.h"

namespace {

std::unique_ptr<brevak::WindowSystem> MakeWindowSystem() {
  if (auto scripted = brevak::ScriptedWindowSystem::FromEnvironment()) {
    // The transcript is UTF-8 with "\n" line ends on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
    return scripted;
  }
  return std::make_unique<brevak::win32::Win32WindowSystem>();
}

}  // namespace

int main() {
  using namespace brevak;
  using namespace brevak::win32;
  // The COM objects (connections, folders) go before their apartments: the
  // form is declared last.
  AdoDatabase database;
  FsoFolders folders;
  Win32CodePage code_page;
  Win32Registry registry;
  Win32VersionInfo version_info;
  Win32ShellCopy shell_copy;
  Win32Clock clock;
  std::unique_ptr<WindowSystem> window = MakeWindowSystem();

  Platform platform;
  platform.registry = &registry;
  platform.version_info = &version_info;
  platform.shell_copy = &shell_copy;
  platform.database = &database;
  platform.folders = &folders;
  platform.window = window.get();
  platform.clock = &clock;
  platform.code_page = &code_page;

  FormUpdate form(platform);
  return window->Run([&] { Main(platform, form); });
}
