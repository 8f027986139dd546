#include "platform/win32/win32_code_page.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace brevak::win32 {

std::string Win32CodePage::ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, Wide(text), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, Wide(text), length, bytes.data(), needed, nullptr, nullptr);
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
