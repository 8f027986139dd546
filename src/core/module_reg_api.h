#ifndef BREVAK_CORE_MODULE_REG_API_H_
#define BREVAK_CORE_MODULE_REG_API_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace brevak {

// The registration of the application's main program.
inline const std::u16string kAppPathsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe";

// The text of every value of the application's registration, one or more
// CR LF-ended lines per value, in the registry's enumeration order. Empty
// (no value at all) when the key cannot be opened.
std::optional<std::u16string> ListRegValues(Platform& platform);

// Splits a multi-string's raw text, NULs included, into its items: one item
// per NUL but the last, so "a\0b\0\0" gives a and b, and every further NUL
// one more empty item.
std::vector<std::u16string> SplitMultiSz(const std::u16string& raw);

}  // namespace brevak

#endif  // BREVAK_CORE_MODULE_REG_API_H_
