#include "platform/posix/prefix/posix_file_existence.h"

#include <filesystem>

#include "platform/posix/text/utf.h"
#include "platform/posix/shell_copy/wildcard.h"

namespace brevak::posix {

namespace fs = std::filesystem;

bool PosixFileExistence::AnyFileMatches(const std::u16string& pattern) {
  const size_t separator = pattern.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return false;
  const std::u16string name_pattern = pattern.substr(separator + 1);
  std::error_code ec;
  fs::directory_iterator it(prefix_.ToHost(pattern.substr(0, separator)), ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (WildcardMatch(name_pattern, Utf8ToUtf16(it->path().filename().string())) &&
        it->is_regular_file(type_ec)) {
      return true;
    }
  }
  return false;
}

}  // namespace brevak::posix
