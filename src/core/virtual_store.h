#ifndef BREVAK_CORE_VIRTUAL_STORE_H_
#define BREVAK_CORE_VIRTUAL_STORE_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak {

// Where Windows (Vista and later) keeps what a program without
// administrator rights wrote under a protected installation folder:
// %LOCALAPPDATA%\VirtualStore followed by the folder's path without its
// drive, without a trailing backslash. Empty when %LOCALAPPDATA% is not
// set (Windows XP, which has no VirtualStore) or `install_dir` does not
// start with a drive.
std::u16string VirtualStoreFolder(Platform& platform, const std::u16string& install_dir);

// Every VirtualStore folder of `install_dir`: the running account's
// (VirtualStoreFolder) and that of every local profile
// (<profile>\AppData\Local\VirtualStore\...), each once. A standard user who
// typed an administrator's password at the UAC prompt runs the tool as the
// administrator, while the data Brevak wrote as that user is in the user's
// own store. None when `install_dir` does not start with a drive.
std::vector<std::u16string> VirtualStoreFolders(Platform& platform, const std::u16string& install_dir);

// Whether `folder` holds a *.car or *.mdb file; a folder that is not there
// holds none. Raises a RunTimeError when the folder cannot be listed.
bool HoldsDataFiles(Platform& platform, const std::u16string& folder);

}  // namespace brevak

#endif  // BREVAK_CORE_VIRTUAL_STORE_H_
