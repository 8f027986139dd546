#ifndef BREVAK_CORE_FILE_PRESENCE_H_
#define BREVAK_CORE_FILE_PRESENCE_H_

// Whether a folder or a file is there, as every part of the tool asks it:
// an answer the platform cannot give is taken the safe way for each.

#include <string>

#include "platform/platform.h"

namespace brevak {

// True also when it cannot be told: nothing unknown is ever removed or
// taken for free.
bool FolderIsThere(Platform& platform, const std::u16string& folder);
// False also when it cannot be told.
bool FileIsThere(Platform& platform, const std::u16string& path);

}  // namespace brevak

#endif  // BREVAK_CORE_FILE_PRESENCE_H_
