#ifndef BREVAK_PLATFORM_POSIX_TEXT_UTF_H_
#define BREVAK_PLATFORM_POSIX_TEXT_UTF_H_

#include <optional>
#include <string>

namespace brevak::posix {

// UTF-8 <-> UTF-16 for host file names and Linux-written files. A lone
// surrogate or an invalid byte becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
// Empty when `utf8` is not valid UTF-8.
std::optional<std::u16string> StrictUtf8ToUtf16(const std::string& utf8);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_TEXT_UTF_H_
