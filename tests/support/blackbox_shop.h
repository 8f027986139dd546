#ifndef BREVAK_TESTS_SUPPORT_BLACKBOX_SHOP_H_
#define BREVAK_TESTS_SUPPORT_BLACKBOX_SHOP_H_

// A car-service shop's machine in a temporary Wine prefix, as the tool
// finds it in the field: the application registered under App Paths, its
// installation (Brevak.exe 5.06.0004, settings, the two databases with the
// shop's records) and a release package (Brevak.exe 5.06.0005, fresh
// databases of the new schema, the controls and libraries it ships, and a
// copy of the tool itself, so that the tool's own folder is the package).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/blackbox.h"
#include "support/temp_prefix.h"

namespace brevak::testing {

struct ShopLayout {
  // Folders below drive_c, '/'-separated; Chinese names welcome.
  std::string install_dir = "Program Files/Brevak";
  std::string package_dir = "pkg";
  // The shop's own records in the installation, spread as a real shop's.
  int64_t shop_rows = 300;
  // Rows every table holds as a release ships them.
  int64_t installed_release_rows = 3;
  int64_t package_release_rows = 5;
};

// A file the package holds besides the databases and Brevak.exe, and
// whether the update's patterns take it.
struct PackageFile {
  const char* name;
  bool copied;
};
const std::vector<PackageFile>& PackageExtras();
// Files of the installation besides the databases and Brevak.exe, and
// whether the backup's patterns take them.
const std::vector<PackageFile>& InstallationExtras();

class ShopMachine {
 public:
  explicit ShopMachine(const ShopLayout& layout = {});
  ShopMachine(const ShopMachine&) = delete;
  ShopMachine& operator=(const ShopMachine&) = delete;

  const TempPrefix& prefix() const { return prefix_; }
  std::filesystem::path install() const { return prefix_.OnDriveC(layout_.install_dir); }
  std::filesystem::path package() const { return prefix_.OnDriveC(layout_.package_dir); }
  // The installation folder as the tool names it: C:\...\ (UTF-8).
  std::string InstallWindows() const;

  // Runs the package's copy of the tool on this machine.
  ToolRun Run(const std::string& script) const;
  ToolLaunch Launch(const std::string& script) const;

  // The installation's subfolders named with fourteen digits, sorted.
  std::vector<std::filesystem::path> BackupFolders() const;

  // system.reg with the App Paths key naming `install_windows` (C:\...\).
  void WriteRegistry(const std::string& install_windows) const;

 private:
  void MakeInstallation() const;
  void MakePackage() const;

  ShopLayout layout_;
  TempPrefix prefix_;
};

// The PE fixtures with version resources.
std::filesystem::path InstalledBrevakExe();  // FileVersion 5.06.0004
std::filesystem::path PackageBrevakExe();    // FileVersion 5.06.0005

// Copies a shop's two database files into `folder`: the old schema with
// `shop_rows` of the shop's records after `release_rows`, or the new one.
// The files are made once per process and copied from there.
void PutShopDatabases(const std::filesystem::path& folder, bool new_schema, int64_t shop_rows,
                      int64_t release_rows);

// The customer database's key.
inline constexpr char kCustomerKey[] = "mqzvtw";

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_BLACKBOX_SHOP_H_
