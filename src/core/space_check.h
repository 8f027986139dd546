#ifndef BREVAK_CORE_SPACE_CHECK_H_
#define BREVAK_CORE_SPACE_CHECK_H_

#include <string>

#include "platform/platform.h"

namespace brevak {

// Free space before a run: reads the sizes the estimate needs (the
// installation's files, the incoming files, the drive's free space) and
// the patterns of the copies that will take them; the estimate itself is
// the pure function in space_estimate.h.
class SpaceCheck {
 public:
  explicit SpaceCheck(Platform& platform) : platform_(platform) {}

  // The problem to tell the user, or the empty text: the drive of
  // `install_dir` must hold the backup of the installation's data files
  // and what the incoming files (from `incoming_folder`, taken by
  // `incoming_patterns`) need beyond the files they replace.
  std::u16string SpaceProblemFor(const std::u16string& install_dir, const std::u16string& incoming_folder,
                                 const std::u16string& incoming_patterns, bool migrates);

 private:
  Platform& platform_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_SPACE_CHECK_H_
