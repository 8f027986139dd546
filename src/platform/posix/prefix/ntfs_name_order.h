#ifndef BREVAK_PLATFORM_POSIX_PREFIX_NTFS_NAME_ORDER_H_
#define BREVAK_PLATFORM_POSIX_PREFIX_NTFS_NAME_ORDER_H_

#include <string>

namespace brevak::posix {

// True when NTFS indexes a folder entry named `a` before one named `b`: the
// names compared unit by unit in UTF-16, each unit upper-cased on its own
// (a character above U+FFFF, two surrogate units, is left as it is, and so
// comes before U+E000..U+FFFF), a name before the longer names it begins.
// Names equal but for case, which one NTFS folder cannot hold, compare as
// they are.
bool NtfsNameBefore(const std::u16string& a, const std::u16string& b);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_PREFIX_NTFS_NAME_ORDER_H_
