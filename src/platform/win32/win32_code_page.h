#ifndef BREVAK_PLATFORM_WIN32_WIN32_CODE_PAGE_H_
#define BREVAK_PLATFORM_WIN32_WIN32_CODE_PAGE_H_

#include "platform/code_page.h"

namespace brevak::win32 {

// The system's ANSI code page (CP_ACP: 936 on a Chinese system). Lengths are
// passed explicitly, so NULs inside a text cross in both directions.
// ToAnsi converts exactly or not at all: a character the code page cannot
// hold raises run-time error 5 naming it, instead of becoming a "?" (a
// wildcard in a copy pattern) or a best-fit look-alike (another file's
// name). A copy request with such a path is then one that cannot be made.
class Win32CodePage : public CodePage {
 public:
  std::string ToAnsi(const std::u16string& text) override;
  std::u16string FromAnsi(const std::string& bytes) override;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_WIN32_CODE_PAGE_H_
