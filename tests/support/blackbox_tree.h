#ifndef BREVAK_TESTS_SUPPORT_BLACKBOX_TREE_H_
#define BREVAK_TESTS_SUPPORT_BLACKBOX_TREE_H_

#include <filesystem>
#include <map>
#include <string>

namespace brevak::testing {

// A folder tree's content: relative path ('/'-separated, UTF-8) -> what
// stands there: "file SIZE CHECKSUM", "folder", or "link TARGET". Symbolic
// links are recorded, never followed (a prefix's z: leads to /).
using TreeSnapshot = std::map<std::string, std::string>;

TreeSnapshot SnapshotTree(const std::filesystem::path& root);

// A checksum of a file's bytes (64-bit FNV-1a, in hex) and its size.
std::string FileChecksum(const std::filesystem::path& file);

// The entries of `after` that differ from `before` (added, removed or
// changed), one a line, for failure messages and exact comparisons.
std::string DescribeChanges(const TreeSnapshot& before, const TreeSnapshot& after);

// The installation's upgrade log, which each update and restore adds to.
inline constexpr char kUpgradeLogFile[] = "升级日志.txt";
// Expects the log in `actual` (whatever it says: its own tests read it).
inline void ExpectUpgradeLog(TreeSnapshot& expected, const TreeSnapshot& actual) {
  const auto log = actual.find(kUpgradeLogFile);
  expected[kUpgradeLogFile] = log == actual.end() ? "a log" : log->second;
}

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_BLACKBOX_TREE_H_
