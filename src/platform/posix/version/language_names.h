#ifndef BREVAK_PLATFORM_POSIX_VERSION_LANGUAGE_NAMES_H_
#define BREVAK_PLATFORM_POSIX_VERSION_LANGUAGE_NAMES_H_

#include <cstdint>
#include <string_view>

namespace brevak::posix {

// The display name of a Windows language identifier as a Chinese system
// shows it, e.g. 0x0804 -> 中文(简体，中国); "未知语言" for an identifier
// the table does not hold.
std::u16string_view LanguageName(uint32_t language);

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_VERSION_LANGUAGE_NAMES_H_
