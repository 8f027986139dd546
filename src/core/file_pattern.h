#ifndef BREVAK_CORE_FILE_PATTERN_H_
#define BREVAK_CORE_FILE_PATTERN_H_

#include <string>

namespace brevak {

// Whether a file name matches the last component of a copy request's
// pattern as the shell reads it: `*` any run of characters (also none), `?`
// one character, letters compared without regard to ASCII case, and a
// pattern ending in ".*" also matching the name without an extension
// ("Brevak.*" takes "Brevak"). Used to foresee what a request will copy.
bool MatchesFilePattern(const std::u16string& pattern, const std::u16string& name);

}  // namespace brevak

#endif  // BREVAK_CORE_FILE_PATTERN_H_
