#ifndef BREVAK_PLATFORM_POSIX_DATABASE_POSIX_DATA_FILE_USE_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_POSIX_DATA_FILE_USE_H_

#include "platform/data_file_use.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// A database file is in use when SQLite's write lock on it cannot be taken
// at once: another connection is writing, or holds a transaction it has
// not committed. Taking the lock rolls back a journal left by a writer
// that died, as any connection does; nothing else is changed.
class PosixDataFileUse : public DataFileUse {
 public:
  explicit PosixDataFileUse(const WinePrefix& prefix) : prefix_(prefix) {}

  bool InUse(const std::u16string& path, const std::u16string& password) override;

 private:
  WinePrefix prefix_;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_POSIX_DATA_FILE_USE_H_
