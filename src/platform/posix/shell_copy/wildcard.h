#ifndef BREVAK_PLATFORM_POSIX_SHELL_COPY_WILDCARD_H_
#define BREVAK_PLATFORM_POSIX_SHELL_COPY_WILDCARD_H_

#include <string_view>

namespace brevak::posix {

// True when `pattern` holds `*` or `?`.
bool HasWildcard(std::u16string_view pattern);

// Matches a file name against a pattern as the Windows shell does for the
// last component of a path: `*` stands for any run of characters (also
// none), `?` for exactly one; letters compare without regard to case
// (ASCII, Latin-1, Greek, Cyrillic and full-width Latin letters). A pattern
// ending in ".*" also matches a name without that dot ("Brevak.*" matches
// "Brevak", "*.*" matches every name). 8.3 short names are not considered.
bool WildcardMatch(std::u16string_view pattern, std::u16string_view name);

// The simple lower-case form of a UTF-16 unit used by WildcardMatch.
char16_t FoldCase(char16_t c);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_SHELL_COPY_WILDCARD_H_
