#ifndef BREVAK_PLATFORM_DATA_FILE_USE_H_
#define BREVAK_PLATFORM_DATA_FILE_USE_H_

#include <string>

namespace brevak {

// Whether another program is using a database file, so that nothing is
// copied over a file whose changes another program has not yet written; or
// the program file, which Windows will not replace while it runs.
class DataFileUse {
 public:
  DataFileUse() = default;
  DataFileUse(const DataFileUse&) = delete;
  DataFileUse& operator=(const DataFileUse&) = delete;
  virtual ~DataFileUse() = default;

  // True while another program holds the database at `path` (a Windows
  // path) for writing, or open at all where the platform can tell (a
  // program file: while it runs); the check never waits. False for a free
  // file, and for a missing file or one the platform cannot judge: the
  // steps that use it report those.
  // `password` is the database password, empty for none.
  virtual bool InUse(const std::u16string& path, const std::u16string& password) = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_DATA_FILE_USE_H_
