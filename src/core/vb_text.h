#ifndef BREVAK_CORE_VB_TEXT_H_
#define BREVAK_CORE_VB_TEXT_H_

#include <cstdint>
#include <string>
#include <vector>

// The string functions the tool's procedures are written with. Texts are
// UTF-16; lengths and positions count 16-bit units, positions from 1.
// An argument out of range raises run-time error 5, as the run-time does.
namespace brevak::vb {

inline constexpr char16_t kNul = u'\0';
inline const std::u16string vbCrLf = u"\r\n";

int32_t Len(const std::u16string& text);
// Position of the first `find` at or after `start`, or 0.
int32_t InStr(int32_t start, const std::u16string& text, const std::u16string& find);
int32_t InStr(const std::u16string& text, const std::u16string& find);
// The text with A-Z made lower case, as file names compare on these
// systems' ASCII names; other characters are left as they are.
std::u16string LCase(std::u16string text);
std::u16string Left(const std::u16string& text, int32_t length);
std::u16string Mid(const std::u16string& text, int32_t start, int32_t length);
// Every occurrence of `find`, scanning from the first character on.
std::u16string Replace(const std::u16string& text, const std::u16string& find,
                       const std::u16string& with);
// An empty delimiter gives the whole text as the one element.
std::vector<std::u16string> Split(const std::u16string& text, const std::u16string& delimiter);
// Decimal digits, with a minus sign when negative (CStr of a number).
std::u16string CStr(int64_t number);
// Upper-case hexadecimal digits without leading zeros (Hex$).
std::u16string Hex(uint32_t number);
// The text of an ASCII literal.
std::u16string Ascii(const char* text);

}  // namespace brevak::vb

#endif  // BREVAK_CORE_VB_TEXT_H_
