#ifndef BREVAK_PLATFORM_WIN32_WIDE_H_
#define BREVAK_PLATFORM_WIN32_WIDE_H_

// The core's UTF-16 texts as the W functions' strings. On Windows wchar_t is
// a 16-bit unit, so the two are the same units under different names.
#include <string>

namespace brevak::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 unit");

inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text) {
  return text != nullptr ? FromWide(text, std::char_traits<wchar_t>::length(text))
                         : std::u16string();
}

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIDE_H_
