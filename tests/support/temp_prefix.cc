#include "support/temp_prefix.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brevak::testing {
namespace fs = std::filesystem;

TempPrefix::TempPrefix() {
  std::string pattern = (fs::temp_directory_path() / "brevak-prefix-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ / "drive_c");
  fs::create_directories(root_ / "dosdevices");
  fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
  fs::create_directory_symlink("/", root_ / "dosdevices" / "z:");
}

TempPrefix::~TempPrefix() {
  std::error_code ec;
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(root_, ec);
}

void TempPrefix::WriteSystemReg(const std::string& content) const {
  WriteFile(root_ / "system.reg", content);
}

std::string TempPrefix::SystemRegWithKey(const std::string& key_path,
                                         const std::string& value_lines) {
  return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n[" +
         key_path + "] 1700000000\n#time=1d9a0b0c0d0e0f0\n" + value_lines + "\n";
}

void WriteFile(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace brevak::testing
