#include "campaign/shop_prefix.h"

#include <sys/stat.h>

#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "campaign/carried_tables.h"
#include "shop/shop_db.h"
#include "shop/shop_files.h"

namespace brevak::campaign {
namespace fs = std::filesystem;
namespace {

constexpr char kToolName[] = "brevak-upgrade";
constexpr int64_t kInstalledReleaseRows = 3;
constexpr int64_t kPackageReleaseRows = 5;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void MakeDatabases(const fs::path& folder, shop::Variant variant, int64_t rows, int64_t release_rows,
                   uint64_t seed) {
  shop::ShopOptions options;
  options.out_dir = folder;
  options.variant = variant;
  options.rows = rows;
  options.package_rows = release_rows;
  options.seed = seed;
  shop::MakeShopFiles(options);
}

void WriteRegistry(const fs::path& root) {
  WriteText(root / "system.reg",
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\Brevak.exe] 1700000000\n"
            "@=\"C:\\\\Brevak\\\\Brevak.exe\"\n\"Path\"=\"C:\\\\Brevak\\\\\"\n");
}

}  // namespace

fs::path InstallDir(const fs::path& prefix) { return prefix / "drive_c" / "Brevak"; }
fs::path PackageDir(const fs::path& prefix) { return prefix / "drive_c" / "Brevak升级包"; }
fs::path PackageTool(const fs::path& prefix) { return PackageDir(prefix) / kToolName; }

void MakeShopPrefix(const fs::path& root, const ShopSpec& spec, const fs::path& tool, const fs::path& fixtures) {
  const fs::path install = InstallDir(root), package = PackageDir(root);
  fs::create_directories(install);
  fs::create_directories(package);
  fs::create_directories(root / "dosdevices");
  fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:");
  fs::create_directory_symlink("/", root / "dosdevices" / "z:");
  WriteRegistry(root);
  MakeDatabases(install, shop::Variant::kOld, spec.rows, kInstalledReleaseRows, spec.seed);
  if (spec.lacks_huifang_kind) {
    shop::ShopDb(install / kCustomerFile, kCustomerKey, false).Exec("DROP TABLE \"Huifang_kind\"");
  }
  fs::copy_file(fixtures / "brevak_5_06_0004.exe", install / "Brevak.exe");
  WriteText(install / "Brevak.ini", "[Brevak]\r\nVersion=5.06.0004\r\nShop=campaign\r\n");
  MakeDatabases(package, shop::Variant::kNew, 0, kPackageReleaseRows, spec.seed + 1000);
  fs::copy_file(fixtures / "brevak_5_06_0005.exe", package / "Brevak.exe");
  WriteText(package / "Brevak.ini", "[Brevak]\r\nVersion=5.06.0005\r\n");
  fs::create_hard_link(tool, package / kToolName);
}

void CopyPrefix(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  std::vector<std::pair<fs::path, fs::path>> folders = {{from, to}};
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / entry.path().lexically_relative(from);
    if (entry.is_symlink()) {
      fs::copy_symlink(entry.path(), target);
    } else if (entry.is_directory()) {
      fs::create_directories(target);
      folders.push_back({entry.path(), target});
    } else if (entry.is_fifo()) {
      // A record a schedule replaced by a pipe: copied as a pipe, never read.
      if (mkfifo(target.c_str(), 0644) != 0) throw std::runtime_error("cannot make the pipe " + target.string());
    } else if (entry.path().filename() == kToolName) {
      fs::create_hard_link(entry.path(), target);
    } else {
      fs::copy_file(entry.path(), target);
      fs::last_write_time(target, fs::last_write_time(entry.path()));
    }
  }
  // The times as they were: a tool that recognises its files by size and
  // time must see the copy as it would see the original. Folders last,
  // deepest first, since filling a folder changes its time.
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    fs::last_write_time(it->second, fs::last_write_time(it->first));
  }
}

}  // namespace brevak::campaign
