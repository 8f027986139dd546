#include "support/blackbox_tree.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace brevak::testing {
namespace fs = std::filesystem;

std::string FileChecksum(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  uint64_t hash = 0xcbf29ce484222325ull;
  uint64_t size = 0;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ull;
    }
    size += static_cast<uint64_t>(in.gcount());
  }
  char text[40];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::to_string(size) + " " + text;
}

TreeSnapshot SnapshotTree(const fs::path& root) {
  TreeSnapshot snapshot;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = fs::relative(entry.path(), root).generic_string();
    if (entry.is_symlink()) {
      snapshot[relative] = "link " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      snapshot[relative] = "folder";
    } else {
      snapshot[relative] = "file " + FileChecksum(entry.path());
    }
  }
  return snapshot;
}

std::string DescribeChanges(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::string text;
  for (const auto& [path, what] : before) {
    const auto found = after.find(path);
    if (found == after.end()) {
      text += "removed " + path + "\n";
    } else if (found->second != what) {
      text += "changed " + path + "\n";
    }
  }
  for (const auto& [path, what] : after) {
    if (before.count(path) == 0) text += "added " + path + " (" + what + ")\n";
  }
  return text;
}

}  // namespace brevak::testing
