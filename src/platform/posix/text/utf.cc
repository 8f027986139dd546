#include "platform/posix/text/utf.h"

#include <cstdint>

namespace brevak::posix {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// Decodes one code point at `i`, advancing past it; nullopt when invalid.
std::optional<char32_t> DecodeUtf8(const std::string& s, size_t& i) {
  const uint8_t lead = static_cast<uint8_t>(s[i]);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  const int extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || i + static_cast<size_t>(extra) >= s.size()) {
    ++i;
    return std::nullopt;
  }
  char32_t c = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const uint8_t next = static_cast<uint8_t>(s[i + k]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return std::nullopt;
    }
    c = (c << 6) | (next & 0x3F);
  }
  static const char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
  i += static_cast<size_t>(extra) + 1;
  if (c < kShortest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  return c;
}

}  // namespace

std::optional<std::u16string> StrictUtf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    std::optional<char32_t> c = DecodeUtf8(utf8, i);
    if (!c) return std::nullopt;
    AppendUtf16(out, *c);
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) AppendUtf16(out, DecodeUtf8(utf8, i).value_or(kReplacement));
  return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace brevak::posix
