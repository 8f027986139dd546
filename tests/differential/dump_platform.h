#ifndef BREVAK_TESTS_DIFFERENTIAL_DUMP_PLATFORM_H_
#define BREVAK_TESTS_DIFFERENTIAL_DUMP_PLATFORM_H_

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak {

// Writes what the core reads through `platform`: the registry listing of
// the application's key, then the version record of each file in `paths`
// (Windows paths). Texts are UTF-8, escaped as in the transcript, so the
// output of two platforms can be compared byte for byte.
void DumpPlatform(Platform& platform, const std::vector<std::u16string>& paths,
                  std::ostream& out);

}  // namespace brevak

#endif  // BREVAK_TESTS_DIFFERENTIAL_DUMP_PLATFORM_H_
