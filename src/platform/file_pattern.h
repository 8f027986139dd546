#ifndef BREVAK_PLATFORM_FILE_PATTERN_H_
#define BREVAK_PLATFORM_FILE_PATTERN_H_

#include <string_view>

namespace brevak {

// True when `pattern` holds `*` or `?`.
bool HasWildcard(std::u16string_view pattern);

// Matches a file name against the last component of a path's pattern as the
// Windows shell does: `*` stands for any run of characters (also none), `?`
// for exactly one; letters compare without regard to case (ASCII, Latin-1,
// Greek, Cyrillic and full-width Latin letters). A pattern ending in ".*"
// also matches a name without that dot ("Brevak.*" matches "Brevak", "*.*"
// matches every name). 8.3 short names are not considered. The core uses it
// to foresee what a copy request takes, the Linux shell copy to take it.
bool MatchesFilePattern(std::u16string_view pattern, std::u16string_view name);

}  // namespace brevak

#endif  // BREVAK_PLATFORM_FILE_PATTERN_H_
