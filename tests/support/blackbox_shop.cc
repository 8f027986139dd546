#include "support/blackbox_shop.h"

#include <stdlib.h>

#include <algorithm>
#include <map>
#include <regex>
#include <stdexcept>

#include "shop/shop_files.h"

namespace brevak::testing {
namespace fs = std::filesystem;
namespace {

constexpr char kAppPathsKey[] = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe";

// Backslashes doubled, as Wine writes them inside quotes.
std::string RegQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return quoted + "\"";
}

// "C:\" + the folder with backslashes.
std::string WindowsPath(const std::string& below_drive_c) {
  std::string path = "C:\\" + below_drive_c;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The made database pairs of this process, by kind; removed at exit.
class DatabaseCache {
 public:
  ~DatabaseCache() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  const fs::path& Get(bool new_schema, int64_t shop_rows, int64_t release_rows) {
    const std::string name = std::string(new_schema ? "new" : "old") + "-" + std::to_string(shop_rows) +
                             "-" + std::to_string(release_rows);
    auto found = made_.find(name);
    if (found != made_.end()) return found->second;
    shop::ShopOptions options;
    options.out_dir = Root() / name;
    options.variant = new_schema ? shop::Variant::kNew : shop::Variant::kOld;
    options.rows = shop_rows;
    options.package_rows = release_rows;
    options.seed = new_schema ? 11 : 7;
    shop::MakeShopFiles(options);
    return made_.emplace(name, options.out_dir).first->second;
  }

 private:
  const fs::path& Root() {
    if (root_.empty()) {
      std::string pattern = (fs::temp_directory_path() / "brevak-shopdb-XXXXXX").string();
      if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
      root_ = pattern;
    }
    return root_;
  }
  fs::path root_;
  std::map<std::string, fs::path> made_;
};

DatabaseCache& Cache() {
  static DatabaseCache cache;
  return cache;
}

void PutExtras(const fs::path& folder, const std::vector<PackageFile>& files, const std::string& origin) {
  for (const PackageFile& file : files) {
    WriteFile(folder / file.name, origin + " " + file.name + "\r\n版本说明：" + origin + "\r\n");
  }
}

}  // namespace

const std::vector<PackageFile>& PackageExtras() {
  static const std::vector<PackageFile> files = {
      {"Brevak.ini", true},          {"Help.INI", true},
      {"brevak.chm", true},          {"vkUserControlsXP.ocx", true},
      {"VKUSERCONTROLSXP.DEP", true}, {"adbapi.dll", true},
      {"ADBWinApi.DLL", true},       {"Sample.CAR", true},
      {"readme.txt", false},         {"Brevak-old.txt", false},
      {"setup.exe", false},          {"vkUserControls.ocx", false},
      {"xadb.dll", false},           {"Sample.mdb.bak", false},
      {"docs/manual.ini", false},
  };
  return files;
}

const std::vector<PackageFile>& InstallationExtras() {
  static const std::vector<PackageFile> files = {
      {"Brevak.ini", true},  {"Printer.ini", true},      {"Brevak.log", true},
      {"readme.txt", false}, {"Images/logo.bmp", false}, {"Reports.dat", false},
  };
  return files;
}

fs::path InstalledBrevakExe() { return fs::path(BREVAK_SOURCE_DIR) / "tests/fixtures/pe/brevak_5_06_0004.exe"; }
fs::path PackageBrevakExe() { return fs::path(BREVAK_SOURCE_DIR) / "tests/fixtures/pe/brevak_5_06_0005.exe"; }

void PutShopDatabases(const fs::path& folder, bool new_schema, int64_t shop_rows, int64_t release_rows) {
  const fs::path& made = Cache().Get(new_schema, shop_rows, release_rows);
  fs::create_directories(folder);
  for (const char* name : {shop::kAddressBookFile, shop::kCustomerFile}) {
    fs::copy_file(made / name, folder / name, fs::copy_options::overwrite_existing);
  }
}

ShopMachine::ShopMachine(const ShopLayout& layout) : layout_(layout) {
  WriteRegistry(InstallWindows());
  MakeInstallation();
  MakePackage();
}

std::string ShopMachine::InstallWindows() const { return WindowsPath(layout_.install_dir) + "\\"; }

void ShopMachine::WriteRegistry(const std::string& install_windows) const {
  std::string folder = install_windows;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  prefix_.WriteSystemReg(TempPrefix::SystemRegWithKey(
      kAppPathsKey, "@=" + RegQuoted(install_windows + "Brevak.exe") + "\n\"Path\"=" + RegQuoted(folder)));
}

void ShopMachine::MakeInstallation() const {
  fs::create_directories(install());
  fs::copy_file(InstalledBrevakExe(), install() / "Brevak.exe");
  PutExtras(install(), InstallationExtras(), "5.06.0004");
  PutShopDatabases(install(), /*new_schema=*/false, layout_.shop_rows, layout_.installed_release_rows);
}

// The tool is copied, not linked: the kernel resolves a link when it names
// the running program, and the tool's folder must be the package.
void ShopMachine::MakePackage() const {
  fs::create_directories(package());
  fs::copy_file(PackageBrevakExe(), package() / "Brevak.exe");
  PutExtras(package(), PackageExtras(), "5.06.0005");
  PutShopDatabases(package(), /*new_schema=*/true, 0, layout_.package_release_rows);
  fs::copy_file(BuiltTool(), package() / "brevak-upgrade");
}

ToolLaunch ShopMachine::Launch(const std::string& script) const {
  ToolLaunch launch;
  launch.executable = package() / "brevak-upgrade";
  launch.prefix = prefix_.root();
  launch.script = script;
  launch.working_dir = prefix_.root();
  return launch;
}

ToolRun ShopMachine::Run(const std::string& script) const { return RunTool(Launch(script)); }

std::vector<fs::path> ShopMachine::BackupFolders() const {
  static const std::regex kStamp("[0-9]{14}");
  std::vector<fs::path> folders;
  for (const fs::directory_entry& entry : fs::directory_iterator(install())) {
    if (entry.is_directory() && std::regex_match(entry.path().filename().string(), kStamp)) {
      folders.push_back(entry.path());
    }
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

}  // namespace brevak::testing
