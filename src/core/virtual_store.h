#ifndef BREVAK_CORE_VIRTUAL_STORE_H_
#define BREVAK_CORE_VIRTUAL_STORE_H_

#include <string>

#include "platform/platform.h"

namespace brevak {

// Where Windows (Vista and later) keeps what a program without
// administrator rights wrote under a protected installation folder:
// %LOCALAPPDATA%\VirtualStore followed by the folder's path without its
// drive, without a trailing backslash. Empty when %LOCALAPPDATA% is not
// set (Windows XP, which has no VirtualStore) or `install_dir` does not
// start with a drive.
std::u16string VirtualStoreFolder(Platform& platform, const std::u16string& install_dir);

// The VirtualStore folder of `install_dir` when it holds a *.car or *.mdb
// file; empty otherwise, and when the folder is not there. Raises a
// RunTimeError when the folder cannot be listed.
std::u16string VirtualStoreFolderWithData(Platform& platform, const std::u16string& install_dir);

}  // namespace brevak

#endif  // BREVAK_CORE_VIRTUAL_STORE_H_
