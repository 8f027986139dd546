#include "platform/posix/text/iconv_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace brevak::posix {
namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in` whole; an unconvertible input unit of `unit` bytes is
  // replaced by `replacement` and skipped.
  std::string Convert(const std::string& in, size_t unit, const std::string& replacement) {
    std::string out;
    char buffer[4096];
    char* in_ptr = const_cast<char*>(in.data());
    size_t in_left = in.size();
    while (in_left > 0) {
      char* out_ptr = buffer;
      size_t out_left = sizeof buffer;
      const size_t rc = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      out.append(buffer, static_cast<size_t>(out_ptr - buffer));
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
        out += replacement;
        const size_t skip = std::min(unit, in_left);
        in_ptr += skip;
        in_left -= skip;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string IconvCodePage::ToAnsi(const std::u16string& text) {
  const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return Converter("GBK", "UTF-16LE").Convert(utf16, 2, "?");
}

std::u16string IconvCodePage::FromAnsi(const std::string& bytes) {
  const std::string replacement("\xFD\xFF", 2);  // U+FFFD, little-endian
  const std::string utf16 = Converter("UTF-16LE", "GBK").Convert(bytes, 1, replacement);
  return std::u16string(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size() / 2);
}

}  // namespace brevak::posix
