#ifndef BREVAK_TESTS_SUPPORT_CORE_HARNESS_H_
#define BREVAK_TESTS_SUPPORT_CORE_HARNESS_H_

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/form_update.h"
#include "platform/posix/text/iconv_code_page.h"
#include "platform/posix/registry/posix_registry.h"
#include "support/fake_platform.h"
#include "support/temp_prefix.h"

namespace brevak::testing {

// The whole program (Main and the update window) on in-memory services and
// the scripted window system. The registry is a real system.reg that names
// C:\Program Files\Brevak\; the package runs from C:\pkg. Both folders
// hold Brevak.exe, and the installation its two databases.
class CoreHarness {
 public:
  static constexpr char16_t kInstallDir[] = u"C:\\Program Files\\Brevak\\";

  CoreHarness();

  // Replaces the values of the application's registry key.
  void SetRegistryValues(const std::string& value_lines);
  // Every service: the harness's fakes, with `registry` and `window`.
  Platform MakePlatform(Registry& registry, WindowSystem& window);
  // Runs the program on `script` (lines joined by '\n'); returns the
  // transcript's lines.
  std::vector<std::string> Run(const std::string& script);
  int exit_code() const { return exit_code_; }
  // The shell copying databases between the fake folders: a backup copies
  // the installation's into its folder (which the history then lists, and
  // the clock moves on), a restore its folder's over the installation's,
  // only the first when `interrupt`; the package copy changes no database.
  void CopyDatabasesAsTheShell(const bool& interrupt);
  // The lines of `transcript` that start with `prefix`.
  static std::vector<std::string> LinesStartingWith(const std::vector<std::string>& transcript,
                                                    const std::string& prefix);

  TempPrefix prefix;
  posix::IconvCodePage code_page;
  FakeVersionFiles version_files;
  FakeShellCopy shell;
  FakeDatabase database;
  FakeFolders folders;
  FakeClock clock;
  FakeInstanceLock instance_lock;
  FakeDataFileUse data_file_use;
  FakeDurableFiles durable_files;
  FakeLogFiles log_files;
  FakeFileDigests file_digests{folders};
  // When set, these stand for `shell` and `database`.
  ShellCopy* shell_instead = nullptr;
  Database* database_instead = nullptr;
  std::unique_ptr<FormUpdate> form;  // the window of the last run
  // The window's busy reason at each copy request of the last run.
  std::vector<std::u16string> busy_reasons_at_copies;

 private:
  int exit_code_ = -1;
};

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_CORE_HARNESS_H_
