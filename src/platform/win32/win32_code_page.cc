#include "platform/win32/win32_code_page.h"

#include <windows.h>

#include "platform/runtime_error.h"
#include "platform/win32/wide.h"

namespace brevak::win32 {
namespace {

// Exact conversion: no best-fit look-alikes, and the caller learns whether a
// character had to be replaced. UTF-8 as the system code page (a Windows 10
// option) takes neither the flag nor the question, and holds every
// character anyway.
int ToAnsiExactly(const std::u16string& text, char* bytes, int size, bool* replaced) {
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL used_default = FALSE;
  const int length =
      WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, Wide(text),
                          static_cast<int>(text.size()), bytes, size, nullptr,
                          utf8 ? nullptr : &used_default);
  *replaced = used_default != FALSE;
  return length;
}

// The first character (a surrogate pair counts as one) that the code page
// cannot hold.
std::u16string FirstUnconvertible(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t units = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
    const std::u16string character = text.substr(i, units);
    bool replaced = false;
    ToAnsiExactly(character, nullptr, 0, &replaced);
    if (replaced) return character;
    i += units - 1;
  }
  return {};
}

}  // namespace

std::string Win32CodePage::ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  bool replaced = false;
  const int needed = ToAnsiExactly(text, nullptr, 0, &replaced);
  if (replaced) {
    throw RunTimeError(vb_error::kInvalidProcedureCall,
                       u"“" + FirstUnconvertible(text) + u"”无法用本机的代码页表示");
  }
  std::string bytes(static_cast<size_t>(needed), '\0');
  ToAnsiExactly(text, bytes.data(), needed, &replaced);
  return bytes;
}

std::u16string Win32CodePage::FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::wstring text(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
  return FromWide(text.data(), text.size());
}

}  // namespace brevak::win32
