#ifndef BREVAK_CORE_PROFILE_LIST_H_
#define BREVAK_CORE_PROFILE_LIST_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak {

// Where the local profiles' lists are kept: one sub-key per account (its
// SID), each with the profile's folder in ProfileImagePath.
inline constexpr char kProfileListKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The folder of every local profile of the machine, in the registry's
// order: each ProfileImagePath (REG_SZ or REG_EXPAND_SZ) expanded, without
// a trailing backslash. A profile without a readable path, or whose path
// still holds a variable reference after expansion, is left out; no
// profile list at all gives none.
std::vector<std::u16string> LocalProfileFolders(Platform& platform);

// `source` (text in the system's code page) with each %NAME% replaced by
// the variable's value, as ExpandEnvironmentStringsA gives it.
std::u16string ExpandEnvironment(Platform& platform, const std::string& source);

}  // namespace brevak

#endif  // BREVAK_CORE_PROFILE_LIST_H_
