#ifndef BREVAK_TESTS_BLACKBOX_RESTORE_BACKUP_H_
#define BREVAK_TESTS_BLACKBOX_RESTORE_BACKUP_H_

// What a restore leaves besides the restored files: a dated folder with the
// installation's data files as they were just before it.

#include <string>

#include "platform/file_pattern.h"
#include "platform/posix/text/utf.h"
#include "support/blackbox_tree.h"

namespace brevak::testing {

// The fourteen-digit folders of `after` that `before` does not hold.
inline std::vector<std::string> NewDatedFolders(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::vector<std::string> folders;
  for (const auto& [path, what] : after) {
    if (what == "folder" && path.size() == 14 && path.find_first_not_of("0123456789") == std::string::npos &&
        before.count(path) == 0) {
      folders.push_back(path);
    }
  }
  return folders;
}

// `expected` with `folder` holding, byte for byte, the files of the
// installation `state` that the backup's patterns take.
inline void AddDataFilesBackup(TreeSnapshot& expected, const TreeSnapshot& state, const std::string& folder) {
  expected[folder] = "folder";
  for (const auto& [path, what] : state) {
    if (path.find('/') != std::string::npos || what.rfind("file ", 0) != 0) continue;
    const std::u16string name = posix::Utf8ToUtf16(path);
    for (const char16_t* pattern : {u"*.car", u"*.mdb", u"Brevak.*", u"*.ini"}) {
      if (MatchesFilePattern(pattern, name)) {
        expected[folder + "/" + path] = what;
        break;
      }
    }
  }
}

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_BLACKBOX_RESTORE_BACKUP_H_
