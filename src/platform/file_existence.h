#ifndef BREVAK_PLATFORM_FILE_EXISTENCE_H_
#define BREVAK_PLATFORM_FILE_EXISTENCE_H_

#include <string>

namespace brevak {

// Whether files are there, as Dir(pattern) <> "" answers it.
class FileExistence {
 public:
  FileExistence() = default;
  FileExistence(const FileExistence&) = delete;
  FileExistence& operator=(const FileExistence&) = delete;
  virtual ~FileExistence() = default;

  // True when at least one file (not a folder) matches `pattern`, a Windows
  // path whose last component may hold the wildcards * and ?, matched
  // without regard to case. A folder that does not exist or cannot be read
  // holds no match.
  virtual bool AnyFileMatches(const std::u16string& pattern) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_FILE_EXISTENCE_H_
