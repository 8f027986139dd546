#ifndef BREVAK_APP_WIN32_WIN32_SERVICES_H_
#define BREVAK_APP_WIN32_WIN32_SERVICES_H_

// The real Windows platform, put together once for the tool and for the
// test programs that run it with one service replaced.
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
#include "platform/win32/win32_data_file_use.h"
#include "platform/win32/win32_durable_files.h"
#include "platform/win32/win32_file_digests.h"
#include "platform/win32/win32_instance_lock.h"
#include "platform/win32/win32_log_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_copy.h"
#include "platform/win32/win32_version_info.h"
#include "platform/win32/win32_window_system.h"

namespace brevak::win32 {

// The scripted window system when BREVAK_UI_SCRIPT names a script, else the
// Win32 window.
inline std::unique_ptr<WindowSystem> MakeWindowSystem() {
  if (auto scripted = ScriptedWindowSystem::FromEnvironment()) {
    // The transcript is UTF-8 with "\n" line ends on every platform.
    _setmode(_fileno(stdout), _O_BINARY);
    return scripted;
  }
  return std::make_unique<Win32WindowSystem>();
}

// Every service of the Windows platform. The COM services are declared
// first, so the objects made through them go before their apartments.
struct Win32Services {
  AdoDatabase database;
  FsoFolders folders;
  Win32CodePage code_page;
  Win32Registry registry;
  Win32VersionInfo version_info;
  Win32ShellCopy shell_copy;
  Win32Clock clock;
  Win32InstanceLock instance_lock;
  Win32DataFileUse data_file_use;
  Win32DurableFiles durable_files;
  Win32LogFiles log_files;
  Win32FileDigests file_digests;
  std::unique_ptr<WindowSystem> window = MakeWindowSystem();

  Platform MakePlatform() {
    Platform platform;
    platform.registry = &registry;
    platform.version_info = &version_info;
    platform.shell_copy = &shell_copy;
    platform.database = &database;
    platform.folders = &folders;
    platform.window = window.get();
    platform.clock = &clock;
    platform.code_page = &code_page;
    platform.instance_lock = &instance_lock;
    platform.data_file_use = &data_file_use;
    platform.durable_files = &durable_files;
    platform.log_files = &log_files;
    platform.file_digests = &file_digests;
    return platform;
  }
};

// The tool on `platform`: Main, then the window's events. Returns the exit
// code.
inline int RunTool(Platform& platform) {
  FormUpdate form(platform);
  return platform.window->Run([&] { Main(platform, form); });
}

}  // namespace brevak::win32

#endif  // BREVAK_APP_WIN32_WIN32_SERVICES_H_
