#ifndef BREVAK_PLATFORM_POSIX_TEXT_ICONV_CODE_PAGE_H_
#define BREVAK_PLATFORM_POSIX_TEXT_ICONV_CODE_PAGE_H_

#include "platform/code_page.h"

namespace brevak::posix {

// GBK (code page 936) through iconv. A character GBK cannot hold becomes
// '?', and a byte sequence that is not GBK becomes U+FFFD, as the Windows
// conversions do with their default characters.
class IconvCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::u16string& text) override;
  std::u16string FromAnsi(const std::string& bytes) override;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_TEXT_ICONV_CODE_PAGE_H_
