#include "platform/scripted/transcript.h"

#include <charconv>

namespace brevak {
namespace {

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendEscaped(char32_t code, std::string& out) {
  switch (code) {
    case U'\\': out += "\\\\"; break;
    case U'\r': out += "\\r"; break;
    case U'\n': out += "\\n"; break;
    default: AppendUtf8(code, out);
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void Transcript::Write(const std::string& line) {
  out_ << line << '\n';
  out_.flush();
}

std::string EscapeText(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendEscaped(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendEscaped(0xFFFD, out);
    } else {
      AppendEscaped(unit, out);
    }
  }
  return out;
}

std::string EscapeText(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '\\' || c == '\r' || c == '\n') {
      AppendEscaped(static_cast<unsigned char>(c), out);
    } else {
      out += c;
    }
  }
  return out;
}

std::string ShortestDecimal(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace brevak
