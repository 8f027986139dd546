#ifndef BREVAK_PLATFORM_CODE_PAGE_H_
#define BREVAK_PLATFORM_CODE_PAGE_H_

#include <string>

namespace brevak {

// The system's 8-bit code page (GBK, code page 936). Conversions are whole:
// NULs are carried through as NULs, in both directions.
class CodePage {
 public:
  CodePage() = default;
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;
  virtual ~CodePage() = default;

  virtual std::string ToAnsi(const std::u16string& text) = 0;
  virtual std::u16string FromAnsi(const std::string& bytes) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_CODE_PAGE_H_
