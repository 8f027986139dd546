#include "core/file_pattern.h"

namespace brevak {
namespace {

char16_t Folded(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c; }

// Greedy, backtracking to the last `*` seen.
bool MatchPlain(std::u16string_view pattern, std::u16string_view name) {
  size_t p = 0, n = 0;
  size_t star = std::u16string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || Folded(pattern[p]) == Folded(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_n = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesFilePattern(const std::u16string& pattern, const std::u16string& name) {
  const std::u16string_view whole(pattern);
  if (MatchPlain(whole, name)) return true;
  return whole.ends_with(u".*") && MatchPlain(whole.substr(0, whole.size() - 2), name);
}

}  // namespace brevak
