#include "core/vb_text.h"

#include "platform/runtime_error.h"

namespace brevak::vb {
namespace {

void RequireArgument(bool valid) {
  if (!valid) throw vb_error::Raise(vb_error::kInvalidProcedureCall);
}

}  // namespace

int32_t Len(const std::u16string& text) { return static_cast<int32_t>(text.size()); }

int32_t InStr(int32_t start, const std::u16string& text, const std::u16string& find) {
  RequireArgument(start >= 1);
  if (start > Len(text)) return 0;
  size_t found = text.find(find, static_cast<size_t>(start - 1));
  return found == std::u16string::npos ? 0 : static_cast<int32_t>(found) + 1;
}

int32_t InStr(const std::u16string& text, const std::u16string& find) {
  return InStr(1, text, find);
}

std::u16string LCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return text;
}

std::u16string Left(const std::u16string& text, int32_t length) {
  RequireArgument(length >= 0);
  return text.substr(0, static_cast<size_t>(length));
}

std::u16string Mid(const std::u16string& text, int32_t start, int32_t length) {
  RequireArgument(start >= 1 && length >= 0);
  if (start > Len(text)) return u"";
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
}

std::u16string Replace(const std::u16string& text, const std::u16string& find,
                       const std::u16string& with) {
  if (find.empty()) return text;
  std::u16string result;
  size_t from = 0;
  for (size_t at = text.find(find); at != std::u16string::npos; at = text.find(find, from)) {
    result.append(text, from, at - from).append(with);
    from = at + find.size();
  }
  return result.append(text, from, std::u16string::npos);
}

std::vector<std::u16string> Split(const std::u16string& text, const std::u16string& delimiter) {
  if (delimiter.empty()) return {text};  // nothing to cut at: the whole text, as the run-time gives it
  std::vector<std::u16string> parts;
  size_t from = 0;
  for (size_t at = text.find(delimiter); at != std::u16string::npos;
       at = text.find(delimiter, from)) {
    parts.push_back(text.substr(from, at - from));
    from = at + delimiter.size();
  }
  parts.push_back(text.substr(from));
  return parts;
}

std::u16string CStr(int64_t number) { return Ascii(std::to_string(number).c_str()); }

std::u16string Hex(uint32_t number) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kDigits[number % 16]);
    number /= 16;
  } while (number != 0);
  return digits;
}

std::u16string Ascii(const char* text) {
  std::u16string result;
  for (; *text != '\0'; ++text) result.push_back(static_cast<char16_t>(*text));
  return result;
}

}  // namespace brevak::vb
