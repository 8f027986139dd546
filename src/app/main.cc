// brevak-upgrade: the upgrade tool on Linux. The Windows machine is a Wine
// prefix ($WINEPREFIX, else ~/.wine); the window is Qt's, or the scripted
// window system when BREVAK_UI_SCRIPT names a script.
#include <memory>

#include "core/form_update.h"
#include "core/module_main.h"
#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/clock/posix_clock.h"
#include "platform/posix/database/posix_data_file_use.h"
#include "platform/posix/prefix/posix_durable_files.h"
#include "platform/posix/prefix/posix_folders.h"
#include "platform/posix/prefix/posix_instance_lock.h"
#include "platform/posix/registry/posix_registry.h"
#include "platform/posix/shell_copy/posix_shell_copy.h"
#include "platform/posix/version/posix_version_info.h"
#include "platform/posix/database/sqlcipher_database.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "platform/qt/qt_window_system.h"
#include "platform/scripted/scripted_window_system.h"

namespace {

std::unique_ptr<brevak::WindowSystem> MakeWindowSystem(int& argc, char** argv) {
  if (auto scripted = brevak::ScriptedWindowSystem::FromEnvironment()) return scripted;
  return std::make_unique<brevak::QtWindowSystem>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brevak;
  using namespace brevak::posix;
  const WinePrefix prefix = WinePrefix::FromEnvironment();
  IconvCodePage code_page;
  std::unique_ptr<WindowSystem> window = MakeWindowSystem(argc, argv);
  PosixRegistry registry(prefix, code_page);
  PosixVersionInfo version_info(prefix, code_page);
  PosixShellCopy shell_copy(prefix, code_page, *window);
  SqlCipherDatabase database(prefix);
  PosixFolders folders(prefix);
  PosixClock clock;
  PosixInstanceLock instance_lock(prefix);
  PosixDataFileUse data_file_use(prefix);
  PosixDurableFiles durable_files(prefix);

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

  FormUpdate form(platform);
  return window->Run([&] { Main(platform, form); });
}
