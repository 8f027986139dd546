#ifndef BREVAK_PLATFORM_POSIX_DATABASE_ATTACHED_FILES_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_ATTACHED_FILES_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/posix/database/replayable_transaction.h"
#include "platform/posix/prefix/wine_prefix.h"

namespace brevak::posix {

// The database files a connection's statements name in their
// external-database clause, attached to its file read-only. Each file (by
// its canonical host path and password) is attached once, on first use, and
// stays attached until the connection closes: attaching a keyed file costs a
// key derivation.
class AttachedFiles {
 public:
  explicit AttachedFiles(const WinePrefix& prefix) : prefix_(prefix) {}

  // The alias under which the file `path` (as the statement gives it) is
  // attached to `db`, attaching it now when it is not yet, with `transaction`
  // set aside around the attach (SQLite refuses ATTACH inside one). Raises
  // the errors opening the file raises.
  std::string AliasOf(sqlite3* db, ReplayableTransaction& transaction, const std::u16string& path,
                      const std::u16string& password);

  // The tag of the page caches of the file attached as `alias`.
  uint64_t CacheTag(const std::string& alias) const { return cache_tags_.at(alias); }

  // The connection's file was closed, and every attachment with it.
  void Forget();

 private:
  // (host path, password) of an attached file.
  using Key = std::pair<std::string, std::string>;
  void Attach(sqlite3* db, const std::string& host, const std::u16string& path_as_given,
              const std::string& alias, const Key& key);

  WinePrefix prefix_;
  std::map<Key, std::string> aliases_;
  std::map<std::string, uint64_t> cache_tags_;  // alias -> the tag of its page caches
  int aliases_made_ = 0;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_ATTACHED_FILES_H_
