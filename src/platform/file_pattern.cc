#include "platform/file_pattern.h"

namespace brevak {
namespace {

bool InRange(char16_t c, char16_t low, char16_t high) { return c >= low && c <= high; }

// The simple lower-case form of a UTF-16 unit.
char16_t FoldCase(char16_t c) {
  if (InRange(c, u'A', u'Z')) return c + 0x20;
  if (c < 0x80) return c;
  if (InRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 0x20;       // Latin-1 letters
  if (InRange(c, 0x391, 0x3AB) && c != 0x3A2) return c + 0x20;    // Greek
  if (InRange(c, 0x410, 0x42F)) return c + 0x20;                  // Cyrillic
  if (InRange(c, 0x400, 0x40F)) return c + 0x50;                  // Cyrillic with marks
  if (InRange(c, 0xFF21, 0xFF3A)) return c + 0x20;                // full-width Latin
  return c;
}

// The greedy match with one backtracking point (the last `*` seen): linear
// in practice, at worst pattern length times name length.
bool MatchPlain(std::u16string_view pattern, std::u16string_view name) {
  size_t p = 0, n = 0;
  size_t star = std::u16string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
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

bool HasWildcard(std::u16string_view pattern) {
  return pattern.find_first_of(u"*?") != std::u16string_view::npos;
}

bool MatchesFilePattern(std::u16string_view pattern, std::u16string_view name) {
  if (MatchPlain(pattern, name)) return true;
  // "X.*" also names "X": the extension, dot included, may be absent.
  const bool dot_star = pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*";
  return dot_star && MatchPlain(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace brevak
