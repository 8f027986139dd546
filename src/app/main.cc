// brevak-upgrade: the upgrade tool on Linux. The Windows machine is a Wine
// prefix ($WINEPREFIX, else ~/.wine); the window is Qt's, or the scripted
// window system when BREVAK_UI_SCRIPT names a script.
#include <memory>

#include "core/form_update.h"
#include "core/module_main.h"
#include "platform/posix/posix_services.h"
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
  std::unique_ptr<WindowSystem> window = MakeWindowSystem(argc, argv);
  posix::PosixServices services(posix::WinePrefix::FromEnvironment(), *window);
  Platform& platform = services.platform();
  FormUpdate form(platform);
  return window->Run([&] { Main(platform, form); });
}
