#ifndef BREVAK_CORE_RECORD_PATH_H_
#define BREVAK_CORE_RECORD_PATH_H_

#include <string>

namespace brevak {

// Where an installation keeps its in-progress record: a file directly in
// the installation folder, whose name matches none of the backup, package
// and restore patterns (nor their 8.3 short names), so the history list
// never shows it.
inline std::u16string UpdateRecordPath(const std::u16string& install_dir) {
  return install_dir + u"upgrade-in-progress.brevak";
}

}  // namespace brevak

#endif  // BREVAK_CORE_RECORD_PATH_H_
