#ifndef BREVAK_PLATFORM_POSIX_DATABASE_JET_TEXT_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_JET_TEXT_H_

#include <string>
#include <string_view>

// Small text helpers shared by the Jet connection-string and statement
// parsers: Jet's keywords and names compare without regard to ASCII case.
namespace brevak::posix::jet_text {

bool IsSpace(char16_t c);
char16_t FoldCase(char16_t c);
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);
// `text` without the spaces (blanks, tabs, line breaks) at either end.
std::u16string_view Trim(std::u16string_view text);

}  // namespace brevak::posix::jet_text

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_JET_TEXT_H_
