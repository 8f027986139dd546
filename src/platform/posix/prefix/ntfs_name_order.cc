#include "platform/posix/prefix/ntfs_name_order.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace brevak::posix {
namespace {

// The unit as NTFS upper-cases it: by its simple Unicode upper case when
// that is one unit too.
char16_t UpperUnit(char16_t unit) {
  const UChar32 upper = u_toupper(unit);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

}  // namespace

bool NtfsNameBefore(const std::u16string& a, const std::u16string& b) {
  const auto upper_less = [](char16_t x, char16_t y) { return UpperUnit(x) < UpperUnit(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), upper_less)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), upper_less)) return false;
  return a < b;
}

}  // namespace brevak::posix
